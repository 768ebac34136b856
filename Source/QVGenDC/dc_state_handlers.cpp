// Handlers of the metafile records that change the device-context state.
#include <cmath>

#include "QVGenDC/face_name.h"
#include "QVGenDC/generic_device.h"
#include "QVGenDC/scale_rounding.h"
#include "qvplatform/numbers.h"

namespace vellora {

namespace {

using L = long double;

// A world transform whose translation reaches this far is taken for garbage and refused.
constexpr float kWorldTranslationLimit = 128000.0f;

// Both the level's and the device's transform must be recomputed and written again.
void MarkTransformDirty(TQVGenericDevice& device, TQVDCStackVar& vars) {
  vars.transformDirty = true;
  device.transformDirty = true;
}

std::int32_t Scaled(std::int32_t value, std::int32_t num, std::int32_t denom) {
  return qvplatform::ClampToInt32(static_cast<std::int64_t>(value) * num / denom);
}

float PageScale(L resolution, L extra) {
  const L scale = resolution > 0 ? 72.0L / resolution * extra : extra;
  return std::isfinite(scale) ? static_cast<float>(scale) : 1.0f;
}

}  // namespace

std::int32_t TQVGenericDevice::SaveDC() {
  if (dcStack.Depth() >= kMaxSavedLevels) {
    ++dcStack.refusedSaves;
    return 0;  // a failed save, as GDI reports it
  }
  dcStack.Current().savedYFlip = dcStack.yFlip;
  return dcStack.Push();
}

void TQVGenericDevice::RestoreDC(std::int32_t level) {
  (void)level;  // every RESTOREDC of real metafiles says -1: one level is popped
  if (dcStack.refusedSaves > 0) {
    --dcStack.refusedSaves;  // the restore of a save that was refused
    return;
  }
  dcStack.Pop(1);
  if (TQVDCStackEntry* top = dcStack.Top()) {
    dcStack.yFlip = top->vars.savedYFlip;
    top->vars.transformDirty = true;
    const std::int32_t mode = top->vars.mapMode;
    top->vars.mapMode = -1;  // so that the mode takes effect again
    SetMapMode(mode);
  }
  outputStateDirty = true;
  transformDirty = true;
}

std::int32_t TQVGenericDevice::SetMapMode(std::int32_t mode) {
  TQVDCStackVar& v = CurrentDCState();
  const std::int32_t previous = v.mapMode;
  if (mode == previous) return previous;
  v.mapMode = mode;
  // Units per inch of the fixed map modes MM_LOMETRIC .. MM_TWIPS, whose y axis points up.
  static constexpr std::int32_t kFixedResolution[] = {254, 2540, 100, 1000, 1440};
  if (mode == 1) {
    dcStack.resolutionX = dcStack.naturalResolutionX;
    dcStack.resolutionY = dcStack.naturalResolutionY;
    dcStack.yFlip = false;
  } else if (mode >= 2 && mode <= 6) {
    dcStack.resolutionX = dcStack.resolutionY = kFixedResolution[mode - 2];
    dcStack.yFlip = true;
  } else {
    dcStack.yFlip = false;
  }
  MarkTransformDirty(*this, v);
  v.savedYFlip = dcStack.yFlip;
  dcStack.pageScale.eM11 = PageScale(dcStack.resolutionX, dcStack.extraScaleX);
  dcStack.pageScale.eM22 = PageScale(dcStack.resolutionY, dcStack.extraScaleY);
  return previous;
}

void TQVGenericDevice::SetWindowExt(std::int32_t x, std::int32_t y, SIZEL* previous) {
  TQVDCStackVar& v = CurrentDCState();
  if (previous) *previous = v.windowExt;
  if (v.windowExt.cx == x && v.windowExt.cy == y) return;
  v.windowExt = SIZEL{x, y};
  v.windowExtInTenths = false;
  MarkTransformDirty(*this, v);
}

void TQVGenericDevice::SetWindowOrg(std::int32_t x, std::int32_t y, POINTL* previous) {
  TQVDCStackVar& v = CurrentDCState();
  if (previous) *previous = v.windowOrg;
  if (v.windowOrg.x == x && v.windowOrg.y == y) return;
  v.windowOrg = POINTL{x, y};
  MarkTransformDirty(*this, v);
}

void TQVGenericDevice::SetViewportExt(std::int32_t x, std::int32_t y, SIZEL* previous) {
  TQVDCStackVar& v = CurrentDCState();
  if (previous) *previous = v.viewportExt;
  v.viewportExtSet = true;
  if (v.viewportExt.cx == x && v.viewportExt.cy == y) return;
  v.viewportExt = SIZEL{x, y};
  MarkTransformDirty(*this, v);
}

void TQVGenericDevice::SetViewportOrg(std::int32_t x, std::int32_t y, POINTL* previous) {
  TQVDCStackVar& v = CurrentDCState();
  if (previous) *previous = v.viewportOrg;
  if (v.viewportOrg.x == x && v.viewportOrg.y == y) return;
  v.viewportOrg = POINTL{x, y};
  MarkTransformDirty(*this, v);
}

void TQVGenericDevice::ScaleViewportExt(std::int32_t xNum, std::int32_t xDenom, std::int32_t yNum,
                                        std::int32_t yDenom) {
  if (xDenom == 0 || yDenom == 0) return;  // the platform refuses such a call
  TQVDCStackVar& v = CurrentDCState();
  // Before any record set it, the viewport extent that the mapping uses is (1, 1).
  const SIZEL from = v.viewportExtSet ? v.viewportExt : SIZEL{1, 1};
  v.viewportExt = SIZEL{Scaled(from.cx, xNum, xDenom), Scaled(from.cy, yNum, yDenom)};
  v.viewportExtSet = true;
  MarkTransformDirty(*this, v);
}

void TQVGenericDevice::ScaleWindowExt(std::int32_t xNum, std::int32_t xDenom, std::int32_t yNum,
                                      std::int32_t yDenom) {
  if (xDenom == 0 || yDenom == 0) return;
  TQVDCStackVar& v = CurrentDCState();
  v.windowExt = SIZEL{Scaled(v.windowExt.cx, xNum, xDenom), Scaled(v.windowExt.cy, yNum, yDenom)};
  v.windowExtInTenths = false;
  MarkTransformDirty(*this, v);
}

void TQVGenericDevice::SetBrushOrg(std::int32_t x, std::int32_t y) {
  CurrentDCState().brushOrg = POINTL{x, y};
}

bool TQVGenericDevice::SetWorldTransform(const XFORM& xform) {
  // NaN would pass a plain comparison with the limit, so finiteness is tested first.
  if (!IsFinite(xform) || std::fabs(xform.eDx) >= kWorldTranslationLimit ||
      std::fabs(xform.eDy) >= kWorldTranslationLimit)
    return false;
  TQVDCStackVar& v = CurrentDCState();
  v.world = xform;
  v.worldSet = true;
  MarkTransformDirty(*this, v);
  return true;
}

bool TQVGenericDevice::ModifyWorldTransform(const XFORM& xform, std::uint32_t mode) {
  TQVDCStackVar& v = CurrentDCState();
  switch (mode) {
    case 1:  // MWT_IDENTITY
      v.world = IdentityXForm();
      v.worldSet = false;
      break;
    case 2:    // MWT_LEFTMULTIPLY
    case 3: {  // MWT_RIGHTMULTIPLY
      if (!IsFinite(xform)) return false;
      const XFORM product = mode == 2 ? Multiply(xform, v.world) : Multiply(v.world, xform);
      if (!IsFinite(product)) return false;
      v.world = product;
      v.worldSet = true;
      break;
    }
    case 4:  // MWT_SET
      return SetWorldTransform(xform);
    default:
      break;
  }
  MarkTransformDirty(*this, v);
  return mode >= 1 && mode <= 3;
}

std::int32_t TQVGenericDevice::SetBkMode(std::int32_t mode) {
  TQVDCStackVar& v = CurrentDCState();
  const bool wasOpaque = v.opaque;
  v.opaque = mode == 2;
  return wasOpaque ? 2 : 0;
}

void TQVGenericDevice::SetPolyFillMode(std::int32_t mode) { CurrentDCState().winding = mode == 2; }

std::int32_t TQVGenericDevice::SetROP2(std::int32_t rop2) {
  TQVDCStackVar& v = CurrentDCState();
  const std::int32_t previous = v.rop2;
  v.rop2 = rop2;
  return previous;
}

std::uint32_t TQVGenericDevice::SetTextAlign(std::uint32_t flags) {
  TQVDCStackVar& v = CurrentDCState();
  const std::uint32_t previous = v.textAlign;
  v.textAlign = flags;
  std::uint32_t derived = 0;
  if (flags & 1) derived |= kAlignUpdateCP;
  if ((flags & 6) == 6)
    derived |= kAlignCenter;
  else if (flags & 2)
    derived |= kAlignRight;
  if (flags & 8) derived |= kAlignBottom;
  if ((flags & 24) == 24) derived |= kAlignBaseline;
  v.textAlignFlags = derived;
  return previous;
}

TQVGenericDevice::COLORREF TQVGenericDevice::SetTextColor(COLORREF color) {
  TQVDCStackVar& v = CurrentDCState();
  const COLORREF previous = v.textColor;
  v.textColor = color;
  return previous;
}

TQVGenericDevice::COLORREF TQVGenericDevice::SetBkColor(COLORREF color) {
  TQVDCStackVar& v = CurrentDCState();
  const COLORREF previous = v.bkColor;
  v.bkColor = color;
  return previous;
}

void TQVGenericDevice::SetArcDirection(std::int32_t direction) {
  CurrentDCState().clockwise = direction == 2;
}

void TQVGenericDevice::SetMiterLimit(std::uint32_t limit) {
  CurrentDCState().miterLimit = limit < 1 ? 1.0f : static_cast<float>(limit);
}

void TQVGenericDevice::SetTextJustification(std::int32_t extra, std::int32_t count) {
  justificationExtra = extra;
  justificationBreakCount = count;
  if (extra == 0) justificationRemainder = 0;
}

std::int32_t TQVGenericDevice::SelectObject(std::int32_t index) {
  TQVBasicGDIObject* object = objects.GetObject(index);
  if (!object) return 0;
  TQVDCStackVar& v = CurrentDCState();
  std::int32_t previous = 0;
  switch (object->kind) {
    case GdiObjectKind::kFont: {
      const auto& font = static_cast<const TQVDvFont&>(*object);
      previous = v.selectedFont;
      if (font.font.lfEscapement != v.font.lfEscapement) {
        v.textRotationDirty = true;
        outputStateDirty = true;
      }
      v.font = font.font;
      v.font.lfFaceName[kMaxFaceNameLength] = 0;
      v.faceName = font.faceName;
      if (v.faceName.empty()) AssignFaceName(v.font, v.faceName, "Arial");
      v.escapementChanged = false;
      v.selectedFont = index;
      ObjectSelected();
      break;
    }
    case GdiObjectKind::kBrush: {
      const auto& brush = static_cast<const TQVDvBrush&>(*object);
      previous = v.selectedBrush;
      v.brushStyle = brush.style;
      v.brushColor = brush.color;
      v.brushHatch = brush.hatch;
      v.selectedBrush = index;
      break;
    }
    case GdiObjectKind::kPen: {
      const auto& pen = static_cast<const TQVDvPen&>(*object);
      previous = v.selectedPen;
      v.penWidth = pen.width;
      v.penStyle = pen.style;
      v.penGeometric = pen.geometric;
      v.penColor = pen.color;
      v.penCap = pen.cap;
      v.penJoin = pen.join;
      v.selectedPen = index;
      // Only a written level can hold a stale pen; creating one here would leave the
      // content with one "Q " more than "q ".
      if (WriterDepth() > 0) WriterState().rewritePen = true;
      break;
    }
    case GdiObjectKind::kPalette:
      previous = v.selectedPalette;
      v.selectedPalette = index;
      break;
    case GdiObjectKind::kBasic:
      break;  // the placeholder of stock numbers 14 and 17
  }
  return previous;
}

std::int32_t TQVGenericDevice::SelectPalette(std::int32_t index) {
  if (!objects.Palette(index)) return 0;
  TQVDCStackVar& v = CurrentDCState();
  const std::int32_t previous = v.selectedPalette;
  v.selectedPalette = index;
  return previous;
}

void TQVGenericDevice::SetResolution(std::int32_t x, std::int32_t y) {
  if (x == 0 || y == 0) {
    dcStack.fixedScale = false;
    return;
  }
  const float sx = static_cast<float>(72.0L / x);
  const float sy = static_cast<float>(72.0L / y);
  const XFORM& m = dcStack.combined;
  if (std::fabs(sx - m.eM11) > 0.001f || std::fabs(sy - m.eM22) > 0.001f) transformDirty = true;
  dcStack.combined = ScaleXForm(sx, sy);
  dcStack.fixedScale = true;
  dcStack.textMatrix = IdentityXForm();
  coordinateDivisor = defaultDivisor;
  yOrigin = qvplatform::Round32(L(dcStack.pageOrigin.y) / DivisorScale(sy));
}

}  // namespace vellora

// The combined matrix M (logical units to page points, y down) and the text-rotation matrix.
#include <cmath>
#include <numbers>

#include "QVGenDC/dc_stack.h"
#include "QVGenDC/generic_device.h"
#include "QVGenDC/process_settings.h"
#include "QVGenDC/scale_rounding.h"
#include "qvplatform/numbers.h"

namespace vellora {

namespace {

using L = long double;

// The special window extent of a page given in tenths of its units.
constexpr std::int32_t kTenthsExtentX = 33600, kTenthsExtentY = 47504;
constexpr std::int32_t kHighResolutionExtent = 30000;

// Logical units per device pixel on one axis. An extent that no record set, or that was set to
// 0 (which the platform refuses), keeps the platform's default of 1: a window extent alone then
// maps that many logical units to one pixel of the reference device.
L Ratio(std::int32_t window, std::int32_t viewport) {
  return L(window == 0 ? 1 : window) / (viewport == 0 ? 1 : viewport);
}

// Rounds a scale of M to 4 decimals, keeping the rest, and never leaves it 0.
float RoundScale(float scale, L& residue) {
  const L rounded = RoundToDecimals(scale, 4);
  residue = L(scale) - rounded;
  return ToSingle(NonZeroScale(rounded, scale));
}

}  // namespace

const XFORM& TQVDCStack::Matrix() {
  TQVDCStackVar& vars = Current();
  if (vars.transformDirty && !fixedScale) RebuildMatrix();
  return combined;
}

void TQVDCStack::RebuildMatrix() {
  TQVGenericDevice& device = owner;
  TQVDCStackVar& v = Current();

  // 1. Page scale and offset.
  XFORM m = pageScale;
  XFORM n = IdentityXForm();
  aspect = 1.0L;
  yMirrored = false;
  tenths = false;
  device.coordinateDivisor = device.defaultDivisor;

  // 2. Window and viewport of the scalable map modes.
  if (v.mapMode == 7 || v.mapMode == 8) ScaleWindowToViewport(v, m, n);

  // 3.
  if (m.eM22 < 0) yMirrored = true;
  if (device.modes.Has(qvAlwaysHighResPDF)) device.coordinateDivisor = 10;

  // 4, 5. Origins.
  ApplyOrigins(v, m, n);

  // 6. World transform, then the y origin.
  ApplyWorldAndYOrigin(v, m, n);

  // 7. Scales rounded to 4 decimals, never 0.
  v.transformDirty = false;
  v.textRotationDirty = true;
  m.eM11 = RoundScale(m.eM11, residueX);
  m.eM22 = RoundScale(m.eM22, residueY);
  xPositiveYNegative = m.eM22 < 0 && m.eM11 > 0;

  combined = m;
  logicalToViewport = n;
}

void TQVDCStack::ScaleWindowToViewport(TQVDCStackVar& v, XFORM& m, XFORM& n) {
  TQVGenericDevice& device = owner;
  if (v.windowExt.cx == kTenthsExtentX && v.windowExt.cy == kTenthsExtentY) {
    v.windowExt.cx = qvplatform::Round32(L(kTenthsExtentX) / 10);
    v.windowExt.cy = qvplatform::Round32(L(kTenthsExtentY) / 10);
    v.windowExtInTenths = true;
  }
  tenths = v.windowExtInTenths;
  const bool smallWindow =
      v.windowExt.cx <= kHighResolutionExtent && v.windowExt.cy <= kHighResolutionExtent;
  if (!device.modes.Has(qvAlwaysHighResPDF) &&
      (smallWindow || NoHighResolution() || device.modes.Has(qvNeverHighResPDF)))
    device.coordinateDivisor = device.defaultDivisor;
  else
    device.coordinateDivisor = 10;

  // The level's viewport extent before any record sets it holds the picture's resolution,
  // which is no extent the recording program chose.
  const qvplatform::SIZEL viewport = v.viewportExtSet ? v.viewportExt : qvplatform::SIZEL{1, 1};
  L rx = Ratio(v.windowExt.cx, viewport.cx);
  L ry = Ratio(v.windowExt.cy, viewport.cy);
  if (v.mapMode == 7) {
    // Isotropic: the coarser unit on both axes, each axis keeping its own direction.
    const L larger = std::fmax(std::fabs(rx), std::fabs(ry));
    rx = std::copysign(larger, rx);
    ry = std::copysign(larger, ry);
  }
  if (std::fabs(ry) > std::fabs(rx)) aspect = std::fabs(rx) / std::fabs(ry);
  m.eM11 = ToSingle(m.eM11 / rx);
  n.eM11 = ToSingle(1.0L / rx);
  m.eM22 = ToSingle(m.eM22 / ry);
  n.eM22 = ToSingle(1.0L / ry);
}

void TQVDCStack::ApplyOrigins(const TQVDCStackVar& v, XFORM& m, XFORM& n) const {
  // The viewport origin is in device pixels: in the fixed map modes the page scale is that of
  // the logical unit, so the viewport takes the device's own scale.
  L vx = pageScale.eM11, vy = pageScale.eM22;
  if (v.mapMode >= 2 && v.mapMode <= 6 && naturalResolutionX > 0 && naturalResolutionY > 0) {
    vx = 72.0L / naturalResolutionX * extraScaleX;
    vy = 72.0L / naturalResolutionY * extraScaleY;
  }
  m.eDx = ToSingle(v.viewportOrg.x * vx + m.eDx - L(v.windowOrg.x) * m.eM11);
  n.eDx = ToSingle(v.viewportOrg.x - L(v.windowOrg.x) * n.eM11);
  const L windowTermM = L(v.windowOrg.y) * m.eM22;
  const L windowTermN = L(v.windowOrg.y) * n.eM22;
  if (yFlip) {
    m.eDy = ToSingle(v.viewportOrg.y * vy + m.eDy + windowTermM);
    n.eDy = ToSingle(windowTermN + v.viewportOrg.y);
  } else {
    m.eDy = ToSingle(v.viewportOrg.y * vy + m.eDy - windowTermM);
    n.eDy = ToSingle(v.viewportOrg.y - windowTermN);
  }
}

void TQVDCStack::ApplyWorldAndYOrigin(const TQVDCStackVar& v, XFORM& m, XFORM& n) {
  TQVGenericDevice& device = owner;
  bool yOriginRule = true;
  if (v.worldSet) {
    const XFORM old = m;
    const XFORM worldM = Multiply(v.world, m);
    const XFORM worldN = Multiply(v.world, n);
    // A product that overflows leaves the mapping without the world transform.
    if (IsFinite(worldM) && IsFinite(worldN)) {
      m = worldM;
      n = worldN;
      m.eDx = ToSingle(L(v.world.eDx) * old.eM11 + old.eDx);
      const L w = L(v.world.eDy) * old.eM22 + old.eDy;
      if (w != 0) {
        m.eDy = ToSingle(w - pageOrigin.y);
        device.yOrigin = 0;
        yOriginRule = false;
      }
    }
  }
  if (!yOriginRule) return;
  if (device.yOriginMode) {
    device.yOrigin = qvplatform::Round32(L(pageOrigin.y) / DivisorScale(m.eM22));
    device.yOffset = 0.0f;
  } else {
    m.eDy = ToSingle(L(m.eDy) - pageOrigin.y);
    device.yOffset = ToSingle(pageOrigin.y);
    device.yOrigin = 0;
  }
}

const XFORM& TQVDCStack::TextMatrix() {
  Matrix();
  if (Current().textRotationDirty || textMatrix.eM11 == 0) RebuildTextMatrix();
  return textMatrix;
}

void TQVDCStack::RebuildTextMatrix() {
  TQVGenericDevice& device = owner;
  TQVDCStackVar& v = Current();
  const std::int32_t escapement = v.font.lfEscapement;
  if (escapement != 0 || xPositiveYNegative) {
    // Escapement in tenths of a degree, counter-clockwise on the page; in a mapping that
    // mirrors y, clockwise, as GDI draws it there (the device turns the glyphs' up with the
    // text matrix's y sign, so the glyphs stay upright and unmirrored).
    const L angle = L(escapement) / 1800 * std::numbers::pi_v<L>;
    const float c = ToSingle(std::cos(angle));
    const float s = ToSingle(std::sin(angle));
    textMatrix = XFORM{c, s, yMirrored ? s : -s, c, 0.0f, 0.0f};
    device.textAngle = angle;
    device.textRotated = true;
  } else {
    textMatrix = IdentityXForm();
    device.textAngle = 0.0L;
    device.textRotated = false;
  }
  v.textRotationDirty = false;
  device.textRotationChanged = true;
}

}  // namespace vellora

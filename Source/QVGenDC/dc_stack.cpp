#include "QVGenDC/dc_stack.h"

#include <cmath>

#include "QVGenDC/face_name.h"
#include "qvplatform/numbers.h"

namespace vellora {

TQVDCStackVar::TQVDCStackVar() {
  font.lfHeight = 10;
  AssignFaceName(font, faceName, "Arial");
}

TQVDCStack::TQVDCStack(TQVGenericDevice& device) : owner(device) {}

TQVDCStackVar& TQVDCStack::Current() {
  if (count_ == 0) Push();
  return levels_[count_ - 1].vars;
}

std::int32_t TQVDCStack::Push() {
  // The vector grows geometrically; the copy below indexes it afresh after the growth.
  if (count_ == levels_.size()) levels_.emplace_back();
  TQVDCStackEntry& entry = levels_[count_];
  if (count_ > 0) {
    entry = levels_[count_ - 1];
    entry.savedMatrix = combined;
    entry.vars.escapementChanged = false;
  } else {
    entry = TQVDCStackEntry{};
    entry.xResolution = qvplatform::Round32(resolutionX);
    entry.yResolution = qvplatform::Round32(resolutionY);
    entry.savedMatrix = pageScale;
  }
  entry.barrier = false;
  ++count_;
  entry.depth = static_cast<std::int32_t>(count_);
  depth_ = entry.depth;
  return depth_;
}

void TQVDCStack::Pop(std::int32_t count) {
  for (std::int32_t i = 0; i < count && count_ > 0; ++i) {
    if (levels_[count_ - 1].barrier) break;
    --count_;
  }
  depth_ = count_ > 0 ? levels_[count_ - 1].depth : 0;
  MarkDirty();
}

void TQVDCStack::Clear() {
  count_ = 0;
  depth_ = 0;
  refusedSaves = 0;
  resolutionX = resolutionY = 96;
  naturalResolutionX = naturalResolutionY = 96;
  pageScale = IdentityXForm();
  frameOrigin = {};
  aspect = 1.0L;
  yFlip = false;
  xPositiveYNegative = false;
}

void TQVDCStack::MarkDirty() {
  if (count_ == 0) return;
  TQVDCStackVar& vars = levels_[count_ - 1].vars;
  vars.transformDirty = true;
  vars.textRotationDirty = true;
}

void TQVDCStack::SetResolution(std::int32_t x, std::int32_t y) {
  Current();
  MarkDirty();
  TQVDCStackEntry& top = *Top();
  top.xResolution = x;
  top.yResolution = y;
  pageScale = ScaleXForm(x > 0 ? static_cast<float>(72.0L / x) : 1.0f,
                         y > 0 ? static_cast<float>(72.0L / y) : 1.0f);
}

namespace {

using qvplatform::POINTL;

POINTL InverseMapped(const XFORM& n, POINTL p, bool withTranslation) {
  using L = long double;
  const L det = L(n.eM11) * n.eM22 - L(n.eM12) * n.eM21;
  if (!(std::fabs(det) >= 1e-12L)) return p;  // singular (or not a number): unchanged
  L x = p.x, y = p.y;
  if (withTranslation) {
    x -= n.eDx;
    y -= n.eDy;
  }
  return POINTL{qvplatform::Round32((x * n.eM22 - y * n.eM21) / det),
                qvplatform::Round32((y * n.eM11 - x * n.eM12) / det)};
}

}  // namespace

POINTL TQVDCStack::LogicalFromDevice(POINTL p) {
  Matrix();
  return InverseMapped(logicalToViewport, p, true);
}

POINTL TQVDCStack::LogicalFromDeviceVector(POINTL p) {
  Matrix();
  return InverseMapped(logicalToViewport, p, false);
}

}  // namespace vellora

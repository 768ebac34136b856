#include "QVGenDC/generic_device.h"

#include <limits>

#include "QVGenDC/process_settings.h"
#include "qvplatform/numbers.h"

namespace vellora {

TQVGenericDevice::TQVGenericDevice() : dcStack(*this) {
  defaultDivisor = DefaultCoordinateDivisor();
  coordinateDivisor = defaultDivisor;
  TQVGenericDevice::Reset();
  modes.Include(kModeGenericDefault);
}

TQVGenericDevice::~TQVGenericDevice() = default;

namespace {

// Points per device unit for a resolution; a resolution of 0 or less counts as 72.
float PageScaleFor(std::int32_t resolution) {
  return resolution > 0 ? static_cast<float>(72.0L / resolution) : 1.0f;
}

}  // namespace

void TQVGenericDevice::Reset() {
  coordinateDivisor = defaultDivisor;
  justificationExtra = 0;
  justificationBreakCount = 0;
  justificationRemainder = 0;
  // A bracket left open by an earlier picture must not keep every later primitive pending.
  pathNesting = 0;
  pathMode = 0;
  dcStack.fixedScale = false;
  dcStack.Clear();
  objects.Clear();
  writerCount_ = 0;
  dcStack.resolutionX = dcStack.naturalResolutionX = xResolution;
  dcStack.resolutionY = dcStack.naturalResolutionY = yResolution;
  dcStack.pageScale = ScaleXForm(PageScaleFor(xResolution), PageScaleFor(yResolution));
  outputStateDirty = true;
}

void TQVGenericDevice::BeginPath(std::int32_t mode) {
  ++pathNesting;
  pathMode = mode;
}

bool TQVGenericDevice::EndPath() {
  if (pathNesting > 1) {
    CloseFigure();
    --pathNesting;
  } else if (pathNesting == 1) {
    pathNesting = 0;
    pathMode = 0;
  }
  return pathNesting > 0;
}

TQVWriterStackVar& TQVGenericDevice::WriterState() {
  if (writerCount_ == 0) PushWriterState();
  return writer_[writerCount_ - 1];
}

void TQVGenericDevice::PushWriterState() {
  // Doubling, so that a push copies the stack only when the depth reaches a power of two: the
  // copy source of push_back must not move while it is read.
  if (writerCount_ == writer_.capacity()) writer_.reserve(writer_.empty() ? 8 : 2 * writerCount_);
  if (writerCount_ == 0) {
    if (writer_.empty())
      writer_.emplace_back();
    else
      writer_[0] = TQVWriterStackVar{};
  } else if (writerCount_ == writer_.size()) {
    writer_.push_back(writer_[writerCount_ - 1]);  // capacity reserved above: no reallocation
  } else {
    writer_[writerCount_] = writer_[writerCount_ - 1];
  }
  ++writerCount_;
}

bool TQVGenericDevice::PopWriterState() {
  if (writerCount_ == 0) return false;
  --writerCount_;
  return true;
}

std::int32_t TQVGenericDevice::DeviceY(std::int32_t y) const {
  const std::int64_t origin = yOrigin;
  return qvplatform::ClampToInt32(dcStack.yFlip ? origin + y : origin - y);
}

float TQVGenericDevice::DeviceYF(float y) const {
  const float origin = static_cast<float>(yOrigin);
  return dcStack.yFlip ? origin + y : origin - y;
}

std::int32_t TQVGenericDevice::RelativeY(std::int32_t y) const {
  return qvplatform::ClampToInt32(static_cast<std::int64_t>(y) - yOrigin);
}

void TQVGenericDevice::SwapInts(std::int32_t& a, std::int32_t& b) {
  const std::int32_t t = a;
  a = b;
  b = t;
}

}  // namespace vellora

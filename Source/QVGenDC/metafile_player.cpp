// The enhanced-metafile player (slot 1): header check, the scaling of the picture into the
// device, the picture bracket, and the values the picture borrows from the DC stack, which are
// put back on every way out (also when a drawing operation throws).
#include "QVGenDC/metafile_player.h"

#include <cmath>
#include <cstdlib>

#include "QVGenDC/xform_math.h"
#include "qvplatform/numbers.h"

namespace vellora {

namespace {

using L = long double;
using qvplatform::ClampToInt32;
using qvplatform::Round;
using qvplatform::Round32;

// Resolutions beyond this are taken for garbage (a real device has a few thousand at most).
constexpr L kMaxResolution = 1.0e6L;
constexpr L kFallbackResolution = 96.0L;

bool UsableResolution(L r) { return std::isfinite(r) && r >= 1.0L && r <= kMaxResolution; }

// Pixels per inch of the reference device from its size in pixels and millimetres; 0 when the
// header gives no usable value (no millimetres, no pixels, absurd ratios).
L HeaderResolution(std::int32_t pixels, std::int32_t millimeters) {
  if (millimeters == 0) return 0;
  const L r = L(pixels) / (L(millimeters) / 25.4L);
  return UsableResolution(r) ? r : 0;
}

// The device's own resolution, the unit of offsets and target sizes.
L DeviceResolution(std::int32_t r) { return r > 0 ? L(r) : 72.0L; }

std::int32_t Negated(std::int64_t v) { return ClampToInt32(-v); }

// Everything a picture changes in the DC stack and the device, saved before and restored when
// the call ends.
class SavedPictureState {
 public:
  explicit SavedPictureState(TQVGenericDevice& d)
      : d_(d),
        resolutionX_(d.dcStack.resolutionX),
        resolutionY_(d.dcStack.resolutionY),
        naturalX_(d.dcStack.naturalResolutionX),
        naturalY_(d.dcStack.naturalResolutionY),
        pageScale_(d.dcStack.pageScale),
        frameOrigin_(d.dcStack.frameOrigin),
        pageOrigin_(d.dcStack.pageOrigin),
        extraX_(d.dcStack.extraScaleX),
        extraY_(d.dcStack.extraScaleY),
        deviceX_(d.xResolution),
        deviceY_(d.yResolution) {}
  SavedPictureState(const SavedPictureState&) = delete;
  SavedPictureState& operator=(const SavedPictureState&) = delete;

  ~SavedPictureState() {
    TQVDCStack& s = d_.dcStack;
    s.resolutionX = resolutionX_;
    s.resolutionY = resolutionY_;
    s.naturalResolutionX = naturalX_;
    s.naturalResolutionY = naturalY_;
    s.pageScale = pageScale_;
    s.frameOrigin = frameOrigin_;
    s.pageOrigin = pageOrigin_;
    s.extraScaleX = extraX_;
    s.extraScaleY = extraY_;
    d_.xResolution = deviceX_;
    d_.yResolution = deviceY_;
    s.MarkDirty();
    d_.transformDirty = true;
  }

 private:
  TQVGenericDevice& d_;
  L resolutionX_, resolutionY_, naturalX_, naturalY_;
  XFORM pageScale_;
  qvplatform::POINTL frameOrigin_, pageOrigin_;
  L extraX_, extraY_;
  std::int32_t deviceX_, deviceY_;
};

struct PlacementArgs {
  std::int32_t offset, target, resolution;  // resolution: the caller's, <= 0 for the header's
};

// One axis of a picture scaled into the device: its resolution, its extent in DC pixels and
// the extra scale that fits the frame into the target size. A reference pixel is 1 / xr inch;
// the rounded resolution only sizes the picture's grid of DC pixels.
struct AxisScale {
  L resolution = kFallbackResolution;  // xr
  std::int32_t dcResolution = 96;      // round(xr)
  std::int64_t low = 0, high = 0;      // picture left/right (top/bottom) in DC pixels
  L extra = 1.0L;                      // target size / frame size; 1 at the own size
};

// Picture with a frame: the frame (0.01 mm) is placed either at its own size or into the
// target size given in device units.
AxisScale FramedAxis(const PlacementArgs& a, std::int32_t devicePixels, std::int32_t millimeters,
                     std::int32_t frameLow, std::int32_t frameHigh, bool ignoreTarget,
                     std::int32_t deviceResolution) {
  AxisScale s;
  if (a.resolution >= 1 && UsableResolution(a.resolution)) {
    s.resolution = a.resolution;
  } else {
    const L header = HeaderResolution(devicePixels, millimeters);
    s.resolution = header != 0 ? header : kFallbackResolution;
  }
  s.dcResolution = Round32(s.resolution);  // >= 1, as the resolution is
  const L dcRes = s.dcResolution;
  const std::int64_t extent =
      ignoreTarget ? 0 : std::llabs(std::int64_t{frameHigh} - std::int64_t{frameLow});
  const L devRes = DeviceResolution(deviceResolution);
  if (a.target > 0 && extent != 0) {
    s.extra = L(Round(L(a.target) * 2540.0L / devRes)) / L(extent);
    s.low = Round(L(a.offset) / devRes * dcRes);
    s.high = Round(L(a.target) / devRes * dcRes) + s.low;
  } else {
    s.low = Round(L(frameLow) / 2540.0L * dcRes);
    s.high = Round(L(frameHigh) / 2540.0L * dcRes);
  }
  return s;
}

// Picture without a frame: the reference device's resolution, rounded.
AxisScale UnframedAxis(std::int32_t devicePixels, std::int32_t millimeters, std::int32_t low,
                       std::int32_t high) {
  AxisScale s;
  const L header = HeaderResolution(devicePixels, millimeters);
  s.resolution = header != 0 ? L(Round(header)) : kFallbackResolution;
  s.dcResolution = Round32(s.resolution);
  s.low = low;
  s.high = high;
  return s;
}

}  // namespace

std::int32_t TQVGenericDevice::PlayMetafile(const std::uint8_t* bits, std::size_t size,
                                            std::int32_t xOffset, std::int32_t yOffset,
                                            std::int32_t targetWidth, std::int32_t targetHeight,
                                            bool measureOnly, std::int32_t xResolution,
                                            std::int32_t yResolution) {
  if (bits != nullptr && !playerOptions.debugDumpDirectory.empty()) DumpMetafile(*this, bits, size);
  SavedPictureState saved(*this);
  if (bits == nullptr) return 0;

  qvplatform::EmfHeader header;
  if (qvplatform::ReadEmfHeader(bits, size, header) != qvplatform::EmfHeaderStatus::kOk)
    throw EQVMetafileError(kNotAnEnhancedMetafile);
  const qvplatform::ENHMETAHEADER& h = header.fields;

  // Scaling.
  const L devX = DeviceResolution(this->xResolution);
  const L devY = DeviceResolution(this->yResolution);
  AxisScale sx, sy;
  if (h.rclBounds.right != 0 && h.rclFrame.right != 0) {
    const bool ignoreTarget = modes.Has(qvMetaIsDOTNETEMF) || playerOptions.metafileIsSized;
    sx = FramedAxis({xOffset, targetWidth, xResolution}, h.szlDevice.cx, h.szlMillimeters.cx,
                    h.rclFrame.left, h.rclFrame.right, ignoreTarget, this->xResolution);
    sy = FramedAxis({yOffset, targetHeight, yResolution}, h.szlDevice.cy, h.szlMillimeters.cy,
                    h.rclFrame.top, h.rclFrame.bottom, ignoreTarget, this->yResolution);
    dcStack.pageScale = ScaleXForm(
        ToSingle(72.0L / sx.resolution * sx.extra), ToSingle(72.0L / sy.resolution * sy.extra),
        ToSingle(L(xOffset) * 72.0L / sx.resolution), ToSingle(L(yOffset) * 72.0L / sy.resolution));
  } else {
    sx = UnframedAxis(h.szlDevice.cx, h.szlMillimeters.cx, h.rclBounds.left, h.rclBounds.right);
    sy = UnframedAxis(h.szlDevice.cy, h.szlMillimeters.cy, h.rclBounds.top, h.rclBounds.bottom);
    dcStack.pageScale = ScaleXForm(ToSingle(72.0L / sx.resolution), ToSingle(72.0L / sy.resolution),
                                   ToSingle(L(xOffset) * devX / sx.resolution),
                                   ToSingle(L(yOffset) * devY / sy.resolution));
  }
  dcStack.extraScaleX = sx.extra;
  dcStack.extraScaleY = sy.extra;
  // The records' pixels, also under a later map mode 1, keep the unrounded resolution, so that
  // the page scale stays the same whichever map modes the records set.
  dcStack.resolutionX = dcStack.naturalResolutionX = sx.resolution;
  dcStack.resolutionY = dcStack.naturalResolutionY = sy.resolution;
  dcStack.frameOrigin = {Negated(Round(L(h.rclFrame.left) * sx.dcResolution / 2540.0L)),
                         Negated(Round(L(h.rclFrame.top) * sy.dcResolution / 2540.0L))};
  // The picture's own records have set no viewport extent yet.
  TQVDCStackVar& level = CurrentDCState();
  level.viewportExt = SIZEL{sx.dcResolution, sy.dcResolution};
  level.viewportExtSet = false;
  dcStack.MarkDirty();
  transformDirty = true;

  // The picture bracket.
  const std::int32_t result =
      BeginPicture(ClampToInt32(sx.high - sx.low), ClampToInt32(sy.high - sy.low), sx.dcResolution,
                   sy.dcResolution);
  // The frame's corner moves to the target's corner at the picture's scale: a picture placed
  // at twice its size has its frame origin twice as far from the page origin.
  qvplatform::POINTL& origin = dcStack.pageOrigin;
  origin.x =
      ClampToInt32(origin.x + Round(L(dcStack.frameOrigin.x) * 72.0L / sx.dcResolution * sx.extra));
  origin.y =
      ClampToInt32(origin.y - Round(L(dcStack.frameOrigin.y) * 72.0L / sy.dcResolution * sy.extra));
  if (measureOnly) return result;

  SetMapMode(0);
  TQVMetafilePlayer player(*this, bits, size, header);
  player.PlayRecords();
  FlushPending();
  EndPicture(result);
  return result;
}

}  // namespace vellora

// The raster device: its surface, the mapping from logical units to pixels, and the saved
// levels (DC levels and the player's clip levels) that carry cairo's state and the clip region.
#include "QVRasterDC/raster_device.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>

namespace vellora {

namespace {

// pixman sets up its tables once, when it is loaded, and never frees them: a library that
// loads and unloads the engine (with cairo and pixman behind it) would leak them each time.
// Once loaded, pixman stays.
__attribute__((constructor)) void KeepPixmanLoaded() {
  dlopen("libpixman-1.so.0", RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

// Saved levels kept at most; deeper saves change nothing and are popped as such.
constexpr std::size_t kMaxClipLevels = 4096;

}  // namespace

TQVRasterDevice::TQVRasterDevice(cairo_surface_t* surface, double left, double top, double width,
                                 double height)
    : cr_(cairo_create(surface)),
      surface_(cairo_surface_reference(surface)),
      offsetX_(left),
      offsetY_(top),
      width_(width),
      height_(height),
      surfaceWidth_(cairo_image_surface_get_width(surface)),
      surfaceHeight_(cairo_image_surface_get_height(surface)) {
  // Clip records are what a picture's own drawing relies on: always played here.
  modes.Include(qvClipRectSupport);
  clipRegions_.push_back(nullptr);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr_, options);
  cairo_font_options_destroy(options);
  TQVRasterDevice::Reset();
}

TQVRasterDevice::~TQVRasterDevice() {
  for (cairo_region_t* r : clipRegions_)
    if (r) cairo_region_destroy(r);
  for (PatternBrush& p : patterns_) cairo_surface_destroy(p.surface);
  for (cairo_surface_t* mask : hatchMasks_)
    if (mask) cairo_surface_destroy(mask);
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

void TQVRasterDevice::Reset() {
  TQVGenericDevice::Reset();
  // The picture's points are placed by the render's own scale and offset.
  dcStack.pageOrigin = {0, 0};
  path_.clear();
  currentX_ = currentY_ = 0;
}

std::int32_t TQVRasterDevice::BeginPicture(std::int32_t width, std::int32_t height,
                                           std::int32_t xResolution, std::int32_t yResolution) {
  if (scaleFixed_) return 0;
  // The player maps the picture to points at its own size (width x height pixels of its
  // reference device); any other target size would leave the frame's offset unscaled.
  const double points[2] = {double(width) * 72 / std::max(xResolution, 1),
                            double(height) * 72 / std::max(yResolution, 1)};
  scaleX_ = points[0] > 0 && width_ > 0 ? width_ / points[0] : 1;
  scaleY_ = points[1] > 0 && height_ > 0 ? height_ / points[1] : 1;
  return 0;
}

void TQVRasterDevice::EndPicture(std::int32_t playResult) {
  (void)playResult;
  cairo_surface_flush(surface_);
}

cairo_matrix_t TQVRasterDevice::LogicalToPixel() {
  // As the page content places a point: logical (x, y) becomes (x, yOrigin - y), or
  // (x, yOrigin + y) under the y flip, in the content's frame; the content matrix takes it to page
  // points with y up, and the page is turned over to pixels with y down.
  const XFORM& m = dcStack.Matrix();
  const double kx = scaleX_, ky = scaleY_;
  const double s = dcStack.yFlip ? -1.0 : 1.0;
  cairo_matrix_t r;
  r.xx = kx * m.eM11;
  r.yx = ky * m.eM12;
  r.xy = kx * s * m.eM21;
  r.yy = ky * s * m.eM22;
  // The content's y origin (set for the fixed map modes) moves the flipped y first.
  const double y0 = yOrigin;
  r.x0 = kx * (double(m.eDx) + dcStack.pageOrigin.x - double(m.eM21) * y0) + offsetX_;
  r.y0 = ky * (double(m.eDy) - double(m.eM22) * y0) + offsetY_;
  return r;
}

bool TQVRasterDevice::Mirrored() {
  // Arcs measure angles with logical y up (turned over when y points down, as it does without
  // the y flip); seen on the pixels, with y down, that frame must come out turned over once.
  const cairo_matrix_t m = LogicalToPixel();
  const double ys = dcStack.yFlip ? 1.0 : -1.0;
  return (m.xx * m.yy - m.xy * m.yx) * ys > 0;
}

void TQVRasterDevice::PixelPoint(const cairo_matrix_t& m, double x, double y, double& px,
                                 double& py) const {
  px = m.xx * x + m.xy * y + m.x0;
  py = m.yx * x + m.yy * y + m.y0;
}

std::int32_t TQVRasterDevice::SaveDC() {
  const std::int32_t depth = TQVGenericDevice::SaveDC();
  PushClip();
  return depth;
}

void TQVRasterDevice::RestoreDC(std::int32_t level) {
  TQVGenericDevice::RestoreDC(level);
  PopClip();
}

void TQVRasterDevice::PushClip() {
  if (clipRegions_.size() >= kMaxClipLevels) {
    ++ignoredSaves_;
    return;
  }
  cairo_save(cr_);
  cairo_region_t* current = clipRegions_.back();
  clipRegions_.push_back(current ? cairo_region_reference(current) : nullptr);
}

void TQVRasterDevice::PopClip() {
  if (ignoredSaves_ > 0) {
    --ignoredSaves_;
    return;
  }
  // The first level is the picture's own and stays.
  if (clipRegions_.size() <= 1) return;
  if (clipRegions_.back()) cairo_region_destroy(clipRegions_.back());
  clipRegions_.pop_back();
  cairo_restore(cr_);
}

}  // namespace vellora

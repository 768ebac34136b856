// Clipping: rectangles, regions and paths in the combine modes the player passes, and region
// painting. cairo's clip does the clipping; next to it each level keeps the clip as a region
// of pixel rectangles, from which the modes that are no intersection (union, exclusive or,
// difference, copy) are worked out.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "QVRasterDC/raster_device.h"
#include "qvplatform/numbers.h"

namespace vellora {

namespace {

constexpr std::int32_t kRgnAnd = 1, kRgnOr = 2, kRgnXor = 3, kRgnDiff = 4, kRgnCopy = 5;

// Header of region data: dwSize, iType, nCount, nRgnSize, then the bounds.
constexpr std::size_t kRegionHeaderSize = 32;

// A pixel coordinate that cairo's regions (32-bit integers) can hold.
int PixelEdge(double v) {
  if (!(v > -1.0e8)) return -100000000;
  if (!(v < 1.0e8)) return 100000000;
  return static_cast<int>(std::lround(v));
}

std::int32_t ReadLong(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return static_cast<std::int32_t>(v);
}

}  // namespace

cairo_region_t* TQVRasterDevice::SurfaceRegion() const {
  const cairo_rectangle_int_t all{0, 0, surfaceWidth_, surfaceHeight_};
  return cairo_region_create_rectangle(&all);
}

void TQVRasterDevice::ApplyRegionClip(cairo_region_t* region) {
  cairo_new_path(cr_);
  cairo_identity_matrix(cr_);
  const int n = cairo_region_num_rectangles(region);
  for (int i = 0; i < n; ++i) {
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(region, i, &r);
    cairo_rectangle(cr_, r.x, r.y, r.width, r.height);
  }
  cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
  cairo_clip(cr_);
}

void TQVRasterDevice::CombineClip(std::int32_t mode, cairo_region_t* shape, bool shapeIsPath) {
  cairo_region_t*& current = clipRegions_.back();
  if (mode == kRgnAnd) {
    // Narrowing: cairo's clip takes the exact shape; the region follows by the shape's pixels
    // (a path by its bounds).
    if (shapeIsPath) {
      EmitPath(false);
      cairo_set_fill_rule(
          cr_, CurrentDCState().winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
      cairo_clip(cr_);
    } else {
      ApplyRegionClip(shape);
    }
    if (current == nullptr) {
      current = cairo_region_reference(shape);
    } else {
      cairo_region_t* narrowed = cairo_region_copy(current);
      cairo_region_intersect(narrowed, shape);
      cairo_region_destroy(current);
      current = narrowed;
    }
    return;
  }
  if (mode == kRgnDiff && shapeIsPath) {
    // Everything but the path: the surface and the path under the even-odd rule.
    EmitPath(false);
    cairo_rectangle(cr_, -1, -1, surfaceWidth_ + 2.0, surfaceHeight_ + 2.0);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr_);
    return;
  }
  if (mode == kRgnCopy && shapeIsPath) {
    cairo_reset_clip(cr_);
    EmitPath(false);
    cairo_set_fill_rule(
        cr_, CurrentDCState().winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr_);
    if (current) cairo_region_destroy(current);
    current = cairo_region_reference(shape);
    return;
  }
  // Union, exclusive or and difference with the clip in force, or a copy, as pixel regions.
  // A path takes part by its bounds here.
  if (shapeIsPath) ++stats_.approximatedClips;
  cairo_region_t* result = current ? cairo_region_copy(current) : SurfaceRegion();
  switch (mode) {
    case kRgnOr:
      cairo_region_union(result, shape);
      break;
    case kRgnXor:
      cairo_region_xor(result, shape);
      break;
    case kRgnDiff:
      cairo_region_subtract(result, shape);
      break;
    default:  // kRgnCopy
      cairo_region_destroy(result);
      result = cairo_region_copy(shape);
      break;
  }
  cairo_reset_clip(cr_);
  ApplyRegionClip(result);
  if (current) cairo_region_destroy(current);
  current = result;
}

void TQVRasterDevice::SelectClipPath(std::int32_t mode) {
  if (path_.empty() || mode < kRgnAnd || mode > kRgnCopy) {
    path_.clear();
    return;
  }
  EmitPath(false);
  double x1, y1, x2, y2;
  cairo_path_extents(cr_, &x1, &y1, &x2, &y2);
  const cairo_rectangle_int_t box{
      PixelEdge(std::floor(x1)), PixelEdge(std::floor(y1)),
      std::max(0, PixelEdge(std::ceil(x2)) - PixelEdge(std::floor(x1))),
      std::max(0, PixelEdge(std::ceil(y2)) - PixelEdge(std::floor(y1)))};
  cairo_region_t* shape = cairo_region_create_rectangle(&box);
  CombineClip(mode, shape, true);
  cairo_region_destroy(shape);
  path_.clear();
}

void TQVRasterDevice::SelectClipRegion(std::int32_t mode, const RECTL& bounds, std::int32_t count,
                                       const RECTL* rects) {
  if (mode < kRgnAnd || mode > kRgnCopy) return;
  const cairo_matrix_t m = LogicalToPixel();
  cairo_region_t* shape = cairo_region_create();
  const auto add = [&](const RECTL& r, bool fromDevice) {
    double xs[2], ys[2];
    const POINTL corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
    for (int i = 0; i < 2; ++i) {
      // Region rectangles are in the reference device's pixels: back to logical units.
      const POINTL p = fromDevice ? dcStack.LogicalFromDevice(corners[i]) : corners[i];
      PixelPoint(m, p.x, p.y, xs[i], ys[i]);
    }
    const int left = PixelEdge(std::min(xs[0], xs[1])), right = PixelEdge(std::max(xs[0], xs[1]));
    const int top = PixelEdge(std::min(ys[0], ys[1])), bottom = PixelEdge(std::max(ys[0], ys[1]));
    if (right <= left || bottom <= top) return;
    const cairo_rectangle_int_t box{left, top, right - left, bottom - top};
    cairo_region_union_rectangle(shape, &box);
  };
  if (count > 1 && rects != nullptr) {
    for (std::int32_t i = 0; i < count; ++i) add(rects[i], true);
  } else {
    add(bounds, rects != nullptr);
  }
  // A rectangle given in logical units under a turned mapping is a parallelogram.
  if (rects == nullptr && (m.xy != 0 || m.yx != 0)) {
    const std::vector<TQVRasterPathPoint> saved(path_);
    path_.clear();
    PathMove(m, bounds.left, bounds.top);
    PathLine(m, bounds.right, bounds.top);
    PathLine(m, bounds.right, bounds.bottom);
    PathLine(m, bounds.left, bounds.bottom);
    PathClose();
    CombineClip(mode, shape, true);
    path_ = saved;
  } else {
    CombineClip(mode, shape, false);
  }
  cairo_region_destroy(shape);
}

void TQVRasterDevice::PaintRegion(Bytes regionData) {
  if (regionData.size() < kRegionHeaderSize) return;
  const std::uint32_t count = static_cast<std::uint32_t>(ReadLong(regionData.data() + 8));
  const std::size_t available = (regionData.size() - kRegionHeaderSize) / 16;
  const std::size_t n = std::min<std::size_t>(count, available);
  if (!SetBrushSource()) return;
  // The rectangles are in the reference device's pixels.
  const cairo_matrix_t m = LogicalToPixel();
  cairo_new_path(cr_);
  cairo_identity_matrix(cr_);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t* p = regionData.data() + kRegionHeaderSize + 16 * i;
    double xs[2], ys[2];
    for (int c = 0; c < 2; ++c) {
      const POINTL logical =
          dcStack.LogicalFromDevice(POINTL{ReadLong(p + 8 * c), ReadLong(p + 8 * c + 4)});
      PixelPoint(m, logical.x, logical.y, xs[c], ys[c]);
    }
    cairo_rectangle(cr_, std::min(xs[0], xs[1]), std::min(ys[0], ys[1]), std::fabs(xs[1] - xs[0]),
                    std::fabs(ys[1] - ys[0]));
  }
  cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
  cairo_fill(cr_);
}

}  // namespace vellora

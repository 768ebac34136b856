// Pens and brushes with GDI's meaning: cosmetic pens one pixel wide, geometric pens in logical
// width with their caps, joins and miter limit, GDI's dash patterns with the background colour
// in the gaps under an opaque background, null pens and brushes, hatches in device pixels over
// the background colour or nothing, and DIB pattern brushes.
#include <algorithm>
#include <cmath>

#include "QVRasterDC/raster_device.h"

namespace vellora {

namespace {

constexpr std::int32_t kHatchSize = 8;
constexpr std::uint32_t kHatchStyles = 6;         // HS_HORIZONTAL .. HS_DIAGCROSS
constexpr std::uint32_t kPlayerPatternHatch = 2;  // the hatch a player pattern brush is given

// Dash patterns in pixels of a cosmetic pen, and in pen widths of a geometric one, for pen
// styles 1 (dash) to 4 (dash dot dot); style 8 (alternate) sets every other pixel.
struct DashPattern {
  double lengths[6];
  int count;
};
constexpr DashPattern kCosmeticDashes[5] = {
    {{0}, 0}, {{18, 6}, 2}, {{3, 3}, 2}, {{9, 6, 3, 6}, 4}, {{9, 3, 3, 3, 3, 3}, 6}};
constexpr DashPattern kGeometricDashes[5] = {
    {{0}, 0}, {{3, 1}, 2}, {{1, 1}, 2}, {{3, 1, 1, 1}, 4}, {{3, 1, 1, 1, 1, 1}, 6}};
constexpr DashPattern kAlternate = {{1, 1}, 2};
constexpr std::uint8_t kPenAlternate = 8;

// Whether the hatch of a style covers pixel (x, y) of its 8 x 8 cell.
bool HatchCovers(std::uint32_t hatch, int x, int y) {
  const bool horizontal = y == kHatchSize / 2;
  const bool vertical = x == kHatchSize / 2;
  const bool forward = x == y;                    // HS_FDIAGONAL: top left to bottom right
  const bool backward = x + y == kHatchSize - 1;  // HS_BDIAGONAL
  switch (hatch) {
    case 0:
      return horizontal;
    case 1:
      return vertical;
    case 2:
      return forward;
    case 3:
      return backward;
    case 4:
      return horizontal || vertical;
    default:
      return forward || backward;
  }
}

}  // namespace

void TQVRasterDevice::SetColor(COLORREF color) {
  // A palette index (0x01 in the top byte) is looked up in the selected palette.
  if ((color >> 24) == 1) {
    const TQVDvPalette* palette = objects.Palette(CurrentDCState().selectedPalette);
    const std::uint32_t index = color & 0xFFFF;
    color = palette && index < palette->entries.size() ? palette->entries[index] & 0xFFFFFF : 0;
  }
  cairo_set_source_rgb(cr_, (color & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                       ((color >> 16) & 0xFF) / 255.0);
}

cairo_surface_t* TQVRasterDevice::PatternOfSelectedBrush() {
  const TQVDCStackVar& v = CurrentDCState();
  if (v.brushStyle != kBrushHatched || v.brushHatch != kPlayerPatternHatch) return nullptr;
  const TQVDvBrush* brush = objects.Brush(v.selectedBrush);
  if (brush == nullptr) return nullptr;
  for (const PatternBrush& p : patterns_)
    if (p.serial == brush->serial) return p.surface;
  return nullptr;
}

cairo_pattern_t* TQVRasterDevice::HatchPattern(std::uint32_t hatch) {
  // One 8 x 8 mask per style, made on first use; hatches stay in device pixels.
  static_assert(kHatchStyles <= 6);
  const std::size_t style = std::min<std::uint32_t>(hatch, kHatchStyles - 1);
  if (hatchMasks_[style] == nullptr) {
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, kHatchSize, kHatchSize);
    cairo_surface_flush(mask);
    unsigned char* data = cairo_image_surface_get_data(mask);
    const int stride = cairo_image_surface_get_stride(mask);
    for (int y = 0; y < kHatchSize; ++y)
      for (int x = 0; x < kHatchSize; ++x)
        data[y * stride + x] = HatchCovers(static_cast<std::uint32_t>(style), x, y) ? 255 : 0;
    cairo_surface_mark_dirty(mask);
    hatchMasks_[style] = mask;
  }
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(hatchMasks_[style]);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
  cairo_matrix_t m;
  cairo_matrix_init_translate(&m, -offsetX_, -offsetY_);
  cairo_pattern_set_matrix(pattern, &m);
  return pattern;
}

bool TQVRasterDevice::SetBrushSource() {
  const TQVDCStackVar& v = CurrentDCState();
  if (v.brushStyle == kBrushNull) return false;
  if (cairo_surface_t* pattern = PatternOfSelectedBrush()) {
    cairo_set_source_surface(cr_, pattern, offsetX_, offsetY_);
    cairo_pattern_set_extend(cairo_get_source(cr_), CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
    return true;
  }
  SetColor(v.brushColor);
  return true;
}

void TQVRasterDevice::FillCurrentPath(bool winding) {
  const TQVDCStackVar& v = CurrentDCState();
  if (v.brushStyle == kBrushNull || path_.empty()) return;
  EmitPath(false);
  cairo_set_fill_rule(cr_, winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
  if (v.brushStyle == kBrushHatched && PatternOfSelectedBrush() == nullptr) {
    // The hatch lines in the brush colour, over the background colour when it is opaque.
    cairo_save(cr_);
    cairo_clip(cr_);
    if (v.opaque) {
      SetColor(v.bkColor);
      cairo_paint(cr_);
    }
    SetColor(v.brushColor);
    cairo_pattern_t* mask = HatchPattern(v.brushHatch);
    cairo_mask(cr_, mask);
    cairo_pattern_destroy(mask);
    cairo_restore(cr_);
    return;
  }
  SetBrushSource();
  cairo_fill(cr_);
}

void TQVRasterDevice::StrokeCurrentPath() {
  const TQVDCStackVar& v = CurrentDCState();
  if (v.penStyle == kPenNull || path_.empty()) return;
  const cairo_matrix_t m = LogicalToPixel();
  const double scale = std::sqrt(std::fabs(m.xx * m.yy - m.xy * m.yx));
  const double width = std::fabs(double(v.penWidth)) * scale;
  // A pen of width 0, or one thinner than a pixel, is drawn one pixel wide on the pixel grid.
  const bool cosmetic = v.penWidth == 0 || !(width > 1.0);
  const double lineWidth = cosmetic ? 1.0 : std::min(width, 1.0e6);
  EmitPath(cosmetic);
  cairo_set_line_width(cr_, lineWidth);
  if (cosmetic) {
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
  } else {
    cairo_set_line_cap(cr_, v.penCap == kPenCapSquare ? CAIRO_LINE_CAP_SQUARE
                            : v.penCap == kPenCapFlat ? CAIRO_LINE_CAP_BUTT
                                                      : CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr_, v.penJoin == kPenJoinBevel   ? CAIRO_LINE_JOIN_BEVEL
                             : v.penJoin == kPenJoinMiter ? CAIRO_LINE_JOIN_MITER
                                                          : CAIRO_LINE_JOIN_ROUND);
  }
  cairo_set_miter_limit(cr_, std::max(1.0, double(v.miterLimit)));

  const DashPattern* dash = nullptr;
  if (v.penStyle >= 1 && v.penStyle <= 4)
    dash = cosmetic ? &kCosmeticDashes[v.penStyle] : &kGeometricDashes[v.penStyle];
  else if (v.penStyle == kPenAlternate)
    dash = &kAlternate;
  if (dash == nullptr) {
    cairo_set_dash(cr_, nullptr, 0, 0);
    SetColor(v.penColor);
    cairo_stroke(cr_);
    return;
  }
  double lengths[6];
  const double unit = cosmetic || v.penStyle == kPenAlternate ? 1.0 : lineWidth;
  for (int i = 0; i < dash->count; ++i) lengths[i] = dash->lengths[i] * unit;
  if (v.opaque) {
    // The gaps take the background colour.
    cairo_set_dash(cr_, nullptr, 0, 0);
    SetColor(v.bkColor);
    cairo_stroke_preserve(cr_);
  }
  cairo_set_dash(cr_, lengths, dash->count, 0);
  SetColor(v.penColor);
  cairo_stroke(cr_);
  cairo_set_dash(cr_, nullptr, 0, 0);
}

}  // namespace vellora

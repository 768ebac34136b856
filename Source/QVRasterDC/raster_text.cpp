// Text: ExtTextOut with the logical font of the current level, resolved by the platform's font
// service and drawn from the same font bytes with cairo-ft: the spacing array, alignment,
// escapement, underline, strike-out, the opaque rectangle and clipping options, glyph-index
// text, the background under an opaque background mode, and right-to-left text in the order
// the platform's bidi placement gives.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "QVRasterDC/raster_device.h"
#include "qvplatform/codepage.h"
#include "qvplatform/device_context.h"
#include "qvplatform/text_measure.h"
#include "qvplatform/text_out_options.h"
#include "qvplatform/text_placement.h"

namespace vellora {

namespace {

// The em of a font whose height no record gave, in logical units.
constexpr double kDefaultEm = 12;
// Glyphs up to this em (pixels) are drawn from cairo's glyph images.
constexpr double kLargestCachedEm = 256;
constexpr double kLeastStretch = 1.0 / 64, kMostStretch = 64;

// Raw text-alignment flags of the level.
constexpr std::uint32_t kTaUpdateCp = 1, kTaRight = 2, kTaCenter = 6, kTaBottom = 8,
                        kTaBaseline = 24;

bool IsRightToLeft(char16_t c) {
  return (c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) ||
         (c >= 0xFE70 && c <= 0xFEFF);
}

double Length(double x, double y) { return std::sqrt(x * x + y * y); }

}  // namespace

void TQVRasterDevice::DrawTextUnderline(const double* origin, const double* advance,
                                        const double* down, double em, double position,
                                        double thickness) {
  // A band along the baseline: position above it (font units turned to em fractions), at
  // least one pixel thick.
  const double t = std::max(thickness * em, 1.0);
  const double o = -position * em - t / 2;
  const double x0 = origin[0] + down[0] * o, y0 = origin[1] + down[1] * o;
  cairo_new_path(cr_);
  cairo_move_to(cr_, x0, y0);
  cairo_line_to(cr_, x0 + advance[0], y0 + advance[1]);
  cairo_line_to(cr_, x0 + advance[0] + down[0] * t, y0 + advance[1] + down[1] * t);
  cairo_line_to(cr_, x0 + down[0] * t, y0 + down[1] * t);
  cairo_close_path(cr_);
  cairo_fill(cr_);
}

void TQVRasterDevice::ExtTextOut(std::int32_t x, std::int32_t y, std::uint32_t options,
                                 const RECTL& clip, const char16_t* wideText, const char* ansiText,
                                 std::int32_t length, const std::int32_t* spacing) {
  const TQVDCStackVar& v = CurrentDCState();
  if (options & qvplatform::ETO_OPAQUE)
    FillLogicalRect(clip.left, clip.top, double(clip.right) - clip.left,
                    double(clip.bottom) - clip.top, v.bkColor);
  if (length <= 0 || (wideText == nullptr && ansiText == nullptr)) return;
  const TQVRasterFont* font = fonts_.Select(v.font);
  if (font == nullptr) {
    ++stats_.missingGlyphRuns;
    return;
  }
  const std::size_t n = static_cast<std::size_t>(length);
  const bool glyphIndexes = (options & qvplatform::ETO_GLYPH_INDEX) != 0;

  // The text as UTF-16 (8-bit text in the code page of the font's character set).
  wide_.resize(n);
  std::size_t count = n;
  if (wideText) {
    std::copy(wideText, wideText + n, wide_.begin());
  } else if (glyphIndexes) {
    for (std::size_t i = 0; i < n; ++i) wide_[i] = static_cast<unsigned char>(ansiText[i]);
  } else {
    const int made = qvplatform::MultiByteToWideChar(
        qvplatform::CodePageFromCharset(v.font.lfCharSet), 0, ansiText, length,
        reinterpret_cast<qvplatform::WCHAR*>(wide_.data()), length);
    count = made > 0 ? static_cast<std::size_t>(made) : 0;
  }
  if (count == 0) return;
  // The spacing array has one advance per character of the record's own text.
  const bool spaced = spacing != nullptr && count == n;

  // Glyphs in display order, with the advance of each when the record gives them.
  glyphIds_.resize(count);
  visualSpacing_.resize(count);
  bool reordered = false;
  if (glyphIndexes) {
    for (std::size_t i = 0; i < count; ++i) glyphIds_[i] = wide_[i];
  } else if (std::any_of(wide_.begin(), wide_.begin() + std::ptrdiff_t(count), IsRightToLeft)) {
    order_.resize(count);
    qvplatform::GCP_RESULTSW results;
    results.lpOrder = order_.data();
    results.lpGlyphs = reinterpret_cast<qvplatform::WCHAR*>(glyphIds_.data());
    results.nGlyphs = static_cast<qvplatform::UINT>(count);
    const bool placed = qvplatform::GetCharacterPlacementW(
                            fonts_.Dc(), reinterpret_cast<qvplatform::WCHAR*>(wide_.data()),
                            static_cast<int>(count), 0, &results,
                            qvplatform::GCP_REORDER | qvplatform::GCP_GLYPHSHAPE) != 0 &&
                        results.nGlyphs == count;
    if (placed) {
      reordered = true;
      if (spaced)
        for (std::size_t i = 0; i < count; ++i)
          if (order_[i] < count) visualSpacing_[order_[i]] = spacing[i];
    }
  }
  if (!glyphIndexes && !reordered &&
      qvplatform::GetGlyphIndicesW(fonts_.Dc(), reinterpret_cast<qvplatform::WCHAR*>(wide_.data()),
                                   static_cast<int>(count), glyphIds_.data(),
                                   0) == qvplatform::GDI_ERROR) {
    ++stats_.missingGlyphRuns;
    return;
  }
  if (spaced && !reordered) std::copy(spacing, spacing + count, visualSpacing_.begin());

  // The glyphs' frame in pixels: the baseline along logical x, the glyphs upright whichever
  // way logical y points, turned by the escapement counter-clockwise as seen.
  const cairo_matrix_t m = LogicalToPixel();
  const double xUnit = Length(m.xx, m.yx), yUnit = Length(m.xy, m.yy);
  if (!(xUnit > 0) || !(yUnit > 0) || !std::isfinite(xUnit) || !std::isfinite(yUnit)) return;
  double ax = m.xx / xUnit, ay = m.yx / xUnit;  // along the baseline
  double dx = -ay, dy = ax;  // down: a quarter turn clockwise as seen from the baseline
  // Under a mapping that turns y up while x stays, the angle is taken clockwise, as the page
  // content draws it there.
  const double angle =
      (dcStack.xPositiveYNegative ? -1 : 1) * v.font.lfEscapement / 1800.0 * std::numbers::pi;
  if (angle != 0) {
    const double c = std::cos(angle), s = std::sin(angle);
    const double rx = ax * c + ay * s, ry = -ax * s + ay * c;
    ax = rx, ay = ry;
    dx = -ay, dy = ax;
  }
  const double cell = font->ascent + font->descent;
  const double height = std::fabs(double(v.font.lfHeight));
  const double emLogical = v.font.lfHeight < 0   ? height
                           : v.font.lfHeight > 0 ? height / (cell > 0 ? cell : 1)
                                                 : kDefaultEm;
  const double em = emLogical * yUnit;  // pixels
  if (!(em > 0.01) || !(em < 1.0e5)) return;
  // Stretched no further than a face can sensibly be (cairo refuses extreme font matrices).
  const double stretch =
      v.font.lfWidth != 0 && font->averageWidth > 0
          ? std::clamp(std::fabs(double(v.font.lfWidth)) * xUnit / (font->averageWidth * em),
                       kLeastStretch, kMostStretch)
          : 1.0;
  cairo_matrix_t fm;
  cairo_matrix_init(&fm, ax * em * stretch, ay * em * stretch, dx * em, dy * em, 0, 0);
  if (!(std::fabs(fm.xx * fm.yy - fm.xy * fm.yx) > 1e-9)) return;

  cairo_identity_matrix(cr_);
  cairo_set_font_face(cr_, font->cairoFace);
  cairo_set_font_matrix(cr_, &fm);
  cairo_scaled_font_t* scaled = cairo_get_scaled_font(cr_);

  // Pen positions relative to the origin.
  glyphs_.resize(count);
  double penX = 0, penY = 0;
  for (std::size_t i = 0; i < count; ++i) {
    glyphs_[i].index = glyphIds_[i];
    glyphs_[i].x = penX;
    glyphs_[i].y = penY;
    if (spaced) {
      penX += visualSpacing_[i] * xUnit * ax;
      penY += visualSpacing_[i] * xUnit * ay;
    } else {
      cairo_glyph_t g{glyphIds_[i], 0, 0};
      cairo_text_extents_t e;
      cairo_scaled_font_glyph_extents(scaled, &g, 1, &e);
      penX += e.x_advance;
      penY += e.y_advance;
    }
  }

  // The reference point: the current position under TA_UPDATECP, aligned by the level's flags.
  const bool updateCurrent = (v.textAlign & kTaUpdateCp) != 0;
  double ox, oy;
  PixelPoint(m, updateCurrent ? currentX_ : x, updateCurrent ? currentY_ : y, ox, oy);
  if ((v.textAlign & kTaCenter) == kTaCenter) {
    ox -= penX / 2, oy -= penY / 2;
  } else if (v.textAlign & kTaRight) {
    ox -= penX, oy -= penY;
  }
  if ((v.textAlign & kTaBaseline) == kTaBaseline) {
  } else if (v.textAlign & kTaBottom) {
    ox -= dx * font->descent * em, oy -= dy * font->descent * em;
  } else {
    ox += dx * font->ascent * em, oy += dy * font->ascent * em;
  }
  if (updateCurrent && !(v.textAlign & kTaRight)) {
    const double advance = Length(penX, penY) / xUnit;
    currentX_ = static_cast<std::int32_t>(
        std::clamp(currentX_ + std::lround(advance), -2000000000L, 2000000000L));
  }
  for (std::size_t i = 0; i < count; ++i) glyphs_[i].x += ox, glyphs_[i].y += oy;

  const bool clipped = (options & qvplatform::ETO_CLIPPED) != 0;
  if (clipped) {
    cairo_save(cr_);
    cairo_new_path(cr_);
    cairo_set_matrix(cr_, &m);
    cairo_rectangle(cr_, clip.left, clip.top, double(clip.right) - clip.left,
                    double(clip.bottom) - clip.top);
    cairo_identity_matrix(cr_);
    cairo_clip(cr_);
  }
  if (v.opaque && !(options & qvplatform::ETO_OPAQUE)) {
    // The text's cells take the background colour.
    const double up = font->ascent * em, below = font->descent * em;
    cairo_new_path(cr_);
    cairo_move_to(cr_, ox - dx * up, oy - dy * up);
    cairo_line_to(cr_, ox + penX - dx * up, oy + penY - dy * up);
    cairo_line_to(cr_, ox + penX + dx * below, oy + penY + dy * below);
    cairo_line_to(cr_, ox + dx * below, oy + dy * below);
    cairo_close_path(cr_);
    SetColor(v.bkColor);
    cairo_fill(cr_);
  }
  SetColor(v.textColor);
  if (InBracket()) {
    // Inside a path bracket the outlines join the path.
    cairo_new_path(cr_);
    cairo_glyph_path(cr_, glyphs_.data(), static_cast<int>(count));
    cairo_path_t* outline = cairo_copy_path(cr_);
    for (int i = 0; i < outline->num_data; i += outline->data[i].header.length) {
      const cairo_path_data_t* d = &outline->data[i];
      switch (d->header.type) {
        case CAIRO_PATH_MOVE_TO:
          path_.push_back({TQVRasterPathPoint::kMove, d[1].point.x, d[1].point.y});
          break;
        case CAIRO_PATH_LINE_TO:
          path_.push_back({TQVRasterPathPoint::kLine, d[1].point.x, d[1].point.y});
          break;
        case CAIRO_PATH_CURVE_TO:
          for (int k = 1; k <= 3; ++k)
            path_.push_back({TQVRasterPathPoint::kCurve, d[k].point.x, d[k].point.y});
          break;
        case CAIRO_PATH_CLOSE_PATH:
          path_.push_back({TQVRasterPathPoint::kClose, 0, 0});
          break;
      }
    }
    cairo_path_destroy(outline);
    cairo_new_path(cr_);
  } else {
    if (em > kLargestCachedEm) {
      // Large glyphs are filled as outlines: a glyph image of that size would cost time and
      // memory out of proportion to the record.
      cairo_new_path(cr_);
      cairo_glyph_path(cr_, glyphs_.data(), static_cast<int>(count));
      cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
      cairo_fill(cr_);
    } else {
      cairo_show_glyphs(cr_, glyphs_.data(), static_cast<int>(count));
    }
    const double origin[2] = {ox, oy}, advance[2] = {penX, penY}, down[2] = {dx, dy};
    if (v.font.lfUnderline)
      DrawTextUnderline(origin, advance, down, em, font->underlinePosition,
                        font->underlineThickness);
    if (v.font.lfStrikeOut)
      DrawTextUnderline(origin, advance, down, em, font->strikeoutPosition,
                        font->strikeoutThickness);
  }
  if (clipped) cairo_restore(cr_);
}

}  // namespace vellora

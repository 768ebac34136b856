// Bitmaps and raster operations: DIBs through the platform's DIB reader and converter (every
// depth, RLE, bitfields, both row orders), stretched onto the logical destination; plain copies
// painted by cairo, alpha and transparent blits blended, and every other raster operation
// worked out bit by bit from the pattern (the brush), the source and the destination pixels.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "QVGenDC/metafile_player.h"
#include "QVRasterDC/raster_device.h"
#include "qvplatform/dib_convert.h"
#include "qvplatform/emf_dib.h"

namespace vellora {

namespace {

constexpr std::uint8_t kRopSourceCopy = 0xCC, kRopBlackness = 0x00, kRopWhiteness = 0xFF;
constexpr std::uint8_t kRopPatternCopy = 0xF0, kRopDestination = 0xAA;
constexpr std::size_t kMaxPatterns = 1024;

// The raster operation's code: bit (p << 2 | s << 1 | d) is the result for those input bits.
std::uint8_t Rop3Of(std::uint32_t rop) { return static_cast<std::uint8_t>(rop >> 16); }

// An alpha blend travels as its blend function in the raster-operation place; a raster
// operation always has a non-zero low word.
bool IsBlendFunction(std::uint32_t rop) { return (rop & 0xFFFF) == 0; }

std::uint32_t Rop3(std::uint8_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  std::uint32_t result = 0;
  for (unsigned i = 0; i < 8; ++i) {
    if (!((code >> i) & 1)) continue;
    result |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return result & 0xFFFFFF;
}

// 0x00BBGGRR to cairo's 0x00RRGGBB.
std::uint32_t PixelOf(qvplatform::COLORREF c) {
  return (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

}  // namespace

cairo_surface_t* TQVRasterDevice::DecodeDib(Bytes info, Bytes bits, std::uint32_t usage,
                                            bool alpha) {
  qvplatform::EmfDib dib;
  if (qvplatform::ReadDibBytes(info.data(), info.size(), bits.data(), bits.size(), usage, dib) !=
      qvplatform::DibStatus::kOk) {
    ++stats_.skippedBitmaps;
    return nullptr;
  }
  // Palette colours are looked up in the selected palette.
  palette_.clear();
  if (const TQVDvPalette* p = objects.Palette(CurrentDCState().selectedPalette)) {
    for (const std::uint32_t e : p->entries)
      palette_.push_back({static_cast<std::uint8_t>(e), static_cast<std::uint8_t>(e >> 8),
                          static_cast<std::uint8_t>(e >> 16), static_cast<std::uint8_t>(e >> 24)});
  }
  qvplatform::DibColorTable table;
  qvplatform::DibView view;
  if (qvplatform::DibViewOf(dib, palette_.data(), static_cast<qvplatform::DWORD>(palette_.size()),
                            &table, &view) != qvplatform::DibError::kOk) {
    ++stats_.skippedBitmaps;
    return nullptr;
  }
  qvplatform::DibTarget target;
  target.bitCount = 24;
  target.topDown = true;
  if (qvplatform::ConvertDib(view, target, &dibRows_).error != qvplatform::DibError::kOk) {
    ++stats_.skippedBitmaps;
    return nullptr;
  }
  const int width = static_cast<int>(dib.Width());
  const int height = static_cast<int>(dib.AbsHeight());
  if (width <= 0 || height <= 0) return nullptr;
  const std::size_t rowBytes = (std::size_t(width) * 3 + 3) & ~std::size_t{3};
  const cairo_format_t format = alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24;
  const int stride = cairo_format_stride_for_width(format, width);
  if (stride <= 0) return nullptr;
  bgrx_.resize(std::size_t(stride) * std::size_t(height));
  // The per-pixel alpha of a 32-bit bitmap lies in the fourth byte of its own rows.
  const bool withAlpha = alpha && view.format.bitCount == 32 && view.format.compression == 0;
  const std::size_t sourceStride = std::size_t(width) * 4;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* in = dibRows_.data() + rowBytes * std::size_t(y);
    auto* out =
        reinterpret_cast<std::uint32_t*>(bgrx_.data() + std::size_t(stride) * std::size_t(y));
    const std::size_t sourceRow =
        view.format.height < 0 ? std::size_t(y) : std::size_t(height - 1 - y);
    const std::uint8_t* alphaRow = withAlpha && (sourceRow + 1) * sourceStride <= view.bitsSize
                                       ? view.bits + sourceRow * sourceStride
                                       : nullptr;
    for (int x = 0; x < width; ++x) {
      std::uint32_t b = in[3 * x], g = in[3 * x + 1], r = in[3 * x + 2], a = 255;
      if (alphaRow) {
        // Premultiplied already, as AlphaBlend takes it; kept inside the alpha.
        a = alphaRow[4 * x + 3];
        r = std::min(r, a), g = std::min(g, a), b = std::min(b, a);
      }
      out[x] = a << 24 | r << 16 | g << 8 | b;
    }
  }
  return cairo_image_surface_create_for_data(bgrx_.data(), format, width, height, stride);
}

std::int32_t TQVRasterDevice::DrawDIBits(bool hasColorTable, std::int32_t srcX, std::int32_t srcY,
                                         std::int32_t srcWidth, std::int32_t srcHeight, float dstX,
                                         float dstY, float dstWidth, float dstHeight, bool crop,
                                         Bytes bits, Bytes bitmapHeader, Bytes colorTable) {
  (void)hasColorTable, (void)srcX, (void)srcY, (void)srcWidth, (void)srcHeight;
  (void)dstX, (void)dstY, (void)crop;
  // Only the player's pattern brushes come here (no destination): the pattern is kept for the
  // brush the player creates next.
  if (dstWidth != 0 || dstHeight != 0 || patterns_.size() >= kMaxPatterns) return 0;
  infoBlock_.assign(bitmapHeader.begin(), bitmapHeader.end());
  infoBlock_.insert(infoBlock_.end(), colorTable.begin(), colorTable.end());
  cairo_surface_t* decoded = DecodeDib(infoBlock_, bits, qvplatform::DIB_RGB_COLORS, false);
  if (decoded == nullptr) return 0;
  PatternBrush pattern;
  pattern.serial = objects.SerialCounter() + 1;
  pattern.pixels = bgrx_;
  pattern.surface = cairo_image_surface_create_for_data(
      pattern.pixels.data(), CAIRO_FORMAT_RGB24, cairo_image_surface_get_width(decoded),
      cairo_image_surface_get_height(decoded), cairo_image_surface_get_stride(decoded));
  cairo_surface_destroy(decoded);
  patterns_.push_back(std::move(pattern));
  return static_cast<std::int32_t>(patterns_.size());
}

void TQVRasterDevice::FillLogicalRect(double x, double y, double width, double height,
                                      COLORREF color) {
  const cairo_matrix_t m = LogicalToPixel();
  cairo_new_path(cr_);
  cairo_set_matrix(cr_, &m);
  cairo_rectangle(cr_, x, y, width, height);
  cairo_identity_matrix(cr_);
  SetColor(color);
  cairo_fill(cr_);
}

void TQVRasterDevice::FillSolidRect(std::int32_t x, std::int32_t y, std::int32_t width,
                                    std::int32_t height, COLORREF color) {
  FillLogicalRect(x, y, width, height, color);
}

void TQVRasterDevice::FillSolidRectF(COLORREF color, float x, float y, float width, float height) {
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(width) || !std::isfinite(height))
    return;
  FillLogicalRect(x, y, width, height, color);
}

void TQVRasterDevice::SetPixel(std::int32_t x, std::int32_t y, COLORREF color) {
  const cairo_matrix_t m = LogicalToPixel();
  double px, py;
  PixelPoint(m, x, y, px, py);
  if (!(std::fabs(px) < 1e8 && std::fabs(py) < 1e8)) return;
  cairo_new_path(cr_);
  cairo_identity_matrix(cr_);
  cairo_rectangle(cr_, std::floor(px), std::floor(py), 1, 1);
  SetColor(color);
  cairo_fill(cr_);
}

void TQVRasterDevice::BitBlt(std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height, std::uint32_t rop) {
  const std::uint8_t code = Rop3Of(rop);
  if (code == kRopBlackness) return FillLogicalRect(x, y, width, height, 0);
  if (code == kRopWhiteness) return FillLogicalRect(x, y, width, height, 0xFFFFFF);
  if (code == kRopDestination) return;
  if (code == kRopPatternCopy) {
    // The brush, hatch or pattern included, over the rectangle; the path being built stays.
    const cairo_matrix_t m = LogicalToPixel();
    path_.swap(blitPath_);
    path_.clear();
    PathMove(m, x, y);
    PathLine(m, double(x) + width, y);
    PathLine(m, double(x) + width, double(y) + height);
    PathLine(m, x, double(y) + height);
    PathClose();
    FillCurrentPath(true);
    path_.swap(blitPath_);
    return;
  }
  cairo_matrix_t none;
  cairo_matrix_init_identity(&none);
  RasterOperation(nullptr, none, x, y, width, height, code);
}

std::int32_t TQVRasterDevice::StretchDIBits(std::int32_t dstX, std::int32_t dstY, std::uint32_t rop,
                                            std::uint32_t colorUsage, Bytes bitmapInfo, Bytes bits,
                                            std::int32_t srcX, std::int32_t srcY,
                                            std::int32_t srcWidth, std::int32_t srcHeight,
                                            std::int32_t dstWidth, std::int32_t dstHeight) {
  if (srcWidth == 0 || srcHeight == 0 || dstWidth == 0 || dstHeight == 0) return 0;
  const std::uint32_t usage =
      colorUsage == kBlitColorUsage ? qvplatform::DIB_RGB_COLORS : colorUsage;
  const bool blend = !transparentBlit && IsBlendFunction(rop);
  const bool perPixelAlpha = blend && ((rop >> 24) & 1) != 0;
  cairo_surface_t* source = DecodeDib(bitmapInfo, bits, usage, perPixelAlpha);
  if (source == nullptr) return 0;
  if (transparentBlit) {
    // Pixels of the transparent colour are left out.
    const std::uint32_t key = PixelOf(transparentColor);
    const int w = cairo_image_surface_get_width(source), h = cairo_image_surface_get_height(source);
    const int stride = cairo_image_surface_get_stride(source);
    cairo_surface_destroy(source);
    for (int y = 0; y < h; ++y) {
      auto* row =
          reinterpret_cast<std::uint32_t*>(bgrx_.data() + std::size_t(stride) * std::size_t(y));
      for (int x = 0; x < w; ++x) row[x] = (row[x] & 0xFFFFFF) == key ? 0 : (row[x] | 0xFF000000u);
    }
    source = cairo_image_surface_create_for_data(bgrx_.data(), CAIRO_FORMAT_ARGB32, w, h, stride);
    rop = 0x00CC0020;
  }
  // Source rows count from the bottom of a bottom-up bitmap; the decoded rows are top-down.
  const int height = cairo_image_surface_get_height(source);
  const bool topDown =
      bitmapInfo.size() >= 12 &&
      static_cast<std::int32_t>(std::uint32_t(bitmapInfo[8]) | std::uint32_t(bitmapInfo[9]) << 8 |
                                std::uint32_t(bitmapInfo[10]) << 16 |
                                std::uint32_t(bitmapInfo[11]) << 24) < 0;
  const std::int64_t top = topDown ? srcY : std::int64_t{height} - srcY - srcHeight;
  const double alpha = blend ? ((rop >> 16) & 0xFF) / 255.0 : 1.0;
  if (blend) {
    blendAlpha_ = alpha;
    rop = 0x00CC0020;
  }
  Blit(source, srcX, static_cast<std::int32_t>(std::clamp<std::int64_t>(top, INT32_MIN, INT32_MAX)),
       srcWidth, srcHeight, dstX, dstY, dstWidth, dstHeight, rop);
  blendAlpha_ = 1.0;
  cairo_surface_destroy(source);
  return 0;
}

void TQVRasterDevice::Blit(cairo_surface_t* source, std::int32_t srcX, std::int32_t srcY,
                           std::int32_t srcWidth, std::int32_t srcHeight, double dstX, double dstY,
                           double dstWidth, double dstHeight, std::uint32_t rop) {
  cairo_matrix_t m = LogicalToPixel();
  cairo_matrix_translate(&m, dstX, dstY);
  cairo_matrix_scale(&m, dstWidth / srcWidth, dstHeight / srcHeight);
  cairo_matrix_translate(&m, -double(srcX), -double(srcY));
  const double det = m.xx * m.yy - m.xy * m.yx;
  if (!std::isfinite(det) || std::fabs(det) < 1e-12) return;
  if (Rop3Of(rop) != kRopSourceCopy) {
    RasterOperation(source, m, dstX, dstY, dstWidth, dstHeight, Rop3Of(rop));
    return;
  }
  cairo_new_path(cr_);
  cairo_set_matrix(cr_, &m);
  cairo_set_source_surface(cr_, source, 0, 0);
  // Shrunk bitmaps are smoothed, enlarged ones keep their pixels square.
  cairo_pattern_set_filter(cairo_get_source(cr_),
                           std::fabs(det) < 1 ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
  cairo_pattern_set_extend(cairo_get_source(cr_), CAIRO_EXTEND_PAD);
  cairo_rectangle(cr_, srcX, srcY, srcWidth, srcHeight);
  cairo_identity_matrix(cr_);
  cairo_save(cr_);
  cairo_clip(cr_);
  cairo_paint_with_alpha(cr_, blendAlpha_);
  cairo_restore(cr_);
}

void TQVRasterDevice::RasterOperation(cairo_surface_t* source, const cairo_matrix_t& sourceToPixel,
                                      double dstX, double dstY, double dstWidth, double dstHeight,
                                      std::uint8_t rop3) {
  // The destination rectangle's pixels, inside the surface and the clip.
  const cairo_matrix_t m = LogicalToPixel();
  double xs[4], ys[4];
  PixelPoint(m, dstX, dstY, xs[0], ys[0]);
  PixelPoint(m, dstX + dstWidth, dstY, xs[1], ys[1]);
  PixelPoint(m, dstX + dstWidth, dstY + dstHeight, xs[2], ys[2]);
  PixelPoint(m, dstX, dstY + dstHeight, xs[3], ys[3]);
  cairo_identity_matrix(cr_);
  double cx1, cy1, cx2, cy2;
  cairo_clip_extents(cr_, &cx1, &cy1, &cx2, &cy2);
  const double left = std::max({std::min({xs[0], xs[1], xs[2], xs[3]}), cx1, 0.0});
  const double top = std::max({std::min({ys[0], ys[1], ys[2], ys[3]}), cy1, 0.0});
  const double right =
      std::min({std::max({xs[0], xs[1], xs[2], xs[3]}), cx2, double(surfaceWidth_)});
  const double bottom =
      std::min({std::max({ys[0], ys[1], ys[2], ys[3]}), cy2, double(surfaceHeight_)});
  if (!(right > left && bottom > top)) return;
  const int bx = static_cast<int>(std::floor(left)), by = static_cast<int>(std::floor(top));
  const int bw = static_cast<int>(std::ceil(right)) - bx,
            bh = static_cast<int>(std::ceil(bottom)) - by;
  if (bw <= 0 || bh <= 0) return;

  // The source (or the bare rectangle) drawn into the scratch pixels marks what is covered.
  const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, bw);
  scratch_.assign(std::size_t(stride) * std::size_t(bh), 0);
  cairo_surface_t* work =
      cairo_image_surface_create_for_data(scratch_.data(), CAIRO_FORMAT_ARGB32, bw, bh, stride);
  cairo_t* w = cairo_create(work);
  cairo_translate(w, -bx, -by);
  if (source) {
    cairo_transform(w, &sourceToPixel);
    cairo_set_source_surface(w, source, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(w), CAIRO_FILTER_NEAREST);
    cairo_rectangle(w, 0, 0, cairo_image_surface_get_width(source),
                    cairo_image_surface_get_height(source));
  } else {
    cairo_transform(w, &m);
    cairo_set_source_rgb(w, 0, 0, 0);  // a missing source reads as black
    cairo_rectangle(w, dstX, dstY, dstWidth, dstHeight);
  }
  cairo_fill(w);
  cairo_destroy(w);
  cairo_surface_flush(work);

  cairo_surface_flush(surface_);
  const unsigned char* target = cairo_image_surface_get_data(surface_);
  const int targetStride = cairo_image_surface_get_stride(surface_);
  const std::uint32_t pattern = PixelOf(CurrentDCState().brushColor);
  for (int y = 0; y < bh; ++y) {
    auto* row =
        reinterpret_cast<std::uint32_t*>(scratch_.data() + std::size_t(stride) * std::size_t(y));
    const auto* dest = reinterpret_cast<const std::uint32_t*>(
        target + std::size_t(targetStride) * std::size_t(by + y) + std::size_t(bx) * 4);
    for (int x = 0; x < bw; ++x) {
      const std::uint32_t a = row[x] >> 24;
      if (a < 128) {
        row[x] = 0;
        continue;
      }
      const std::uint32_t s = row[x] & 0xFFFFFF;
      row[x] = 0xFF000000u | Rop3(rop3, pattern, s, dest[x] & 0xFFFFFF);
    }
  }
  cairo_surface_mark_dirty(work);
  cairo_new_path(cr_);
  cairo_set_source_surface(cr_, work, bx, by);
  cairo_paint(cr_);
  cairo_set_source_rgb(cr_, 0, 0, 0);
  cairo_surface_destroy(work);
}

}  // namespace vellora

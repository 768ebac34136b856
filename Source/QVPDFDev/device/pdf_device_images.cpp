// The PDF device as the host of its image writer: the settings an image is made with, the
// preparation of the content before an image is placed, and the marks that drawing leaves on
// the page's thumbnail raster.
#include <algorithm>
#include <cmath>

#include "QVPDFDev/device/pdf_device.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

constexpr TQVGenericDevice::COLORREF kImageMarkColor = 0xC0C0C0;

// A raster coordinate from a page coordinate; false when it is not a number the raster can
// take (a degenerate matrix, an enormous value).
bool RasterCoordinate(long double page, long double pageSize, int rasterSize, int& out) {
  const long double v = page * rasterSize / pageSize;
  if (!std::isfinite(v) || std::fabs(v) > 1e9L) return false;
  out = static_cast<int>(std::lround(v));
  return true;
}

}  // namespace

TQVImageOptions TQVPDFDevice::ImageOptions() const {
  TQVImageOptions result;
  result.jpegConversion = options.images.jpegConversion;
  result.jpegQuality = options.images.jpegQuality;
  result.transparent = transparentBlit;
  result.transparentColor = transparentColor;
  result.modes = modes;
  return result;
}

void TQVPDFDevice::PrepareImageDraw(std::int32_t x, std::int32_t y, std::int32_t width,
                                    std::int32_t height) {
  EndText();
  PrepareDraw();
  // The image writer places images with y as a blit passes it: negated under a y flip.
  const std::int32_t logicalY = dcStack.yFlip ? qvplatform::ClampToInt32(-std::int64_t{y}) : y;
  MarkBitmapRegion(x, logicalY, kImageMarkColor, width, height);
}

void TQVPDFDevice::MarkBitmapRegion(std::int32_t x, std::int32_t y, COLORREF color,
                                    std::int32_t width, std::int32_t height) {
  TQVThumbnailRaster& raster = thumbnailRaster;
  if (raster.renderedDirectly || !options.images.thumbnailsWanted || raster.bitmap.Handle() == 0)
    return;
  if (currentContent_ == nullptr || (xformStream != nullptr && currentContent_ == xformStream))
    return;
  const int rasterWidth = raster.bitmap.Width(), rasterHeight = raster.bitmap.Height();
  // The page as the raster shows it: turned, its long side along the raster's.
  const int turns = raster.quarterTurns & 3;
  const long double pageW = raster.pageWidth, pageH = raster.pageHeight;
  const long double shownWidth = turns % 2 ? pageH : pageW;
  const long double shownHeight = turns % 2 ? pageW : pageH;
  if (rasterWidth <= 0 || rasterHeight <= 0 || !(shownWidth > 0) || !(shownHeight > 0)) return;

  // Each corner as the content places it: logical units through the y rule and the matrix
  // that the content writes, to page points from the top left.
  const XFORM& m = dcStack.Matrix();
  qvplatform::RECT r{};
  const std::int64_t corners[2][2] = {{x, y}, {std::int64_t{x} + width, std::int64_t{y} + height}};
  int px[2], py[2];
  for (int i = 0; i < 2; ++i) {
    const long double cx = static_cast<long double>(corners[i][0]);
    const long double ly = static_cast<long double>(corners[i][1]);
    const long double cy = dcStack.yFlip ? yOrigin + ly : yOrigin - ly;
    const long double pageX = m.eM11 * cx - m.eM21 * cy + dcStack.pageOrigin.x + m.eDx;
    const long double pageY = -m.eM12 * cx + m.eM22 * cy - m.eDy;
    const long double down = pageH - pageY;
    // Each clockwise quarter turn shows (x, y) at (page height - y, x) of the page before it.
    const long double shownX = turns == 0   ? pageX
                               : turns == 1 ? pageH - down
                               : turns == 2 ? pageW - pageX
                                            : down;
    const long double shownY = turns == 0   ? down
                               : turns == 1 ? pageX
                               : turns == 2 ? pageH - down
                                            : pageW - pageX;
    if (!RasterCoordinate(shownX, shownWidth, rasterWidth, px[i]) ||
        !RasterCoordinate(shownY, shownHeight, rasterHeight, py[i]))
      return;
  }
  if (py[0] == py[1] || px[0] == px[1]) return;
  r.left = std::min(px[0], px[1]);
  r.right = std::max(px[0], px[1]);
  r.top = std::min(py[0], py[1]);
  r.bottom = std::max(py[0], py[1]);
  raster.bitmap.Canvas().FillRect(r, color);
}

}  // namespace vellora

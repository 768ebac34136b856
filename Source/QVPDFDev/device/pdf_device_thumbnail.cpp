// Page thumbnails: a small raster per page, on which each metafile is drawn where the page
// shows it and other drawing marks the areas it covers (MarkBitmapRegion), attached to the
// page as its thumbnail image when the page ends.
#include <algorithm>
#include <cmath>

#include "QVPDFDev/device/pdf_device.h"
#include "QVPDFDev/pages/pdf_page.h"
#include "QVRasterDC/render_on_page.h"

namespace vellora {
namespace {

constexpr int kThumbnailLongSide = 66;  // pixels
constexpr TQVGenericDevice::COLORREF kPaper = 0xFFFFFF;

// The raster of a page shown width x height points: kThumbnailLongSide on the long side, at
// least one pixel on the other; false for a page without area.
bool ThumbnailSize(double width, double height, int& rasterWidth, int& rasterHeight) {
  if (!(width > 0) || !(height > 0) || !std::isfinite(width) || !std::isfinite(height))
    return false;
  const double longSide = std::max(width, height);
  const auto side = [&](double points) {
    return std::clamp(static_cast<int>(std::lround(kThumbnailLongSide * points / longSide)), 1,
                      kThumbnailLongSide);
  };
  rasterWidth = side(width);
  rasterHeight = side(height);
  return true;
}

void FillPaper(qvplatform::TBitmap& bitmap) {
  bitmap.Canvas().FillRect(qvplatform::RECT{0, 0, bitmap.Width(), bitmap.Height()}, kPaper);
}

}  // namespace

void TQVPDFDevice::PrepareThumbnailRaster(std::int32_t rotation) {
  TQVThumbnailRaster& raster = thumbnailRaster;
  raster.renderedDirectly = false;
  // The raster holds the page as a viewer shows it: turned as its /Rotate says (a rotation
  // that is no multiple of 90, such as the landscape flag 1, writes none).
  const std::int32_t degrees = (rotation % 360 + 360) % 360;
  raster.quarterTurns = degrees % 90 == 0 ? degrees / 90 : 0;
  raster.pageWidth = pageWidth;
  raster.pageHeight = pageHeight;
  const bool across = raster.quarterTurns % 2 != 0;
  int width = 0, height = 0;
  if (!options.images.thumbnailsWanted ||
      !ThumbnailSize(across ? pageHeight : pageWidth, across ? pageWidth : pageHeight, width,
                     height)) {
    raster.bitmap.SetHandle(0);
    return;
  }
  raster.bitmap.SetMonochrome(raster.monochrome);
  if (raster.bitmap.Handle() == 0 || raster.bitmap.Width() != width ||
      raster.bitmap.Height() != height) {
    if (!raster.bitmap.SetSize(width, height)) {
      raster.bitmap.SetHandle(0);
      return;
    }
  }
  FillPaper(raster.bitmap);
}

void TQVPDFDevice::DrawPictureOnThumbnail() {
  const TQVThumbnailPicture picture = thumbnailPicture_;
  thumbnailPicture_ = {};
  TQVThumbnailRaster& raster = thumbnailRaster;
  // A picture drawn into a form shows wherever the form is placed, not on the page's raster.
  if (picture.bits == nullptr || !currentPage_ || xformStream != nullptr ||
      !options.images.thumbnailsWanted || raster.bitmap.Handle() == 0)
    return;
  const TQVPageView page{raster.pageWidth, raster.pageHeight, raster.quarterTurns};
  // The picture's own images are on the raster now: its drawing marks nothing more.
  raster.renderedDirectly =
      RenderMetafileOnPage(picture.bits, picture.size, picture.placement, page, raster.bitmap);
}

void TQVPDFDevice::AttachThumbnail(TQVPDFPage& page) {
  TQVThumbnailRaster& raster = thumbnailRaster;
  raster.renderedDirectly = false;
  // A thumbnail the host gave the page stays.
  if (!options.images.thumbnailsWanted || raster.bitmap.Handle() == 0 ||
      page.Thumbnail() != nullptr)
    return;
  std::unique_ptr<TQVPDFImageStream> thumbnail =
      images_.AddBitmapEx(raster.bitmap.Handle(), kBitmapModeThumbnail);
  if (thumbnail) page.SetThumbnail(std::move(thumbnail));
  FillPaper(raster.bitmap);
}

void TQVPDFDevice::SetThumbnailMonochrome(bool monochrome) {
  thumbnailRaster.monochrome = monochrome;
  if (!ChangeBitmapDepth(thumbnailRaster.bitmap, monochrome)) thumbnailRaster.bitmap.SetHandle(0);
}

}  // namespace vellora

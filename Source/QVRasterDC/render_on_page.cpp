// A picture played onto a whole-page bitmap: the bitmap's pixels go into a surface that holds
// the page upright, the picture is drawn there at the page's scale, and the pixels go back.
#include "QVRasterDC/render_on_page.h"

#include <cairo.h>

#include <cmath>
#include <cstring>
#include <exception>
#include <vector>

#include "QVGenDC/device_modes.h"
#include "QVGenDC/metafile_player.h"
#include "QVRasterDC/raster_device.h"
#include "QVRasterDC/render_metafile.h"
#include "qvplatform/bitmap_handles.h"

namespace vellora {
namespace {

// A surface pixel of the page upright from a bitmap pixel of the page as shown, turned
// clockwise by quarterTurns.
struct ViewMapping {
  int shownWidth, shownHeight;
  int quarterTurns;
  int UprightWidth() const { return quarterTurns % 2 ? shownHeight : shownWidth; }
  int UprightHeight() const { return quarterTurns % 2 ? shownWidth : shownHeight; }
  void ToUpright(int x, int y, int& ux, int& uy) const {
    switch (quarterTurns) {
      case 1:
        ux = y, uy = UprightHeight() - 1 - x;
        break;
      case 2:
        ux = UprightWidth() - 1 - x, uy = UprightHeight() - 1 - y;
        break;
      case 3:
        ux = UprightWidth() - 1 - y, uy = x;
        break;
      default:
        ux = x, uy = y;
    }
  }
};

std::uint32_t* PixelAt(cairo_surface_t* surface, int x, int y) {
  unsigned char* data = cairo_image_surface_get_data(surface);
  const auto stride = static_cast<std::size_t>(cairo_image_surface_get_stride(surface));
  return reinterpret_cast<std::uint32_t*>(data + stride * static_cast<std::size_t>(y) +
                                          static_cast<std::size_t>(x) * 4);
}

// The bitmap's pixels, upright, in a new RGB24 surface (null when they cannot be read).
cairo_surface_t* UprightSurface(const qvplatform::TBitmap& bitmap, const ViewMapping& view) {
  const int width = view.shownWidth, height = view.shownHeight;
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  std::vector<std::uint8_t> rows(stride * static_cast<std::size_t>(height));
  qvplatform::BITMAPINFOHEADER header;
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = -height;  // top-down
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = qvplatform::BI_RGB;
  const qvplatform::RGBQUAD mono[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  if (qvplatform::GetDIBits(0, bitmap.Handle(), 0, static_cast<qvplatform::UINT>(height),
                            rows.data(), rows.size(), &header, mono, 2,
                            qvplatform::DIB_RGB_COLORS) != height)
    return nullptr;
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, view.UprightWidth(), view.UprightHeight());
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  cairo_surface_flush(surface);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = rows.data() + stride * static_cast<std::size_t>(y);
    for (int x = 0; x < width; ++x) {
      int ux = 0, uy = 0;
      view.ToUpright(x, y, ux, uy);
      const std::uint8_t* p = row + static_cast<std::size_t>(x) * 3;
      *PixelAt(surface, ux, uy) = std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
    }
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

// The upright surface's pixels back into the bitmap, turned as the bitmap shows the page.
bool CopyBack(cairo_surface_t* upright, const ViewMapping& view, qvplatform::TBitmap& bitmap) {
  if (view.quarterTurns == 0) return CopySurfaceToBitmap(upright, bitmap);
  cairo_surface_t* shown =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, view.shownWidth, view.shownHeight);
  bool copied = false;
  if (cairo_surface_status(shown) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_flush(shown);
    for (int y = 0; y < view.shownHeight; ++y)
      for (int x = 0; x < view.shownWidth; ++x) {
        int ux = 0, uy = 0;
        view.ToUpright(x, y, ux, uy);
        *PixelAt(shown, x, y) = *PixelAt(upright, ux, uy);
      }
    cairo_surface_mark_dirty(shown);
    copied = CopySurfaceToBitmap(shown, bitmap);
  }
  cairo_surface_destroy(shown);
  return copied;
}

}  // namespace

bool RenderMetafileOnPage(const std::uint8_t* bits, std::size_t size, const TQVPagePicture& picture,
                          const TQVPageView& page, qvplatform::TBitmap& bitmap) {
  const ViewMapping view{bitmap.Width(), bitmap.Height(), page.quarterTurns & 3};
  if (bits == nullptr || view.shownWidth <= 0 || view.shownHeight <= 0 || !(page.widthPoints > 0) ||
      !(page.heightPoints > 0) || !std::isfinite(page.widthPoints) ||
      !std::isfinite(page.heightPoints))
    return false;
  cairo_surface_t* surface = UprightSurface(bitmap, view);
  if (surface == nullptr) return false;

  const double kx = view.UprightWidth() / page.widthPoints;
  const double ky = view.UprightHeight() / page.heightPoints;
  // The page's device flips y at the page height rounded to whole points; the picture's
  // points start that far from the top.
  const double top = ky * (page.heightPoints - std::round(page.heightPoints));
  bool drawn = true;
  {
    TQVRasterDevice device(surface, 0, top, view.UprightWidth(), view.UprightHeight());
    TQVDevModes modes = picture.modes;
    modes.Include(qvClipRectSupport);
    device.SetModes(modes);
    device.playerOptions.metafileIsSized = picture.metafileIsSized;
    device.xResolution = picture.deviceXResolution;
    device.yResolution = picture.deviceYResolution;
    device.FixPageScale(kx, ky);
    try {
      device.PlayMetafile(bits, size, picture.xOffset, picture.yOffset, picture.targetWidth,
                          picture.targetHeight, false, picture.xResolution, picture.yResolution);
    } catch (const EQVMetafileError&) {
      drawn = false;
    } catch (const std::exception&) {
      // The records drawn so far stay.
    }
  }
  cairo_surface_flush(surface);
  const bool copied = drawn && CopyBack(surface, view, bitmap);
  cairo_surface_destroy(surface);
  return copied;
}

bool ChangeBitmapDepth(qvplatform::TBitmap& bitmap, bool monochrome) {
  if (bitmap.Monochrome() == monochrome) return true;
  const ViewMapping view{bitmap.Width(), bitmap.Height(), 0};
  if (bitmap.Handle() == 0 || view.shownWidth <= 0 || view.shownHeight <= 0)
    return bitmap.SetMonochrome(monochrome);
  cairo_surface_t* surface = UprightSurface(bitmap, view);
  if (surface == nullptr) return false;
  const bool copied = bitmap.SetMonochrome(monochrome) && CopySurfaceToBitmap(surface, bitmap);
  cairo_surface_destroy(surface);
  return copied;
}

}  // namespace vellora

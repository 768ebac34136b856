// The rendering entry points: a device per call, the player's scaling into the destination,
// and the copy into a platform bitmap.
#include "QVRasterDC/render_metafile.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <vector>

#include "QVGenDC/metafile_player.h"
#include "qvplatform/bitmap_handles.h"
#include "qvplatform/emf_reader.h"
#include "qvplatform/numbers.h"

namespace vellora {

namespace {

constexpr std::int32_t kDefaultResolution = 96;
// Largest side of a bitmap this makes on its own, in pixels.
constexpr std::int64_t kMaxSide = 20000;

std::int32_t UsableResolution(std::int32_t r) {
  return r > 0 && r <= 100000 ? r : kDefaultResolution;
}

bool EmptyRect(const qvplatform::RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

bool MetafilePixelSize(const std::uint8_t* bits, std::size_t size, std::int32_t resolution,
                       std::int32_t& width, std::int32_t& height) {
  qvplatform::EmfHeader header;
  if (bits == nullptr ||
      qvplatform::ReadEmfHeader(bits, size, header) != qvplatform::EmfHeaderStatus::kOk)
    return false;
  const qvplatform::ENHMETAHEADER& h = header.fields;
  const double dpi = UsableResolution(resolution);
  // The frame in 0.01 mm; a picture without one by its bounds in the reference pixels.
  double w = (double(h.rclFrame.right) - h.rclFrame.left) / 2540.0 * dpi;
  double hh = (double(h.rclFrame.bottom) - h.rclFrame.top) / 2540.0 * dpi;
  if (h.rclFrame.right == 0 || h.rclBounds.right == 0) {
    w = double(h.rclBounds.right) - h.rclBounds.left;
    hh = double(h.rclBounds.bottom) - h.rclBounds.top;
  }
  width = static_cast<std::int32_t>(std::clamp<double>(std::ceil(std::fabs(w)), 1, kMaxSide));
  height = static_cast<std::int32_t>(std::clamp<double>(std::ceil(std::fabs(hh)), 1, kMaxSide));
  return true;
}

bool RenderMetafile(const std::uint8_t* bits, std::size_t size, cairo_surface_t* surface,
                    const qvplatform::RECT& destination, std::int32_t resolution,
                    TQVRasterStats* stats) {
  qvplatform::RECT target = destination;
  if (EmptyRect(target)) {
    std::int32_t width = 0, height = 0;
    if (!MetafilePixelSize(bits, size, resolution, width, height)) return false;
    target = qvplatform::RECT{0, 0, width, height};
  }
  return RenderMetafile(
      bits, size, surface,
      cairo_rectangle_t{double(target.left), double(target.top), double(target.right) - target.left,
                        double(target.bottom) - target.top},
      stats);
}

bool RenderMetafile(const std::uint8_t* bits, std::size_t size, cairo_surface_t* surface,
                    const cairo_rectangle_t& destination, TQVRasterStats* stats) {
  if (bits == nullptr || surface == nullptr ||
      cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE ||
      cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS)
    return false;
  if (!(destination.width > 0 && destination.height > 0) || !std::isfinite(destination.x) ||
      !std::isfinite(destination.y) || !std::isfinite(destination.width) ||
      !std::isfinite(destination.height))
    return false;
  TQVRasterDevice device(surface, destination.x, destination.y, destination.width,
                         destination.height);
  bool ok = true;
  try {
    device.PlayMetafile(bits, size, 0, 0, 0, 0, false, 0, 0);
  } catch (const EQVMetafileError&) {
    ok = false;
  } catch (const std::exception&) {
    // The records drawn so far stay.
  }
  cairo_surface_flush(surface);
  if (stats) *stats = device.Stats();
  return ok;
}

bool CopySurfaceToBitmap(cairo_surface_t* surface, qvplatform::TBitmap& bitmap) {
  const int width = cairo_image_surface_get_width(surface);
  const int height = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const auto pixel = [&](int x, int y) {
    std::uint32_t p;
    std::memcpy(&p, data + std::size_t(stride) * std::size_t(y) + std::size_t(x) * 4, 4);
    return p;
  };
  if (bitmap.Monochrome()) {
    // Device-dependent rows: top-down, an even number of bytes, 1 for white.
    const std::size_t rowBytes = (std::size_t(width) + 15) / 16 * 2;
    std::vector<std::uint8_t> rows(rowBytes * std::size_t(height), 0);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const std::uint32_t p = pixel(x, y);
        const std::uint32_t grey =
            (((p >> 16) & 0xFF) * 299 + ((p >> 8) & 0xFF) * 587 + (p & 0xFF) * 114) / 1000;
        if (grey >= 128)
          rows[rowBytes * std::size_t(y) + std::size_t(x) / 8] |=
              static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    const qvplatform::HBITMAP made =
        qvplatform::CreateBitmap(width, height, 1, 1, rows.data(), rows.size());
    if (made == 0) return false;
    bitmap.SetHandle(made);
    return true;
  }
  qvplatform::DIBSECTION section;
  auto* out = static_cast<std::uint8_t*>(qvplatform::GetDibSectionBits(bitmap.Handle()));
  if (out == nullptr ||
      qvplatform::GetObjectA(bitmap.Handle(), sizeof section, &section) !=
          qvplatform::kDibSectionObjectSize ||
      section.dsBm.bmBitsPixel != 24 || section.dsBm.bmWidth != width ||
      std::abs(section.dsBm.bmHeight) != height)
    return false;
  const std::size_t outStride = static_cast<std::size_t>(section.dsBm.bmWidthBytes);
  const bool topDown = section.dsBmih.biHeight < 0;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = out + outStride * std::size_t(topDown ? y : height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = pixel(x, y);
      row[3 * x] = static_cast<std::uint8_t>(p);
      row[3 * x + 1] = static_cast<std::uint8_t>(p >> 8);
      row[3 * x + 2] = static_cast<std::uint8_t>(p >> 16);
    }
  }
  return true;
}

bool RenderMetafileToBitmap(const std::uint8_t* bits, std::size_t size, qvplatform::TBitmap& bitmap,
                            const qvplatform::RECT& destination, qvplatform::COLORREF background,
                            std::int32_t resolution) {
  std::int32_t width = 0, height = 0;
  if (!MetafilePixelSize(bits, size, resolution, width, height)) return false;
  if (bitmap.Width() <= 0 || bitmap.Height() <= 0) {
    if (!EmptyRect(destination)) {
      width = static_cast<std::int32_t>(std::clamp<std::int64_t>(destination.right, 1, kMaxSide));
      height = static_cast<std::int32_t>(std::clamp<std::int64_t>(destination.bottom, 1, kMaxSide));
    }
    if (!bitmap.SetSize(width, height)) return false;
  }
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, bitmap.Width(), bitmap.Height());
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return false;
  }
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, (background & 0xFF) / 255.0, ((background >> 8) & 0xFF) / 255.0,
                       ((background >> 16) & 0xFF) / 255.0);
  cairo_paint(cr);
  cairo_destroy(cr);
  const bool drawn = RenderMetafile(bits, size, surface, destination, resolution);
  const bool copied = drawn && CopySurfaceToBitmap(surface, bitmap);
  cairo_surface_destroy(surface);
  return copied;
}

bool RenderMetafileToBitmap(qvplatform::HENHMETAFILE metafile, qvplatform::TBitmap& bitmap,
                            const qvplatform::RECT& destination, qvplatform::COLORREF background,
                            std::int32_t resolution) {
  const qvplatform::UINT size = qvplatform::GetEnhMetaFileBits(metafile, 0, nullptr);
  if (size == 0) return false;
  std::vector<std::uint8_t> bytes(size);
  if (qvplatform::GetEnhMetaFileBits(metafile, size, bytes.data()) != size) return false;
  return RenderMetafileToBitmap(bytes.data(), bytes.size(), bitmap, destination, background,
                                resolution);
}

}  // namespace vellora

#include "picture_view.h"

#include <stdexcept>
#include <string>

#include "QVRasterDC/render_metafile.h"

namespace brenlow {

QImage RasterisePicture(const std::vector<std::uint8_t>& bytes) {
  constexpr std::int32_t kScreenResolution = 96;
  std::int32_t width = 0, height = 0;
  if (!vellora::MetafilePixelSize(bytes.data(), bytes.size(), kScreenResolution, width, height))
    throw std::runtime_error("Not an enhanced metafile");
  if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide ||
      std::int64_t{width} * height > kMaxPicturePixels)
    throw std::runtime_error("The picture is too large to show (" + std::to_string(width) + " x " +
                             std::to_string(height) + " pixels)");
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) throw std::runtime_error("Not enough memory for the picture");
  image.fill(Qt::white);
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      image.bits(), CAIRO_FORMAT_RGB24, width, height, static_cast<int>(image.bytesPerLine()));
  const bool drawn = vellora::RenderMetafile(bytes.data(), bytes.size(), surface,
                                             qvplatform::RECT{0, 0, 0, 0}, kScreenResolution);
  cairo_surface_destroy(surface);
  if (!drawn) throw std::runtime_error("Not an enhanced metafile");
  return image;
}

}  // namespace brenlow

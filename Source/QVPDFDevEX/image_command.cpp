// Code 3005: an image from pixels carried in the command's payload, drawn into the command's
// rectangle. Payload (little-endian): the kind (0 JPEG RGB, 1 JPEG CMYK, 2 JPEG grey, any
// other value an image-import format number), the width and the height in pixels, then the
// image data to the payload's end. The data is never looked for anywhere else.
#include "QVPDFDevEX/pdf_device_ex.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

constexpr std::int32_t kImageCommand = 3005;
constexpr std::size_t kImageHeader = 12;

std::int32_t LeInt32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                   std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
}

std::int32_t ImageFormat(std::int32_t kind) {
  switch (kind) {
    case 0:
      return qvImageJPEGRGB;
    case 1:
      return qvImageJPEGCMYK;
    case 2:
      return qvImageJPEGGray;
    default:
      return kind;
  }
}

}  // namespace

void TQVPDFDeviceEX::HandleTaggingCommand(const RECTL& rect, std::int32_t code,
                                          const std::uint8_t* data, std::int32_t length,
                                          bool& handled) {
  if (code != kImageCommand) {
    TQVPDFDevice::HandleTaggingCommand(rect, code, data, length, handled);
    return;
  }
  handled = true;
  if (!OnPage() || data == nullptr || length < 0 ||
      static_cast<std::size_t>(length) <= kImageHeader)
    return;
  const std::int32_t number =
      Images().AddImageData(0, data + kImageHeader, static_cast<std::size_t>(length) - kImageHeader,
                            ImageFormat(LeInt32(data)), LeInt32(data + 4), LeInt32(data + 8));
  if (number <= 0 || !EnsureOutputOpen()) return;
  const std::int64_t width = std::int64_t{rect.right} - rect.left;
  const std::int64_t height = std::int64_t{rect.bottom} - rect.top;
  Images().DrawImage(number, static_cast<float>(rect.left), static_cast<float>(rect.top),
                     static_cast<float>(width), static_cast<float>(height));
}

}  // namespace vellora

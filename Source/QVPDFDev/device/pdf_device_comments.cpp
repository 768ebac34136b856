// Comment records of the PDF device: "ChKL" records carry a JPEG picture and its place; every
// other comment goes on to the colour and command records of the page-content device.
//
// "ChKL" record (little-endian, offsets from the start of the comment data): "ChKL", 20, the
// header size 72, the format name as 17 UTF-16 units ("JPEG", zero-padded), the destination
// left, top, right and bottom, the picture's width and height, 6 bytes not read, the length
// of the JPEG data at 76 and the data from 80.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "QVPDFDev/device/pdf_device.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

constexpr std::size_t kChklDataOffset = 80;
constexpr std::uint32_t kChklVersion = 20;
constexpr std::uint32_t kChklHeaderSize = 72;
constexpr std::size_t kChklFormatOffset = 12;
// Larger rectangles and pictures are taken for garbage (a JPEG frame holds at most 65535).
constexpr std::int64_t kChklMaxExtent = 65535;

std::uint32_t Le32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}
std::int32_t LeInt32(const std::uint8_t* p) { return static_cast<std::int32_t>(Le32(p)); }

// "JPEG" and its terminator; the padding after it is not read.
bool IsJpegFormatName(const std::uint8_t* p) {
  static constexpr char kName[] = "JPEG";
  for (std::size_t i = 0; i < sizeof kName; ++i) {
    const unsigned unit = p[2 * i] | unsigned{p[2 * i + 1]} << 8;
    if (unit != static_cast<unsigned char>(kName[i])) return false;
  }
  return true;
}

}  // namespace

void TQVPDFDevice::GdiComment(Bytes data) {
  if (data.size() < 4 || std::memcmp(data.data(), "ChKL", 4) != 0) {
    TQVGenericPSDevice::GdiComment(data);
    return;
  }
  // A record that fails any test is ignored without a message.
  const std::uint8_t* p = data.data();
  if (data.size() < kChklDataOffset || Le32(p + 4) != kChklVersion ||
      Le32(p + 8) != kChklHeaderSize || !IsJpegFormatName(p + kChklFormatOffset))
    return;
  const std::int64_t left = LeInt32(p + 46), top = LeInt32(p + 50);
  const std::int64_t width = std::int64_t{LeInt32(p + 54)} - left;
  const std::int64_t height = std::int64_t{LeInt32(p + 58)} - top;
  const std::int32_t pixelWidth = LeInt32(p + 62), pixelHeight = LeInt32(p + 66);
  const std::int32_t length = LeInt32(p + 76);
  if (std::llabs(width) > kChklMaxExtent || std::llabs(height) > kChklMaxExtent) return;
  if (pixelWidth <= 0 || pixelHeight <= 0 || pixelWidth > kChklMaxExtent ||
      pixelHeight > kChklMaxExtent)
    return;
  if (length <= 0 || static_cast<std::uint64_t>(length) > data.size() - kChklDataOffset) return;

  // The frame header of the data, checked inside, decides the image's size.
  const std::int32_t number =
      images_.AddImageData(0, p + kChklDataOffset, static_cast<std::size_t>(length), qvImageJPEGRGB,
                           pixelWidth, pixelHeight);
  if (number <= 0) return;
  // The rectangle is placed as a blit's destination is: its top negated under a y flip.
  const std::int64_t y = dcStack.yFlip ? -top : top;
  images_.DrawImage(number, static_cast<float>(left), static_cast<float>(y),
                    static_cast<float>(width), static_cast<float>(height));
}

}  // namespace vellora

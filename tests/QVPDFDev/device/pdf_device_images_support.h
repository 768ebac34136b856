// Helpers of the PDF device's image tests: bitmaps of every DIB format with the picture each
// holds, a colour rendering of a finished document, and the pixels of one of its images.
// (Kept apart from the metafile builder, whose bitmap type shares a name with the pictures'.)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image_test_host.h"
#include "qvplatform/bitmap_headers.h"

namespace vellora_test {

// A bitmap as a DIB stores it, and its picture: 0xRRGGBB pixels, top row first.
struct FormatBitmap {
  std::string name;
  qvplatform::BITMAPINFOHEADER header;
  std::vector<qvplatform::DWORD> masks;  // BI_BITFIELDS only
  std::vector<qvplatform::RGBQUAD> colors;
  std::vector<std::uint8_t> bits;
  int width = 0, height = 0;
  std::vector<std::uint32_t> picture;
  std::uint32_t At(int x, int y) const {
    return picture[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                   static_cast<std::size_t>(x)];
  }
  // Header, masks and colour table as a record stores them.
  std::vector<std::uint8_t> InfoBytes() const;
};

// One bitmap of every source format: 1 bit (black and white either way round, two colours),
// 4 and 8 bits with a palette, RLE4 and RLE8, 16 bits 5-5-5 and 5-6-5, 24 and 32 bits, 32 bits
// with bitfields, top-down and odd-width variants, and a 1 x 100 bitmap. Neighbouring pixels
// differ, so a flipped or shifted picture shows.
std::vector<FormatBitmap> FormatBitmaps();
// A picture of the given size in one format: "1", "4", "8", "rle8", "24" or "32" (bottom-up),
// pixel (x, y) from colors[(x + 2 y) mod n]; indexed formats take colors as their table.
FormatBitmap PatternBitmap(const std::string& format, int width, int height,
                           const std::vector<std::uint32_t>& colors);

// The JPEG bytes of a picture (quality 95).
std::vector<std::uint8_t> JpegBytes(int width, int height, const std::vector<std::uint32_t>& rgb);

// Channels within tolerance of each other.
bool CloseColour(std::uint32_t a, std::uint32_t b, int tolerance);
std::string HexColour(std::uint32_t c);

}  // namespace vellora_test

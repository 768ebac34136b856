// Pictures for the image tests and the bitmaps that hold them, encoded here byte by byte in
// each DIB format (independently of the platform's converter), so that a rendered page can be
// compared with what the bitmap holds.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "qvplatform/dib.h"
#include "qvplatform/dib_convert.h"

namespace vellora_test {

// 0xRRGGBB pixels, top row first.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;
  std::uint32_t At(int x, int y) const {
    return rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x)];
  }
};

// Pixel (x, y) = colors[(x + 2 y) mod n]: no two neighbouring rows or columns alike, so a
// flipped or shifted picture shows.
Picture Pattern(int width, int height, std::initializer_list<std::uint32_t> colors);
// Four flat quadrants (top left, top right, bottom left, bottom right).
Picture Quadrants(int width, int height, std::uint32_t tl, std::uint32_t tr, std::uint32_t bl,
                  std::uint32_t br);

struct TestDib {
  qvplatform::BITMAPINFOHEADER header;
  qvplatform::DWORD masks[3] = {};
  std::vector<qvplatform::RGBQUAD> colors;
  std::vector<std::uint8_t> bits;

  qvplatform::DibView View() const;
};

TestDib Encode24(const Picture& picture, bool topDown);
TestDib Encode32(const Picture& picture, bool topDown);
// 32 bits with BI_BITFIELDS: each channel 8 bits wide at the given shift.
TestDib Encode32Fields(const Picture& picture, int redShift, int greenShift, int blueShift);
// 16 bits: 5-5-5 (BI_RGB) or 5-6-5 (BI_BITFIELDS). Exact for channels of 0 and 255.
TestDib Encode16(const Picture& picture, bool rgb565);
// 1, 4 or 8 bits through palette (every picture colour must be in it).
TestDib EncodeIndexed(const Picture& picture, int bitCount,
                      const std::vector<std::uint32_t>& palette, bool topDown);
// BI_RLE8 (bitCount 8) or BI_RLE4 (4): encoded runs of one index, end-of-line and end codes.
TestDib EncodeRle(const Picture& picture, int bitCount, const std::vector<std::uint32_t>& palette);

}  // namespace vellora_test

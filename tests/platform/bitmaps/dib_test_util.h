// Helpers of the bitmap tests: colours as 0xRRGGBB, pixels read back from converted rows.
#pragma once

#include <cstdint>
#include <vector>

#include "qvplatform/dib.h"

namespace qvplatform::testing {

constexpr std::uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kRed = 0xFF0000, kGreen = 0x00FF00,
                        kBlue = 0x0000FF;

inline RGBQUAD Quad(std::uint32_t rgb) {
  return RGBQUAD{BYTE(rgb), BYTE(rgb >> 8), BYTE(rgb >> 16), 0};
}

inline std::vector<RGBQUAD> Table(std::initializer_list<std::uint32_t> colors) {
  std::vector<RGBQUAD> t;
  for (std::uint32_t c : colors) t.push_back(Quad(c));
  return t;
}

// Pixel (x, y from the top) of 24-bit rows of the given width and height.
inline std::uint32_t Pixel24(const std::vector<BYTE>& rows, std::uint32_t width,
                             std::uint32_t height, std::uint32_t x, std::uint32_t y, bool topDown) {
  const std::size_t stride = static_cast<std::size_t>(DibStride(width, 24));
  const std::size_t row = topDown ? y : height - 1 - y;
  const BYTE* p = rows.data() + row * stride + 3 * std::size_t{x};
  return std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
}

// Every pixel of a converted picture, top row first.
inline std::vector<std::uint32_t> Picture24(const std::vector<BYTE>& rows, std::uint32_t width,
                                            std::uint32_t height, bool topDown) {
  std::vector<std::uint32_t> out;
  for (std::uint32_t y = 0; y < height; ++y)
    for (std::uint32_t x = 0; x < width; ++x)
      out.push_back(Pixel24(rows, width, height, x, y, topDown));
  return out;
}

// True when the padding bytes at the end of every 24-bit row are zero.
inline bool PaddingIsZero(const std::vector<BYTE>& rows, std::uint32_t width,
                          std::uint32_t height) {
  const std::size_t stride = static_cast<std::size_t>(DibStride(width, 24));
  for (std::size_t y = 0; y < height; ++y)
    for (std::size_t i = 3 * std::size_t{width}; i < stride; ++i)
      if (rows[y * stride + i] != 0) return false;
  return true;
}

}  // namespace qvplatform::testing

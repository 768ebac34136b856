#include "image_test_pictures.h"

#include <algorithm>
#include <stdexcept>

namespace vellora_test {
namespace {

using qvplatform::BI_BITFIELDS;
using qvplatform::BI_RGB;

TestDib Begin(const Picture& p, int bitCount, bool topDown, std::uint32_t compression) {
  TestDib dib;
  dib.header.biSize = 40;
  dib.header.biWidth = p.width;
  dib.header.biHeight = topDown ? -p.height : p.height;
  dib.header.biPlanes = 1;
  dib.header.biBitCount = static_cast<qvplatform::WORD>(bitCount);
  dib.header.biCompression = compression;
  return dib;
}

std::size_t Stride(int width, int bitCount) {
  return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32 * 4;
}

// Byte offset of row y (from the top) in an uncompressed DIB.
std::size_t RowAt(const TestDib& dib, int y) {
  const int h = dib.header.biHeight < 0 ? -dib.header.biHeight : dib.header.biHeight;
  const int stored = dib.header.biHeight < 0 ? y : h - 1 - y;
  return Stride(dib.header.biWidth, dib.header.biBitCount) * static_cast<std::size_t>(stored);
}

void Allocate(TestDib& dib) {
  const int h = dib.header.biHeight < 0 ? -dib.header.biHeight : dib.header.biHeight;
  dib.bits.assign(Stride(dib.header.biWidth, dib.header.biBitCount) * static_cast<std::size_t>(h),
                  0);
  dib.header.biSizeImage = static_cast<qvplatform::DWORD>(dib.bits.size());
}

std::uint8_t R(std::uint32_t c) { return static_cast<std::uint8_t>(c >> 16); }
std::uint8_t G(std::uint32_t c) { return static_cast<std::uint8_t>(c >> 8); }
std::uint8_t B(std::uint32_t c) { return static_cast<std::uint8_t>(c); }

void SetTable(TestDib& dib, const std::vector<std::uint32_t>& palette) {
  for (std::uint32_t c : palette) dib.colors.push_back({B(c), G(c), R(c), 0});
  dib.header.biClrUsed = static_cast<qvplatform::DWORD>(palette.size());
}

std::uint8_t IndexOf(const std::vector<std::uint32_t>& palette, std::uint32_t c) {
  const auto it = std::find(palette.begin(), palette.end(), c);
  if (it == palette.end()) throw std::invalid_argument("colour not in palette");
  return static_cast<std::uint8_t>(it - palette.begin());
}

}  // namespace

Picture Pattern(int width, int height, std::initializer_list<std::uint32_t> colors) {
  Picture p{width, height, {}};
  const std::vector<std::uint32_t> c(colors);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      p.rgb.push_back(c[static_cast<std::size_t>(x + 2 * y) % c.size()]);
  return p;
}

Picture Quadrants(int width, int height, std::uint32_t tl, std::uint32_t tr, std::uint32_t bl,
                  std::uint32_t br) {
  Picture p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool right = x >= width / 2, bottom = y >= height / 2;
      p.rgb.push_back(bottom ? (right ? br : bl) : (right ? tr : tl));
    }
  return p;
}

qvplatform::DibView TestDib::View() const {
  qvplatform::DibView view;
  view.format =
      qvplatform::DibFormatOf(header, header.biCompression == BI_BITFIELDS ? masks : nullptr);
  view.colors = colors.empty() ? nullptr : colors.data();
  view.colorCount = static_cast<qvplatform::DWORD>(colors.size());
  view.bits = bits.data();
  view.bitsSize = bits.size();
  return view;
}

TestDib Encode24(const Picture& p, bool topDown) {
  TestDib dib = Begin(p, 24, topDown, BI_RGB);
  Allocate(dib);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      std::uint8_t* q = dib.bits.data() + RowAt(dib, y) + 3 * static_cast<std::size_t>(x);
      q[0] = B(p.At(x, y));
      q[1] = G(p.At(x, y));
      q[2] = R(p.At(x, y));
    }
  return dib;
}

TestDib Encode32(const Picture& p, bool topDown) {
  TestDib dib = Begin(p, 32, topDown, BI_RGB);
  Allocate(dib);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      std::uint8_t* q = dib.bits.data() + RowAt(dib, y) + 4 * static_cast<std::size_t>(x);
      q[0] = B(p.At(x, y));
      q[1] = G(p.At(x, y));
      q[2] = R(p.At(x, y));
      q[3] = 0x5A;  // the unused byte carries no colour
    }
  return dib;
}

TestDib Encode32Fields(const Picture& p, int redShift, int greenShift, int blueShift) {
  TestDib dib = Begin(p, 32, false, BI_BITFIELDS);
  dib.masks[0] = 0xFFu << redShift;
  dib.masks[1] = 0xFFu << greenShift;
  dib.masks[2] = 0xFFu << blueShift;
  Allocate(dib);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const std::uint32_t c = p.At(x, y);
      const std::uint32_t v = std::uint32_t{R(c)} << redShift | std::uint32_t{G(c)} << greenShift |
                              std::uint32_t{B(c)} << blueShift;
      std::uint8_t* q = dib.bits.data() + RowAt(dib, y) + 4 * static_cast<std::size_t>(x);
      for (int i = 0; i < 4; ++i) q[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
  return dib;
}

TestDib Encode16(const Picture& p, bool rgb565) {
  TestDib dib = Begin(p, 16, false, rgb565 ? BI_BITFIELDS : BI_RGB);
  if (rgb565) {
    dib.masks[0] = 0xF800;
    dib.masks[1] = 0x07E0;
    dib.masks[2] = 0x001F;
  }
  Allocate(dib);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const std::uint32_t c = p.At(x, y);
      const std::uint32_t v = rgb565 ? (R(c) >> 3) << 11 | (G(c) >> 2) << 5 | B(c) >> 3
                                     : (R(c) >> 3) << 10 | (G(c) >> 3) << 5 | B(c) >> 3;
      std::uint8_t* q = dib.bits.data() + RowAt(dib, y) + 2 * static_cast<std::size_t>(x);
      q[0] = static_cast<std::uint8_t>(v);
      q[1] = static_cast<std::uint8_t>(v >> 8);
    }
  return dib;
}

TestDib EncodeIndexed(const Picture& p, int bitCount, const std::vector<std::uint32_t>& palette,
                      bool topDown) {
  TestDib dib = Begin(p, bitCount, topDown, BI_RGB);
  SetTable(dib, palette);
  Allocate(dib);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const std::uint8_t index = IndexOf(palette, p.At(x, y));
      const std::size_t bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(bitCount);
      std::uint8_t& q = dib.bits[RowAt(dib, y) + bit / 8];
      q |= static_cast<std::uint8_t>(index << (8 - bitCount - static_cast<int>(bit % 8)));
    }
  return dib;
}

TestDib EncodeRle(const Picture& p, int bitCount, const std::vector<std::uint32_t>& palette) {
  TestDib dib =
      Begin(p, bitCount, false, bitCount == 8 ? qvplatform::BI_RLE8 : qvplatform::BI_RLE4);
  SetTable(dib, palette);
  for (int y = p.height - 1; y >= 0; --y) {  // RLE rows run bottom-up
    for (int x = 0; x < p.width;) {
      const std::uint8_t index = IndexOf(palette, p.At(x, y));
      int run = 1;
      while (x + run < p.width && run < 255 && p.At(x + run, y) == p.At(x, y)) ++run;
      dib.bits.push_back(static_cast<std::uint8_t>(run));
      dib.bits.push_back(bitCount == 8 ? index : static_cast<std::uint8_t>(index << 4 | index));
      x += run;
    }
    dib.bits.push_back(0);
    dib.bits.push_back(0);  // end of line
  }
  dib.bits.push_back(0);
  dib.bits.push_back(1);  // end of bitmap
  dib.header.biSizeImage = static_cast<qvplatform::DWORD>(dib.bits.size());
  return dib;
}

}  // namespace vellora_test

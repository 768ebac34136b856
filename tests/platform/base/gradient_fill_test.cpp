#include "qvplatform/gradient_fill.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace qvplatform {
namespace {

using Pixel = std::array<int, 3>;  // red, green, blue

TRIVERTEX Vertex(LONG x, LONG y, WORD r, WORD g, WORD b) {
  TRIVERTEX v;
  v.x = x;
  v.y = y;
  v.Red = r;
  v.Green = g;
  v.Blue = b;
  return v;
}

struct Image {
  LONG width, height;
  std::vector<std::uint8_t> bits;
  Image(LONG w, LONG h) : width(w), height(h), bits(Dib24Stride(w) * static_cast<std::size_t>(h)) {}
  Dib24View View() { return {bits.data(), width, height}; }
  // Device coordinates: y = 0 is the top row, stored last.
  Pixel At(LONG x, LONG y) const {
    const std::uint8_t* p = bits.data() +
                            static_cast<std::size_t>(height - 1 - y) * Dib24Stride(width) +
                            static_cast<std::size_t>(x) * 3;
    return {p[2], p[1], p[0]};
  }
};

// Red falls, green rises, blue rises from 0x20: the first pixel is colour 1; with the far
// vertex one past the end (as the player places it) pixel k of n is k / (n + 1) of the way.
const TRIVERTEX kFrom = Vertex(0, 0, 0xFF00, 0x0000, 0x2000);
const Pixel kFirst = {0xFF, 0x00, 0x20};
const Pixel kMiddle = {0x7F, 0x7F, 0x50};  // 5/10 of the way
const Pixel kLast = {0x33, 0xCC, 0x6C};    // 8/10 of the way

TEST(GradientFill, HorizontalAndVerticalEndsAndMiddle) {
  const GRADIENT_RECT rect{0, 1};
  for (DWORD mode : {GRADIENT_FILL_RECT_H, GRADIENT_FILL_RECT_V}) {
    const bool vertical = mode == GRADIENT_FILL_RECT_V;
    Image img(vertical ? 1 : 9, vertical ? 9 : 1);
    const TRIVERTEX v[2] = {kFrom, Vertex(img.width + 1, img.height + 1, 0x0000, 0xFF00, 0x8000)};
    ASSERT_TRUE(GradientFill(img.View(), v, 2, &rect, 1, mode));
    auto at = [&](int k) { return vertical ? img.At(0, k) : img.At(k, 0); };
    EXPECT_EQ(at(0), kFirst) << mode;
    EXPECT_EQ(at(5), kMiddle) << mode;
    EXPECT_EQ(at(8), kLast) << mode;
    // Vertex order does not matter: the colours stay with their vertices.
    Image swapped(img.width, img.height);
    const TRIVERTEX r[2] = {v[1], v[0]};
    ASSERT_TRUE(GradientFill(swapped.View(), r, 2, &rect, 1, mode));
    EXPECT_EQ(swapped.bits, img.bits) << mode;
  }
}

TEST(GradientFill, ClipsToTheBitmapAndRejectsBadInput) {
  Image img(9, 2);
  // The rectangle starts far left of the bitmap: only its visible part is drawn, with the
  // colours of the whole rectangle.
  const TRIVERTEX v[2] = {Vertex(-1000000, -5, 0, 0, 0), Vertex(2000000000, 5, 0xFF00, 0, 0)};
  const GRADIENT_RECT rect{0, 1};
  ASSERT_TRUE(GradientFill(img.View(), v, 2, &rect, 1, GRADIENT_FILL_RECT_H));
  EXPECT_EQ(img.At(0, 0)[0], 0);
  EXPECT_EQ(img.At(8, 1)[0], 0);
  EXPECT_EQ(img.bits[27], 0) << "row padding stays untouched";

  Image untouched(4, 4);
  const GRADIENT_RECT outOfRange{0, 2};
  EXPECT_FALSE(GradientFill(untouched.View(), v, 2, &outOfRange, 1, GRADIENT_FILL_RECT_H));
  EXPECT_FALSE(GradientFill(untouched.View(), v, 2, &rect, 1, GRADIENT_FILL_TRIANGLE));
  EXPECT_FALSE(GradientFill(Dib24View{untouched.bits.data(), 0, 4}, v, 2, &rect, 1, 0));
  EXPECT_EQ(untouched.bits, std::vector<std::uint8_t>(untouched.bits.size(), 0));
  EXPECT_EQ(Dib24Stride(-1), 0u);
  EXPECT_EQ(Dib24Stride(0x7FFFFFFF), 0u);
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

TEST(GradientFill, BitmapFileHasTheHeadersThePlayerReads) {
  Image img(9, 3);
  const TRIVERTEX v[2] = {kFrom, Vertex(10, 4, 0x0000, 0xFF00, 0x8000)};
  const GRADIENT_RECT rect{0, 1};
  ASSERT_TRUE(GradientFill(img.View(), v, 2, &rect, 1, GRADIENT_FILL_RECT_H));
  const std::vector<std::uint8_t> file = MakeBitmapFile24(img.View());
  ASSERT_EQ(file.size(), 14u + 40u + 28u * 3u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(U32(file, 2), file.size());
  EXPECT_EQ(U32(file, 10), 54u);
  // The info header 14 bytes in, as a struct the player copies out.
  BITMAPINFOHEADER h;
  std::memcpy(&h, file.data() + 14, sizeof h);
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 9);
  EXPECT_EQ(h.biHeight, 3);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 24);
  EXPECT_EQ(h.biCompression, BI_RGB);
  EXPECT_EQ(h.biSizeImage, 28u * 3u);
  // The bits 40 bytes after the info header; the first pixel of each row is colour 1.
  EXPECT_TRUE(std::equal(img.bits.begin(), img.bits.end(), file.begin() + 54));
  EXPECT_EQ(file[54 + 2], 0xFF);
  EXPECT_TRUE(MakeBitmapFile24(Dib24View{}).empty());
}

TEST(GradientFill, TestsCanMakeTheRoutineUnavailable) {
  ASSERT_NE(FindGradientFill(), nullptr);
  {
    ScopedGradientFillUnavailable off;
    EXPECT_EQ(FindGradientFill(), nullptr);
  }
  Image img(9, 1);
  const TRIVERTEX v[2] = {kFrom, Vertex(10, 2, 0x0000, 0xFF00, 0x8000)};
  const GRADIENT_RECT rect{0, 1};
  ASSERT_TRUE(FindGradientFill()(img.View(), v, 2, &rect, 1, GRADIENT_FILL_RECT_H));
  EXPECT_EQ(img.At(5, 0), kMiddle);
}

}  // namespace
}  // namespace qvplatform

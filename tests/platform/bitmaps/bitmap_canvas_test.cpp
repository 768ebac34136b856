#include "qvplatform/bitmap_canvas.h"

#include <gtest/gtest.h>

#include <vector>

#include "dib_test_util.h"

namespace qvplatform {
namespace {

using namespace qvplatform::testing;

int CountWhite(TCanvas& canvas, int x0, int y0, int w, int h) {
  int n = 0;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) n += canvas.Pixel(x, y) == RGB(255, 255, 255);
  return n;
}

// Fills land where they were asked for, read back through GetDIBits (bottom-up rows), so a
// flipped row or swapped red and blue shows.
TEST(TCanvas, FillsRectanglesOnA24BitBitmap) {
  TBitmap bitmap;
  ASSERT_TRUE(bitmap.SetSize(5, 4));
  EXPECT_FALSE(bitmap.Monochrome());
  TCanvas& canvas = bitmap.Canvas();
  ASSERT_TRUE(canvas.FillRect({0, 0, 5, 4}, RGB(255, 255, 255)));
  ASSERT_TRUE(canvas.FillRect({1, 0, 3, 1}, RGB(255, 0, 0)));    // top row, x 1 and 2
  ASSERT_TRUE(canvas.FillRect({4, 4, 3, 3}, RGB(0, 0, 255)));    // given backwards: (3, 3)
  ASSERT_TRUE(canvas.FillRect({-9, 2, 1, 99}, RGB(0, 255, 0)));  // clipped: x 0, y 2 and 3
  ASSERT_TRUE(canvas.FillRect({2, 2, 2, 4}, RGB(0, 0, 0)));      // empty
  EXPECT_EQ(canvas.Pixel(5, 0), CLR_INVALID);

  BITMAPINFOHEADER h;
  h.biSize = 40, h.biWidth = 5, h.biHeight = 4, h.biPlanes = 1, h.biBitCount = 24;
  std::vector<BYTE> rows(16 * 4);
  ASSERT_EQ(
      GetDIBits(0, bitmap.Handle(), 0, 4, rows.data(), rows.size(), &h, nullptr, 0, DIB_RGB_COLORS),
      4);
  const std::uint32_t W = kWhite, R = kRed, B = kBlue, G = kGreen;
  EXPECT_EQ(Picture24(rows, 5, 4, false), (std::vector<std::uint32_t>{W, R, R, W, W,  //
                                                                      W, W, W, W, W,  //
                                                                      G, W, W, W, W,  //
                                                                      G, W, W, B, W}));
}

TEST(TCanvas, MonochromeFillsAreSolidOrDithered) {
  TBitmap bitmap;
  ASSERT_TRUE(bitmap.SetMonochrome(true));
  ASSERT_TRUE(bitmap.SetSize(8, 4));
  EXPECT_EQ(GetBitmapKind(bitmap.Handle()), BitmapKind::kDeviceDependent);
  TCanvas& canvas = bitmap.Canvas();
  ASSERT_TRUE(canvas.FillRect({0, 0, 8, 4}, RGB(255, 255, 255)));
  EXPECT_EQ(CountWhite(canvas, 0, 0, 8, 4), 32);
  ASSERT_TRUE(canvas.FillRect({0, 0, 4, 4}, RGB(0, 0, 0)));
  EXPECT_EQ(CountWhite(canvas, 0, 0, 4, 4), 0);
  EXPECT_EQ(CountWhite(canvas, 4, 0, 4, 4), 16);
  ASSERT_TRUE(canvas.FillRect({0, 0, 4, 4}, RGB(0xC0, 0xC0, 0xC0)));
  EXPECT_EQ(CountWhite(canvas, 0, 0, 4, 4), 12);
  ASSERT_TRUE(canvas.FillRect({4, 0, 8, 4}, RGB(0x80, 0x80, 0x80)));
  EXPECT_EQ(CountWhite(canvas, 4, 0, 4, 4), 8);
  ASSERT_TRUE(canvas.FillRect({0, 0, 8, 4}, RGB(255, 0, 0)));  // a third of the way to white
  EXPECT_EQ(CountWhite(canvas, 0, 0, 4, 4), 5);

  // The thumbnail road reads the mono raster with a black-and-white table.
  canvas.FillRect({0, 0, 8, 4}, RGB(255, 255, 255));
  canvas.FillRect({0, 3, 1, 4}, RGB(0, 0, 0));  // bottom-left pixel
  BITMAPINFOHEADER h;
  h.biSize = 40, h.biWidth = 8, h.biHeight = 4, h.biPlanes = 1, h.biBitCount = 1;
  const RGBQUAD table[2] = {Quad(kBlack), Quad(kWhite)};
  std::vector<BYTE> rows(16);
  ASSERT_EQ(
      GetDIBits(0, bitmap.Handle(), 0, 4, rows.data(), rows.size(), &h, table, 2, DIB_RGB_COLORS),
      4);
  EXPECT_EQ(rows[0], 0x7F);  // first row written is the bottom one
  EXPECT_EQ(rows[4], 0xFF);
}

TEST(TBitmap, OwnsOrReleasesItsHandle) {
  HBITMAP released = 0;
  HBITMAP deleted = 0;
  {
    TBitmap a;
    ASSERT_TRUE(a.SetSize(3, 2));
    released = a.ReleaseHandle();
    EXPECT_EQ(a.Handle(), 0u);
    EXPECT_FALSE(a.Canvas().Valid());
    TBitmap b;
    ASSERT_TRUE(b.SetSize(2, 2));
    deleted = b.Handle();
    EXPECT_FALSE(b.SetSize(0, 2));  // refused: the old bitmap stays
    EXPECT_EQ(b.Handle(), deleted);
    EXPECT_EQ(b.Width(), 2);
    ASSERT_TRUE(b.SetMonochrome(true));  // made anew at the same size
    EXPECT_EQ(GetBitmapKind(deleted), BitmapKind::kNone);
    deleted = b.Handle();
    EXPECT_EQ(b.Height(), 2);
  }
  EXPECT_EQ(GetBitmapKind(released), BitmapKind::kDibSection);
  EXPECT_EQ(GetBitmapKind(deleted), BitmapKind::kNone);
  TCanvas none(released + 1000000);
  EXPECT_FALSE(none.FillRect({0, 0, 1, 1}, 0));
  const HBITMAP eight = CreateBitmap(2, 2, 1, 8, nullptr, 0);
  EXPECT_FALSE(TCanvas(eight).FillRect({0, 0, 1, 1}, 0));
}

}  // namespace
}  // namespace qvplatform

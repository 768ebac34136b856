// Drawing primitives of the rasteriser, each drawn into a small picture (one logical unit per
// pixel) and checked at the pixels that show its meaning.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "QVRasterDC/render_metafile.h"
#include "emf_builder.h"
#include "raster_test_support.h"

namespace vellora_test {
namespace {

constexpr int kSide = 40;
constexpr DWORD kGeometric = 0x10000, kFlatCap = 0x200, kDash = 1, kNullPen = 5;
constexpr DWORD kHatched = 2, kHorizontal = 0;
constexpr COLORREF kBlack = 0, kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;
constexpr std::uint32_t kRedPixel = 0xFF0000, kGreenPixel = 0x00FF00, kBluePixel = 0x0000FF;

// A 40 x 40 picture whose records the case writes; handle 1 is a null pen, 2 a black brush.
Pixels Draw(const std::function<void(EmfBuilder&)>& records) {
  EmfBuilder b = PointPicture(kSide, kSide);
  b.SetHandles(8);
  b.CreatePen(1, kNullPen, 0, kBlack);
  b.CreateBrush(2, 0, kBlack);
  records(b);
  b.Eof();
  return RenderEmf(b.Bytes());
}

void FillAll(EmfBuilder& b) { b.SelectObject(1).SelectObject(2).Rectangle({0, 0, kSide, kSide}); }

// A 2 x 2 bitmap: red, green on the top row, blue, white below.
TestDib Quadrants() {
  TestDib dib;
  dib.bits = {0xFF, 0, 0,    0xFF, 0xFF, 0xFF, 0, 0,   // bottom row: blue, white
              0,    0, 0xFF, 0,    0xFF, 0,    0, 0};  // top row: red, green
  return dib;
}

struct PixelCase {
  const char* name;
  std::function<void(EmfBuilder&)> records;
  std::vector<std::pair<int, int>> dark, light;
};

TEST(RasterPrimitives, PixelsShowEachPrimitivesMeaning) {
  const auto pentagram = [](EmfBuilder& b) {
    std::vector<POINTL> star;
    for (int k = 0; k < 5; ++k) {
      const double a = (-90 + 144 * k) * 3.14159265358979 / 180;
      star.push_back({static_cast<LONG>(std::lround(20 + 18 * std::cos(a))),
                      static_cast<LONG>(std::lround(20 + 18 * std::sin(a)))});
    }
    b.SelectObject(1).SelectObject(2).Polygon(star);
  };
  const PixelCase cases[] = {
      {"cosmetic line is one pixel wide",
       [](EmfBuilder& b) { b.MoveTo(2, 10).LineTo(38, 10); },
       {{20, 10}},
       {{20, 9}, {20, 11}}},
      {"geometric pen with flat caps",
       [](EmfBuilder& b) {
         b.ExtCreatePen(3, kGeometric | kFlatCap, 5, kBlack).SelectObject(3);
         b.MoveTo(10, 20).LineTo(30, 20);
       },
       {{20, 18}, {20, 22}, {11, 20}},
       {{20, 16}, {20, 24}, {8, 20}}},
      {"geometric pen with round caps",
       [](EmfBuilder& b) {
         b.ExtCreatePen(3, kGeometric, 5, kBlack).SelectObject(3);
         b.MoveTo(10, 20).LineTo(30, 20);
       },
       {{8, 20}, {31, 20}},
       {{6, 20}, {20, 24}}},
      {"dashes of a cosmetic pen: 18 on, 6 off",
       [](EmfBuilder& b) {
         b.CreatePen(3, kDash, 0, kBlack).SelectObject(3);
         b.MoveTo(0, 20).LineTo(40, 20);
       },
       {{10, 20}, {30, 20}},
       {{21, 20}, {22, 20}}},
      {"winding fill covers the star's centre",
       [&](EmfBuilder& b) {
         b.Append(EMR_SETPOLYFILLMODE, {2});
         pentagram(b);
       },
       {{20, 20}, {20, 5}},
       {{2, 2}}},
      {"alternate fill leaves the star's centre out",
       [&](EmfBuilder& b) {
         b.Append(EMR_SETPOLYFILLMODE, {1});
         pentagram(b);
       },
       {{20, 5}},
       {{20, 21}}},
      {"clip rectangle",
       [](EmfBuilder& b) {
         b.IntersectClipRect({10, 10, 30, 30});
         FillAll(b);
       },
       {{20, 20}, {11, 11}},
       {{5, 5}, {35, 20}}},
      {"excluded rectangle",
       [](EmfBuilder& b) {
         b.ExtSelectClipRgn(4, {{15, 15, 25, 25}});
         FillAll(b);
       },
       {{12, 12}, {30, 30}},
       {{20, 20}}},
      {"rotated world transform",
       [](EmfBuilder& b) {
         b.SetWorldTransform({0, 1, -1, 0, 30, 0});
         b.SelectObject(1).SelectObject(2).Rectangle({5, 0, 25, 4});
       },
       {{28, 15}},
       {{15, 2}, {28, 2}}},
      {"counter-clockwise arc passes the top",
       [](EmfBuilder& b) {
         b.Arc({4, 4, 36, 36}, {36, 20}, {4, 20});
       },
       {{20, 4}},
       {{20, 35}}},
      {"clockwise arc passes the bottom",
       [](EmfBuilder& b) {
         b.Append(EMR_SETARCDIRECTION, {2});
         b.Arc({4, 4, 36, 36}, {36, 20}, {4, 20});
       },
       {{20, 35}},
       {{20, 4}}},
  };
  for (const PixelCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Pixels p = Draw(c.records);
    ASSERT_TRUE(p.ok);
    ASSERT_EQ(p.width, kSide);
    for (const auto& [x, y] : c.dark) EXPECT_TRUE(p.Dark(x, y)) << x << "," << y;
    for (const auto& [x, y] : c.light) EXPECT_FALSE(p.Dark(x, y)) << x << "," << y;
    DumpPng(std::string("primitive-") + c.name, p.width, p.height, p.data);
  }
}

TEST(RasterPrimitives, HatchLinesOverTheBackgroundWhenOpaqueAndOverTheDrawingWhenNot) {
  for (const bool opaque : {true, false}) {
    const Pixels p = Draw([&](EmfBuilder& b) {
      b.CreateBrush(3, 0, kRed).SelectObject(1).SelectObject(3).Rectangle({0, 0, kSide, kSide});
      b.Append(EMR_SETBKCOLOR, {kGreen});
      b.Append(EMR_SETBKMODE, {opaque ? 2u : 1u});
      b.CreateBrush(4, kHatched, kBlue, kHorizontal).SelectObject(4);
      b.Rectangle({0, 0, kSide, kSide});
    });
    SCOPED_TRACE(opaque ? "opaque" : "transparent");
    EXPECT_EQ(p.At(10, 4), kBluePixel);
    EXPECT_EQ(p.At(10, 12), kBluePixel);
    EXPECT_EQ(p.At(10, 6), opaque ? kGreenPixel : kRedPixel);
  }
}

TEST(RasterPrimitives, TwoByTwoBitmapStretchedToTwentyKeepsSquarePixels) {
  const Pixels p = Draw([](EmfBuilder& b) { b.StretchDIBits({10, 10, 20, 20}, Quadrants()); });
  EXPECT_EQ(p.At(11, 11), kRedPixel);
  EXPECT_EQ(p.At(28, 11), kGreenPixel);
  EXPECT_EQ(p.At(11, 28), kBluePixel);
  EXPECT_EQ(p.At(28, 28), 0xFFFFFFu);
  EXPECT_EQ(p.At(5, 5), 0xFFFFFFu);  // outside the destination
}

TEST(RasterPrimitives, SourceInvertTwiceRestoresThePixels) {
  const auto draw = [](int times) {
    return Draw([&](EmfBuilder& b) {
      b.CreateBrush(3, 0, 0x336699).SelectObject(1).SelectObject(3).Rectangle({0, 0, kSide, kSide});
      for (int i = 0; i < times; ++i) b.StretchDIBits({0, 0, kSide, kSide}, Quadrants(), SRCINVERT);
    });
  };
  const Pixels before = draw(0), once = draw(1), twice = draw(2);
  EXPECT_EQ(before.At(5, 5), 0x996633u);
  EXPECT_EQ(once.At(5, 5), 0x996633u ^ 0xFF0000u);  // xor with the red quadrant
  EXPECT_EQ(twice.data, before.data);
}

TEST(RasterPrimitives, OneBitBitmapTakesBlackWhereTheDrawingIsDark) {
  EmfBuilder b = PointPicture(kSide, kSide);
  b.SetHandles(4).CreatePen(1, kNullPen, 0, kBlack).CreateBrush(2, 0, kBlack);
  b.SelectObject(1).SelectObject(2).Rectangle({0, 0, 20, kSide}).Eof();
  const std::vector<BYTE> emf = b.Bytes();
  qvplatform::TBitmap bitmap;
  ASSERT_TRUE(bitmap.SetMonochrome(true));
  ASSERT_TRUE(
      vellora::RenderMetafileToBitmap(emf.data(), emf.size(), bitmap, {0, 0, 0, 0}, 0xFFFFFF, 72));
  EXPECT_EQ(bitmap.Width(), kSide);
  EXPECT_EQ(bitmap.Canvas().Pixel(5, 5), 0u);
  EXPECT_EQ(bitmap.Canvas().Pixel(30, 5), 0xFFFFFFu);
}

TEST(RasterPrimitives, DataThatIsNoMetafileIsRefusedAndDrawsNothing) {
  const std::vector<BYTE> junk(64, 0x5A);
  const Pixels p = RenderEmf(junk, 8, 8);
  EXPECT_FALSE(p.ok);
  for (const std::uint32_t px : p.data) EXPECT_EQ(px, 0xFFFFFFu);
}

}  // namespace
}  // namespace vellora_test

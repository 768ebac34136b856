// The gradient-fill record: a strip of at most 500 pixels drawn by the platform's routine, the
// solid-colour fallback without it, and the colour interpolation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "QVGenDC/metafile_player.h"
#include "QVGenDC/process_settings.h"
#include "emf_builder.h"
#include "qvplatform/gradient_fill.h"
#include "recording_device.h"

namespace vellora_test {
namespace {

TRIVERTEX Vertex(LONG x, LONG y, COLORREF c) {
  return TRIVERTEX{x, y, WORD(GetRValue(c) << 8), WORD(GetGValue(c) << 8), WORD(GetBValue(c) << 8),
                   0};
}

std::vector<BYTE> Gradient(LONG x2, LONG y2, DWORD mode, int vertices = 2) {
  std::vector<TRIVERTEX> v = {Vertex(0, 0, RGB(255, 0, 0)), Vertex(x2, y2, RGB(0, 0, 255))};
  if (vertices == 3) v.push_back(Vertex(5, 5, 0));
  return EmfBuilder().GradientFill(v, {{0, 1}}, mode).Eof().Bytes();
}

std::string Drawn(RecordingDevice& device, const std::vector<BYTE>& bytes) {
  Play(device, bytes);
  const auto& calls = device.Calls();
  std::string s;
  for (std::size_t i = 1; i + 2 < calls.size(); ++i)
    s += calls[i].substr(0, calls[i].find(" info="));
  return s;
}

BITMAPINFOHEADER InfoOf(const RecordingDevice& device) {
  BITMAPINFOHEADER h;
  EXPECT_EQ(device.lastBitmapInfo.size(), sizeof(h));
  std::memcpy(&h, device.lastBitmapInfo.data(), std::min(sizeof(h), device.lastBitmapInfo.size()));
  return h;
}

TEST(MetafileGradient, AThousandPixelGradientBecomesAFiveHundredPixelStrip) {
  RecordingDevice device;
  EXPECT_EQ(Drawn(device, Gradient(1000, 20, GRADIENT_FILL_RECT_H)),
            "StretchDIBits dst=(0,0) 1000x20 rop=00CC0020 usage=777 src=(0,0) 500x1");
  const BITMAPINFOHEADER h = InfoOf(device);
  EXPECT_EQ(h.biWidth, 500);
  EXPECT_EQ(h.biHeight, 1);
  EXPECT_EQ(h.biBitCount, 24);
  ASSERT_EQ(device.lastBits.size(), 1500u);
  // Blue, green, red: red at the left end, nearly blue at the right.
  EXPECT_EQ(device.lastBits[2], 255);
  EXPECT_EQ(device.lastBits[0], 0);
  EXPECT_GT(device.lastBits[1497], 250);
  EXPECT_LT(device.lastBits[1499], 5);
}

TEST(MetafileGradient, StripLengthsFollowTheModeAndTheVertexDistance) {
  const struct {
    LONG x2, y2;
    DWORD mode;
    const char* call;
  } cases[] = {
      {20, 1000, GRADIENT_FILL_RECT_V,
       "StretchDIBits dst=(0,0) 20x1000 rop=00CC0020 usage=777 src=(0,0) 1x500"},
      {300, 20, GRADIENT_FILL_RECT_H,
       "StretchDIBits dst=(0,0) 300x20 rop=00CC0020 usage=777 src=(0,0) 300x1"},
      {20, 7, GRADIENT_FILL_RECT_V,
       "StretchDIBits dst=(0,0) 20x7 rop=00CC0020 usage=777 src=(0,0) 1x7"},
      // A vertex distance of 0 is outside 1..500 and becomes 500 as well.
      {0, 7, GRADIENT_FILL_RECT_H,
       "StretchDIBits dst=(0,0) 0x7 rop=00CC0020 usage=777 src=(0,0) 500x1"},
  };
  for (const auto& c : cases) {
    RecordingDevice device;
    EXPECT_EQ(Drawn(device, Gradient(c.x2, c.y2, c.mode)), c.call);
  }
}

TEST(MetafileGradient, WithoutTheGradientRoutineTheMiddleColourFillsTheRectangle) {
  // Middle of red and blue: 255 - round(127.5) = 127 red, round(127.5) = 128 blue.
  const std::string fill = "FillSolidRect (0,0) 1000x20 0080007F";
  {
    vellora::SetGradientFillEnabled(false);
    RecordingDevice device;
    EXPECT_EQ(Drawn(device, Gradient(1000, 20, GRADIENT_FILL_RECT_H)), fill);
    vellora::SetGradientFillEnabled(true);
  }
  {
    qvplatform::ScopedGradientFillUnavailable unavailable;
    RecordingDevice device;
    EXPECT_EQ(Drawn(device, Gradient(1000, 20, GRADIENT_FILL_RECT_H)), fill);
  }
}

TEST(MetafileGradient, OnlyTwoVertexRectanglesAreDrawn) {
  RecordingDevice three, triangle;
  EXPECT_EQ(Drawn(three, Gradient(10, 10, GRADIENT_FILL_RECT_H, 3)), "");
  EXPECT_EQ(Drawn(triangle, Gradient(10, 10, GRADIENT_FILL_TRIANGLE)), "");
  EXPECT_FALSE(three.metafileError);
}

TEST(MetafileGradient, InterpolateColorPerChannel) {
  using vellora::InterpolateColor;
  const COLORREF a = RGB(10, 200, 0), b = RGB(20, 100, 255);
  EXPECT_EQ(InterpolateColor(a, b, 0, 0, 100), a);
  EXPECT_EQ(InterpolateColor(a, b, -5, 0, 100), a);
  EXPECT_EQ(InterpolateColor(a, b, 100, 0, 100), b);
  EXPECT_EQ(InterpolateColor(a, b, 500, 0, 100), b);
  // A quarter: 10 + round(2.5) = 12, 200 - round(25) = 175, round(63.75) = 64.
  EXPECT_EQ(InterpolateColor(a, b, 25, 0, 100), RGB(12, 175, 64));
  EXPECT_EQ(InterpolateColor(a, b, 50, 0, 100), RGB(15, 150, 128));  // round(127.5) = 128
}

}  // namespace
}  // namespace vellora_test

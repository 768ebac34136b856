#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "QVPdfDC/pdf_device_work_buffer.h"
#include "qvplatform/wintypes.h"

namespace vellora {
namespace {

using qvplatform::RGB;

TQVColorRecord Record(std::int32_t mode, float c1 = 0, float c2 = 0, float c3 = 0, float c4 = 0) {
  TQVColorRecord r;
  r.id = 2;
  r.magic = 291100;
  r.mode = mode;
  r.c[0] = c1;
  r.c[1] = c2;
  r.c[2] = c3;
  r.c[3] = c4;
  return r;
}

std::string Color(std::uint32_t value, TQVColorRecord* record, int selector,
                  std::string_view op = {}, const TQVDevModes* modes = nullptr) {
  TQVPDFDeviceWorkBuffer b;
  b.SetModes(modes);
  b.AddColor(value, record, op, selector);
  return std::string(b.Text());
}

TEST(WorkBufferColor, WritesEachModeWithItsOperator) {
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    std::uint32_t value;
    TQVColorRecord record;
    int selector;
    const char* out;
  };
  const Case cases[] = {
      {0, Record(0), 1, " 0 g "},
      {0, Record(0), 0, " 0 G "},
      {RGB(0, 0, 255), Record(0), 1, "0 0 1 rg "},
      {RGB(0, 0, 255), Record(7), 0, "0 0 1 RG "},  // unknown modes use the colour value
      {RGB(128, 64, 32), Record(0), 5, "0.502 0.251 0.125 "},
      {0, Record(1, 0.25f, 0.5f, 1), 0, "0.25 0.5 1 RG "},
      {0, Record(-1, 0.25f, 0.5f, 1), 1, "0.25 0.5 1 rg "},
      {0, Record(2, 0.1f, 0.2f, 0.3f, 0.4f), 1, "0.1 0.2 0.3 0.4 k "},
      {0, Record(3, 0.75f), 0, "0.75 G "},
      {0, Record(1, kNaN, 2, -1), 0, "0 2 -1 RG "},  // nothing that is not a number
      {RGB(255, 0, 0), Record(-2), 0, "0 1 1 0 K "},
      {RGB(51, 102, 153), Record(-2), 1, "0.667 0.333 0 0.4 k "},
      {RGB(0, 0, 0), Record(-2), 1, "0 0 0 1 k "},
      {RGB(100, 150, 200), Record(-3), 1, "0.392 g "},
      {0x8000000Fu, Record(0), 1, "0.941 0.941 0.941 rg "},  // system colour: button face
      {0x800000FFu, Record(0), 1, "0 0 0 rg "},              // unknown system colour: black
      {0x02FF8000u, Record(0), 1, "0 0.502 1 rg "},          // only the low three bytes count
  };
  for (auto c : cases) EXPECT_EQ(Color(c.value, &c.record, c.selector), c.out) << c.out;
  EXPECT_EQ(Color(RGB(255, 255, 255), nullptr, 0), "1 1 1 RG ");
}

TEST(WorkBufferColor, ConversionsAreStoredInTheRecord) {
  TQVColorRecord cmyk = Record(-2);
  Color(RGB(255, 0, 0), &cmyk, 0);
  EXPECT_EQ(cmyk.mode, -2);
  EXPECT_FLOAT_EQ(cmyk.c[0], 0);
  EXPECT_FLOAT_EQ(cmyk.c[1], 1);
  EXPECT_FLOAT_EQ(cmyk.c[2], 1);
  EXPECT_FLOAT_EQ(cmyk.c[3], 0);
  TQVColorRecord grey = Record(-3);
  Color(RGB(100, 150, 200), &grey, 1);
  EXPECT_FLOAT_EQ(grey.c[0], 100 / 255.0f);
}

TEST(WorkBufferColor, ForcedCMYKConvertsAllButExplicitCMYK) {
  TQVDevModes modes;
  modes.Include(kModeColorsAsCMYK);
  TQVColorRecord rgb = Record(1, 1, 0, 0);
  EXPECT_EQ(Color(RGB(0, 255, 0), &rgb, 1, {}, &modes), "1 0 1 0 k ");
  EXPECT_EQ(rgb.mode, -2);
  TQVColorRecord cmyk = Record(2, 0.5f, 0, 0, 0);
  EXPECT_EQ(Color(RGB(0, 255, 0), &cmyk, 0, {}, &modes), "0.5 0 0 0 K ");
  EXPECT_EQ(cmyk.mode, 2);
  EXPECT_EQ(Color(RGB(0, 255, 0), nullptr, 1, {}, &modes), "0 1 0 rg ");
  const TQVDevModes none;
  TQVColorRecord plain = Record(0);
  EXPECT_EQ(Color(RGB(0, 255, 0), &plain, 1, {}, &none), "0 1 0 rg ");
}

TEST(WorkBufferColor, AnOperatorTextFollowsTheRGBFractions) {
  TQVColorRecord cmyk = Record(2, 0.5f, 0, 0, 0);
  EXPECT_EQ(Color(RGB(255, 128, 0), &cmyk, 1, " /P1 scn "), "1 0.502 0 /P1 scn ");
  TQVColorRecord grey = Record(-3);
  EXPECT_EQ(Color(RGB(10, 20, 30), &grey, 0, " cs"), "0.039 0.078 0.118 cs");
  EXPECT_FLOAT_EQ(grey.c[0], 10 / 255.0f);
}

}  // namespace
}  // namespace vellora

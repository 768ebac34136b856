// Around the text: underline and strike-out, the clip bracket and the background, and the
// fill of an empty opaque text; q and Q stay balanced, also when a hook fails.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>

#include "content_checker.h"
#include "qvplatform/device_context.h"
#include "qvplatform/font_service.h"
#include "qvplatform/text_metrics.h"
#include "text_output_fake_font.h"

namespace vellora {
namespace {

using qvplatform::RECTL;
using qvplatform::RGB;
using vellora_test::CheckContent;
using vellora_test::FakeFontDevice;
using vellora_test::OperandsOf;
using vellora_test::PrepareForSteps;

constexpr std::uint32_t kOpaque = 2, kClipped = 4;
const std::int32_t kTwelve[] = {12, 12, 12, 12, 12};

// The screen DC's metrics of Arial at 20 pixels: descent and strike-out position.
qvplatform::OUTLINETEXTMETRICW ArialMetrics() {
  qvplatform::LOGFONTW lf;
  lf.lfHeight = -20;
  const char16_t face[] = u"Arial";
  std::copy(face, face + 5, lf.lfFaceName);
  const qvplatform::HDC dc = qvplatform::GetDC(0);
  const qvplatform::HFONT font = qvplatform::CreateFontIndirectW(&lf);
  const qvplatform::HGDIOBJ old = qvplatform::SelectObject(dc, font);
  qvplatform::OUTLINETEXTMETRICW otm;
  qvplatform::GetOutlineTextMetricsW(dc, sizeof otm, &otm);
  qvplatform::SelectObject(dc, old);
  qvplatform::DeleteObject(font);
  qvplatform::ReleaseDC(0, dc);
  return otm;
}

void Ready(FakeFontDevice& d) {
  PrepareForSteps(d, 400);  // y' = 400 - y
  d.UseFont("Arial", -20);
  d.SetTextAlign(24);
}

TEST(TextOutputDecor, UnderlineAndStrikeOutFollowTheBaseline) {
  if (!vellora_test::TextFontsReady()) GTEST_SKIP() << "fonts missing";
  const auto otm = ArialMetrics();
  const std::int32_t descent = otm.otmTextMetrics.tmDescent;
  ASSERT_GT(descent, 1);
  for (const std::int32_t escapement : {0, 900}) {
    SCOPED_TRACE(escapement);
    FakeFontDevice d;
    Ready(d);
    d.UseFont("Arial", -20, 400, escapement);
    d.Font().lfUnderline = 1;
    d.Font().lfStrikeOut = 1;
    d.SetTextColor(RGB(255, 0, 0));
    const std::string step =
        d.Step([&] { d.ExtTextOut(100, 100, 0, RECTL{}, u"Hello", nullptr, 5, kTwelve); });
    // Text, then each line in its own q/Q in the text colour, d/4 wide.
    const std::size_t text = step.find(")Tj");
    const std::size_t line = step.find(" q 1 0 0 RG ");
    ASSERT_NE(text, std::string::npos) << step;
    EXPECT_LT(text, step.find("ET ")) << step;
    EXPECT_EQ(step.find(" q "), line) << step;
    const auto widths = OperandsOf(step, "w");
    ASSERT_EQ(widths.size(), 2u) << step;
    EXPECT_NEAR(widths[0][0], descent / 4.0, 0.001);
    const auto from = OperandsOf(step, "m"), to = OperandsOf(step, "l");
    ASSERT_EQ(from.size(), 2u) << step;
    // Underline half the descent below the baseline, strike-out at the font's position
    // above it; rotated text turns both with it (content y up: y' = 400 - y).
    const double under = std::max(1, descent / 2), over = otm.otmsStrikeoutPosition;
    if (escapement == 0) {
      EXPECT_NEAR(from[0][0], 100, 1e-3);
      EXPECT_NEAR(from[0][1], 300 - under, 1e-3);
      EXPECT_NEAR(to[0][0], 160, 1e-3);
      EXPECT_NEAR(to[0][1], 300 - under, 1e-3);
      EXPECT_NEAR(from[1][1], 300 + over, 1e-3);
    } else {
      EXPECT_NEAR(from[0][0], 100 + under, 1e-3);
      EXPECT_NEAR(from[0][1], 300, 1e-3);
      EXPECT_NEAR(to[0][0], 100 + under, 1e-3);
      EXPECT_NEAR(to[0][1], 360, 1e-3);
      EXPECT_NEAR(from[1][0], 100 - over, 1e-3);
    }
    const std::string content = d.Close();
    EXPECT_TRUE(CheckContent(content).errors.empty()) << CheckContent(content).Summary();
  }
}

struct BracketCase {
  const char* name;
  std::uint32_t options;
  std::uint32_t align;
  int mode;  // -1: none
  qvplatform::COLORREF background;
  bool clip, fill;
};

TEST(TextOutputDecor, ClipBracketAndBackgroundStayBalanced) {
  if (!vellora_test::TextFontsReady()) GTEST_SKIP() << "fonts missing";
  const BracketCase cases[] = {
      {"clipped", kClipped, 24, -1, RGB(0, 0, 255), true, false},
      {"clipped and opaque", kClipped | kOpaque, 24, -1, RGB(0, 0, 255), true, true},
      {"opaque", kOpaque, 24, -1, RGB(0, 0, 255), false, true},
      {"right-aligned text is not clipped", kClipped, 2 | 24, -1, RGB(0, 0, 255), false, false},
      {"no text clipping", kClipped, 24, qvNoTextRectClipping, RGB(0, 0, 255), false, false},
      {"white counts as transparent", kOpaque, 24, qvWhiteBrushIsTransparent, 0xFFFFFF, false,
       false},
  };
  for (const BracketCase& c : cases) {
    SCOPED_TRACE(c.name);
    FakeFontDevice d;
    Ready(d);
    if (c.mode >= 0) d.modes.Include(c.mode);
    d.SetTextAlign(c.align);
    d.SetBkColor(c.background);
    const RECTL box{90, 70, 200, 110};
    const std::string step = d.Step([&] {
      d.ExtTextOut(100, 100, c.options, box, u"Hello", nullptr, 5, kTwelve);
      d.ExtTextOut(100, 130, c.options, box, u"World", nullptr, 5, kTwelve);
    });
    EXPECT_EQ(step.find("90 290 110 40 re W n ") != std::string::npos, c.clip) << step;
    EXPECT_EQ(step.find("0 0 1 rg 90 290 110 40 re f Q ") != std::string::npos, c.fill) << step;
    EXPECT_EQ(d.marks, 2);
    const std::string content = d.Close();
    const auto report = CheckContent(content);
    EXPECT_TRUE(report.errors.empty()) << report.Summary() << "\n" << content;
    // The page's level, the clip's, and the background's own.
    EXPECT_EQ(report.maxDepth, 1 + c.clip + c.fill) << content;
    EXPECT_EQ(d.WriterDepth(), 0);
  }
}

TEST(TextOutputDecor, AFailingFontClosesTheBracketAndRestoresTheLevel) {
  if (!vellora_test::TextFontsReady()) GTEST_SKIP() << "fonts missing";
  FakeFontDevice d;
  Ready(d);
  d.failFontSelection = true;
  const std::int32_t depth = d.WriterDepth();
  const std::int32_t spacing[] = {12, 12, 12, 12, 12, 12, 12};
  EXPECT_THROW(d.ExtTextOut(100, 100, kClipped, RECTL{90, 70, 200, 110}, u"\u0416\u0416 abc",
                            nullptr, 6, spacing),
               std::runtime_error);
  EXPECT_EQ(d.WriterDepth(), depth);
  EXPECT_EQ(d.CurrentDCState().font.lfCharSet, 0);  // the Cyrillic charset was for the call
  EXPECT_FALSE(d.wordSplitInProgress);
  d.failFontSelection = false;
  d.ExtTextOut(100, 130, 0, RECTL{}, u"ok", nullptr, 2, spacing);
  const std::string content = d.Close();
  const auto report = CheckContent(content);
  EXPECT_TRUE(report.errors.empty()) << report.Summary() << "\n" << content;
}

TEST(TextOutputDecor, TheOpaqueOptionFillsItsRectangleAndTheOpaqueModeTheText) {
  if (!vellora_test::TextFontsReady()) GTEST_SKIP() << "fonts missing";
  FakeFontDevice d;
  Ready(d);
  d.SetTextAlign(24);
  d.SetBkColor(RGB(0, 0, 255));
  const auto draw = [&](std::uint32_t options, const RECTL& box) {
    return d.Step([&] { d.ExtTextOut(100, 100, options, box, u"Hello", nullptr, 5, kTwelve); });
  };
  // Transparent mode: the option fills the rectangle alone, an empty one nothing at all.
  d.SetBkMode(1);
  EXPECT_EQ(draw(kOpaque, RECTL{}).find(" re f"), std::string::npos);
  EXPECT_NE(draw(kOpaque, RECTL{90, 70, 95, 110}).find("0 0 1 rg 90 290 5 40 re f Q "),
            std::string::npos);
  // Opaque mode: the text's own cell is filled, with or without a rectangle.
  d.SetBkMode(2);
  EXPECT_NE(draw(0, RECTL{}).find("0 0 1 rg 100 "), std::string::npos);
  EXPECT_NE(draw(kOpaque, RECTL{}).find("0 0 1 rg 100 "), std::string::npos);
  EXPECT_TRUE(CheckContent(d.Close()).errors.empty());
}

TEST(TextOutputDecor, AnEmptyOpaqueTextFillsItsRectangleOnly) {
  if (!vellora_test::TextFontsReady()) GTEST_SKIP() << "fonts missing";
  FakeFontDevice d;
  Ready(d);
  d.SetBkColor(RGB(0, 255, 0));
  const RECTL box{10, 20, 50, 60};
  std::string step = d.Step([&] { d.ExtTextOut(0, 0, kOpaque, box, u"", nullptr, 0, nullptr); });
  EXPECT_EQ(CheckContent(step).operators, (std::vector<std::string>{"q", "rg", "re", "f", "Q"}))
      << step;
  EXPECT_NE(step.find("10 380 40 -40 re f"), std::string::npos) << step;
  // The background mode asks for it as well; without it, or without a text, nothing.
  d.SetBkMode(2);
  EXPECT_NE(d.Step([&] { d.ExtTextOut(0, 0, 0, box, nullptr, "", 0, nullptr); }), "");
  d.SetBkMode(1);
  EXPECT_EQ(d.Step([&] { d.ExtTextOut(0, 0, 0, box, u"", nullptr, 0, nullptr); }), "");
  EXPECT_EQ(d.Step([&] { d.ExtTextOut(0, 0, kOpaque, box, nullptr, nullptr, 0, nullptr); }), "");
  EXPECT_EQ(d.Step([&] { d.ExtTextOut(0, 0, kOpaque, RECTL{}, u"", nullptr, 0, nullptr); }), "");
  EXPECT_EQ(d.marks, 0);
  EXPECT_TRUE(CheckContent(d.Close()).errors.empty());
}

}  // namespace
}  // namespace vellora

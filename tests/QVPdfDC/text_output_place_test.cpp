// Where text lands: alignment, the current point, rotation and horizontal scaling, read back
// by pdftotext -bbox from a page whose font has the fake font's metrics (Courier).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "content_checker.h"
#include "qvplatform/device_context.h"
#include "qvplatform/font_service.h"
#include "qvplatform/text_metrics.h"
#include "text_output_fake_font.h"
#include "text_output_words.h"

namespace vellora {
namespace {

using qvplatform::RECTL;
using vellora_test::CheckContent;
using vellora_test::FakeFontDevice;
using vellora_test::OperandsOf;
using vellora_test::PageText;
using vellora_test::PrepareForSteps;
using vellora_test::ReadPageText;

constexpr int kPage = 400;
constexpr double kSize = 20;  // em of the font below; a character is 12 wide
const std::int32_t kTwelve[] = {12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12};

#define REQUIRE_TEXT_TOOLS()                                                          \
  do {                                                                                \
    if (!vellora_test::TextFontsReady() || !vellora_test::TextToolsPresent())         \
      GTEST_SKIP() << "needs fonts-liberation2, fonts-dejavu-core, qpdf and poppler"; \
  } while (0)

// Draws on a fresh page (logical units are points, y down from the top) and reads it back.
PageText Drawn(const std::function<void(FakeFontDevice&)>& draw, std::string* content = nullptr) {
  FakeFontDevice d;
  PrepareForSteps(d, kPage);
  d.UseFont("Arial", -20);
  draw(d);
  const std::string text = d.Close();
  const auto report = CheckContent(text);
  EXPECT_TRUE(report.errors.empty()) << report.Summary() << "\n" << text;
  if (content) *content = text;
  PageText page = ReadPageText(text, 600, kPage);
  EXPECT_TRUE(page.ok) << page.diagnostics << "\n" << text;
  return page;
}

struct AlignCase {
  const char* name;
  std::uint32_t align;  // TA_ flags
  bool spacing;
  double firstX;    // xMin of "Hello"
  double baseline;  // for y = 100
};

TEST(TextOutputPlace, AlignmentPutsTheTextWhereTheRecordSays) {
  REQUIRE_TEXT_TOOLS();
  // The text is 132 wide (11 x 12) at x = 300; ascent-like value 15, text height 23.
  const AlignCase cases[] = {
      {"left top", 0, true, 300, 115},
      {"left top without spacing", 0, false, 300, 115},
      {"right", 2, true, 168, 115},
      {"right without spacing", 2, false, 168, 115},
      {"centre", 6, true, 234, 115},
      {"centre without spacing", 6, false, 234, 115},
      {"baseline", 24, true, 300, 100},
      {"bottom", 8, true, 300, 92},
      {"right baseline", 2 | 24, true, 168, 100},
  };
  for (const AlignCase& c : cases) {
    SCOPED_TRACE(c.name);
    const PageText page = Drawn([&](FakeFontDevice& d) {
      d.SetTextAlign(c.align);
      if (c.spacing)
        d.ExtTextOut(300, 100, 0, RECTL{}, u"Hello world", nullptr, 11, kTwelve);
      else
        d.ExtTextOut(300, 100, 0, RECTL{}, nullptr, "Hello world", 11, nullptr);
    });
    ASSERT_EQ(page.Joined(), "Hello world");
    EXPECT_NEAR(page.words[0].xMin, c.firstX, 0.5);
    EXPECT_NEAR(page.words[1].xMin, c.firstX + 72, 0.5);
    EXPECT_NEAR(page.words[0].Baseline(kSize), c.baseline, 0.5);
  }
}

TEST(TextOutputPlace, ContentInTenthsKeepsSizeAndPlace) {
  REQUIRE_TEXT_TOOLS();
  std::string content;
  const PageText page = Drawn(
      [&](FakeFontDevice& d) {
        d.modes.Include(qvAlwaysHighResPDF);  // content coordinates in tenths
        d.yOriginMode = false;                // the page's origin in the matrix, as in a PDF
        d.dcStack.MarkDirty();
        d.transformDirty = true;
        d.Font().lfUnderline = 1;
        d.ExtTextOut(300, 100, 0, RECTL{}, u"Hello world", nullptr, 11, kTwelve);
        d.SetTextAlign(24);
        d.Font().lfUnderline = 0;
        d.ExtTextOut(300, 200, 0, RECTL{}, nullptr, "Hello world", 11, nullptr);
      },
      &content);
  EXPECT_NE(content.find("/F1 2 Tf"), std::string::npos) << content;
  ASSERT_EQ(page.Joined(), "Hello world Hello world") << content;
  EXPECT_NEAR(page.words[0].xMin, 300, 0.5);
  EXPECT_NEAR(page.words[1].xMax, 432, 0.5);
  EXPECT_NEAR(page.words[0].Baseline(kSize), 115, 0.5);
  EXPECT_NEAR(page.words[3].xMax, 432, 0.5);
  EXPECT_NEAR(page.words[3].Baseline(kSize), 200, 0.5);
}

TEST(TextOutputPlace, UpdateCurrentPositionContinuesFromTheLastText) {
  REQUIRE_TEXT_TOOLS();
  std::int32_t afterLeft = 0, afterRight = 0;
  const PageText page = Drawn([&](FakeFontDevice& d) {
    d.SetTextAlign(1 | 24);  // TA_UPDATECP, baseline
    d.MoveTo(50, 100, nullptr);
    d.ExtTextOut(0, 0, 0, RECTL{}, u"Hello ", nullptr, 6, kTwelve);
    d.ExtTextOut(0, 0, 0, RECTL{}, nullptr, "world", 5, nullptr);  // width from the font
    afterLeft = d.currentX;
    // Right-aligned: the text ends at the current point, which moves back over it.
    d.SetTextAlign(1 | 2 | 24);
    d.MoveTo(500, 200, nullptr);
    d.ExtTextOut(0, 0, 0, RECTL{}, u"Right", nullptr, 5, kTwelve);
    afterRight = d.currentX;
  });
  ASSERT_EQ(page.Joined(), "Hello world Right");
  EXPECT_NEAR(page.words[0].xMin, 50, 0.5);
  EXPECT_NEAR(page.words[1].xMin, 122, 0.5);
  EXPECT_NEAR(page.words[1].Baseline(kSize), 100, 0.5);
  EXPECT_EQ(afterLeft, 50 + 72 + 60);
  EXPECT_NEAR(page.words[2].xMax, 500, 0.5);
  EXPECT_NEAR(page.words[2].Baseline(kSize), 200, 0.5);
  EXPECT_EQ(afterRight, 440);
}

struct TurnCase {
  std::int32_t escapement;
  std::uint32_t align;
  double xMin, yMin, xMax, yMax;  // of the word "Turn" drawn at (200, 200), 48 long
};

TEST(TextOutputPlace, RotatedTextTurnsAboutItsReferencePoint) {
  REQUIRE_TEXT_TOOLS();
  // Courier: ascent 0.629 em, descent 0.157 em (12.58 and 3.14 at 20).
  const TurnCase cases[] = {
      {900, 24, 187.42, 152, 203.14, 200},      // upwards
      {2700, 24, 196.86, 200, 212.58, 248},     // downwards
      {1800, 24, 152, 196.86, 200, 212.58},     // leftwards, upside down
      {900, 2 | 24, 187.42, 200, 203.14, 248},  // right-aligned: ends at the point
      {900, 0, 202.42, 152, 218.14, 200},       // top-aligned: the baseline 15 below
  };
  for (const TurnCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.escapement << " align " << c.align);
    std::string content;
    const PageText page = Drawn(
        [&](FakeFontDevice& d) {
          d.UseFont("Arial", -20, 400, c.escapement);
          d.SetTextAlign(c.align);
          d.ExtTextOut(200, 200, 0, RECTL{}, u"Turn", nullptr, 4, kTwelve);
          // A second text with the same rotation needs its own origin.
          d.ExtTextOut(100, 300, 0, RECTL{}, u"Turn", nullptr, 4, kTwelve);
        },
        &content);
    ASSERT_EQ(page.words.size(), 2u) << content;
    const bool firstIsFirst = page.words[0].xMax > 150;
    const vellora_test::Word& w = page.words[firstIsFirst ? 0 : 1];
    const vellora_test::Word& moved = page.words[firstIsFirst ? 1 : 0];
    EXPECT_NEAR(w.xMin, c.xMin, 0.5) << content;
    EXPECT_NEAR(w.yMin, c.yMin, 0.5);
    EXPECT_NEAR(w.xMax, c.xMax, 0.5);
    EXPECT_NEAR(w.yMax, c.yMax, 0.5);
    EXPECT_NEAR(moved.xMin, c.xMin - 100, 0.5);
    EXPECT_NEAR(moved.yMin, c.yMin + 100, 0.5);
    // Rotated text spreads no spacing.
    for (const auto& operands : OperandsOf(content, "Tw")) EXPECT_EQ(operands[0], 0);
  }
}

TEST(TextOutputPlace, HorizontalScalingFollowsTheFontWidth) {
  REQUIRE_TEXT_TOOLS();
  // The average character width of the screen DC's font of the same height and weight.
  const auto averageOf = [](std::int32_t weight) {
    qvplatform::LOGFONTW lf;
    lf.lfHeight = -20;
    lf.lfWeight = weight;
    const char16_t face[] = u"Arial";
    std::copy(face, face + 5, lf.lfFaceName);
    const qvplatform::HDC dc = qvplatform::GetDC(0);
    const qvplatform::HFONT font = qvplatform::CreateFontIndirectW(&lf);
    const qvplatform::HGDIOBJ old = qvplatform::SelectObject(dc, font);
    qvplatform::TEXTMETRICW tm;
    if (!qvplatform::GetTextMetricsW(dc, &tm)) tm.tmAveCharWidth = 0;
    qvplatform::SelectObject(dc, old);
    qvplatform::DeleteObject(font);
    qvplatform::ReleaseDC(0, dc);
    return tm.tmAveCharWidth;
  };
  const std::int32_t average = averageOf(400);
  ASSERT_GT(average, 0);

  const std::int32_t wide[] = {24, 24, 24, 24, 24};
  for (const std::int32_t weight : {400, 700}) {
    SCOPED_TRACE(weight);
    std::string content;
    const PageText page = Drawn(
        [&](FakeFontDevice& d) {
          d.SetTextAlign(24);
          d.Font().lfWidth = 2 * average;
          d.Font().lfWeight = weight;
          d.ExtTextOut(100, 100, 0, RECTL{}, u"Wider", nullptr, 5, wide);
        },
        &content);
    // Heavy text is narrowed by 1.15 on top of the width over its own face's average.
    const double factor = weight == 700 ? 2.0 * average / averageOf(700) / 1.15 : 2.0;
    const auto tz = OperandsOf(content, "Tz");
    ASSERT_FALSE(tz.empty());
    EXPECT_NEAR(tz.back()[0], 100 * factor, 0.01);
    // Scaled text is not spread; heavy text is written character by character instead.
    EXPECT_NEAR(OperandsOf(content, "Tc").back()[0], 0, 1e-9);
    EXPECT_EQ(OperandsOf(content, "Td").size(), weight == 700 ? 5u : 1u) << content;
    ASSERT_FALSE(page.words.empty());
    EXPECT_NEAR(page.words[0].xMin, 100, 0.5);
    if (weight == 700) {
      EXPECT_NEAR(page.words.back().xMax, 100 + 4 * 24 + 12 * factor, 0.5);
    }
  }
}

TEST(TextOutputPlace, SpacingTablesEndWhereTheArraySays) {
  REQUIRE_TEXT_TOOLS();
  struct Case {
    const char* name;
    std::int32_t advance;
    std::int32_t weight;
    bool boldFace;
  };
  const Case cases[] = {{"wider", 15, 400, true},
                        {"narrower", 10, 400, true},
                        {"light", 15, 300, true},
                        {"bold without a bold face", 15, 700, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::int32_t spacing[11];
    for (std::int32_t& s : spacing) s = c.advance;
    const PageText page = Drawn([&](FakeFontDevice& d) {
      d.SetTextAlign(24);
      d.Font().lfWeight = c.weight;
      d.CurrentDCState().boldFaceAvailable = c.boldFace;
      d.ExtTextOut(100, 100, 0, RECTL{}, u"Hello world", nullptr, 11, spacing);
    });
    ASSERT_EQ(page.Joined(), "Hello world");
    EXPECT_NEAR(page.words[0].xMin, 100, 0.5);
    // The spacing makes the measured width (times 1.1 for light and heavy weights) the
    // array's: the text ends at 100 + 11 advances less the measuring allowance.
    const double measured = 132 * ((c.weight >= 301 && c.weight != 400) ? 1.1 : 1.0);
    EXPECT_NEAR(page.words[1].xMax, 100 + 11 * c.advance - (measured - 132), 0.6);
  }
}

}  // namespace
}  // namespace vellora

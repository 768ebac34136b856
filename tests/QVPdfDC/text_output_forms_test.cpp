// The operators a text is written with: character and word spacing, exact positioning arrays,
// CID runs, character by character, and which hook registers the characters.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "QVPdfDC/text_output.h"
#include "content_checker.h"
#include "text_output_fake_font.h"
#include "text_output_words.h"

namespace vellora {
namespace {

using qvplatform::RECTL;
using vellora_test::CheckContent;
using vellora_test::FakeFontDevice;
using vellora_test::OperandsOf;
using vellora_test::PrepareForSteps;

// A device at size 20 (a character is 12 wide), baseline alignment, the first text object
// already open, so that a step shows the text's own operators.
void Ready(FakeFontDevice& d) {
  PrepareForSteps(d, 400);
  d.UseFont("Arial", -20);
  d.SetTextAlign(24);
  const std::int32_t one[] = {12};
  d.ExtTextOut(0, 300, 0, RECTL{}, u"x", nullptr, 1, one);
}

std::string Drawn(FakeFontDevice& d, const std::function<void()>& draw) {
  const std::string step = d.Step(draw);
  return step;
}

TEST(TextOutputForms, SpacingSpreadsTheDifferenceOverBlanksAndCharacters) {
  if (!vellora_test::TextFontsReady()) GTEST_SKIP() << "fonts missing";
  struct Case {
    const char* name;
    const char16_t* text;
    std::int32_t advance;
    std::int32_t weight;
    std::uint32_t align;
    double tc, tw;
  };
  // W = 5 advances; w = 5 x 12 = 60 (x 1.1 from weight 301 on, 400 apart); one blank
  // (12 wide) when the text has one.
  const Case cases[] = {
      {"wider, a blank takes it", u"ab cd", 14, 400, 24, 0, 10},
      {"wider, no blank", u"abcde", 14, 400, 24, 2.5, 0},
      {"narrower, blanks give half", u"ab cd", 10, 400, 24, -1, -6},
      {"far narrower, limited", u"abcde", 1, 400, 24, -4, 0},
      {"light weight", u"ab cd", 14, 350, 24, 0, 4},
      {"bold, simulated: none", u"ab cd", 14, 700, 24, 0, 0},
      {"all blanks at the current point", u"     ", 5, 400, 24 | 1, 0, -6},
      {"trailing blank not measured", u"abcd ", 14, 400, 24, 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeFontDevice d;
    Ready(d);
    d.Font().lfWeight = c.weight;
    d.SetTextAlign(c.align);
    d.MoveTo(100, 100, nullptr);
    const std::int32_t spacing[] = {c.advance, c.advance, c.advance, c.advance, c.advance};
    const std::string step =
        Drawn(d, [&] { d.ExtTextOut(100, 100, 0, RECTL{}, c.text, nullptr, 5, spacing); });
    // The last state is the text's (a leading blank is drawn alone first).
    const auto tc = OperandsOf(step, "Tc"), tw = OperandsOf(step, "Tw");
    ASSERT_FALSE(tc.empty()) << step;
    EXPECT_NEAR(tc.back()[0], c.tc, 0.001) << step;
    EXPECT_NEAR(tw.back()[0], c.tw, 0.001) << step;
    EXPECT_TRUE(std::isfinite(d.CurrentDCState().charSpacing));
  }
}

TEST(TextOutputForms, SpacingIsLeftAloneWhereItWouldBeWrong) {
  if (!vellora_test::TextFontsReady()) GTEST_SKIP() << "fonts missing";
  const std::int32_t spacing[] = {14, 14, 14, 14, 14};
  for (const int mode : {qvDontAdjustTextSpacing, qvExactTextPositioning}) {
    FakeFontDevice d;
    Ready(d);
    d.modes.Include(mode);
    const std::string step =
        Drawn(d, [&] { d.ExtTextOut(100, 100, 0, RECTL{}, u"ab cd", nullptr, 5, spacing); });
    EXPECT_EQ(OperandsOf(step, "Tc")[0][0], 0) << mode;
    EXPECT_EQ(OperandsOf(step, "Tw")[0][0], 0) << mode;
  }
}

TEST(TextOutputForms, ExactPositioningWritesTheDifferencesInAnArray) {
  if (!vellora_test::TextFontsReady()) GTEST_SKIP() << "fonts missing";
  FakeFontDevice d;
  Ready(d);
  d.modes.Include(qvExactTextPositioning);
  const std::int32_t spacing[] = {12, 15, 12};
  std::string step =
      Drawn(d, [&] { d.ExtTextOut(100, 100, 0, RECTL{}, nullptr, "abc", 3, spacing); });
  // b advances 3 more than the font says: -150 thousandths of 20.
  EXPECT_NE(step.find("Td[(ab)-150(c)]TJ"), std::string::npos) << step;

  // Rests below one thousandth are carried: 19 where the font gives 18 at size 30 is
  // -33.33 each, written as -33 and -34.
  d.UseFont("Arial", -30);
  const std::int32_t nineteen[] = {19, 19, 19};
  step = Drawn(d, [&] { d.ExtTextOut(100, 200, 0, RECTL{}, nullptr, "a(c", 3, nineteen); });
  EXPECT_NE(step.find("Td[(a)-33(\\()-34(c)-33]TJ"), std::string::npos) << step;
  ASSERT_EQ(d.usedAnsi.size(), 2u);
  EXPECT_EQ(d.usedAnsi[1], "a(c");

  const std::string content = d.Close();
  const auto page = vellora_test::ReadPageText(content, 600, 400);
  // Each glyph where the array puts it: "c" stands apart.
  if (page.ok) {
    ASSERT_EQ(page.Joined(), "x ab c a(c") << content;
    EXPECT_NEAR(page.words[1].xMax, 100 + 12 + 12, 0.5);
    EXPECT_NEAR(page.words[2].xMin, 100 + 12 + 15, 0.5);
    EXPECT_NEAR(page.words[3].xMax, 100 + 19 + 19 + 18, 0.5);
  }
}

TEST(TextOutputForms, CidTextIsOneHexRunWhenTheWidthsAgree) {
  if (!vellora_test::TextFontsReady()) GTEST_SKIP() << "fonts missing";
  FakeFontDevice d;
  Ready(d);
  d.contentOptions.cidFontMode = 1;
  d.cidFont = true;
  d.cidOffset = 0x1000;
  const std::int32_t matching[] = {12, 12};
  std::string step =
      Drawn(d, [&] { d.ExtTextOut(100, 100, 0, RECTL{}, u"AB", nullptr, 2, matching); });
  EXPECT_NE(step.find("Td[<00410042>]TJ "), std::string::npos) << step;
  EXPECT_EQ(d.usedWide.size(), 1u);  // the first text's: CID text registers through MapCharCode
  ASSERT_GE(d.mapped.size(), 2u);
  EXPECT_EQ(d.mapped.back().code, u'B');
  EXPECT_NE(d.mapped.back().glyph, 0xFFFFu);

  // Mode 3 writes the CIDs MapCharCode gives; rests below 0.005 go to the next number.
  d.contentOptions.cidFontMode = 3;
  d.UseFont("Arial", -3);
  const std::int32_t two[] = {2, 2, 2};
  step = Drawn(d, [&] { d.ExtTextOut(100, 200, 0, RECTL{}, u"ABC", nullptr, 3, two); });
  EXPECT_NE(step.find("[<1041>-66.67<1042>-66.66<1043>-66.67]TJ "), std::string::npos) << step;

  // A single character is written alone.
  d.contentOptions.cidFontMode = 1;
  step = Drawn(d, [&] { d.ExtTextOut(100, 250, 0, RECTL{}, u"Z", nullptr, 1, two); });
  EXPECT_NE(step.find("Td<005A>Tj "), std::string::npos) << step;
  EXPECT_TRUE(CheckContent(d.Close()).errors.empty());
}

TEST(TextOutputForms, EightBitTextBecomesTwoByteCodesForCidFonts) {
  if (!vellora_test::TextFontsReady()) GTEST_SKIP() << "fonts missing";
  FakeFontDevice d;
  Ready(d);
  d.contentOptions.cidFontMode = 1;
  d.cidFont = true;
  const std::int32_t spacing[] = {12, 12, 12};
  std::string step = Drawn(d, [&] {
    d.ExtTextOut(100, 100, 0, RECTL{}, nullptr,
                 "A\xe9"
                 "B",
                 3, spacing);
  });
  EXPECT_NE(step.find("[<004100E90042>]TJ "), std::string::npos) << step;
  EXPECT_EQ(step.find(")Tj"), std::string::npos) << step;
  // Without a spacing array (direct drawing) the font's own widths place the glyphs.
  step = Drawn(d, [&] { d.TextOutDirect(100, 200, "Hi", nullptr); });
  EXPECT_NE(step.find("[<00480069>]TJ "), std::string::npos) << step;
  // A double-byte page keeps a character's two bytes together.
  d.UseFont("Arial", -20, 400, 0, 128);
  d.modes.Include(kModeCjkAsText);
  const std::int32_t bytes[] = {10, 10, 12};
  step = Drawn(d, [&] { d.ExtTextOut(100, 300, 0, RECTL{}, nullptr, "\x83\xb6X", 3, bytes); });
  EXPECT_NE(step.find("<03A9>"), std::string::npos) << step;  // the page's omega
  EXPECT_NE(step.find("<0058>"), std::string::npos) << step;
  EXPECT_TRUE(CheckContent(d.Close()).errors.empty());
}

TEST(TextOutputForms, CharacterByCharacterPlacesEachOneFromTheArray) {
  if (!vellora_test::TextFontsReady()) GTEST_SKIP() << "fonts missing";
  FakeFontDevice d;
  Ready(d);
  d.forceExactPositioning = true;
  const std::int32_t spacing[] = {12, 20, 12};
  const std::string step =
      Drawn(d, [&] { d.ExtTextOut(100, 100, 0, RECTL{}, u"a\u00e9c", nullptr, 3, spacing); });
  EXPECT_NE(step.find("Td(a)Tj 12 0 Td(\xe9)Tj 20 0 Td(c)Tj "), std::string::npos) << step;
  ASSERT_EQ(d.usedWide.size(), 2u);
  EXPECT_EQ(d.usedWide[1], u"a\u00e9c");
}

}  // namespace
}  // namespace vellora

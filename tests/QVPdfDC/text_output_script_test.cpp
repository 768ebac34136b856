// What a text is: symbol fonts, scripts and character sets, the caller's buffers, links, a
// font height of 0, the size of a cell height, and texts that draw nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "QVPdfDC/text_output.h"
#include "content_checker.h"
#include "text_output_fake_font.h"

namespace vellora {
namespace {

using qvplatform::RECTL;
using vellora_test::CheckContent;
using vellora_test::FakeFontDevice;
using vellora_test::OperandsOf;
using vellora_test::PrepareForSteps;

const std::int32_t kTwelve[] = {12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12};

#define REQUIRE_FONTS() \
  if (!vellora_test::TextFontsReady()) GTEST_SKIP() << "fonts-liberation2 or fonts-dejavu missing"

void Ready(FakeFontDevice& d, const char* face = "Arial", std::uint8_t charset = 0) {
  PrepareForSteps(d, 400);
  d.UseFont(face, -20, 400, 0, charset);
  d.SetTextAlign(24);
}

// Glyph outlines are filled paths; text is shown with Tj or TJ.
bool Outlined(const std::string& step) { return step.find(" f\n") != std::string::npos; }
bool Shown(const std::string& step) {
  return step.find("Tj") != std::string::npos || step.find("TJ") != std::string::npos;
}

TEST(TextOutputScript, SymbolFacesGoTheOutlineRoad) {
  REQUIRE_FONTS();
  struct Case {
    const char* face;
    std::uint8_t charset;
    const char16_t* text;
    bool outline;
  };
  const Case cases[] = {
      {"WingDings", 0, u"ab", true},  {"wingdings", 1, u"ab", true},
      {"Symbol", 2, u"ab", true},     {"Cross Stitch 2", 2, u"ab", false},
      {"Arial", 0, u"\uf8ff", false}, {"Arial", 0, u"\uf900", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.face);
    FakeFontDevice d;
    Ready(d, c.face, c.charset);
    const std::int32_t length = static_cast<std::int32_t>(std::u16string(c.text).size());
    const std::string step =
        d.Step([&] { d.ExtTextOut(100, 100, 0, RECTL{}, c.text, nullptr, length, kTwelve); });
    // (U+F8FF is text, drawn beside the outline of the missing glyph the font has for it.)
    if (c.outline) {
      EXPECT_TRUE(Outlined(step)) << step;
    }
    EXPECT_EQ(Shown(step), !c.outline) << step;
    EXPECT_EQ(d.CurrentDCState().font.lfCharSet, c.charset);
    EXPECT_TRUE(CheckContent(d.Close()).errors.empty());
  }
}

TEST(TextOutputScript, ScriptsChooseTheCharacterSetForTheCallOnly) {
  REQUIRE_FONTS();
  FakeFontDevice d;
  Ready(d);
  // Cyrillic in an ANSI font: written in the Cyrillic set.
  d.Step([&] { d.ExtTextOut(100, 100, 0, RECTL{}, u"\u041f\u0440\u0438", nullptr, 3, kTwelve); });
  EXPECT_EQ(d.stateCharsets.back(), 204);
  EXPECT_EQ(d.CurrentDCState().font.lfCharSet, 0);
  // Cyrillic then Greek: no one code page holds both, so the text is split where the Greek
  // word starts and each run is written in its own set (nothing becomes an outline).
  d.stateCharsets.clear();
  const std::string step = d.Step([&] {
    d.ExtTextOut(100, 150, 0, RECTL{}, u"\u041f\u0440\u0438 \u0393\u03b5\u03b9\u03b1 \u03c3\u03bf",
                 nullptr, 10, kTwelve);
  });
  std::vector<int> written;
  for (std::size_t i = 0; i < d.stateSizes.size(); ++i)
    if (d.stateSizes[i] != 0 && i < d.stateCharsets.size()) written.push_back(d.stateCharsets[i]);
  EXPECT_EQ(written, (std::vector<int>{204, 161})) << step;
  EXPECT_EQ(d.CurrentDCState().font.lfCharSet, 0);
  // An em dash is written as "-" (in the copy).
  d.Step([&] { d.ExtTextOut(100, 200, 0, RECTL{}, u"a\u2014b", nullptr, 3, kTwelve); });
  EXPECT_EQ(d.usedWide.back(), u"a-b");
  EXPECT_TRUE(CheckContent(d.Close()).errors.empty());
}

TEST(TextOutputScript, TheSetWhoseCodePageHoldsTheText) {
  struct Case {
    const char16_t* text;
    std::int32_t charset;  // the text's set after script detection
    TQVCharsetFit fit;
  };
  const Case cases[] = {
      {u"abc d\u00e9j\u00e0", 0, {0, 8, false}},              // 1252 holds it: the set stays
      {u"\u00e9t\u00e9", 1, {1, 3, false}},                   // so does the default set
      {u"p\u0159\u00edli\u0161", 0, {238, 6, false}},         // Czech: 1250
      {u"\u015fi\u015fli \u0131\u011f", 1, {162, 8, false}},  // Turkish: 1254
      {u"\u0117\u012f\u0173", 0, {186, 3, false}},            // Lithuanian: 1257
      {u"c\u00e1m \u01a1n", 0, {163, 6, false}},              // Vietnamese: 1258
      // Czech then Turkish: 1250 holds the start, the Turkish letter has a page of its own.
      {u"\u0159e \u0131", 0, {238, 3, true}},
      // A character no page holds ends what a page holds, with no page to go on in.
      {u"\u0159\u2603", 0, {238, 1, false}},
      // A script's own set keeps its page; a Czech letter in it has a page elsewhere.
      {u"\u0416\u0416 \u0159", 204, {204, 3, true}},
      {u"\u05e9\u0645", 177, {177, 1, true}},  // Arabic in Hebrew: 1256 holds it
  };
  for (const Case& c : cases) {
    const std::u16string text = c.text;
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    const TQVCharsetFit fit =
        FitCharset(text.data(), static_cast<std::int32_t>(text.size()), c.charset);
    EXPECT_EQ(fit.charset, c.fit.charset);
    EXPECT_EQ(fit.held, c.fit.held);
    EXPECT_EQ(fit.elsewhere, c.fit.elsewhere);
  }
}

TEST(TextOutputScript, TheCallersTextAndSpacingAreOnlyRead) {
  REQUIRE_FONTS();
  FakeFontDevice d;
  Ready(d);
  d.modes.Include(qvInputIsWMFData);  // replaces the spacing of the copy
  // An em dash, a character the font lacks, Cyrillic: all rewritten in the copy.
  std::u16string text = u"a\u2014b\u2603c \u0416";
  std::vector<std::int32_t> spacing(text.size(), 7);
  const std::u16string textBefore = text;
  const std::vector<std::int32_t> spacingBefore = spacing;
  const std::string step = d.Step([&] {
    d.ExtTextOut(100, 100, 0, RECTL{}, text.data(), nullptr, static_cast<std::int32_t>(text.size()),
                 spacing.data());
  });
  EXPECT_EQ(text, textBefore);
  EXPECT_EQ(spacing, spacingBefore);
  // The snowman is drawn as its outline beside the text, which holds a blank for it.
  ASSERT_FALSE(d.usedWide.empty());
  EXPECT_EQ(d.usedWide.back().substr(0, 5), u"a-b c") << step;
  EXPECT_TRUE(CheckContent(d.Close()).errors.empty());
}

TEST(TextOutputScript, LinksComeFromTheTextItself) {
  REQUIRE_FONTS();
  FakeFontDevice d;
  Ready(d);
  d.contentOptions.optionBits |= TQVGenericPSDevice::kOptionAutoLinks;
  const std::string mark =
      d.Step([&] { d.ExtTextOut(100, 100, 0, RECTL{}, nullptr, "bookm://Chapter", 15, kTwelve); });
  EXPECT_FALSE(Shown(mark)) << mark;
  const std::string web =
      d.Step([&] { d.ExtTextOut(100, 200, 0, RECTL{}, nullptr, "http://a.b", 10, kTwelve); });
  EXPECT_TRUE(Shown(web));
  d.Step([&] { d.ExtTextOut(100, 300, 0, RECTL{}, nullptr, "http://", 7, kTwelve); });
  ASSERT_EQ(d.links.size(), 2u);
  EXPECT_EQ(d.links[0].target, "Chapter");
  EXPECT_EQ(d.links[1].target, "http://a.b");
  // The text's box in page units: 10 characters of 12 from x = 100, 23 high about y = 200.
  EXPECT_EQ(d.links[1].x, 100);
  EXPECT_EQ(d.links[1].width, 120);
  EXPECT_EQ(d.links[1].height, 23);
  EXPECT_TRUE(CheckContent(d.Close()).errors.empty());
}

TEST(TextOutputScript, NothingIsDrawnForTextThatIsNotThere) {
  REQUIRE_FONTS();
  FakeFontDevice d;
  Ready(d);
  // Empty, starting with a zero, a lone control character.
  const std::u16string texts[] = {u"", std::u16string(u"\0ab", 3), u"\x1f"};
  for (const std::u16string& text : texts) {
    const auto length = static_cast<std::int32_t>(text.size());
    EXPECT_EQ(
        d.Step([&] { d.ExtTextOut(1, 2, 0, RECTL{}, text.data(), nullptr, length, kTwelve); }), "");
  }
  EXPECT_EQ(d.Step([&] { d.ExtTextOut(1, 2, 0, RECTL{}, nullptr, nullptr, 3, kTwelve); }), "");
  // A symbol font with an empty text reads no character.
  d.UseFont("WingDings", -20);
  EXPECT_EQ(d.Step([&] { d.ExtTextOut(1, 2, 0, RECTL{}, u"", nullptr, 0, nullptr); }), "");
  EXPECT_EQ(d.marks, 0);
  EXPECT_TRUE(CheckContent(d.Close()).errors.empty());
}

TEST(TextOutputScript, AFontHeightOfZeroDrawsAtTheDefaultHeight) {
  REQUIRE_FONTS();
  FakeFontDevice d;
  Ready(d);
  d.UseFont("Arial", 0);
  std::string step =
      d.Step([&] { d.ExtTextOut(100, 100, 0, RECTL{}, u"ab", nullptr, 2, kTwelve); });
  // The default cell of 16 units holds a size of 14 (text height round(1.15 x 14) = 16).
  const auto tf = OperandsOf(step, "Tf");
  ASSERT_FALSE(tf.empty()) << step;
  EXPECT_EQ(tf.back()[0], 14);
  // As outlines too: a finite matrix of a 16-unit cell.
  d.UseFont("WingDings", 0);
  step = d.Step([&] { d.ExtTextOut(100, 100, 0, RECTL{}, u"ab", nullptr, 2, kTwelve); });
  const auto cm = OperandsOf(step, "cm");
  ASSERT_FALSE(cm.empty()) << step;
  EXPECT_GT(cm.back()[0], 0.005);
  EXPECT_LT(cm.back()[0], 0.02);
  EXPECT_TRUE(CheckContent(d.Close()).errors.empty());
}

TEST(TextOutputScript, ACellHeightGivesTheSizeOfTheFontsSteps) {
  REQUIRE_FONTS();
  FakeFontDevice d;
  Ready(d);
  for (std::int32_t h = 1; h <= 300; ++h) {
    // The size the step-down loop reaches, in single precision.
    float s = static_cast<float>(h);
    while (std::lround(s * FakeFontDevice::kSecond) > h && s > 0) s -= 0.5f;
    d.UseFont("Arial", h);
    d.stateSizes.clear();
    d.ExtTextOut(100, 100, 0, RECTL{}, u"a", nullptr, 1, kTwelve);
    ASSERT_FALSE(d.stateSizes.empty());
    EXPECT_EQ(d.stateSizes.back(), s) << h;
  }
  // Bounded for any height and any answer of the font.
  for (const std::int32_t h : {1 << 24, 1 << 30, 0x7FFFFFFF}) {
    d.UseFont("Arial", h);
    d.verticalCalls = 0;
    d.stateSizes.clear();
    d.ExtTextOut(100, 100, 0, RECTL{}, u"a", nullptr, 1, kTwelve);
    EXPECT_LT(d.verticalCalls, 80) << h;
    EXPECT_GT(d.stateSizes.back(), 0.8 * h);
  }
  d.fixedSecond = 1000;  // a text height that never fits
  d.UseFont("Arial", 40);
  d.verticalCalls = 0;
  d.ExtTextOut(100, 100, 0, RECTL{}, u"a", nullptr, 1, kTwelve);
  EXPECT_LT(d.verticalCalls, 10);
  EXPECT_EQ(d.stateSizes.back(), 40);
  EXPECT_TRUE(CheckContent(d.Close()).errors.empty());
}

}  // namespace
}  // namespace vellora

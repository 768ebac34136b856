// The font hooks of the PDF device as the font manager answers them: neutral values without a
// font, widths and metrics against fontTools, the wide-text conversion, and which text is
// registered for subsetting.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "QVPDFDev/fonts/font_names.h"
#include "font_test_document.h"
#include "font_test_env.h"

namespace vellora {
namespace {

namespace fontdoc = vellora_test::fontdoc;
using fontdoc::FontTestDocument;

std::string Converted(const TQVPDFFontManager& fonts, const std::u16string& text) {
  std::string out;
  fonts.ConvertWideText(text.data(), static_cast<std::int32_t>(text.size()), out);
  return out;
}

TEST(FontHooks, NeutralAnswersWithoutAFont) {
  vellora_test::TestOwner owner;
  TQVPDFFontManager fonts(&owner);
  std::int32_t first = 0, second = 0;
  fonts.FontVerticalMetrics(first, second, 10);
  EXPECT_EQ(first, 8);
  EXPECT_EQ(second, 10);
  EXPECT_EQ(fonts.TextWidthA("abc", 3, 10), 0.0);
  EXPECT_EQ(fonts.TextWidthW(u"abc", 3, 10, false), 0.0);
  EXPECT_EQ(fonts.GetFontValue(), 0);
  EXPECT_EQ(fonts.CurrentFontKind(), 0);
  std::int32_t widths[3] = {7, 7, 7};
  EXPECT_FALSE(fonts.MeasureTextA("abc", 3, 1000, widths, 10));
  EXPECT_EQ(widths[0], 7);
  std::int32_t width = 5;
  EXPECT_EQ(fonts.MapCharCode(0x41, 36, width), 0x41u);
  fonts.RegisterUsedCharsA("abc", 3);  // nothing to register, nothing fails
  EXPECT_EQ(Converted(fonts, u"\u00E9"), "\xE9");
  EXPECT_THROW(fonts.SelectFont("Arial", 0, 0), std::runtime_error) << "no document";
}

TEST(FontHooks, ConvertWideTextUsesTheFontsCodePageOverTheWholeLength) {
  REQUIRE_TEST_FONTS();
  FontTestDocument doc(qvUseTrueTypeFonts);
  TQVPDFFontManager& fonts = doc.Fonts();
  fonts.SelectFont("Arial", 0, 0);
  EXPECT_EQ(Converted(fonts, u"\uF06C"), "\x6C") << "symbol area, low byte";
  EXPECT_EQ(Converted(fonts, u"\u00E9"), "\xE9");
  EXPECT_EQ(Converted(fonts, u"\u0416"), "?") << "a character the page lacks stays ?";
  EXPECT_EQ(Converted(fonts, std::u16string(u"a\0b", 3)), std::string("a\0b", 3));
  fonts.SelectFont("Arial", 204, 0);
  EXPECT_EQ(Converted(fonts, u"\u0416x"), "\xC6x");
  fonts.SelectFont("Wingdings", 0, 0);
  EXPECT_EQ(Converted(fonts, u"\u0416\uF041"), "\x16\x41") << "symbol fonts take low bytes";
}

TEST(FontHooks, MetricsAndWidthsAgreeWithFontTools) {
  REQUIRE_TEST_FONTS();
  REQUIRE_FONTTOOLS();
  vellora_test::TempFile script(
      "import sys\nfrom fontTools.ttLib import TTFont\nf = TTFont(sys.argv[1])\n"
      "upem = f['head'].unitsPerEm\nos2 = f['OS/2']\ncmap = f.getBestCmap()\n"
      "weights = [64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6, 35, 20, 56, 56, 17, 4, 49, 56, 71,\n"
      "           31, 10, 18, 3, 18, 2, 166]\n"
      "letters = 'abcdefghijklmnopqrstuvwxyz '\n"
      "average = sum(f['hmtx'][cmap[ord(c)]][0] * w for c, w in zip(letters, weights)) // 1000\n"
      "print(os2.usWinAscent, os2.usWinAscent + os2.usWinDescent, upem, average)\n"
      "for c in 'Hi W':\n    print(f['hmtx'][cmap[ord(c)]][0])\n",
      ".py");
  const auto result =
      vellora_test::RunTool({vellora_test::FontToolsPython(), script.Path().string(),
                             vellora_test::LiberationFont("Sans-Regular")},
                            vellora_test::ToolErrors::kDrop);
  std::istringstream in(result.out);
  long double ascent, height, upem, average, advance[4];
  in >> ascent >> height >> upem >> average >> advance[0] >> advance[1] >> advance[2] >> advance[3];
  ASSERT_TRUE(in) << result.out;

  for (TQVPDFFontMode mode : {qvUseTrueTypeFonts, qvEmbedSubsetTrueType_UsedChar}) {
    SCOPED_TRACE(int(mode));  // widths from the platform, then from the font file
    FontTestDocument doc(mode);
    TQVPDFFontManager& fonts = doc.Fonts();
    fonts.SelectFont("Arial", 0, 0);
    std::int32_t first = 0, second = 0;
    fonts.FontVerticalMetrics(first, second, 100);
    // The descriptor keeps thousandths of the em; the hook scales them (halves to even).
    EXPECT_EQ(first, std::nearbyint(100 * std::lround(1000 * ascent / upem) / 1000.0L));
    EXPECT_EQ(second, std::nearbyint(100 * std::lround(1000 * height / upem) / 1000.0L));
    // "Arial" stands in through Liberation Sans: its letter-weighted average is Arial's own.
    EXPECT_EQ(fonts.GetFontValue(), std::lround(1000 * average / upem));

    std::int32_t widths[4] = {};
    ASSERT_TRUE(fonts.MeasureTextA("Hi W", 4, 1000, widths, 12));
    std::int32_t wideWidths[4] = {};
    ASSERT_TRUE(fonts.MeasureTextW(u"Hi W", 4, 1000, wideWidths, 12));
    long double sum = 0, sumWithoutBlanks = 0;
    for (int i = 0; i < 4; ++i) {
      // At most one unit of the em 1000 apart, the rounding of the platform's widths.
      EXPECT_NEAR(widths[i], static_cast<double>(12000 * advance[i] / upem), 12.5) << i;
      EXPECT_EQ(wideWidths[i], widths[i]) << i;
      sum += 12 * advance[i] / upem;
      if (i != 2) sumWithoutBlanks += 12 * advance[i] / upem;
    }
    EXPECT_NEAR(fonts.TextWidthA("Hi W", 4, 12), static_cast<double>(sum), 0.02);
    EXPECT_NEAR(fonts.TextWidthW(u"Hi W", 4, 12, false), static_cast<double>(sum), 0.02);
    EXPECT_NEAR(fonts.TextWidthW(u"Hi W", 4, 12, true), static_cast<double>(sumWithoutBlanks),
                0.02);
  }
}

TEST(FontHooks, AFontFileWithoutUnitsPerEmMeasuresAt2048) {
  REQUIRE_TEST_FONTS();
  FontTestDocument doc(qvUseTrueTypeFonts, qvCIDUnicode);
  doc.Fonts().SelectFont("Arial", 0, 0);  // Liberation Sans has 2048 units per em
  std::int32_t before[2] = {}, after[2] = {};
  ASSERT_TRUE(doc.Fonts().MeasureTextW(u"AW", 2, 1000, before, 12));
  doc.Current()->descriptor->Tables()->unitsPerEm = 0;
  ASSERT_TRUE(doc.Fonts().MeasureTextW(u"AW", 2, 1000, after, 12));
  EXPECT_EQ(after[0], before[0]);
  EXPECT_EQ(after[1], before[1]);
  std::int32_t width = 0;
  EXPECT_EQ(doc.Fonts().MapCharCode('A', 36, width), 36u);
  EXPECT_EQ(width, 667);
}

TEST(FontHooks, RegistrationFollowsTheFontMode) {
  REQUIRE_TEST_FONTS();
  struct Case {
    TQVPDFFontMode mode;
    std::int32_t charset;
    bool registered;
  } cases[] = {
      {qvEmbedSubsetTrueType_UsedChar, 0, true},
      {qvEmbedSubsetTrueType_Charsets, 0, false},  // the charset was marked at load
      {qvEmbedSubsetTrueType_Charsets, 2, true},
      {qvEmbedTrueTypeFonts, 0, false},  // the whole file is embedded
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.mode) << " charset " << c.charset);
    FontTestDocument doc(c.mode);
    doc.Fonts().SelectFont("Arial", c.charset, 0);
    const TQV_TTF_CMAP* tables = doc.Current()->descriptor->Tables();
    ASSERT_NE(tables, nullptr);
    const std::int32_t zhe = tables->GetGlyphIndex(0x0416);  // outside charset 0
    ASSERT_GT(zhe, 0);
    EXPECT_FALSE(tables->used[static_cast<std::size_t>(zhe)]);
    doc.Fonts().RegisterUsedCharsW(u"\u0416", 1, "Arial");
    EXPECT_EQ(static_cast<bool>(tables->used[static_cast<std::size_t>(zhe)]), c.registered);
  }
}

}  // namespace
}  // namespace vellora

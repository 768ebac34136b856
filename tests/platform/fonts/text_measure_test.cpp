#include "qvplatform/text_measure.h"

#include <gtest/gtest.h>

#include "qvplatform/device_context.h"
#include "qvplatform/font_mapper.h"
#include "qvplatform/font_service.h"
#include "qvplatform/text_metrics.h"
#include "screen_font_test.h"

namespace qvplatform {
namespace {

using vellora_test::MakeLogFont;
using vellora_test::RoundAway;
using vellora_test::Value;

class TextMeasure : public vellora_test::ScreenFontTest {
 protected:
  using ScreenFontTest::Select;
  void Select(const LOGFONTW& lf) { Select(CreateFontIndirectW(&lf)); }
};

TEST_F(TextMeasure, WidthsAndExtentsAreTheAdvancesFontToolsReads) {
  REQUIRE_FONTTOOLS();
  const auto v = vellora_test::FontValues(vellora_test::LiberationFont("Sans-Regular"));
  const double upem = Value(v, "unitsPerEm");
  for (int em : {1000, 11}) {
    Select(MakeLogFont("Arial", -em));
    INT widths[95];
    ASSERT_TRUE(GetCharWidthA(dc_, 32, 126, widths));
    INT wide[95];
    ASSERT_TRUE(GetCharWidthW(dc_, 32, 126, wide));
    long sum = 0;
    for (int c = 32; c <= 126; ++c) {
      const long expected = RoundAway(Value(v, "advance" + std::to_string(c)) * em / upem);
      EXPECT_EQ(widths[c - 32], expected) << "code " << c << " em " << em;
      EXPECT_EQ(wide[c - 32], expected);
      if (c >= 'a' && c <= 'e') sum += expected;
    }
    SIZE size;
    ASSERT_TRUE(GetTextExtentPoint32A(dc_, "abcde", 5, &size));
    EXPECT_EQ(size.cx, sum);
    TEXTMETRICA tm;
    GetTextMetricsA(dc_, &tm);
    EXPECT_EQ(size.cy, tm.tmHeight);
    ASSERT_TRUE(GetTextExtentPoint32W(dc_, u"abcde", 5, &size));
    EXPECT_EQ(size.cx, sum);
  }
  INT w;
  EXPECT_FALSE(GetCharWidthA(dc_, 66, 65, &w));
  SIZE size;
  EXPECT_FALSE(GetTextExtentPoint32A(dc_, "a", -1, &size));
  EXPECT_FALSE(GetCharWidthA(0, 65, 65, &w));
}

TEST_F(TextMeasure, EightBitCodesUseTheCodePageOfTheCharset) {
  struct Case {
    int charset;
    unsigned char code;
    char16_t unicode;
  };
  const Case cases[] = {{ANSI_CHARSET, 0x80, u'\u20AC'},
                        {ANSI_CHARSET, 0xE9, u'\u00E9'},
                        {RUSSIAN_CHARSET, 0xC0, u'\u0410'},
                        {GREEK_CHARSET, 0xC1, u'\u0391'},
                        {EASTEUROPE_CHARSET, 0x8A, u'\u0160'}};
  for (const auto& c : cases) {
    Select(MakeLogFont("Arial", -1000, 400, false, c.charset));
    EXPECT_EQ(GetTextCharset(dc_), c.charset);
    INT a, w;
    ASSERT_TRUE(GetCharWidthA(dc_, c.code, c.code, &a));
    ASSERT_TRUE(GetCharWidthW(dc_, c.unicode, c.unicode, &w));
    EXPECT_EQ(a, w) << "charset " << c.charset;
    const char text[] = {'x', static_cast<char>(c.code)};
    const char16_t wtext[] = {u'x', c.unicode};
    SIZE sa, sw;
    ASSERT_TRUE(GetTextExtentPoint32A(dc_, text, 2, &sa));
    ASSERT_TRUE(GetTextExtentPoint32W(dc_, wtext, 2, &sw));
    EXPECT_EQ(sa.cx, sw.cx);
  }
}

TEST_F(TextMeasure, GlyphIndicesMarkMissingGlyphs) {
  REQUIRE_FONTTOOLS();
  const auto v = vellora_test::FontValues(vellora_test::LiberationFont("Sans-Regular"));
  Select(MakeLogFont("Arial", -12));
  const WCHAR text[] = {u'A', u'z', 0x4E00, u' '};
  WORD glyphs[4];
  ASSERT_EQ(GetGlyphIndicesW(dc_, text, 4, glyphs, GGI_MARK_NONEXISTING_GLYPHS), 4u);
  EXPECT_EQ(glyphs[0], Value(v, "glyph65"));
  EXPECT_EQ(glyphs[1], Value(v, "glyph122"));
  EXPECT_EQ(glyphs[2], 0xFFFF);
  EXPECT_EQ(glyphs[3], Value(v, "glyph32"));
  ASSERT_EQ(GetGlyphIndicesW(dc_, text, 4, glyphs, 0), 4u);
  EXPECT_EQ(glyphs[2], 0);  // the default character's glyph: .notdef here
  WORD fromAnsi[2];
  ASSERT_EQ(GetGlyphIndicesA(dc_, "Az", 2, fromAnsi, 0), 2u);
  EXPECT_EQ(fromAnsi[0], glyphs[0]);
  EXPECT_EQ(GetGlyphIndicesW(0, text, 4, glyphs, 0), GDI_ERROR);
}

TEST_F(TextMeasure, SymbolFontMapsBytesToThePrivateArea) {
  REQUIRE_FONTTOOLS();
  const auto dir = vellora_test::TestFontsDir();
  ASSERT_FALSE(dir.empty());
  ASSERT_TRUE(AddFontFile((dir / "symbol.ttf").string()));
  // Requested as ANSI or DEFAULT: the face's (3,0) map makes the charset symbol.
  for (int charset : {ANSI_CHARSET, DEFAULT_CHARSET, SYMBOL_CHARSET}) {
    Select(MakeLogFont("QV Symbol Test", -1000, 400, false, charset));
    TEXTMETRICA tm;
    ASSERT_TRUE(GetTextMetricsA(dc_, &tm));
    EXPECT_EQ(tm.tmCharSet, SYMBOL_CHARSET);
    EXPECT_EQ(tm.tmFirstChar, 0x20);
    EXPECT_EQ(tm.tmLastChar, 0x42);
  }
  const WCHAR text[] = {u'A', 0xF041, u'B', 0xF042, u'C', u' '};
  WORD glyphs[6];
  ASSERT_EQ(GetGlyphIndicesW(dc_, text, 6, glyphs, GGI_MARK_NONEXISTING_GLYPHS), 6u);
  EXPECT_EQ(glyphs[0], 2);  // glyph order: .notdef, space, A, B
  EXPECT_EQ(glyphs[1], 2);
  EXPECT_EQ(glyphs[2], 3);
  EXPECT_EQ(glyphs[3], 3);
  EXPECT_EQ(glyphs[4], 0xFFFF);
  EXPECT_EQ(glyphs[5], 1);
  INT widths[3];
  ASSERT_TRUE(GetCharWidthA(dc_, 'A', 'C', widths));
  EXPECT_EQ(widths[0], 600);
  EXPECT_EQ(widths[1], 700);
  EXPECT_EQ(widths[2], 500);  // no glyph: the missing glyph's advance
  SIZE size;
  ASSERT_TRUE(GetTextExtentPoint32A(dc_, "AB", 2, &size));
  EXPECT_EQ(size.cx, 1300);
}

TEST_F(TextMeasure, FacesOfACollectionMeasureWithTheirOwnTables) {
  REQUIRE_FONTTOOLS();
  const auto dir = vellora_test::TestFontsDir();
  ASSERT_FALSE(dir.empty());
  const std::string ttc = (dir / "pair.ttc").string();
  Select(CreateFontForFile(MakeLogFont("", -1000), ttc, 1));
  INT w;
  ASSERT_TRUE(GetCharWidthW(dc_, 'A', 'A', &w));
  EXPECT_EQ(w, RoundAway(1400 * 1000.0 / 2048));
  char face[64];
  GetTextFaceA(dc_, 64, face);
  EXPECT_STREQ(face, "QV Pair Two");
  Select(CreateFontForFile(MakeLogFont("", -1000), ttc, 0));
  ASSERT_TRUE(GetCharWidthW(dc_, 'A', 'A', &w));
  EXPECT_EQ(w, 600);
  // A face index past the collection is a font without a face.
  Select(CreateFontForFile(MakeLogFont("", -1000), ttc, 2));
  EXPECT_FALSE(GetCharWidthW(dc_, 'A', 'A', &w));
}

}  // namespace
}  // namespace qvplatform

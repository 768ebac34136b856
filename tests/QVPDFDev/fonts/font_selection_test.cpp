// Font selection: the name rules, reuse of font resources, aliases, the standard-14 names, the
// East Asian fonts and the names written into the file.
#include <gtest/gtest.h>

#include <algorithm>

#include "QVPDFDev/fonts/font_names.h"
#include "font_test_document.h"
#include "font_test_env.h"
#include "qvplatform/font_mapper.h"

namespace vellora {
namespace {

namespace fontdoc = vellora_test::fontdoc;
using fontdoc::FontTestDocument;

TEST(FontNames, RequestsAreNormalised) {
  struct Case {
    const char* face;
    std::int32_t charset;
    const char* name;
    std::int32_t resultCharset;
  } cases[] = {
      {"Arial CE", 238, "Arial", 238},
      {"Arial ce", 0, "Arial ce", 0},  // the suffix is matched exactly
      {"Arial (Western)", 0, "Arial", 0},
      {"wingdings", 0, "Wingdings", 2},
      {"Wingdings 3", 0, "Wingdings 3", 2},
      {"RodEdid", 204, "RodEdid", 2},
      {"symbol", 0, "symbol", 2},
      {"MS Sans Serif", 0, "Microsoft Sans Serif", 0},
      {"system", 0, "Courier New", 0},
  };
  for (const Case& c : cases) {
    std::string name = c.face;
    std::int32_t charset = c.charset;
    NormaliseFaceRequest(name, charset);
    EXPECT_EQ(name, c.name) << c.face;
    EXPECT_EQ(charset, c.resultCharset) << c.face;
  }
  EXPECT_EQ(PostScriptFontName("Times New Roman", kFontStyleBold), "TimesNewRoman,Bold");
  EXPECT_EQ(PostScriptFontName("my (odd)\tface", kFontStyleBold | kFontStyleItalic),
            "MyOddface,BoldItalic");
  EXPECT_EQ(ExclusionKey("Arial", 0), "Arial-Normal");
  EXPECT_TRUE(IsNoEmbedFaceName("@Arial"));
  EXPECT_TRUE(IsNoEmbedFaceName("MINGLIU"));
  EXPECT_FALSE(IsNoEmbedFaceName(""));
}

TEST(FontNames, StandardFonts) {
  struct Case {
    const char* face;
    std::uint8_t style;
    const char* name;
  } cases[] = {
      {"Times New Roman", kFontStyleBold | kFontStyleItalic, "Times-BoldItalic"},
      {"Courier New", kFontStyleItalic, "Courier-Oblique"},
      {"Symbol", kFontStyleBold, "Symbol"},
      {"Wingdings", 0, "ZapfDingbats"},
      {"Tahoma", kFontStyleBold, "Helvetica-Bold"},
      {"Arial", kFontStyleItalic, "Helvetica-Oblique"},
  };
  for (const Case& c : cases) EXPECT_EQ(StandardFontName(c.face, c.style), c.name) << c.face;
}

TEST(FontSelection, VariantsOfOneFaceShareAResource) {
  REQUIRE_TEST_FONTS();
  FontTestDocument doc(qvUseTrueTypeFonts);
  const int arial = doc.Fonts().SelectFont("Arial CE", 0, 0);
  EXPECT_EQ(doc.Fonts().SelectFont("Arial (Western)", 0, 0), arial);
  EXPECT_EQ(doc.Fonts().SelectFont("arial", 0, 0), arial);
  EXPECT_EQ(doc.Current()->name, "Arial");
  EXPECT_EQ(doc.Current()->requestedName, "Arial CE");
  EXPECT_EQ(doc.Current()->matchedName, "Liberation Sans");
  EXPECT_EQ(doc.Fonts().FirstFontName(), "Arial");

  const int bold = doc.Fonts().SelectFont("Arial", 0, kFontStyleBold);
  EXPECT_NE(bold, arial);
  EXPECT_EQ(doc.Current()->descriptor->GetFontName(), "Arial,Bold");
  EXPECT_NE(doc.Fonts().SelectFont("Arial", 161, 0), arial) << "another charset";
  EXPECT_EQ(doc.Current()->descriptor->GetFontName(), "Arial");

  doc.Fonts().SelectFont("Times New Roman", 0, 0);
  EXPECT_EQ(doc.Current()->descriptor->GetFontName(), "TimesNewRoman");
  EXPECT_TRUE(doc.Fonts().RecordedMessages().empty());
}

TEST(FontSelection, AliasesAreLookedUpFirst) {
  REQUIRE_TEST_FONTS();
  FontTestDocument doc(qvUseTrueTypeFonts);
  EXPECT_TRUE(doc.Fonts().AddFontAlias("Helv", "Times New Roman"));
  EXPECT_TRUE(doc.Fonts().Aliases().AddFromText("Body=Courier New"));
  EXPECT_FALSE(doc.Fonts().Aliases().AddFromText("no pair"));
  EXPECT_FALSE(doc.Fonts().AddFontAlias(" ", "Arial"));
  EXPECT_TRUE(doc.Fonts().AddFontAlias("body", "Arial"));  // a later target replaces
  doc.Fonts().SelectFont("HELV", 0, 0);
  EXPECT_EQ(doc.Current()->name, "Times New Roman");
  EXPECT_EQ(doc.Current()->requestedName, "HELV");
  doc.Fonts().SelectFont("Body", 0, 0);
  EXPECT_EQ(doc.Current()->name, "Arial");
}

TEST(FontSelection, EastAsianCharsetsUsePredefinedFontsAndNeverEmbed) {
  REQUIRE_TEST_FONTS();
  FontTestDocument doc(qvEmbedSubsetTrueType_UsedChar, qvCIDUnicode);
  const int japanese = doc.Fonts().SelectFont("MS Mincho", 128, kFontStyleBold);
  EXPECT_FALSE(doc.Fonts().CurrentFontIsCID());
  const int korean = doc.Fonts().SelectFont("Batang", 129, 0);
  EXPECT_EQ(doc.Fonts().FontFiles().Count(), 0u);
  const int vertical = doc.Fonts().SelectFont("@MS Mincho", 0, 0);
  EXPECT_EQ(doc.Current()->name, "MS Mincho");
  EXPECT_FALSE(doc.Current()->descriptor->embedded);
  std::string body = fontdoc::TextObject(japanese, doc.Show(u"abc", 40, 700));
  body += fontdoc::TextObject(korean, doc.Show(u"abc", 40, 650));
  body += fontdoc::TextObject(vertical, doc.Show(u"abc", 40, 600));
  const std::string pdf = doc.Finish(body);
  EXPECT_NE(pdf.find("/Subtype/Type0\n/BaseFont/HeiseiMin-W3-Bold\n/Encoding /90msp-RKSJ-H"),
            std::string::npos);
  EXPECT_NE(pdf.find("/Subtype/CIDFontType2\n/BaseFont/HeiseiMin-W3-Bold\n/WinCharSet 128"),
            std::string::npos);
  EXPECT_NE(pdf.find("/BaseFont/HYSMyeongJo-Medium\n/Encoding /KSCms-UHC-H"), std::string::npos);
  // The CIDSystemInfo strings go through the string path of their object.
  EXPECT_NE(pdf.find("/Registry <41646f6265> /Ordering <4a6170616e31> /Supplement 2"),
            std::string::npos);
  EXPECT_EQ(pdf.find("/FontFile2"), std::string::npos);
  std::string report;
  EXPECT_TRUE(fontdoc::QpdfClean(pdf, &report)) << report;
}

TEST(FontSelection, StandardFontsAndPdfA) {
  REQUIRE_TEST_FONTS();
  FontTestDocument doc(qvUseBase14Type1Fonts);
  const int helvetica = doc.Fonts().SelectFont("Arial", 0, 0);
  EXPECT_EQ(doc.Fonts().CurrentFontKind(), 1);
  const int symbol = doc.Fonts().SelectFont("Symbol", 0, 0);
  const int dingbats = doc.Fonts().SelectFont("Wingdings", 0, 0);
  const int times = doc.Fonts().SelectFont("Times New Roman", 0, kFontStyleBold);
  std::string body = fontdoc::TextObject(helvetica, doc.Show(u"abc", 40, 700));
  body += fontdoc::TextObject(symbol, doc.Show(u"abc", 40, 650));
  body += fontdoc::TextObject(dingbats, doc.Show(u"abc", 40, 600));
  body += fontdoc::TextObject(times, doc.Show(u"abc", 40, 550));
  const std::string pdf = doc.Finish(body);
  EXPECT_NE(pdf.find("/BaseFont/Helvetica\n/Encoding/WinAnsiEncoding"), std::string::npos);
  EXPECT_NE(pdf.find("/BaseFont/Times-Bold\n/Encoding/WinAnsiEncoding"), std::string::npos);
  // Symbol and ZapfDingbats keep their own encodings, whose glyphs they have.
  EXPECT_NE(pdf.find("/BaseFont/Symbol\r\n>>"), std::string::npos);
  EXPECT_NE(pdf.find("/BaseFont/ZapfDingbats\r\n>>"), std::string::npos);

  FontTestDocument pdfa(qvUseBase14Type1Fonts, 0, folvioaLevelB);
  pdfa.Fonts().SelectFont("Arial", 0, 0);
  EXPECT_EQ(pdfa.Fonts().Settings().fontMode, qvEmbedSubsetTrueType_UsedChar);
  EXPECT_FALSE(pdfa.Current()->isStandard);
}

TEST(FontSelection, NamesAreWrittenAsValidNames) {
  REQUIRE_TEST_FONTS();
  FontTestDocument doc(qvUseTrueTypeFonts);
  const int odd = doc.Fonts().SelectFont("Tri#cky/Name<x>", 0, 0);
  const int accented = doc.Fonts().SelectFont("\xC3\x87\xC3\xA9 Sans", 0, 0);
  std::string body = fontdoc::TextObject(odd, doc.Show(u"abc", 40, 700));
  body += fontdoc::TextObject(accented, doc.Show(u"abc", 40, 650));
  const std::string pdf = doc.Finish(body);
  EXPECT_NE(pdf.find("/BaseFont/Tri#23cky#2FName#3Cx#3E\n"), std::string::npos);
  EXPECT_NE(pdf.find("/FontName/Tri#23cky#2FName#3Cx#3E\n"), std::string::npos);
  EXPECT_NE(pdf.find("/BaseFont/#C3#87#C3#A9Sans\n"), std::string::npos);
  std::string report;
  EXPECT_TRUE(fontdoc::QpdfClean(pdf, &report)) << report;
}

TEST(FontSelection, EachFontFileIsAnnouncedOnce) {
  REQUIRE_TEST_FONTS();
  FontTestDocument doc(qvEmbedTrueTypeFonts);
  doc.Fonts().Settings().reportEmbeddedFonts = true;
  doc.Fonts().SelectFont("Arial", 0, 0);
  doc.Fonts().SelectFont("Arial", 161, 0);
  doc.Fonts().SelectFont("Arial", 0, kFontStyleBold);
  EXPECT_EQ(doc.Fonts().RecordedMessages(),
            (std::vector<std::string>{"10: LiberationSans", "10: LiberationSans,Bold"}));
}

TEST(FontSelection, FacesWithoutTrueTypeOutlinesAreReferencedByName) {
  REQUIRE_TEST_FONTS();
  REQUIRE_FONTTOOLS();
  const auto dir = vellora_test::TestFontsDir();
  ASSERT_FALSE(dir.empty());
  ASSERT_TRUE(qvplatform::AddFontFile((dir / "cffthai.otf").string()));
  for (const std::uint8_t cidMode : {std::uint8_t{0}, std::uint8_t{1}}) {
    SCOPED_TRACE(cidMode ? "CID fonts" : "simple fonts");
    FontTestDocument doc(qvEmbedSubsetTrueType_UsedChar, cidMode);
    // Only the CFF face covers Thai: it is the one the platform matches.
    const int thai = doc.Fonts().SelectFont("QV Cff Thai", 222, 0);
    ASSERT_NE(doc.Current(), nullptr);
    EXPECT_FALSE(doc.Current()->descriptor->embedded);
    const std::string pdf = doc.Finish(fontdoc::TextObject(thai, doc.Show(u"\u0e01", 40, 700)));
    EXPECT_TRUE(fontdoc::References(pdf, "/FontFile2").empty());
    EXPECT_TRUE(fontdoc::References(pdf, "/FontFile3").empty());
    std::string report;
    EXPECT_TRUE(fontdoc::QpdfClean(pdf, &report)) << report;
    const auto& messages = doc.Fonts().RecordedMessages();
    EXPECT_NE(std::find(messages.begin(), messages.end(), "12: QVCffThai (no TrueType outlines)"),
              messages.end())
        << testing::PrintToString(messages);
  }
}

}  // namespace
}  // namespace vellora

// Font files shared between font resources: one program embedded once for one face under two
// character sets, in either order; a font that does not embed never spoils the file of one
// that does; faces the platform matches to different programs never share; the lists of
// excluded and embed-only fonts take Windows face names.
#include <gtest/gtest.h>

#include "QVPDFDev/fonts/font_names.h"
#include "font_test_document.h"
#include "font_test_env.h"

namespace vellora {
namespace {

namespace fontdoc = vellora_test::fontdoc;
using fontdoc::FontTestDocument;

bool HaveTools() {
  for (const char* tool : {"pdffonts", "pdftoppm", "qpdf"})
    if (!vellora_test::HaveTool(tool)) return false;
  return true;
}

// The /Length1 of each embedded font file.
std::vector<int> FontFileLengths(const std::string& pdf) {
  std::vector<int> lengths;
  for (int n : fontdoc::References(pdf, "/Length1")) lengths.push_back(n);
  return lengths;
}

TEST(FontSharing, OneFaceInTwoCharsetsEmbedsItsFileOnceInEitherOrder) {
  REQUIRE_TEST_FONTS();
  if (!HaveTools()) GTEST_SKIP() << "poppler-utils or qpdf missing";
  for (std::uint8_t cidMode : {std::uint8_t{0}, std::uint8_t{1}}) {
    for (bool japaneseFirst : {false, true}) {
      SCOPED_TRACE(testing::Message()
                   << "CID mode " << int(cidMode) << ", Japanese first " << japaneseFirst);
      FontTestDocument doc(qvEmbedSubsetTrueType_UsedChar, cidMode);
      std::string body;
      auto western = [&] {
        const int f = doc.Fonts().SelectFont("Arial", 0, 0);
        body += fontdoc::TextObject(f, doc.Show(u"Western", 40, 700));
      };
      auto japanese = [&] {
        const int f = doc.Fonts().SelectFont("Arial", 128, 0);
        body += fontdoc::TextObject(f, doc.Show(u"Nihon", 40, 600));
      };
      if (japaneseFirst) {
        japanese();
        western();
      } else {
        western();
        japanese();
      }
      const std::string pdf = doc.Finish(body);
      std::string report;
      EXPECT_TRUE(fontdoc::QpdfClean(pdf, &report)) << report;
      EXPECT_EQ(fontdoc::References(pdf, "/FontFile2").size(), 1u);
      const auto rows = vellora_test::PdfFonts(pdf);
      ASSERT_EQ(rows.size(), 2u);
      for (const auto& row : rows) {
        if (row.name == "HeiseiMin-W3") {
          EXPECT_EQ(row.encoding, "90msp-RKSJ-H");
          EXPECT_EQ(row.emb, "no");
        } else {
          EXPECT_EQ(row.name, "TORVAN+LiberationSans");
          EXPECT_EQ(row.emb + row.sub, "yesyes");
        }
      }
      const vellora_test::Raster page = vellora_test::RenderPage(pdf);
      EXPECT_GT(fontdoc::InkIn(page, 40, 697, 120, 712), 50) << "the Western text";
      EXPECT_GT(fontdoc::InkIn(page, 40, 597, 120, 612), 50) << "the Japanese font's text";
    }
  }
}

TEST(FontSharing, AFontThatDoesNotEmbedLeavesTheFileToOneThatDoes) {
  REQUIRE_TEST_FONTS();
  if (!HaveTools()) GTEST_SKIP() << "poppler-utils or qpdf missing";
  FontTestDocument doc(qvEmbedTrueTypeFonts);
  // A face with "@" is never embedded; without the "@" it is the program that "Liberation
  // Sans" names, which is embedded later. ("Arial" itself would reuse the "@Arial" resource.)
  const int vertical = doc.Fonts().SelectFont("@Arial", 0, 0);
  EXPECT_FALSE(doc.Current()->descriptor->embedded);
  EXPECT_EQ(doc.Fonts().SelectFont("Arial", 0, 0), vertical);
  std::string body = fontdoc::TextObject(vertical, doc.Show(u"Vertical", 40, 600));
  const int plain = doc.Fonts().SelectFont("Liberation Sans", 0, 0);
  ASSERT_NE(plain, vertical);
  body += fontdoc::TextObject(plain, doc.Show(u"Embedded", 40, 700));
  const std::string pdf = doc.Finish(body);
  std::string report;
  EXPECT_TRUE(fontdoc::QpdfClean(pdf, &report)) << report;
  EXPECT_EQ(fontdoc::References(pdf, "/FontFile2").size(), 1u);
  for (int length : FontFileLengths(pdf)) EXPECT_GT(length, 100000);
  const auto rows = vellora_test::PdfFonts(pdf);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name + " " + rows[0].emb, "Arial no");
  EXPECT_EQ(rows[1].name + " " + rows[1].emb, "LiberationSans yes");
  EXPECT_GT(fontdoc::InkIn(vellora_test::RenderPage(pdf), 40, 697, 120, 712), 50);
}

TEST(FontSharing, FacesMatchedToOtherProgramsGetTheirOwnFile) {
  REQUIRE_TEST_FONTS();
  FontTestDocument doc(qvEmbedSubsetTrueType_UsedChar);
  doc.Fonts().SelectFont("Arial", 0, 0);
  TQVPDFFont* latin = doc.Current();
  doc.Fonts().SelectFont("Arial", 178, 0);  // a face that covers Arabic
  TQVPDFFont* arabic = doc.Current();
  ASSERT_NE(latin, arabic);
  EXPECT_NE(latin->matchedName, arabic->matchedName);
  EXPECT_NE(latin->descriptor->fontFile, arabic->descriptor->fontFile);
  doc.Fonts().SelectFont("Liberation Sans", 0, 0);
  EXPECT_EQ(doc.Current()->descriptor->fontFile, latin->descriptor->fontFile);
  EXPECT_EQ(doc.Fonts().FontFiles().Count(), 2u);
}

TEST(FontSharing, ListsTakeWindowsFaceNames) {
  REQUIRE_TEST_FONTS();
  struct Case {
    const char* excluded;
    const char* embedOnly;
    bool arial, arialBold, times;
  } cases[] = {
      {"Arial", "", false, false, true},
      {"Arial-Bold,\"Times New Roman-Normal\"", "", true, false, false},
      {"", "\"Times New Roman\"", false, false, true},
      {"", " ", true, true, true},  // a blank first entry leaves the list out
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.excluded << " / " << c.embedOnly);
    FontTestDocument doc(qvEmbedTrueTypeFonts);
    doc.Fonts().Settings().excludedFonts.SetCommaText(c.excluded);
    doc.Fonts().Settings().embedOnlyFonts.SetCommaText(c.embedOnly);
    if (std::string(c.embedOnly) == " ") doc.Fonts().Settings().embedOnlyFonts.Add(" ");
    doc.Fonts().SelectFont("Arial", 0, 0);
    EXPECT_EQ(doc.Current()->descriptor->embedded, c.arial);
    doc.Fonts().SelectFont("Arial", 0, kFontStyleBold);
    EXPECT_EQ(doc.Current()->descriptor->embedded, c.arialBold);
    doc.Fonts().SelectFont("Times New Roman", 0, 0);
    EXPECT_EQ(doc.Current()->descriptor->embedded, c.times);
  }
}

}  // namespace
}  // namespace vellora

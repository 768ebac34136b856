// Every font mode through a whole document: the font dictionary pdffonts sees, a clean qpdf
// check, ink in the cell of every character (pdftoppm), the text back (pdftotext) and the
// glyphs the embedded program holds (fontTools).
#include <gtest/gtest.h>

#include "font_test_document.h"
#include "font_test_env.h"

namespace vellora {
namespace {

namespace fontdoc = vellora_test::fontdoc;

using fontdoc::FontTestDocument;

struct ModeCase {
  const char* label;
  TQVPDFFontMode mode;
  std::uint8_t cidMode;
  std::int32_t charset;
  bool pdfa;
  bool toUnicode;
  const char* name;
  const char* type;
  const char* encoding;
  const char* emb;
  const char* sub;
  const char* uni;
  int minOutlines, maxOutlines;  // glyphs with outlines in the embedded program
};

const ModeCase kModes[] = {
    {"standard 14", qvUseBase14Type1Fonts, 0, 0, false, false, "Helvetica", "Type 1", "WinAnsi",
     "no", "no", "no", 0, 0},
    {"TrueType referenced", qvUseTrueTypeFonts, 0, 0, false, false, "Arial", "TrueType", "Custom",
     "no", "no", "no", 0, 0},
    {"embedded whole", qvEmbedTrueTypeFonts, 0, 0, false, false, "LiberationSans", "TrueType",
     "Custom", "yes", "no", "no", 1000, 100000},
    {"subset by charset", qvEmbedSubsetTrueType_Charsets, 0, 0, false, false,
     "TORVAN+LiberationSans", "TrueType", "Custom", "yes", "yes", "no", 150, 400},
    {"subset by used characters", qvEmbedSubsetTrueType_UsedChar, 0, 0, false, false,
     "TORVAN+LiberationSans", "TrueType", "Custom", "yes", "yes", "no", 5, 5},
    {"simple font with ToUnicode", qvEmbedSubsetTrueType_UsedChar, 0, 0, false, true,
     "TORVAN+LiberationSans", "TrueType", "Custom", "yes", "yes", "yes", 5, 5},
    {"PDF/A, Cyrillic", qvUseTrueTypeFonts, 0, 204, true, false, "TORVAN+LiberationSans",
     "TrueType", "Custom", "yes", "yes", "yes", 7, 12},  // some Cyrillic glyphs are composites
    {"CID, Unicode", qvUseTrueTypeFonts, qvCIDUnicode, 0, false, false, "TORVAN+LiberationSans",
     "CID TrueType", "Identity-H", "yes", "yes", "yes", 5, 5},
    {"CID, symbol only", qvUseTrueTypeFonts, qvCIDSymbolOnly, 2, false, false,
     "TORVAN+LiberationSans", "CID TrueType", "Identity-H", "yes", "yes", "yes", 5, 5},
    {"CID by use", qvUseTrueTypeFonts, 3, 0, false, false, "TORVAN+LiberationSans", "CID TrueType",
     "Identity-H", "yes", "yes", "yes", 5, 5},
};

bool HaveTools() {
  for (const char* tool : {"pdffonts", "pdftoppm", "pdftotext", "qpdf"})
    if (!vellora_test::HaveTool(tool)) return false;
  return true;
}

std::string WithoutBlanks(const std::string& text) {
  std::string out;
  for (char c : text)
    if (static_cast<unsigned char>(c) > 32) out += c;
  return out;
}

TEST(FontModes, EachModeWritesItsFontAndDrawsEveryGlyph) {
  REQUIRE_TEST_FONTS();
  if (!HaveTools()) GTEST_SKIP() << "poppler-utils or qpdf missing";
  for (const ModeCase& c : kModes) {
    SCOPED_TRACE(c.label);
    FontTestDocument doc(c.mode, c.cidMode, c.pdfa ? folvioaLevelB : folvioaOff);
    doc.Fonts().Settings().toUnicodeForSimpleFonts = c.toUnicode;
    const std::u16string text = c.charset == 204 ? u"Привет" : u"Hello";
    const int font = doc.Fonts().SelectFont("Arial", c.charset, 0);
    const std::string pdf = doc.Finish(doc.Cells(font, text, 700));

    std::string report;
    EXPECT_TRUE(fontdoc::QpdfClean(pdf, &report)) << report;
    const auto rows = vellora_test::PdfFonts(pdf);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, c.name);
    EXPECT_EQ(rows[0].type, c.type);
    EXPECT_EQ(rows[0].encoding, c.encoding);
    EXPECT_EQ(rows[0].emb + rows[0].sub + rows[0].uni, std::string(c.emb) + c.sub + c.uni);

    const vellora_test::Raster page = vellora_test::RenderPage(pdf);
    ASSERT_GT(page.width, 0);
    for (std::size_t i = 0; i < text.size(); ++i) {
      const double x = 40 + 24.0 * static_cast<double>(i);
      EXPECT_GT(fontdoc::InkIn(page, x - 2, 697, x + 14, 712), 3) << "blank glyph " << i;
    }
    EXPECT_EQ(WithoutBlanks(fontdoc::PdfToText(pdf)), c.charset == 204 ? "Привет" : "Hello");

    const std::vector<int> files = fontdoc::References(pdf, "/FontFile2");
    EXPECT_EQ(files.size(), c.maxOutlines > 0 ? 1u : 0u);
    if (files.size() == 1 && !vellora_test::FontToolsPython().empty()) {
      const std::string glyphs = fontdoc::FontFileGlyphs(pdf, files[0]);
      const auto at = glyphs.find("outlines ");
      ASSERT_NE(at, std::string::npos) << glyphs;
      const int outlines = std::atoi(glyphs.c_str() + at + 9);
      EXPECT_GE(outlines, c.minOutlines) << glyphs;
      EXPECT_LE(outlines, c.maxOutlines) << glyphs;
    }
  }
}

// The decision not to embed a font that drew only blanks comes before any name is written, so
// /BaseFont and /FontName agree and carry no subset tag.
TEST(FontModes, BlankOnlyFontEmbedsNothing) {
  REQUIRE_TEST_FONTS();
  FontTestDocument doc(qvEmbedSubsetTrueType_UsedChar);
  const int blanks = doc.Fonts().SelectFont("Arial", 0, 0);
  std::string body = fontdoc::TextObject(blanks, doc.Show(u"  ", 40, 700));
  const int text = doc.Fonts().SelectFont("Times New Roman", 0, 0);
  body += fontdoc::TextObject(text, doc.Show(u"Text", 40, 650));
  const std::string pdf = doc.Finish(body);
  EXPECT_NE(pdf.find("/BaseFont/Arial\n"), std::string::npos);
  EXPECT_NE(pdf.find("/FontName/Arial\n"), std::string::npos);
  EXPECT_NE(pdf.find("/BaseFont/TORVAN+LiberationSerif\n"), std::string::npos);
  EXPECT_NE(pdf.find("/FontName/TORVAN+LiberationSerif\n"), std::string::npos);
  EXPECT_EQ(fontdoc::References(pdf, "/FontFile2").size(), 1u);
  std::string report;
  EXPECT_TRUE(fontdoc::QpdfClean(pdf, &report)) << report;
}

}  // namespace
}  // namespace vellora

// The PDF device with its fonts: text records of metafiles played into a document become PDF
// text in every font mode (pdffonts, qpdf, pdftotext, poppler's own complaints, rendered ink);
// the text state keeps the content's fonts and colours right across text objects, brackets
// and shapes; the font manager's messages and failed subsets become numbered messages; font
// files are written once at the end of each document; aliases and the device's text scales.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "emf_builder.h"
#include "font_test_document.h"
#include "font_test_env.h"
#include "pdf_device_test_util.h"
#include "pdf_font.h"
#include "pdf_test_owner.h"

namespace vellora {
namespace {

namespace fontdoc = vellora_test::fontdoc;
using qvplatform::BYTE;
using qvplatform::INT;
using qvplatform::LOGFONTW;
using qvplatform::LONG;
using vellora_test::EmfBuilder;
using vellora_test::RecordingDevice;

// The messages of a document other than the page announcements (20).
std::vector<std::string> Messages(const RecordingDevice& d) {
  std::vector<std::string> texts;
  for (const auto& [code, text] : d.messages)
    if (code != 20) texts.push_back(std::to_string(code) + ": " + text);
  return texts;
}

constexpr int kWidth = 400, kHeight = 200;  // the picture, pixels at 72 dpi: one per point

bool HaveTools() {
  for (const char* tool : {"pdffonts", "pdftotext", "pdftoppm", "qpdf"})
    if (!vellora_test::HaveCommand(tool)) return false;
  return true;
}

#define REQUIRE_TOOLS()                                                         \
  do {                                                                          \
    REQUIRE_TEST_FONTS();                                                       \
    if (!HaveTools()) GTEST_SKIP() << "poppler-utils or qpdf is not installed"; \
  } while (0)

EmfBuilder Picture() {
  EmfBuilder b;
  b.SetBounds({0, 0, kWidth - 1, kHeight - 1});
  b.SetFrame({0, 0, kWidth * 2540 / 72, kHeight * 2540 / 72});
  b.SetDevice({720, 720});
  b.SetMillimeters({254, 254});
  return b;
}

LOGFONTW Font(const std::u16string& face, LONG height, LONG weight = 400, BYTE charset = 0) {
  LOGFONTW f = EmfBuilder::Font(face, height, weight);
  f.lfCharSet = charset;
  return f;
}

// Advances of about the font's own widths, so that the text needs little spacing.
std::vector<INT> Advances(const std::u16string& text, INT each) {
  return std::vector<INT>(text.size(), each);
}

// Plays the metafile into a document of its own (one page of the picture's size).
std::string Play(TQVPDFDevice& d, const EmfBuilder& b) {
  d.BeginDoc(576, 800, 72, 0);
  const std::vector<BYTE> bytes = b.Bytes();
  EXPECT_EQ(d.PlayMetafile(bytes.data(), bytes.size(), 0, 0, 0, 0, false, 0, 0), 1);
  d.EndDoc();
  return vellora_test::DocumentBytes(d);
}

// The text pdftotext finds, without white space.
std::string Text(const std::string& pdf) {
  std::string text = fontdoc::PdfToText(pdf);
  text.erase(std::remove_if(text.begin(), text.end(),
                            [](char c) { return static_cast<unsigned char>(c) <= 32; }),
             text.end());
  return text;
}

// What poppler says while it reads every page's content (missing fonts, bad operators).
std::string PopplerComplaints(const std::string& pdf) {
  vellora_test::TempFile file(pdf);
  return vellora_test::RunCommand("pdftotext '" + file.Path().string() + "' /dev/null").out;
}

struct ModeCase {
  const char* name;
  TQVPDFFontMode mode;
  std::uint8_t cidMode;
  bool toUnicodeMode;  // mode value 23
  const char* fontName;
  const char* type;
  const char* encoding;
  const char* embSubUni;
};

TEST(PDFDeviceFonts, MetafileTextBecomesPdfTextInEveryFontMode) {
  REQUIRE_TOOLS();
  const ModeCase cases[] = {
      {"TrueType referenced", qvUseTrueTypeFonts, 0, false, "Arial", "TrueType", "Custom",
       "no no no"},
      {"embedded whole", qvEmbedTrueTypeFonts, 0, false, "LiberationSans", "TrueType", "Custom",
       "yes no no"},
      {"standard 14", qvUseBase14Type1Fonts, 0, false, "Helvetica", "Type 1", "WinAnsi",
       "no no no"},
      {"subset by charset", qvEmbedSubsetTrueType_Charsets, 0, false, "TORVAN+LiberationSans",
       "TrueType", "Custom", "yes yes no"},
      {"subset by used characters", qvEmbedSubsetTrueType_UsedChar, 0, false,
       "TORVAN+LiberationSans", "TrueType", "Custom", "yes yes no"},
      {"simple subset with ToUnicode", qvEmbedSubsetTrueType_UsedChar, 0, true,
       "TORVAN+LiberationSans", "TrueType", "Custom", "yes yes yes"},
      {"CID by Unicode", qvEmbedSubsetTrueType_UsedChar, qvCIDUnicode, false,
       "TORVAN+LiberationSans", "CID TrueType", "Identity-H", "yes yes yes"},
      {"CID by first use", qvEmbedSubsetTrueType_UsedChar, 3, false, "TORVAN+LiberationSans",
       "CID TrueType", "Identity-H", "yes yes yes"},
  };
  const std::u16string text = u"Hello Vellora";
  for (const ModeCase& c : cases) {
    SCOPED_TRACE(c.name);
    EmfBuilder b = Picture();
    b.CreateFont(1, Font(u"Arial", -24));
    b.SelectObject(1);
    b.ExtTextOutW(20, 60, text, Advances(text, 13));
    b.Eof();
    RecordingDevice d;
    d.FontSettings().fontMode = c.mode;
    d.cidFontMode = c.cidMode;
    if (c.toUnicodeMode) d.modes.Include(kModeToUnicodeForSimpleFonts);
    const std::string pdf = Play(d, b);

    std::string report;
    EXPECT_TRUE(fontdoc::QpdfClean(pdf, &report)) << report;
    const auto rows = fontdoc::PdfFonts(pdf);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, c.fontName);
    EXPECT_EQ(rows[0].type, c.type);
    EXPECT_EQ(rows[0].encoding, c.encoding);
    EXPECT_EQ(rows[0].emb + " " + rows[0].sub + " " + rows[0].uni, c.embSubUni);
    EXPECT_EQ(Text(pdf), "HelloVellora");
    EXPECT_EQ(PopplerComplaints(pdf), "");
    EXPECT_EQ(Messages(d), std::vector<std::string>{});
    // Every glyph is drawn: ink in the cell of each of the first letters.
    const vellora_test::GreyPage page = vellora_test::RenderPage(pdf);
    ASSERT_TRUE(page.ok) << page.diagnostics;
    for (int i = 0; i < 5; ++i)
      EXPECT_GT(page.DarkShare(20 + 13 * i, 60, 33 + 13 * i, 84), 0.02) << "glyph " << i;
  }
}

}  // namespace
}  // namespace vellora

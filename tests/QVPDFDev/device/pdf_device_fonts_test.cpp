// The PDF device with its fonts: text records of metafiles played into a document become PDF
// text in every font mode (pdffonts, qpdf, pdftotext, poppler's own complaints, rendered ink);
// the text state keeps the content's fonts and colours right across text objects, brackets
// and shapes; the font manager's messages and failed subsets become numbered messages; font
// files are written once at the end of each document; aliases and the device's text scales.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "QVPDFDev/fonts/pdf_font.h"
#include "emf_builder.h"
#include "font_test_document.h"
#include "font_test_env.h"
#include "pdf_device_test_util.h"
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
    if (!vellora_test::HaveTool(tool)) return false;
  return true;
}

#define REQUIRE_TOOLS()                                                         \
  do {                                                                          \
    REQUIRE_TEST_FONTS();                                                       \
    if (!HaveTools()) GTEST_SKIP() << "poppler-utils or qpdf is not installed"; \
  } while (0)

EmfBuilder Picture() {
  EmfBuilder b = vellora_test::PointPicture(kWidth, kHeight);
  b.SetHandles(8);
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
  return vellora_test::RunTool({"pdftotext", file.Path().string(), "/dev/null"}).out;
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
    d.contentOptions.cidFontMode = c.cidMode;
    if (c.toUnicodeMode) d.modes.Include(kModeToUnicodeForSimpleFonts);
    const std::string pdf = Play(d, b);

    std::string report;
    EXPECT_TRUE(fontdoc::QpdfClean(pdf, &report)) << report;
    const auto rows = vellora_test::PdfFonts(pdf);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, c.fontName);
    EXPECT_EQ(rows[0].type, c.type);
    EXPECT_EQ(rows[0].encoding, c.encoding);
    EXPECT_EQ(rows[0].emb + " " + rows[0].sub + " " + rows[0].uni, c.embSubUni);
    EXPECT_EQ(Text(pdf), "HelloVellora");
    EXPECT_EQ(PopplerComplaints(pdf), "");
    EXPECT_EQ(Messages(d), std::vector<std::string>{});
    // Every glyph is drawn: ink in the cell of each of the first letters.
    const vellora_test::Raster page = vellora_test::RenderPage(pdf);
    ASSERT_TRUE(page.ok) << page.diagnostics;
    for (int i = 0; i < 5; ++i)
      EXPECT_GT(page.DarkShare(20 + 13 * i, 60, 33 + 13 * i, 84), 0.02) << "glyph " << i;
  }
}

// Text objects, brackets and shapes in between: every text object writes its font again (a
// "Q" took the last one away), text keeps its own colour after a shape, and a shape after
// text its own.
TEST(PDFDeviceFonts, TextStateSurvivesBracketsAndShapes) {
  REQUIRE_TOOLS();
  EmfBuilder b = Picture();
  b.CreateBrush(1, 0 /* BS_SOLID */, 0xC0C0C0);
  b.SelectObject(1);
  b.SelectObject(0x80000008);  // NULL_PEN
  b.CreateFont(2, Font(u"Arial", -24));
  b.SelectObject(2);
  b.Rectangle({20, 10, 100, 40});
  b.ExtTextOutW(20, 60, u"Alpha", Advances(u"Alpha", 14));
  b.Rectangle({20, 100, 100, 130});
  b.SaveDC();
  b.ExtTextOutW(200, 60, u"Beta", Advances(u"Beta", 14));
  b.RestoreDC(-1);
  b.ExtTextOutW(200, 140, u"Gamma", Advances(u"Gamma", 14));
  b.Eof();
  RecordingDevice d;
  d.FontSettings().fontMode = qvEmbedSubsetTrueType_UsedChar;
  const std::string pdf = Play(d, b);
  EXPECT_EQ(vellora_test::QpdfProblems(pdf), "");
  EXPECT_EQ(PopplerComplaints(pdf), "") << "a text without its font";
  EXPECT_EQ(Text(pdf), "AlphaBetaGamma");
  const vellora_test::Raster page = vellora_test::RenderPage(pdf);
  ASSERT_TRUE(page.ok) << page.diagnostics;
  for (auto [x, y] : {std::pair{30, 20}, {90, 30}, {30, 110}, {90, 120}})
    EXPECT_NEAR(page.Grey(x, y), 0xC0, 8) << "the brush's grey at " << x << "," << y;
  // Black ink in each word (the brush's grey is not dark).
  EXPECT_GT(page.DarkShare(20, 60, 90, 84), 0.02) << "Alpha";
  EXPECT_GT(page.DarkShare(200, 60, 256, 84), 0.02) << "Beta";
  EXPECT_GT(page.DarkShare(200, 140, 270, 164), 0.02) << "Gamma";
}

// Bold takes the bold face, or is stroked under mode value 21; the device's font scale and
// horizontal text scale reach "Tf" and "Tz"; an alias replaces a face.
TEST(PDFDeviceFonts, BoldScalesAndAliases) {
  REQUIRE_TOOLS();
  EmfBuilder b = Picture();
  b.CreateFont(1, Font(u"Arial", -24, 700));
  b.SelectObject(1);
  b.ExtTextOutW(20, 60, u"Bold", Advances(u"Bold", 15));
  b.CreateFont(2, Font(u"Body", -24));
  b.SelectObject(2);
  b.ExtTextOutW(20, 120, u"Mono", Advances(u"Mono", 15));
  b.Eof();
  struct Case {
    const char* name;
    bool strokeBold;
    float fontScale, horizontalScale;
    std::vector<std::string> fonts;  // pdffonts names, sorted
    std::vector<const char*> operators, absent;
  } cases[] = {
      {"bold face", false, 1, 0, {"Arial,Bold", "CourierNew"}, {"/F1 24 Tf"}, {"2 Tr", "Tz"}},
      {"stroked bold, scaled",
       true,
       2,
       0.5f,
       {"Arial", "CourierNew"},
       {"/F1 48 Tf", "2 Tr", "50 Tz", "1.2 w"},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingDevice d;
    EXPECT_TRUE(d.AddFontAlias("Body=Courier New"));
    EXPECT_FALSE(d.AddFontAlias("no pair"));
    if (c.strokeBold) d.modes.Include(21);
    d.options.text.fontScale = c.fontScale;
    d.options.text.horizontalTextScale = c.horizontalScale;
    const std::string pdf = Play(d, b);
    EXPECT_EQ(vellora_test::QpdfProblems(pdf), "");
    std::vector<std::string> names;
    for (const auto& row : vellora_test::PdfFonts(pdf)) names.push_back(row.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, c.fonts);
    for (const char* op : c.operators) EXPECT_NE(pdf.find(op), std::string::npos) << op;
    for (const char* op : c.absent) EXPECT_EQ(pdf.find(op), std::string::npos) << op;
    EXPECT_EQ(Text(pdf), "BoldMono");
  }
}

// A subset that cannot be built: the whole font program is embedded and the device reports a
// numbered message naming the font.
TEST(PDFDeviceFonts, AFailedSubsetIsANumberedMessage) {
  REQUIRE_TOOLS();
  EmfBuilder b = Picture();
  b.CreateFont(1, Font(u"Arial", -24));
  b.SelectObject(1);
  b.ExtTextOutW(20, 60, u"Hello", Advances(u"Hello", 14));
  b.Eof();
  RecordingDevice d;
  d.FontSettings().fontMode = qvEmbedSubsetTrueType_UsedChar;
  d.BeginDoc(576, 800, 72, 0);
  d.BeginPage(kWidth, kHeight, 72, 72, 0);
  const std::vector<BYTE> bytes = b.Bytes();
  d.PlayMetafile(bytes.data(), bytes.size(), 0, 0, 0, 0, false, 0, 0);
  // The subsetter takes sfnt version 1.0 only; readers also take the tag "true".
  ASSERT_NE(d.Fonts().CurrentFont(), nullptr);
  std::vector<std::uint8_t>& data =
      d.Fonts().CurrentFont()->descriptor->fontFile->Stream().FontData();
  ASSERT_GT(data.size(), 4u);
  std::copy_n("true", 4, data.begin());
  d.EndPage();
  d.EndDoc();
  const std::string pdf = vellora_test::DocumentBytes(d);
  const std::vector<std::string> messages = Messages(d);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("12: Cannot embed Font: LiberationSans (", 0), 0u) << messages[0];
  std::string report;
  EXPECT_TRUE(fontdoc::QpdfClean(pdf, &report)) << report;
  const auto rows = vellora_test::PdfFonts(pdf);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].name + " " + rows[0].emb + " " + rows[0].sub, "LiberationSans yes no");
  EXPECT_EQ(Text(pdf), "Hello");
}

// One face in two charsets shares one font file, written once at the end of the document; a
// second document on the same device starts its fonts afresh.
TEST(PDFDeviceFonts, FontFilesAreWrittenOnceAtTheEndOfEachDocument) {
  REQUIRE_TOOLS();
  EmfBuilder b = Picture();
  b.CreateFont(1, Font(u"Arial", -24));
  b.SelectObject(1);
  b.ExtTextOutW(20, 60, u"Lodz", Advances(u"Lodz", 14));
  b.CreateFont(2, Font(u"Arial", -24, 400, 238));
  b.SelectObject(2);
  b.ExtTextOutW(20, 120, u"\u0141\u00F3d\u017A", Advances(u"Lodz", 14));
  b.Eof();
  RecordingDevice d;
  d.FontSettings().fontMode = qvEmbedSubsetTrueType_UsedChar;
  d.FontSettings().reportEmbeddedFonts = true;
  for (int document = 1; document <= 2; ++document) {
    SCOPED_TRACE("document " + std::to_string(document));
    d.messages.clear();
    const std::string pdf = Play(d, b);
    std::string report;
    EXPECT_TRUE(fontdoc::QpdfClean(pdf, &report)) << report;
    EXPECT_EQ(vellora_test::PdfFonts(pdf).size(), 2u);
    const std::vector<int> files = fontdoc::References(pdf, "/FontFile2");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0], files[1]);
    const std::string object = "\n" + std::to_string(files[0]) + " 0 obj";
    EXPECT_NE(pdf.find(object), std::string::npos);
    EXPECT_EQ(pdf.find(object), pdf.rfind(object)) << "written twice";
    EXPECT_EQ(Messages(d), std::vector<std::string>{"10: Embed Font: LiberationSans"});
    EXPECT_EQ(Text(pdf), "Lodz\u0141\u00F3d\u017A");
  }
}

}  // namespace
}  // namespace vellora

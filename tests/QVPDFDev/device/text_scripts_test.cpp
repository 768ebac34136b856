// Text of many languages in fonts that do not name their character set (0) or ask for the
// default one (1), as office suites write it, with and without spacing arrays, in every font
// mode: poppler reads every word back, each character is ink where the CID document draws it,
// and nothing is lost. Also: spacing arrays that equal the face's advances add no spacing, and
// a character no face can draw is reported once per document.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "page_render.h"
#include "pdf_tools.h"
#include "qvplatform/debug_output.h"
#include "temp_files.h"
#include "text_engine_records.h"

namespace vellora {
namespace {

using vellora_test::Advances;
using vellora_test::FontModes;
using vellora_test::Played;
using vellora_test::Raster;
using vellora_test::Record;
using vellora_test::Utf8;

struct Line {
  const char* language;
  std::u16string text;
  bool rightToLeft = false;
};

const std::vector<Line>& Lines() {
  static const std::vector<Line> lines = {
      {"Czech", u"p\u0159\u00edli\u0161 \u017elu\u0165ou\u010dk\u00fd k\u016f\u0148"},
      {"Polish", u"za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 ja\u017a\u0144"},
      {"Hungarian", u"\u00e1rv\u00edzt\u0171r\u0151 t\u00fck\u00f6rf\u00far\u00f3g\u00e9p"},
      {"Romanian", u"\u00een\u015fir\u0103 p\u00e2ine \u015fi \u0163uic\u0103"},
      {"Turkish", u"\u015fi\u015fli \u0131\u011fd\u0131r"},
      {"Lithuanian", u"\u012flink\u0117 \u0161vent\u0119 \u0105\u017euol\u0173"},
      {"Latvian", u"\u0123\u0113rb\u0161an\u0101s \u0137\u0113\u0137is"},
      {"Vietnamese", u"t\u00f4i \u0111i \u0103n c\u00e1 c\u00e1m \u01a1n"},
      {"Greek", u"\u03ba\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1 \u03ba\u03cc\u03c3\u03bc\u03b5"},
      {"Russian", u"\u0441\u044a\u0435\u0448\u044c \u0436\u0435 \u0435\u0449\u0451"},
      {"Hebrew", u"\u05e9\u05dc\u05d5\u05dd \u05e2\u05d5\u05dc\u05dd", true},
      {"Arabic", u"\u0645\u0631\u062d\u0628\u0627 \u0628\u0627\u0644\u0639\u0627\u0644\u0645",
       true},
      {"Czech and Greek",
       u"p\u0159\u00edli\u0161 \u03ba\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1"},
      {"Turkish and Russian", u"\u015fi\u015fli \u041c\u043e\u0441\u043a\u0432\u0430"},
  };
  return lines;
}

constexpr int kSize = 14, kLeft = 40, kFirstBaseline = 30, kLineStep = 26;
constexpr const char16_t* kFace = u"DejaVu Sans";

int Baseline(std::size_t line) { return kFirstBaseline + static_cast<int>(line) * kLineStep; }

std::string Page(std::uint8_t charset, bool spacing, FontModes modes) {
  std::vector<Record> records;
  for (std::size_t i = 0; i < Lines().size(); ++i)
    records.push_back({kFace, -kSize, 0, charset, false, spacing ? 1.0 : 0.0, kLeft, Baseline(i),
                       Lines()[i].text});
  return Played(records, modes);
}

std::vector<std::string> WordsOfLine(const std::u16string& text) {
  std::vector<std::string> words;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(u' ', start);
    if (end == std::u16string::npos) end = text.size();
    if (end > start) words.push_back(Utf8(text.substr(start, end - start)));
    start = end + 1;
  }
  return words;
}

// At 144 dpi: two pixels per point.
constexpr int kScale = 2;

struct LineInk {
  double share = 0;      // of the line's band
  int inkedColumns = 0;  // columns of the band with any ink
};

LineInk InkOf(const Raster& page, std::size_t line, int width) {
  const int y0 = (Baseline(line) - kSize) * kScale, y1 = (Baseline(line) + kSize / 3) * kScale;
  const int x0 = (kLeft - 2) * kScale, x1 = x0 + (width + 4) * kScale;
  LineInk ink;
  ink.share = page.DarkShare(x0, y0, x1, y1, 200);
  for (int x = x0; x < x1; ++x)
    for (int y = y0; y < y1; ++y)
      if (page.Grey(x, y) < 200) {
        ++ink.inkedColumns;
        break;
      }
  return ink;
}

int LineWidth(const Line& line) {
  int width = 0;
  for (const int a : Advances(vellora_test::Font(kFace, -kSize), line.text)) width += a;
  return width;
}

// Each character's advance cell holds ink (blanks excepted), for text set left to right.
void ExpectInkInEveryCell(const Raster& page, std::size_t i, const Line& line) {
  const auto advances = Advances(vellora_test::Font(kFace, -kSize), line.text);
  int x = kLeft;
  for (std::size_t k = 0; k < line.text.size(); ++k) {
    const int next = x + advances[k];
    if (line.text[k] != u' ') {
      bool inked = false;
      for (int px = x * kScale; px < next * kScale && !inked; ++px)
        for (int py = (Baseline(i) - kSize) * kScale; py < Baseline(i) * kScale && !inked; ++py)
          inked = page.Grey(px, py) < 200;
      EXPECT_TRUE(inked) << "no ink for character " << k << " (U+" << std::hex
                         << static_cast<int>(line.text[k]) << std::dec << ")";
    }
    x = next;
  }
}

TEST(TextScripts, EveryLanguageStaysTextAndInkInEveryFontMode) {
  REQUIRE_ENGINE_TOOLS();
  if (!vellora_test::HaveTool("pdftoppm") || !vellora_test::HaveTool("pdffonts"))
    GTEST_SKIP() << "poppler missing";
  struct Mode {
    const char* name;
    FontModes modes;
  };
  const Mode modes[] = {{"default", {0, 0}}, {"whole", {1, 0}}, {"subset", {5, 0}}};
  const vellora_test::RenderOptions at144{72 * kScale};
  for (const std::uint8_t charset : {std::uint8_t{0}, std::uint8_t{1}}) {
    for (const bool spacing : {true, false}) {
      SCOPED_TRACE(testing::Message() << "charset " << int{charset}
                                      << (spacing ? ", spacing array" : ", no spacing array"));
      const std::string cid = Page(charset, spacing, {0, 1});
      const Raster cidPage = vellora_test::RenderPage(cid, at144);
      ASSERT_TRUE(cidPage.ok) << cidPage.diagnostics;
      for (const Mode& m : modes) {
        SCOPED_TRACE(m.name);
        const std::string pdf = Page(charset, spacing, m.modes);
        ASSERT_EQ(vellora_test::QpdfProblems(pdf), "");
        const auto fonts = vellora_test::PdfFonts(pdf);
        ASSERT_FALSE(fonts.empty());
        for (const auto& f : fonts)
          EXPECT_EQ(f.emb, m.modes.fontMode == 0 ? "no" : "yes") << f.name;
        const std::string text = vellora_test::PdfToText(pdf).out;
        EXPECT_EQ(text.find('?'), std::string::npos) << text;
        const Raster page = vellora_test::RenderPage(pdf, at144);
        ASSERT_TRUE(page.ok) << page.diagnostics;
        for (std::size_t i = 0; i < Lines().size(); ++i) {
          const Line& line = Lines()[i];
          SCOPED_TRACE(line.language);
          for (const std::string& word : WordsOfLine(line.text))
            EXPECT_NE(text.find(word), std::string::npos) << word << " not in:\n" << text;
          const int width = LineWidth(line);
          const LineInk ink = InkOf(page, i, width), cidInk = InkOf(cidPage, i, width);
          // Arabic letters stand alone in 8-bit text and join in the CID font.
          const double tolerance = line.rightToLeft ? 0.3 : 0.12;
          EXPECT_NEAR(ink.share, cidInk.share, tolerance * cidInk.share);
          EXPECT_NEAR(ink.inkedColumns, cidInk.inkedColumns, tolerance * cidInk.inkedColumns);
          if (spacing && !line.rightToLeft) ExpectInkInEveryCell(page, i, line);
        }
      }
      // The CID document itself.
      EXPECT_EQ(vellora_test::QpdfProblems(cid), "");
      const std::string text = vellora_test::PdfToText(cid).out;
      for (const Line& line : Lines())
        for (const std::string& word : WordsOfLine(line.text))
          EXPECT_NE(text.find(word), std::string::npos) << "CID: " << word;
      for (const auto& f : vellora_test::PdfFonts(cid)) EXPECT_EQ(f.type, "CID TrueType") << f.name;
    }
  }
}

TEST(TextScripts, WhatNoCodePageHoldsIsInkAndWhatNoFaceHasIsReportedOnce) {
  REQUIRE_ENGINE_TOOLS();
  if (!vellora_test::HaveTool("pdftoppm")) GTEST_SKIP() << "pdftoppm missing";
  // U+1EC7 is in no code page: an outline between the text. U+0F40 is in no face at all.
  const Line vietnamese{"Vietnamese", u"Vi\u1ec7t Nam"};
  const Line tibetan{"Tibetan", u"ka \u0f40 kha \u0f41"};
  for (int document = 0; document < 2; ++document) {
    SCOPED_TRACE(document);
    qvplatform::ScopedDebugCapture capture;
    const std::vector<Record> records = {
        {kFace, -kSize, 0, 0, false, 1, kLeft, Baseline(0), vietnamese.text},
        {kFace, -kSize, 0, 0, false, 1, kLeft, Baseline(1), tibetan.text},
        {kFace, -kSize, 0, 0, false, 1, kLeft, Baseline(2), tibetan.text}};
    const std::string pdf = Played(records, FontModes{});
    ASSERT_EQ(vellora_test::QpdfProblems(pdf), "");
    const Raster page = vellora_test::RenderPage(pdf, vellora_test::RenderOptions{72 * kScale});
    ASSERT_TRUE(page.ok) << page.diagnostics;
    ExpectInkInEveryCell(page, 0, vietnamese);
    const std::string text = vellora_test::PdfToText(pdf).out;
    for (const char* word : {"Vi", "Nam", "ka", "kha"})
      EXPECT_NE(text.find(word), std::string::npos) << word;
    EXPECT_EQ(text.find('?'), std::string::npos) << text;
    int reports = 0;
    for (const std::string& line : capture.Lines())
      reports += line.find("has no glyph for U+0F40") != std::string::npos;
    EXPECT_EQ(reports, 1);
  }
}

// The page content of a document, decompressed by qpdf.
std::string ContentOf(const std::string& pdf) { return vellora_test::QpdfQdf(pdf); }

TEST(TextScripts, AdvancesOfTheFaceItselfAddNoSpacing) {
  REQUIRE_ENGINE_TOOLS();
  // Each character exactly the face's advance as the font dictionary gives it (in thousandths
  // of the em): 0.6 em of Courier New at an em of 600 tenths of a point, and faces at an em
  // of 1000 units. What the font draws already fills the array.
  struct Case {
    const char16_t* face;
    std::int32_t height;  // in points, as Record takes it
    std::u16string text;
  };
  const Case cases[] = {
      {u"Courier New", -60, u"URGENT UR"},
      {u"Arial", -100, u"Wave AV"},
      {u"Times New Roman", -100, u"Ta yo."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(c.text));
    const std::string pdf =
        Played({{c.face, c.height, 0, 0, false, 1, 20, 100, c.text}}, FontModes{});
    ASSERT_EQ(vellora_test::QpdfProblems(pdf), "");
    const std::string content = ContentOf(pdf);
    for (const char* op : {" Tc", " Tw", " Tz"}) {
      // Only a zero is allowed (a state reset).
      std::size_t at = 0;
      while ((at = content.find(op, at)) != std::string::npos) {
        const std::size_t start = content.rfind(' ', at - 1) + 1;
        EXPECT_EQ(content.substr(start, at - start), "0") << op;
        ++at;
      }
    }
    const std::string text = vellora_test::PdfToText(pdf).out;
    EXPECT_NE(text.find(Utf8(c.text)), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace vellora

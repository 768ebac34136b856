// Text output through the whole engine: metafiles built here (W and A records, several faces,
// sizes, rotations, character sets, spacing arrays) played into PDF documents with real
// fonts, read back by pdftotext -bbox (each record's words, where the record puts them) and
// pdftoppm (outlined text as ink without text), with simple and with CID fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "pdf_device_test_util.h"
#include "pdf_test_owner.h"
#include "qvplatform/codepage.h"
#include "qvplatform/device_context.h"
#include "qvplatform/emf_record_types.h"
#include "qvplatform/font_service.h"
#include "qvplatform/text_measure.h"
#include "text_engine_records.h"

namespace vellora {
namespace {

using vellora_test::DocumentBytes;
using vellora_test::EmfBuilder;
using vellora_test::QpdfProblems;
using vellora_test::Raster;
using vellora_test::RecordingDevice;

using vellora_test::Advances;
using vellora_test::Font;
using vellora_test::Played;
using vellora_test::Record;
using vellora_test::Utf8;
using vellora_test::Word;
using vellora_test::WordsOf;

constexpr int kWidth = vellora_test::kTextPageWidth, kHeight = vellora_test::kTextPageHeight;
constexpr int kUnits = vellora_test::kTextUnits;
constexpr vellora_test::FontModes kSimple{}, kCid{5, 1};

TEST(TextOutputEngine, EachRecordGivesBackItsWordsWhereItPlacedThem) {
  REQUIRE_ENGINE_TOOLS();
  const std::vector<Record> records = {
      {u"Arial", -20, 0, 0, false, 1, 40, 50, u"Hello world"},
      {u"Times New Roman", -16, 0, 0, true, 1, 40, 100, u"Quick brown fox"},
      {u"Courier New", 30, 0, 0, false, 1, 300, 50, u"Cell height"},
      {u"Arial", -18, 0, 0, false, 1, 40, 150,
       u"\u041f\u0440\u0438\u0432\u0435\u0442 "
       u"\u043c\u0438\u0440"},
      {u"Arial", -18, 0, 161, true, 1, 300, 150,
       u"\u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1"},
      {u"DejaVu Sans", -14, 0, 0, false, 1.08, 40, 200, u"Spread by the array"},
      {u"Arial", -14, 0, 238, true, 1, 300, 200, u"\u017elu\u0165ou\u010dk\u00fd k\u016f\u0148"},
      {u"Arial", -20, 900, 0, false, 1, 560, 380, u"Upwards"},
  };
  for (const std::uint8_t cid : {std::uint8_t{0}, std::uint8_t{1}}) {
    SCOPED_TRACE(cid ? "CID fonts" : "simple fonts");
    const std::string pdf = Played(records, cid ? kCid : kSimple);
    ASSERT_EQ(QpdfProblems(pdf), "");
    if (cid) {
      const vellora_test::TempFile file(pdf);
      const auto fonts = vellora_test::RunTool({"pdffonts", file.Path().string()});
      EXPECT_NE(fonts.out.find("CID TrueType"), std::string::npos) << fonts.out;
    }
    const std::vector<Word> words = WordsOf(pdf);
    for (const Record& r : records) {
      const std::string text = Utf8(r.text);
      SCOPED_TRACE(text);
      const double size = std::abs(r.height);
      const auto dx =
          Advances(Font(r.face, r.height * kUnits, r.escapement, r.charset), r.text, r.stretch);
      double length = 0;
      for (const auto a : dx) length += a / double{kUnits};
      // The words on the record's line, in their order along it.
      std::vector<Word> line;
      for (const Word& w : words) {
        const bool on = r.escapement == 0
                            ? w.yMin < r.y && w.yMax > r.y && w.xMin > r.x - 0.25 * size &&
                                  w.xMax < r.x + length + 0.25 * size
                            : w.xMin < r.x && w.xMax > r.x && w.yMax < r.y + 0.25 * size &&
                                  w.yMin > r.y - length - 0.25 * size;
        if (on) line.push_back(w);
      }
      std::sort(line.begin(), line.end(), [&](const Word& a, const Word& b) {
        return r.escapement == 0 ? a.xMin < b.xMin : a.yMax > b.yMax;
      });
      std::string joined;
      for (const Word& w : line) joined += (joined.empty() ? "" : " ") + w.text;
      EXPECT_EQ(joined, text);
      if (line.empty()) continue;
      // It starts at the reference point and ends where the advances end.
      if (r.escapement == 0) {
        EXPECT_NEAR(line.front().xMin, r.x, 0.25 * size);
        EXPECT_NEAR(line.back().xMax, r.x + length, 0.3 * size);
        EXPECT_LT(line.front().yMax - r.y, 0.5 * size);  // the baseline crosses the words
      } else {
        EXPECT_NEAR(line.front().yMax, r.y, 0.25 * size);
        EXPECT_NEAR(line.back().yMin, r.y - length, 0.3 * size);
      }
    }
  }
}
TEST(TextOutputEngine, OutlinedRecordsAreInkWithoutText) {
  REQUIRE_ENGINE_TOOLS();
  if (!vellora_test::HaveTool("pdftoppm")) GTEST_SKIP() << "pdftoppm missing";
  const auto arial = Font(u"Arial", -40);
  // Glyph indices of "HI" in the screen DC's Arial.
  qvplatform::WORD glyphs[2] = {};
  {
    const qvplatform::HDC dc = qvplatform::GetDC(0);
    const qvplatform::HFONT font = qvplatform::CreateFontIndirectW(&arial);
    const qvplatform::HGDIOBJ old = qvplatform::SelectObject(dc, font);
    qvplatform::GetGlyphIndicesW(dc, u"HI", 2, glyphs, 0);
    qvplatform::SelectObject(dc, old);
    qvplatform::DeleteObject(font);
    qvplatform::ReleaseDC(0, dc);
  }
  const std::u16string indices = {static_cast<char16_t>(glyphs[0]),
                                  static_cast<char16_t>(glyphs[1])};
  const auto dx = Advances(arial, u"HI");
  const std::string pdf = Played({}, kSimple, [&](EmfBuilder& b) {
    b.CreateFont(1, arial);
    b.SelectObject(1);
    b.ExtTextOutW(50, 100, indices, dx, qvplatform::ETO_GLYPH_INDEX);
    b.CreateFont(2, Font(u"WingDings", -40));
    b.SelectObject(2);
    b.ExtTextOutW(250, 100, u"HI", dx);
    b.SelectObject(1);
    b.CreateBrush(3, 0, 0x000000);  // the path is filled with the brush
    b.SelectObject(3);
    b.Append(qvplatform::EMR_BEGINPATH, std::initializer_list<qvplatform::DWORD>{});
    b.ExtTextOutW(50, 300, u"HI", dx);
    b.Append(qvplatform::EMR_ENDPATH, std::initializer_list<qvplatform::DWORD>{});
    b.Append(qvplatform::EMR_FILLPATH, {0, 0, 0, 0});
  });
  ASSERT_EQ(QpdfProblems(pdf), "");
  for (const Word& w : WordsOf(pdf)) ADD_FAILURE() << w.text << " at " << w.xMin << "," << w.yMin;
  const Raster page = vellora_test::RenderPage(pdf);
  ASSERT_TRUE(page.ok) << page.diagnostics;
  // Each text's ink above its baseline, nothing far away.
  for (const auto& [x, y] : {std::pair{50, 100}, {250, 100}, {50, 300}}) {
    SCOPED_TRACE(testing::Message() << x << "," << y);
    EXPECT_GT(page.DarkShare(x, y - 30, x + dx[0] + dx[1], y), 0.1);
    EXPECT_LT(page.DarkShare(x, y + 5, x + 60, y + 40), 0.01);
  }
}

TEST(TextOutputEngine, ClippedRecordsKeepTheirSpacingOneAfterAnother) {
  REQUIRE_ENGINE_TOOLS();
  // Each clipped record draws inside its own clip bracket; the spacing that spreads the text
  // over its advances ends with the bracket and must be written again for the next one.
  const auto arial = Font(u"Arial", -20);
  const auto dx = Advances(arial, u"abcde", 1.2);
  double length = 0;
  for (const auto a : dx) length += a;
  const std::string pdf = Played({}, kSimple, [&](EmfBuilder& b) {
    b.CreateFont(1, arial);
    b.SelectObject(1);
    for (int y : {100, 200, 300})
      b.ExtTextOutW(50, y, u"abcde", dx, qvplatform::ETO_CLIPPED, {0, y - 40, 500, y + 20});
  });
  ASSERT_EQ(QpdfProblems(pdf), "");
  const std::vector<Word> words = WordsOf(pdf);
  ASSERT_EQ(words.size(), 3u);
  for (const Word& w : words) {
    SCOPED_TRACE(w.yMin);
    EXPECT_EQ(w.text, "abcde");
    EXPECT_NEAR(w.xMin, 50, 5);
    EXPECT_NEAR(w.xMax, 50 + length, 8);
  }
}

TEST(TextOutputEngine, ACharacterTheFontCannotShowIsInkBetweenTheText) {
  REQUIRE_ENGINE_TOOLS();
  if (!vellora_test::HaveTool("pdftoppm")) GTEST_SKIP() << "pdftoppm missing";
  // The snowman is not in the face: it is drawn as an outline, the rest as text around it.
  const std::u16string text = u"ab\u2603cd";
  const auto dx = Advances(Font(u"Arial", -40), text);
  const std::string pdf = Played({{u"Arial", -40, 0, 0, false, 1, 50, 100, text}}, kSimple);
  ASSERT_EQ(QpdfProblems(pdf), "");
  const std::vector<Word> words = WordsOf(pdf);
  ASSERT_EQ(words.size(), 2u);
  const int at = 50 + dx[0] + dx[1];
  EXPECT_EQ(words[0].text, "ab");
  EXPECT_LT(words[0].xMax, at + 1);
  EXPECT_EQ(words[1].text, "cd");
  EXPECT_GT(words[1].xMin, at + dx[2] - 1);
  const Raster page = vellora_test::RenderPage(pdf);
  ASSERT_TRUE(page.ok) << page.diagnostics;
  EXPECT_GT(page.DarkShare(at, 70, at + dx[2], 100), 0.05);
}

TEST(TextOutputEngine, TextIsSpreadOverItsAdvancesInAMappingWhoseYGoesUp) {
  REQUIRE_ENGINE_TOOLS();
  // Tenths of a point with y up from the page's bottom, as charting programs map their
  // pages: the text stays level, so its spacing follows the array.
  const std::u16string text = u"Spread over a y-up page";
  const auto arial = Font(u"Arial", -140);
  for (const double stretch : {0.92, 1.1}) {
    SCOPED_TRACE(stretch);
    const auto dx = Advances(arial, text, stretch);
    double length = 0;
    for (const auto a : dx) length += a / 10.0;
    const std::string pdf = Played({}, kSimple, [&](EmfBuilder& b) {
      b.SetMapMode(8);
      b.SetViewportExt(kWidth, kHeight);
      b.SetWindowExt(kWidth * 10, -kHeight * 10);
      b.SetWindowOrg(0, kHeight * 10);
      b.CreateFont(1, arial);
      b.SelectObject(1);
      b.ExtTextOutW(400, (kHeight - 100) * 10, text, dx);
    });
    ASSERT_EQ(QpdfProblems(pdf), "");
    const std::vector<Word> words = WordsOf(pdf);
    ASSERT_FALSE(words.empty());
    EXPECT_NEAR(words.front().xMin, 40, 2);
    EXPECT_NEAR(words.front().yMax, 100, 5);
    EXPECT_NEAR(words.back().xMax, 40 + length, 3);
  }
}

}  // namespace
}  // namespace vellora

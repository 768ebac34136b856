// Text keeps its orientation on the page whatever the mapping: one word played through the PDF
// device in y-down, y-up and mirrored mappings, with escapements of 0, 90 and 270 degrees,
// rendered by pdftoppm. The glyphs must be upright and unmirrored, run from the reference
// point along the escapement, and read back by pdftotext. The escapement turns the text
// counter-clockwise on the page, clockwise where the window or viewport mirrors y: GDI draws
// it so, as the bounds it records show (charts label their y axis upwards with 2700 there).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "QVPDFDev/fonts/pdf_font.h"
#include "QVPdfDC/text_output.h"
#include "emf_builder.h"
#include "font_test_document.h"
#include "font_test_env.h"
#include "pdf_device_test_util.h"
#include "pdf_test_owner.h"

namespace vellora {
namespace {

using qvplatform::BYTE;
using qvplatform::INT;
using qvplatform::LOGFONTW;
using qvplatform::LONG;
using vellora_test::EmfBuilder;
using vellora_test::RecordingDevice;

constexpr int kSize = 400;               // the picture, pixels at 72 dpi: one per point
constexpr int kRefX = 200, kRefY = 200;  // the reference point on the page
constexpr double kEm = 60;               // em size of the word in pixels

// A mapping: the records that set it up, logical units per pixel, the logical point of a
// page pixel, and the sense of the escapement's turn on the page.
struct Mapping {
  const char* name;
  double unitsPerPixel;
  int turn;  // 1 counter-clockwise, -1 clockwise
  std::function<void(EmfBuilder&)> setUp;
  std::function<qvplatform::POINTL(double px, double py)> logical;
};

LONG Units(double v) { return static_cast<LONG>(std::lround(v)); }

std::vector<Mapping> Mappings() {
  const double lometric = 254.0 / 72;  // tenths of a millimetre per point
  return {
      {"MM_TEXT", 1, 1, [](EmfBuilder&) {},
       [](double px, double py) {
         return qvplatform::POINTL{Units(px), Units(py)};
       }},
      {"MM_LOMETRIC", lometric, 1, [](EmfBuilder& b) { b.SetMapMode(2); },
       [=](double px, double py) {
         return qvplatform::POINTL{Units(px * lometric), Units(-py * lometric)};
       }},
      {"MM_TWIPS", 20, 1, [](EmfBuilder& b) { b.SetMapMode(6); },
       [](double px, double py) {
         return qvplatform::POINTL{Units(px * 20), Units(-py * 20)};
       }},
      {"anisotropic, y mirrored", 10, -1,
       [](EmfBuilder& b) {
         b.SetMapMode(8);
         b.SetWindowExt(kSize * 10, -kSize * 10);
         b.SetWindowOrg(0, kSize * 10);
         b.SetViewportExt(kSize, kSize);
       },
       [](double px, double py) {
         return qvplatform::POINTL{Units(px * 10), Units((kSize - py) * 10)};
       }},
  };
}

EmfBuilder Picture() {
  EmfBuilder b = vellora_test::PointPicture(kSize, kSize);
  b.SetHandles(4);
  return b;
}

// "Ty" in Arial with its baseline at the reference point, advances about the font's own.
std::string PlayedWord(const Mapping& m, LONG escapement, bool outlines) {
  EmfBuilder b = Picture();
  m.setUp(b);
  b.Append(qvplatform::EMR_SETTEXTALIGN, {24});  // TA_BASELINE
  LOGFONTW f = EmfBuilder::Font(u"Arial", -Units(kEm * m.unitsPerPixel));
  f.lfEscapement = f.lfOrientation = escapement;
  b.CreateFont(1, f);
  b.SelectObject(1);
  const qvplatform::POINTL p = m.logical(kRefX, kRefY);
  const std::vector<INT> dx = {Units(0.611 * kEm * m.unitsPerPixel),
                               Units(0.5 * kEm * m.unitsPerPixel)};
  b.ExtTextOutW(p.x, p.y, u"Ty", dx);
  b.Eof();
  RecordingDevice d;
  d.FontSettings().fontMode = qvEmbedSubsetTrueType_UsedChar;
  if (outlines) d.modes.Include(kModeTextAsOutlines);
  d.BeginDoc(576, 800, 72, 0);
  const std::vector<BYTE> bytes = b.Bytes();
  EXPECT_EQ(d.PlayMetafile(bytes.data(), bytes.size(), 0, 0, 0, 0, false, 0, 0), 1);
  d.EndDoc();
  return vellora_test::DocumentBytes(d);
}

// The ink of the word in glyph coordinates: s along the run from the reference point, t up
// from the baseline (both in pixels).
struct Ink {
  std::vector<std::pair<double, double>> st;
  int Count(double s0, double s1, double t0, double t1) const {
    return static_cast<int>(std::count_if(st.begin(), st.end(), [&](const auto& p) {
      return p.first >= s0 && p.first < s1 && p.second >= t0 && p.second < t1;
    }));
  }
  double MeanS(double s0, double s1, double t0, double t1) const {
    double sum = 0;
    int n = 0;
    for (const auto& [s, t] : st)
      if (s >= s0 && s < s1 && t >= t0 && t < t1) sum += s, ++n;
    return n ? sum / n : 0;
  }
};

Ink InkOf(const vellora_test::Raster& page, double pageAngle) {
  // Run and up directions on the page (pixel rows grow downwards).
  const double angle = pageAngle / 1800.0 * 3.14159265358979323846;  // tenths of a degree
  const double rx = std::cos(angle), ry = -std::sin(angle);
  const double ux = -std::sin(angle), uy = -std::cos(angle);
  Ink ink;
  for (int y = 0; y < page.height; ++y)
    for (int x = 0; x < page.width; ++x) {
      if (!page.Dark(x, y)) continue;
      const double dx = x + 0.5 - kRefX, dy = y + 0.5 - kRefY;
      ink.st.emplace_back(dx * rx + dy * ry, dx * ux + dy * uy);
    }
  return ink;
}

std::string Squeezed(std::string text) {
  text.erase(std::remove_if(text.begin(), text.end(),
                            [](char c) { return static_cast<unsigned char>(c) <= 32; }),
             text.end());
  return text;
}

// Where the glyphs of "Ty" must be when upright: the T from the reference point to its
// advance (37 pixels), the y after it; cap height 43 pixels, descender 13.
void ExpectUprightWord(const Ink& ink) {
  const int all = static_cast<int>(ink.st.size());
  ASSERT_GT(all, 400) << "no word drawn";
  EXPECT_EQ(ink.Count(-4, 72, -16, 48), all) << "ink outside the word's place";
  // The T's bar: the top band of the T's cell is inked, that of the y (below its x-height)
  // is not.
  const int bar = ink.Count(0, 37, 37, 46), barAfter = ink.Count(37, 72, 37, 46);
  EXPECT_GT(bar, 120) << "no bar at the top of the T";
  EXPECT_LT(barAfter, bar / 10) << "the bar is not in the T's cell";
  // Below the baseline only the y's tail, which bends back towards the T.
  EXPECT_EQ(ink.Count(-4, 37, -16, -3), 0) << "ink below the T";
  EXPECT_GT(ink.Count(37, 72, -16, -3), 40) << "no descender";
  EXPECT_LT(ink.MeanS(37, 72, -16, -6), ink.MeanS(37, 72, 3, 28) - 3) << "the y is mirrored";
}

#define REQUIRE_RENDER_TOOLS()                                                        \
  do {                                                                                \
    REQUIRE_TEST_FONTS();                                                             \
    for (const char* tool : {"pdftoppm", "pdftotext"})                                \
      if (!vellora_test::HaveTool(tool)) GTEST_SKIP() << tool << " is not installed"; \
  } while (0)

TEST(TextOrientation, WordIsUprightAndRunsAlongTheEscapementInEveryMapping) {
  REQUIRE_RENDER_TOOLS();
  for (const Mapping& m : Mappings())
    for (const LONG escapement : {0, 900, 2700}) {
      SCOPED_TRACE(std::string(m.name) + ", escapement " + std::to_string(escapement));
      const std::string pdf = PlayedWord(m, escapement, false);
      const vellora_test::Raster page = vellora_test::RenderPage(pdf);
      ASSERT_TRUE(page.ok) << page.diagnostics;
      ExpectUprightWord(InkOf(page, m.turn * escapement));
      EXPECT_EQ(Squeezed(vellora_test::fontdoc::PdfToText(pdf)), "Ty");
    }
}

TEST(TextOrientation, OutlinedWordIsUprightInEveryMapping) {
  REQUIRE_RENDER_TOOLS();
  for (const Mapping& m : Mappings())
    for (const LONG escapement : {0, 900, 2700}) {
      SCOPED_TRACE(std::string(m.name) + ", escapement " + std::to_string(escapement));
      const vellora_test::Raster page = vellora_test::RenderPage(PlayedWord(m, escapement, true));
      ASSERT_TRUE(page.ok) << page.diagnostics;
      ExpectUprightWord(InkOf(page, m.turn * escapement));
    }
}

}  // namespace
}  // namespace vellora

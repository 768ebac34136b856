// The outline road: glyph outlines as filled paths at the text's em size, placed by the
// spacing array, turned with the escapement, joined to an open path bracket; measured on the
// pixels pdftoppm renders.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "QVPdfDC/text_output.h"
#include "content_checker.h"
#include "pdf_render.h"
#include "qvplatform/device_context.h"
#include "qvplatform/font_service.h"
#include "qvplatform/text_measure.h"
#include "qvplatform/text_metrics.h"
#include "text_output_fake_font.h"

namespace vellora {
namespace {

using qvplatform::RECTL;
using vellora_test::CheckContent;
using vellora_test::FakeFontDevice;
using vellora_test::PrepareForSteps;
using vellora_test::RenderContent;

constexpr int kWidth = 400, kHeight = 300;

#define REQUIRE_RENDERING()                                                   \
  if (!vellora_test::TextFontsReady() || !vellora_test::RenderToolsPresent()) \
  GTEST_SKIP() << "needs fonts-liberation2, fonts-dejavu-core, qpdf and poppler"

struct Ink {
  int left = kWidth, top = kHeight, right = -1, bottom = -1;
  int Width() const { return right - left + 1; }
  int Height() const { return bottom - top + 1; }
};

// The box of the dark pixels of a content drawn on a fresh page (y' = 300 - y), all text as
// outlines.
Ink Inked(const std::function<void(FakeFontDevice&)>& draw, std::string* content = nullptr) {
  FakeFontDevice d;
  PrepareForSteps(d, kHeight);
  d.modes.Include(kModeTextAsOutlines);
  d.SetTextAlign(24);
  draw(d);
  const std::string text = d.Close();
  if (content) *content = text;
  const auto report = CheckContent(text);
  EXPECT_TRUE(report.errors.empty()) << report.Summary() << "\n" << text;
  EXPECT_EQ(text.find("Tj"), std::string::npos);
  const auto r = RenderContent(text, kWidth, kHeight);
  EXPECT_TRUE(r.ok) << r.diagnostics;
  Ink ink;
  for (int y = 0; y < r.height; ++y)
    for (int x = 0; x < r.width; ++x)
      if (r.Dark(x, y)) {
        ink.left = std::min(ink.left, x);
        ink.right = std::max(ink.right, x);
        ink.top = std::min(ink.top, y);
        ink.bottom = std::max(ink.bottom, y);
      }
  return ink;
}

// The screen DC's metrics of Arial at an em of 100: cap height, cell height.
qvplatform::OUTLINETEXTMETRICW Arial100() {
  qvplatform::LOGFONTW lf;
  lf.lfHeight = -100;
  const char16_t face[] = u"Arial";
  std::copy(face, face + 5, lf.lfFaceName);
  const qvplatform::HDC dc = qvplatform::GetDC(0);
  const qvplatform::HFONT font = qvplatform::CreateFontIndirectW(&lf);
  const qvplatform::HGDIOBJ old = qvplatform::SelectObject(dc, font);
  qvplatform::OUTLINETEXTMETRICW otm;
  qvplatform::GetOutlineTextMetricsW(dc, sizeof otm, &otm);
  qvplatform::SelectObject(dc, old);
  qvplatform::DeleteObject(font);
  qvplatform::ReleaseDC(0, dc);
  return otm;
}

TEST(TextOutputOutline, OutlinesHaveTheEmSizeOfEitherKindOfHeight) {
  REQUIRE_RENDERING();
  const auto otm = Arial100();
  const std::int32_t cap = static_cast<std::int32_t>(otm.otmsCapEmHeight);
  const std::int32_t cell = otm.otmTextMetrics.tmHeight;
  ASSERT_GT(cap, 50);
  const std::int32_t advance[] = {80};
  const Ink em = Inked([&](FakeFontDevice& d) {
    d.UseFont("Arial", -100);
    d.ExtTextOut(50, 200, 0, RECTL{}, u"H", nullptr, 1, advance);
  });
  EXPECT_NEAR(em.Height(), cap, 2);
  EXPECT_NEAR(em.bottom, 200, 1);  // on the baseline
  EXPECT_GT(em.left, 50);
  // The cell height of the same font draws the same glyph.
  const Ink byCell = Inked([&](FakeFontDevice& d) {
    d.UseFont("Arial", cell);
    d.ExtTextOut(50, 200, 0, RECTL{}, u"H", nullptr, 1, advance);
  });
  EXPECT_NEAR(byCell.Height(), em.Height(), 1);
  EXPECT_NEAR(byCell.Width(), em.Width(), 1);
  // So does its glyph index, and a narrowed font is narrower at the same height.
  qvplatform::WORD glyph = 0;
  {
    qvplatform::LOGFONTW lf;
    lf.lfHeight = -100;
    std::copy(u"Arial", u"Arial" + 5, lf.lfFaceName);
    const qvplatform::HDC dc = qvplatform::GetDC(0);
    const qvplatform::HFONT font = qvplatform::CreateFontIndirectW(&lf);
    const qvplatform::HGDIOBJ old = qvplatform::SelectObject(dc, font);
    qvplatform::GetGlyphIndicesW(dc, u"H", 1, &glyph, 0);
    qvplatform::SelectObject(dc, old);
    qvplatform::DeleteObject(font);
    qvplatform::ReleaseDC(0, dc);
  }
  const char16_t index[] = {static_cast<char16_t>(glyph)};
  const Ink byIndex = Inked([&](FakeFontDevice& d) {
    d.UseFont("Arial", -100);
    d.modes = TQVDevModes{};
    d.ExtTextOut(50, 200, qvplatform::ETO_GLYPH_INDEX, RECTL{}, index, nullptr, 1, advance);
  });
  EXPECT_EQ(byIndex.left, em.left);
  EXPECT_EQ(byIndex.Height(), em.Height());
  const Ink narrow = Inked([&](FakeFontDevice& d) {
    d.UseFont("Arial", -100);
    d.Font().lfWidth = otm.otmTextMetrics.tmAveCharWidth / 2;
    d.ExtTextOut(50, 200, 0, RECTL{}, u"H", nullptr, 1, advance);
  });
  EXPECT_NEAR(narrow.Height(), em.Height(), 1);
  EXPECT_NEAR(narrow.Width(), em.Width() / 2.0, 3);
}

TEST(TextOutputOutline, SpacingAlignmentAndRotationPlaceTheOutlines) {
  REQUIRE_RENDERING();
  const std::int32_t near[] = {40, 40}, far[] = {100, 100};
  const Ink close = Inked([&](FakeFontDevice& d) {
    d.UseFont("Arial", -40);
    d.ExtTextOut(50, 200, 0, RECTL{}, u"II", nullptr, 2, near);
  });
  const Ink apart = Inked([&](FakeFontDevice& d) {
    d.UseFont("Arial", -40);
    d.ExtTextOut(50, 200, 0, RECTL{}, u"II", nullptr, 2, far);
  });
  EXPECT_EQ(apart.left, close.left);
  EXPECT_NEAR(apart.right - close.right, 60, 1);
  // Right-aligned: the text ends at the point, the current point moves back over it.
  std::int32_t current = 0;
  const Ink right = Inked([&](FakeFontDevice& d) {
    d.UseFont("Arial", -40);
    d.SetTextAlign(2 | 1 | 24);
    d.MoveTo(250, 200, nullptr);
    d.ExtTextOut(0, 0, 0, RECTL{}, u"II", nullptr, 2, far);
    current = d.currentX;
  });
  EXPECT_EQ(right.left, apart.left);
  EXPECT_EQ(current, 50);
  // Turned a quarter: the line of glyphs runs upwards from the point.
  const Ink up = Inked([&](FakeFontDevice& d) {
    d.UseFont("Arial", -40, 400, 900);
    d.ExtTextOut(100, 250, 0, RECTL{}, u"II", nullptr, 2, far);
  });
  EXPECT_NEAR(up.Width(), close.Height(), 2);
  EXPECT_NEAR(up.Height(), apart.Width(), 2);
  EXPECT_LE(up.right, 101);
  EXPECT_LE(up.bottom, 250);
}

TEST(TextOutputOutline, InAPathBracketTheOutlinesJoinThePath) {
  REQUIRE_RENDERING();
  std::string content;
  const std::int32_t advance[] = {80};
  const Ink filled = Inked(
      [&](FakeFontDevice& d) {
        d.modes = TQVDevModes{};
        d.UseFont("Arial", -100);
        d.UseBrush(0, qvplatform::RGB(0, 0, 0));
        d.BeginPath(3);
        // Only the glyphs join the path: no background, clip or underline, and blanks add
        // nothing (the path is not left pending for them).
        d.Font().lfUnderline = 1;
        d.ExtTextOut(50, 200, qvplatform::ETO_OPAQUE | qvplatform::ETO_CLIPPED,
                     RECTL{40, 100, 150, 210}, u"H", nullptr, 1, advance);
        d.ExtTextOut(50, 250, 0, RECTL{}, u" ", nullptr, 1, advance);
        d.EndPath();
        d.DrawPath(false, true);
        d.BeginPath(3);
        const std::int32_t two[] = {20, 20};
        d.ExtTextOut(50, 250, 0, RECTL{}, u"  ", nullptr, 2, two);
        d.EndPath();
      },
      &content);
  // Placed point by point: no matrix, no painting until the bracket's own.
  const std::size_t path = content.find(" m ");
  ASSERT_NE(path, std::string::npos) << content;
  EXPECT_EQ(content.find(" cm ", path), std::string::npos) << content;
  EXPECT_EQ(content.find(" f\n"), std::string::npos) << content;
  const auto otm = Arial100();
  EXPECT_NEAR(filled.Height(), static_cast<int>(otm.otmsCapEmHeight), 2);
  EXPECT_NEAR(filled.bottom, 200, 1);
}

TEST(TextOutputOutline, OutlineTextPlacesByTheLevelsAlignment) {
  REQUIRE_RENDERING();
  const auto otm = Arial100();
  const std::int32_t advance[] = {80};
  const Ink top = Inked([&](FakeFontDevice& d) {
    d.UseFont("Arial", -100);
    d.SetTextAlign(0);  // top: the point is the top of the cell
    d.OutlineText(50, 50, false, false, advance, 1, "H", nullptr);
  });
  EXPECT_NEAR(top.bottom, 50 + otm.otmTextMetrics.tmAscent, 1);
  const Ink baseline = Inked([&](FakeFontDevice& d) {
    d.UseFont("Arial", -100);
    d.SetTextAlign(0);
    d.OutlineText(50, 150, true, false, advance, 1, nullptr, u"H");
  });
  EXPECT_NEAR(baseline.bottom, 150, 1);
}

}  // namespace
}  // namespace vellora

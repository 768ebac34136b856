#include "qvplatform/glyph_path.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "font_test_env.h"
#include "qvplatform/device_context.h"
#include "qvplatform/font_mapper.h"
#include "qvplatform/font_service.h"
#include "qvplatform/text_measure.h"
#include "qvplatform/text_metrics.h"

namespace qvplatform {
namespace {

using vellora_test::MakeLogFont;

struct Path {
  std::vector<POINT> points;
  std::vector<BYTE> types;
};

// The expected path, from FreeType's own scaling and rotation of the outline: each contour
// a move, lines, quadratic segments as cubics, closed on its last point.
struct Expected {
  Path path;
  double ox, oy, cx = 0, cy = 0;
  void Add(double x, double y, BYTE type) {  // x, y in 26.6 pixels, y up
    path.points.push_back(POINT{static_cast<LONG>(std::lround(ox + x / 64)),
                                static_cast<LONG>(std::lround(oy - y / 64))});
    path.types.push_back(type);
    cx = x, cy = y;
  }
  void Add(const FT_Vector& v, BYTE type) {
    Add(static_cast<double>(v.x), static_cast<double>(v.y), type);
  }
  void Close() {
    if (!path.types.empty() && !(path.types.back() & PT_CLOSEFIGURE) &&
        path.types.back() != PT_MOVETO)
      path.types.back() |= PT_CLOSEFIGURE;
  }
};

Path FreeTypePath(const std::string& file, char16_t ch, int em, double angleDegrees, double ox,
                  double oy) {
  FT_Library lib;
  FT_Init_FreeType(&lib);
  FT_Face face;
  EXPECT_EQ(FT_New_Face(lib, file.c_str(), 0, &face), 0);
  FT_Set_Char_Size(face, 0, em * 64, 72, 72);
  EXPECT_EQ(FT_Load_Char(face, ch, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP), 0);
  const double a = angleDegrees * std::numbers::pi / 180;
  FT_Matrix rotate = {static_cast<FT_Fixed>(std::lround(std::cos(a) * 65536)),
                      static_cast<FT_Fixed>(std::lround(-std::sin(a) * 65536)),
                      static_cast<FT_Fixed>(std::lround(std::sin(a) * 65536)),
                      static_cast<FT_Fixed>(std::lround(std::cos(a) * 65536))};
  FT_Outline_Transform(&face->glyph->outline, &rotate);
  Expected e{{}, ox, oy};
  FT_Outline_Funcs funcs = {};
  funcs.move_to = [](const FT_Vector* to, void* u) {
    auto* path = static_cast<Expected*>(u);
    path->Close();
    path->Add(*to, PT_MOVETO);
    return 0;
  };
  funcs.line_to = [](const FT_Vector* to, void* u) {
    static_cast<Expected*>(u)->Add(*to, PT_LINETO);
    return 0;
  };
  funcs.conic_to = [](const FT_Vector* c, const FT_Vector* to, void* u) {
    auto* path = static_cast<Expected*>(u);
    const double x0 = path->cx, y0 = path->cy;
    const double cx = static_cast<double>(c->x), cy = static_cast<double>(c->y);
    // c - to is exact in FreeType's integer units.
    const double tx = static_cast<double>(to->x), ty = static_cast<double>(to->y);
    const double dx = static_cast<double>(c->x - to->x), dy = static_cast<double>(c->y - to->y);
    path->Add(x0 + (cx - x0) * 2 / 3, y0 + (cy - y0) * 2 / 3, PT_BEZIERTO);
    path->Add(tx + dx * 2.0 / 3, ty + dy * 2.0 / 3, PT_BEZIERTO);
    path->Add(*to, PT_BEZIERTO);
    return 0;
  };
  funcs.cubic_to = [](const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* u) {
    auto* path = static_cast<Expected*>(u);
    path->Add(*c1, PT_BEZIERTO);
    path->Add(*c2, PT_BEZIERTO);
    path->Add(*to, PT_BEZIERTO);
    return 0;
  };
  FT_Outline_Decompose(&face->glyph->outline, &funcs, &e);
  e.Close();
  FT_Done_Face(face);
  FT_Done_FreeType(lib);
  return e.path;
}

class GlyphPath : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_FONTS();
    dc_ = GetDC(0);
    SetTextAlign(dc_, TA_BASELINE);
  }
  void TearDown() override {
    if (dc_) ReleaseDC(0, dc_);
    if (font_) DeleteObject(font_);
  }
  void Select(const LOGFONTW& lf) {
    if (font_) DeleteObject(font_);
    font_ = CreateFontIndirectW(&lf);
    ASSERT_NE(SelectObject(dc_, font_), 0u);
  }
  Path Outline(int x, int y, UINT options, const std::u16string& text, const INT* dx = nullptr) {
    Path p;
    EXPECT_TRUE(BeginPath(dc_));
    EXPECT_TRUE(
        ExtTextOutW(dc_, x, y, options, nullptr, text.data(), static_cast<UINT>(text.size()), dx));
    EXPECT_TRUE(EndPath(dc_));
    const int n = GetPath(dc_, nullptr, nullptr, 0);
    EXPECT_GT(n, 0);
    if (n <= 0) return p;
    p.points.resize(static_cast<std::size_t>(n));
    p.types.resize(static_cast<std::size_t>(n));
    EXPECT_EQ(GetPath(dc_, p.points.data(), p.types.data(), n), n);
    return p;
  }
  HDC dc_ = 0;
  HFONT font_ = 0;
};

void ExpectSamePath(const Path& got, const Path& want, LONG shiftX = 0, LONG shiftY = 0) {
  ASSERT_EQ(got.points.size(), want.points.size());
  for (std::size_t i = 0; i < got.points.size(); ++i) {
    EXPECT_EQ(got.types[i], want.types[i]) << i;
    EXPECT_NEAR(got.points[i].x, want.points[i].x + shiftX, 1) << i;
    EXPECT_NEAR(got.points[i].y, want.points[i].y + shiftY, 1) << i;
  }
}

TEST_F(GlyphPath, OutlineOfOMatchesFreeTypeAlsoRotatedAndByGlyphIndex) {
  const std::string file = vellora_test::LiberationFont("Sans-Regular");
  for (int escapement : {0, 300, 900, -450}) {
    SCOPED_TRACE("escapement " + std::to_string(escapement));
    LOGFONTW lf = MakeLogFont("Arial", -1024);
    lf.lfEscapement = escapement;
    Select(lf);
    ASSERT_EQ(MatchFont(lf).path, file);
    const Path want = FreeTypePath(file, u'o', 1024, escapement / 10.0, 100, 2000);
    const Path got = Outline(100, 2000, 0, u"o");
    ExpectSamePath(got, want);
    // Two figures (outer and inner ring), each opened by a move and closed on its last point.
    EXPECT_EQ(std::count(got.types.begin(), got.types.end(), PT_MOVETO), 2);
    WORD glyph;
    ASSERT_EQ(GetGlyphIndicesW(dc_, u"o", 1, &glyph, 0), 1u);
    const std::u16string byIndex(1, static_cast<char16_t>(glyph));
    ExpectSamePath(Outline(100, 2000, ETO_GLYPH_INDEX, byIndex), want);
  }
}

TEST_F(GlyphPath, AdvancesFollowTheSpacingArrayOrTheGlyphWidths) {
  const std::string file = vellora_test::LiberationFont("Sans-Regular");
  LOGFONTW lf = MakeLogFont("Arial", -1024);
  lf.lfEscapement = 900;  // the baseline runs upwards
  Select(lf);
  const Path one = FreeTypePath(file, u'o', 1024, 90, 0, 0);
  const INT dx[2] = {700, 0};
  const Path spaced = Outline(0, 0, 0, u"oo", dx);
  ASSERT_EQ(spaced.points.size(), 2 * one.points.size());
  const Path second{
      {spaced.points.begin() + static_cast<long>(one.points.size()), spaced.points.end()},
      {spaced.types.begin() + static_cast<long>(one.types.size()), spaced.types.end()}};
  ExpectSamePath(second, one, 0, -700);
  INT advance;
  GetCharWidthW(dc_, 'o', 'o', &advance);
  const Path natural = Outline(0, 0, 0, u"oo");
  const Path next{
      {natural.points.begin() + static_cast<long>(one.points.size()), natural.points.end()},
      {natural.types.begin() + static_cast<long>(one.types.size()), natural.types.end()}};
  ExpectSamePath(next, one, 0, -advance);
}

TEST_F(GlyphPath, AlignmentMovesTheReferencePoint) {
  Select(MakeLogFont("Arial", -1024));
  const Path base = Outline(0, 0, 0, u"o");
  TEXTMETRICA tm;
  GetTextMetricsA(dc_, &tm);
  SIZE extent;
  GetTextExtentPoint32W(dc_, u"o", 1, &extent);
  SetTextAlign(dc_, TA_TOP | TA_LEFT);
  ExpectSamePath(Outline(0, 0, 0, u"o"), base, 0, tm.tmAscent);
  SetTextAlign(dc_, TA_BOTTOM | TA_RIGHT);
  ExpectSamePath(Outline(0, 0, 0, u"o"), base, -extent.cx, -tm.tmDescent);
  SetTextAlign(dc_, TA_BASELINE | TA_CENTER);
  ExpectSamePath(Outline(0, 0, 0, u"o"), base, -extent.cx / 2);
}

TEST_F(GlyphPath, StretchAndSimulatedBoldAndItalicChangeTheOutline) {
  auto box = [](const Path& p) {
    RECTL r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const auto& pt : p.points) {
      r.left = std::min(r.left, pt.x), r.right = std::max(r.right, pt.x);
      r.top = std::min(r.top, pt.y), r.bottom = std::max(r.bottom, pt.y);
    }
    return r;
  };
  // A width of twice the average stretches the outline horizontally only.
  Select(MakeLogFont("Arial", -1000));
  const RECTL normal = box(Outline(0, 0, 0, u"o"));
  TEXTMETRICA tm;
  GetTextMetricsA(dc_, &tm);
  LOGFONTW wide = MakeLogFont("Arial", -1000);
  wide.lfWidth = 2 * tm.tmAveCharWidth;
  Select(wide);
  const RECTL stretched = box(Outline(0, 0, 0, u"o"));
  EXPECT_NEAR(stretched.right - stretched.left, 2 * (normal.right - normal.left), 3);
  EXPECT_EQ(stretched.bottom - stretched.top, normal.bottom - normal.top);
  // DejaVu Sans (core) has no oblique face, so italic is simulated.
  Select(MakeLogFont("DejaVu Sans", -1000));
  const RECTL plain = box(Outline(0, 0, 0, u"l"));
  Select(MakeLogFont("DejaVu Sans", -1000, 400, true));
  const RECTL slanted = box(Outline(0, 0, 0, u"l"));
  EXPECT_GT(slanted.right - slanted.left, plain.right - plain.left + 100);
  EXPECT_EQ(slanted.top, plain.top);
  // QV Pair One has no bold face: a bold request widens its strokes.
  REQUIRE_FONTTOOLS();
  ASSERT_FALSE(vellora_test::TestFontsDir().empty());
  const std::string ttc = (vellora_test::TestFontsDir() / "pair.ttc").string();
  for (int weight : {400, 700}) {
    if (font_) DeleteObject(font_);
    font_ = CreateFontForFile(MakeLogFont("", -1000, weight), ttc, 0);
    SelectObject(dc_, font_);
    const RECTL r = box(Outline(0, 0, 0, u"A"));
    // The box glyph spans x 50..550 and y 0..700 unscaled; emboldening grows it.
    if (weight == 400) {
      EXPECT_EQ(r.left, 50);
      EXPECT_EQ(r.right, 550);
      EXPECT_EQ(r.top, -700);
    } else {
      EXPECT_GT(r.right - r.left, 500 + 20);
      EXPECT_GT(r.bottom - r.top, 700 + 20);
    }
  }
}

TEST_F(GlyphPath, PathBracketRules) {
  Select(MakeLogFont("Arial", -20));
  EXPECT_EQ(GetPath(dc_, nullptr, nullptr, 0), -1);  // never begun
  ASSERT_TRUE(BeginPath(dc_));
  ASSERT_TRUE(ExtTextOutW(dc_, 0, 0, 0, nullptr, u"ab", 2, nullptr));
  EXPECT_EQ(GetPath(dc_, nullptr, nullptr, 0), -1);  // still open
  ASSERT_TRUE(EndPath(dc_));
  EXPECT_FALSE(EndPath(dc_));
  const int n = GetPath(dc_, nullptr, nullptr, 0);
  ASSERT_GT(n, 0);
  std::vector<POINT> pts(static_cast<std::size_t>(n));
  std::vector<BYTE> types(static_cast<std::size_t>(n));
  EXPECT_EQ(GetPath(dc_, pts.data(), types.data(), n - 1), -1);
  ASSERT_EQ(GetPath(dc_, pts.data(), types.data(), n), n);
  EXPECT_EQ(types.front(), PT_MOVETO);
  EXPECT_TRUE(types.back() & PT_CLOSEFIGURE);
  // Béziers come in threes.
  for (int i = 0; i < n;) {
    if ((types[static_cast<std::size_t>(i)] & ~PT_CLOSEFIGURE) == PT_BEZIERTO) {
      ASSERT_LE(i + 3, n);
      EXPECT_EQ(types[static_cast<std::size_t>(i + 1)] & ~PT_CLOSEFIGURE, PT_BEZIERTO);
      EXPECT_EQ(types[static_cast<std::size_t>(i + 2)] & ~PT_CLOSEFIGURE, PT_BEZIERTO);
      i += 3;
    } else {
      ++i;
    }
  }
  ASSERT_TRUE(AbortPath(dc_));
  EXPECT_EQ(GetPath(dc_, nullptr, nullptr, 0), -1);
  // Outside a bracket text output draws nothing and succeeds; unsupported options fail.
  EXPECT_TRUE(ExtTextOutW(dc_, 0, 0, 0, nullptr, u"ab", 2, nullptr));
  EXPECT_FALSE(ExtTextOutW(dc_, 0, 0, ETO_PDY, nullptr, u"ab", 2, nullptr));
  EXPECT_FALSE(ExtTextOutW(0, 0, 0, 0, nullptr, u"ab", 2, nullptr));
  EXPECT_EQ(GetPath(0, nullptr, nullptr, 0), -1);
}

}  // namespace
}  // namespace qvplatform

#include "qvplatform/text_metrics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "font_test_env.h"
#include "qvplatform/device_context.h"
#include "qvplatform/font_mapper.h"
#include "qvplatform/font_service.h"
#include "qvplatform/text_measure.h"

namespace qvplatform {
namespace {

using vellora_test::MakeLogFont;
using vellora_test::RoundAway;
using vellora_test::Value;

class TextMetrics : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_FONTS();
    REQUIRE_FONTTOOLS();
    dc_ = GetDC(0);
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
  HDC dc_ = 0;
  HFONT font_ = 0;
};

// Every metric of GetTextMetrics and GetOutlineTextMetrics against the values fontTools reads
// from the same file, at em sizes, cell heights and the default height.
TEST_F(TextMetrics, MatchTheTablesReadByFontTools) {
  struct Face {
    const char* request;
    int weight;
    bool italic;
    std::string file;
    // A face asked for by another face's name reports that face's average width: the
    // letter-weighted one, which the metric-compatible substitute reproduces.
    bool substitute;
  };
  const Face faces[] = {
      {"Liberation Sans", 400, false, vellora_test::LiberationFont("Sans-Regular"), false},
      {"Liberation Mono", 400, false, vellora_test::LiberationFont("Mono-Regular"), false},
      {"Liberation Serif", 700, true, vellora_test::LiberationFont("Serif-BoldItalic"), false},
      {"DejaVu Sans", 400, false, vellora_test::DejaVuFont("DejaVuSans"), false},
      {"Arial", 400, false, vellora_test::LiberationFont("Sans-Regular"), true},
      {"Times New Roman", 700, true, vellora_test::LiberationFont("Serif-BoldItalic"), true},
  };
  for (const auto& face : faces) {
    const LOGFONTW base = MakeLogFont(face.request, 0, face.weight, face.italic);
    ASSERT_EQ(MatchFont(base).path, face.file);
    const auto v = vellora_test::FontValues(face.file);
    const double upem = Value(v, "unitsPerEm"), winA = Value(v, "winAscent"),
                 winD = Value(v, "winDescent");
    for (int height : {-1000, -13, 16, 0, 37}) {
      SCOPED_TRACE(std::string(face.request) + " height " + std::to_string(height));
      LOGFONTW lf = base;
      lf.lfHeight = height;
      Select(lf);
      const double cellPixels = height == 0 ? 16 : height;
      const double em = height < 0 ? -height : cellPixels * upem / (winA + winD);
      const double s = em / upem;
      auto px = [&](const char* key) { return RoundAway(Value(v, key) * s); };

      TEXTMETRICA tm;
      ASSERT_TRUE(GetTextMetricsA(dc_, &tm));
      EXPECT_EQ(tm.tmAscent, RoundAway(winA * s));
      EXPECT_EQ(tm.tmHeight, RoundAway((winA + winD) * s));
      if (height >= 0) {
        EXPECT_EQ(tm.tmHeight, cellPixels);
      }
      EXPECT_EQ(tm.tmDescent, tm.tmHeight - tm.tmAscent);
      EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - RoundAway(em));
      const double gap = Value(v, "hheaLineGap") -
                         ((winA + winD) - (Value(v, "hheaAscender") - Value(v, "hheaDescender")));
      EXPECT_EQ(tm.tmExternalLeading, gap > 0 ? RoundAway(gap * s) : 0);
      EXPECT_EQ(tm.tmAveCharWidth, px(face.substitute ? "lowercaseAverage" : "xAvgCharWidth"));
      EXPECT_EQ(tm.tmMaxCharWidth, px("advanceWidthMax"));
      EXPECT_EQ(tm.tmWeight, Value(v, "weightClass"));
      EXPECT_EQ(tm.tmFirstChar, std::min(255.0, Value(v, "firstChar")));
      EXPECT_EQ(tm.tmLastChar, std::min(255.0, Value(v, "lastChar")));
      EXPECT_EQ(tm.tmItalic != 0, face.italic);
      EXPECT_EQ(tm.tmCharSet, ANSI_CHARSET);
      EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_TRUETYPE);

      const UINT size = GetOutlineTextMetricsA(dc_, 0, nullptr);
      ASSERT_GT(size, sizeof(OUTLINETEXTMETRICA));
      std::vector<unsigned char> buffer(size);
      auto* otm = reinterpret_cast<OUTLINETEXTMETRICA*>(buffer.data());
      ASSERT_EQ(GetOutlineTextMetricsA(dc_, size, otm), size);
      EXPECT_EQ(otm->otmSize, size);
      EXPECT_EQ(std::memcmp(&otm->otmTextMetrics, &tm, sizeof tm), 0);
      EXPECT_EQ(otm->otmEMSquare, upem);
      EXPECT_EQ(otm->otmAscent, px("typoAscender"));
      EXPECT_EQ(otm->otmDescent, px("typoDescender"));
      EXPECT_LT(otm->otmDescent, 0);
      EXPECT_EQ(static_cast<long>(otm->otmLineGap), px("typoLineGap"));
      const double cap = Value(v, "capHeight") > 0 ? Value(v, "capHeight") : Value(v, "topH");
      const double xh = Value(v, "xHeight") > 0 ? Value(v, "xHeight") : Value(v, "topx");
      EXPECT_EQ(static_cast<long>(otm->otmsCapEmHeight), RoundAway(cap * s));
      EXPECT_EQ(static_cast<long>(otm->otmsXHeight), RoundAway(xh * s));
      EXPECT_EQ(otm->otmItalicAngle, RoundAway(Value(v, "italicAngle")));
      EXPECT_EQ(otm->otmrcFontBox.left, px("xMin"));
      EXPECT_EQ(otm->otmrcFontBox.top, px("yMax"));
      EXPECT_EQ(otm->otmrcFontBox.right, px("xMax"));
      EXPECT_EQ(otm->otmrcFontBox.bottom, px("yMin"));
      EXPECT_GT(otm->otmrcFontBox.top, otm->otmrcFontBox.bottom);
      EXPECT_EQ(otm->otmsUnderscorePosition, px("underlinePosition"));
      EXPECT_STREQ(reinterpret_cast<const char*>(buffer.data() + otm->otmpFamilyName),
                   v.at("family").c_str());
      // A short buffer gets what fits and no more.
      std::vector<unsigned char> part(sizeof(OUTLINETEXTMETRICA) / 2, 0xAB);
      EXPECT_EQ(GetOutlineTextMetricsA(dc_, static_cast<UINT>(part.size()),
                                       reinterpret_cast<OUTLINETEXTMETRICA*>(part.data())),
                part.size());
    }
  }
}

TEST_F(TextMetrics, ItalicAngleIsInDegreesAndWideFormsAgree) {
  Select(MakeLogFont("Arial", -1000, 400, true));
  OUTLINETEXTMETRICW otm;
  ASSERT_EQ(GetOutlineTextMetricsW(dc_, sizeof otm, &otm), sizeof otm);
  EXPECT_EQ(otm.otmItalicAngle, -12);  // post italicAngle of Liberation Sans Italic
  TEXTMETRICW tmw;
  ASSERT_TRUE(GetTextMetricsW(dc_, &tmw));
  EXPECT_EQ(tmw.tmFirstChar, 0x20);
  EXPECT_GT(tmw.tmLastChar, 0xFF);  // the wide form is not capped
}

TEST_F(TextMetrics, WidthStretchesToTheRequestedAverage) {
  LOGFONTW lf = MakeLogFont("Arial", -100);
  Select(lf);
  TEXTMETRICA plain;
  GetTextMetricsA(dc_, &plain);
  INT w1;
  GetCharWidthA(dc_, 'W', 'W', &w1);
  lf.lfWidth = plain.tmAveCharWidth * 2;
  Select(lf);
  TEXTMETRICA wide;
  GetTextMetricsA(dc_, &wide);
  EXPECT_EQ(wide.tmAveCharWidth, lf.lfWidth);
  EXPECT_EQ(wide.tmHeight, plain.tmHeight);
  INT w2;
  GetCharWidthA(dc_, 'W', 'W', &w2);
  EXPECT_NEAR(w2, 2 * w1, 2);
}

TEST_F(TextMetrics, FailWithoutAUsableFont) {
  TEXTMETRICA tm;
  EXPECT_FALSE(GetTextMetricsA(0, &tm));
  EXPECT_EQ(GetOutlineTextMetricsA(0, 0, nullptr), 0u);
  // A font bound to a file that is not a font: selection works, metrics fail.
  const auto dir = vellora_test::ScratchDir();
  const std::string path = (dir / "not-a-font.ttf").string();
  FILE* f = fopen(path.c_str(), "wb");
  fputs("this is not a font", f);
  fclose(f);
  const HFONT bad = CreateFontForFile(MakeLogFont("x", -12), path, 0);
  ASSERT_NE(SelectObject(dc_, bad), 0u);
  EXPECT_FALSE(GetTextMetricsA(dc_, &tm));
  EXPECT_EQ(GetOutlineTextMetricsA(dc_, 0, nullptr), 0u);
  EXPECT_EQ(GetTextCharset(dc_), DEFAULT_CHARSET);
  SelectObject(dc_, GetStockObject(SYSTEM_FONT));
  DeleteObject(bad);
}

}  // namespace
}  // namespace qvplatform

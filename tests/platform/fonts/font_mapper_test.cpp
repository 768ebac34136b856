#include "qvplatform/font_mapper.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "font_test_env.h"
#include "qvplatform/device_context.h"
#include "qvplatform/font_service.h"
#include "qvplatform/text_measure.h"
#include "qvplatform/text_metrics.h"

namespace qvplatform {
namespace {

using vellora_test::MakeLogFont;

std::string FileOf(const FontMatch& m) { return std::filesystem::path(m.path).filename(); }

class FontMapper : public ::testing::Test {
 protected:
  void SetUp() override { REQUIRE_TEST_FONTS(); }
};

TEST_F(FontMapper, ResolvesFacesAndStylesLikeTheWindowsMapper) {
  struct Case {
    const char* face;
    int weight;
    bool italic;
    int charset;
    int pitchAndFamily;
    const char* file;
  };
  const Case cases[] = {
      // Metric-compatible substitutes from fontconfig's alias rules.
      {"Arial", 400, false, 1, 0, "LiberationSans-Regular.ttf"},
      {"Arial", 700, false, 1, 0, "LiberationSans-Bold.ttf"},
      {"Arial", 400, true, 0, 0, "LiberationSans-Italic.ttf"},
      {"Arial", 700, true, 0, 0, "LiberationSans-BoldItalic.ttf"},
      {"arial", 400, false, 0, 0, "LiberationSans-Regular.ttf"},
      {"@Arial", 400, false, 0, 0, "LiberationSans-Regular.ttf"},
      {"Times New Roman", 400, false, 0, 0, "LiberationSerif-Regular.ttf"},
      {"Courier New", 700, false, 0, 0, "LiberationMono-Bold.ttf"},
      {"DejaVu Sans", 400, false, 0, 0, "DejaVuSans.ttf"},
      // Unknown faces fall back by pitch and family.
      {"No Such Face", 400, false, 0, 0, "LiberationSans-Regular.ttf"},
      {"", 400, false, 1, 0, "LiberationSans-Regular.ttf"},
      {"No Such Face", 400, false, 0, FF_ROMAN, "LiberationSerif-Regular.ttf"},
      {"No Such Face", 400, false, 0, FIXED_PITCH, "LiberationMono-Regular.ttf"},
      {"No Such Face", 700, false, 0, FF_MODERN, "LiberationMono-Bold.ttf"},
      // The character set steers: Liberation Sans has no Arabic, DejaVu Sans has.
      {"Arial", 400, false, ARABIC_CHARSET, 0, "DejaVuSans.ttf"},
      {"Arial", 400, false, HEBREW_CHARSET, 0, "LiberationSans-Regular.ttf"},
      {"Arial", 400, false, RUSSIAN_CHARSET, 0, "LiberationSans-Regular.ttf"},
  };
  for (const auto& c : cases) {
    const FontMatch m =
        MatchFont(MakeLogFont(c.face, -12, c.weight, c.italic, c.charset, c.pitchAndFamily));
    ASSERT_TRUE(m.found) << c.face;
    EXPECT_EQ(FileOf(m), c.file) << c.face << " " << c.weight << " " << c.italic << " charset "
                                 << c.charset << " pitch " << c.pitchAndFamily;
  }
  EXPECT_TRUE(MatchFont(MakeLogFont("Arial", -12)).namedFamily);
  EXPECT_FALSE(MatchFont(MakeLogFont("No Such Face", -12)).namedFamily);
}

TEST_F(FontMapper, UnknownFixedPitchFaceIsMonospaced) {
  const HDC dc = GetDC(0);
  const HFONT font =
      CreateFontA(-20, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, FIXED_PITCH, "Lucida Console XYZ");
  ASSERT_NE(SelectObject(dc, font), 0u);
  TEXTMETRICA tm;
  ASSERT_TRUE(GetTextMetricsA(dc, &tm));
  EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);  // the bit means variable pitch
  INT widths[2];
  ASSERT_TRUE(GetCharWidthA(dc, 'i', 'i', &widths[0]));
  ASSERT_TRUE(GetCharWidthA(dc, 'W', 'W', &widths[1]));
  EXPECT_EQ(widths[0], widths[1]);
  ReleaseDC(0, dc);
  DeleteObject(font);
}

TEST_F(FontMapper, TextFaceReportsTheMatchedFamily) {
  struct Case {
    const char* requested;
    const char* reported;
  };
  // The matched family's own name, also for a substitute and an unknown face.
  const Case cases[] = {{"Arial", "Liberation Sans"},
                        {"Times New Roman", "Liberation Serif"},
                        {"courier new", "Liberation Mono"},
                        {"System", "Liberation Sans"},
                        {"DejaVu Sans Mono", "DejaVu Sans Mono"}};
  const HDC dc = GetDC(0);
  for (const auto& c : cases) {
    const HFONT font = CreateFontA(-1000, 0, 0, 0, 400, 0, 0, 0, 1, 4, 16, 2, 4, c.requested);
    const HGDIOBJ old = SelectObject(dc, font);
    char face[256];
    EXPECT_EQ(GetTextFaceA(dc, 256, face), static_cast<int>(strlen(c.reported)) + 1);
    EXPECT_STREQ(face, c.reported) << c.requested;
    SelectObject(dc, old);
    DeleteObject(font);
  }
  // Buffer handling: the needed size without a buffer, a cut copy with a small one.
  const HFONT font = CreateFontA(-12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  SelectObject(dc, font);
  EXPECT_EQ(GetTextFaceA(dc, 0, nullptr), 16);
  char small[5];
  EXPECT_EQ(GetTextFaceA(dc, 5, small), 5);
  EXPECT_STREQ(small, "Libe");
  WCHAR wide[64];
  EXPECT_EQ(GetTextFaceW(dc, 64, wide), 16);
  EXPECT_EQ(std::u16string(wide), u"Liberation Sans");
  EXPECT_EQ(GetTextFaceA(0, 5, small), 0);
  ReleaseDC(0, dc);
  DeleteObject(font);
}

TEST_F(FontMapper, StylesMissingFromTheFamilyAreSimulated) {
  // fonts-dejavu-core has no oblique: the italic request keeps the family, simulated.
  const HDC dc = GetDC(0);
  const HFONT font = CreateFontA(-100, 0, 0, 0, 400, 1, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans");
  SelectObject(dc, font);
  TEXTMETRICA tm;
  ASSERT_TRUE(GetTextMetricsA(dc, &tm));
  EXPECT_EQ(tm.tmItalic, 255);
  char face[64];
  GetTextFaceA(dc, 64, face);
  EXPECT_STREQ(face, "DejaVu Sans");
  ReleaseDC(0, dc);
  DeleteObject(font);
}

TEST_F(FontMapper, PrivateFontsSymbolCharsetAndTrueTypePreference) {
  REQUIRE_FONTTOOLS();
  const auto dir = vellora_test::TestFontsDir();
  ASSERT_FALSE(dir.empty());
  for (const char* f : {"symbol.ttf", "dual.otf", "dual.ttf", "pair.ttc", "broken.ttf"})
    ASSERT_TRUE(AddFontFile((dir / f).string())) << f;

  // The CFF face matches the request better (weight 400) but the TrueType one is chosen.
  EXPECT_EQ(FileOf(MatchFont(MakeLogFont("QV Dual", -12, 400))), "dual.ttf");
  // A symbol request for an absent face prefers a symbol font; a named face wins.
  EXPECT_EQ(FileOf(MatchFont(MakeLogFont("Wingdings", -12, 400, false, SYMBOL_CHARSET))),
            "symbol.ttf");
  EXPECT_EQ(FileOf(MatchFont(MakeLogFont("QV Symbol Test", -12, 400, false, ANSI_CHARSET))),
            "symbol.ttf");
  // fontconfig lists the damaged face, the mapper passes it over for the fallback.
  EXPECT_EQ(FileOf(MatchFont(MakeLogFont("QV Broken", -12))), "LiberationSans-Regular.ttf");
  // Faces inside a collection are found by family.
  const FontMatch two = MatchFont(MakeLogFont("QV Pair Two", -12));
  EXPECT_EQ(FileOf(two), "pair.ttc");
  EXPECT_EQ(two.index, 1u);
}

}  // namespace
}  // namespace qvplatform

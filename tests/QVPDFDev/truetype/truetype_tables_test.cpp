#include "QVPDFDev/truetype/truetype_tables.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "QVPDFDev/truetype/ttf_bytes.h"
#include "synthetic_font.h"
#include "truetype_test_support.h"

namespace vellora {
namespace {

using vellora_test::Assemble;
using vellora_test::Bytes;
using vellora_test::FindTable;
using vellora_test::SyntheticTables;

TEST(TrueTypeTables, GlyphIndexMatchesFreeTypeForEveryBmpCode) {
  for (const auto& path : {vellora_test::DejaVuSans(), vellora_test::LiberationSans()}) {
    const std::vector<uint8_t> font = vellora_test::FontBytes(path);
    if (font.empty()) GTEST_SKIP() << path << " absent";
    const TQV_TTF_CMAP tables(font.data(), font.size());
    ASSERT_FALSE(tables.failed);
    EXPECT_EQ(tables.format4Platform, 3);
    EXPECT_EQ(tables.format4Encoding, 1);

    FT_Library library;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face;
    ASSERT_EQ(FT_New_Memory_Face(library, font.data(), static_cast<FT_Long>(font.size()), 0, &face),
              0);
    EXPECT_EQ(tables.numGlyphs, face->num_glyphs);
    EXPECT_EQ(tables.unitsPerEm, face->units_per_EM);
    EXPECT_EQ(tables.xMin, face->bbox.xMin);
    EXPECT_EQ(tables.yMax, face->bbox.yMax);
    int mismatches = 0;
    for (int32_t code = 1; code <= 0xFFFF; ++code) {
      const int32_t expected =
          static_cast<int32_t>(FT_Get_Char_Index(face, static_cast<FT_ULong>(code)));
      if (tables.GetGlyphIndex(code) != expected && ++mismatches < 5)
        ADD_FAILURE() << path << " code " << code << ": " << tables.GetGlyphIndex(code) << " vs "
                      << expected;
    }
    EXPECT_EQ(mismatches, 0) << path;
    FT_Done_Face(face);
    FT_Done_FreeType(library);
  }
}

// Metrics and cmap records against fontTools' reading of the same files: DejaVu Sans has
// fewer long metrics than glyphs with varying side bearings after them, mono_compact only one.
TEST(TrueTypeTables, MetricsAndSubtablesMatchFontTools) {
  if (vellora_test::BuiltFonts().empty()) GTEST_SKIP() << "no python3 with fontTools";
  for (const auto& path : {vellora_test::DejaVuSans(), vellora_test::LiberationMono(),
                           vellora_test::BuiltFonts() / "mono_compact.ttf",
                           vellora_test::BuiltFonts() / "nested.ttf"}) {
    const std::vector<uint8_t> font = vellora_test::FontBytes(path);
    if (font.empty()) continue;
    const TQV_TTF_CMAP tables(font.data(), font.size());
    ASSERT_FALSE(tables.failed) << path;
    std::string output;
    ASSERT_TRUE(vellora_test::RunFontToolsScript("dump_tables.py", {path.string()}, output))
        << output;
    std::istringstream lines(output);
    std::string key;
    size_t glyph = 0, subtable = 0;
    while (lines >> key) {
      if (key == "glyphs") {
        int32_t n;
        lines >> n;
        EXPECT_EQ(tables.numGlyphs, n) << path;
      } else if (key == "em") {
        int32_t em;
        lines >> em;
        EXPECT_EQ(tables.unitsPerEm, em) << path;
      } else if (key == "bbox") {
        int32_t a, b, c, d;
        lines >> a >> b >> c >> d;
        EXPECT_EQ(std::vector<int32_t>({tables.xMin, tables.yMin, tables.xMax, tables.yMax}),
                  std::vector<int32_t>({a, b, c, d}))
            << path;
      } else if (key == "hmetrics") {
        int32_t n;
        lines >> n;
        EXPECT_EQ(tables.numberOfHMetrics, n) << path;
      } else if (key == "cmap") {
        int platform, encoding, format;
        lines >> platform >> encoding >> format;
        ASSERT_LT(subtable, tables.subtables.size()) << path;
        const TQVCmapSubtable& s = tables.subtables[subtable++];
        EXPECT_EQ(std::vector<int>({s.platformId, s.encodingId, s.format}),
                  std::vector<int>({platform, encoding, format}))
            << path;
      } else if (key == "metric") {
        int32_t advance, bearing;
        lines >> advance >> bearing;
        ASSERT_LT(glyph, tables.advance.size()) << path;
        EXPECT_EQ(tables.advance[glyph], advance) << path << " glyph " << glyph;
        EXPECT_EQ(tables.leftBearing[glyph], bearing) << path << " glyph " << glyph;
        ++glyph;
      } else {
        std::getline(lines, key);  // a warning line
      }
    }
    EXPECT_EQ(glyph, static_cast<size_t>(tables.numGlyphs)) << path;
    EXPECT_EQ(subtable, tables.subtables.size()) << path;
  }
}

// Byte tables: the only map of a format-0 font, the symbol font's last resort, never a text
// font's; symbol codes up to 0xFF reach U+F0xx.
TEST(TrueTypeTables, ByteTableAndSymbolMapping) {
  if (vellora_test::BuiltFonts().empty()) GTEST_SKIP() << "no python3 with fontTools";
  struct Case {
    const char* font;
    int32_t code;
    bool preferBytes;
    int32_t glyph;
  };
  const Case cases[] = {
      {"format0.ttf", 'A', false, 1},     {"format0.ttf", 'B', false, 2},
      {"format0.ttf", 0xC4, false, 2},    {"format0.ttf", 0x141, false, 0},
      {"format0.ttf", 'Z', false, 0},     {"symbol.ttf", 'A', false, 1},
      {"symbol.ttf", 0xF042, false, 2},   {"symbol.ttf", 'C', false, 3},
      {"symbol.ttf", ' ', false, 4},      {"symbol.ttf", 'D', false, 0},
      {"symbol.ttf", 0x142, false, 0},    {"textbyte.ttf", 'A', false, 1},
      {"textbyte.ttf", 'C', false, 0},    {"textbyte.ttf", 'C', true, 3},
      {"textbyte.ttf", 0xF041, false, 0}, {"symbol.ttf", 'C', true, 3},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> font = vellora_test::FontBytes(vellora_test::BuiltFonts() / c.font);
    const TQV_TTF_CMAP tables(font.data(), font.size());
    ASSERT_FALSE(tables.failed) << c.font;
    EXPECT_EQ(tables.GlyphForCode(c.code, c.preferBytes), c.glyph) << c.font << " " << c.code;
  }
  const std::vector<uint8_t> symbol =
      vellora_test::FontBytes(vellora_test::BuiltFonts() / "symbol.ttf");
  const TQV_TTF_CMAP tables(symbol.data(), symbol.size());
  EXPECT_TRUE(tables.symbolCmap);
  EXPECT_TRUE(tables.hasByteTable);
  ASSERT_EQ(tables.subtables.size(), 2u);
  EXPECT_EQ(tables.subtables[0].platformId, 1);
  EXPECT_EQ(tables.subtables[1].encodingId, 0);
}

TEST(TrueTypeTables, Format4DeltasRangesAndMetrics) {
  auto tables = SyntheticTables({{}, {}, {}, {}, {}});
  // 'a'..'c' by a negative delta; 'x' through the glyph id array plus its delta, 'y' to an
  // array entry of 0 (no glyph, delta not added); U+FFF0 + 20 wraps to glyph 4.
  tables["cmap"] = vellora_test::CmapFormat4({{0x61, 0x63, -96, {}},
                                              {0x78, 0x79, 2, {2, 0}},
                                              {0xFFF0, 0xFFF0, 20, {}},
                                              {0xFFFF, 0xFFFF, 1, {}}});
  tables["hhea"] = vellora_test::Hhea(1);
  tables["hmtx"] = vellora_test::Hmtx({{700, 5}}, {-3, 9, 11});
  const Bytes font = Assemble(tables);
  const TQV_TTF_CMAP t(font.data(), font.size());
  ASSERT_FALSE(t.failed);
  EXPECT_EQ(t.segCount, 4);
  const std::pair<int32_t, int32_t> lookups[] = {{0x61, 1}, {0x63, 3},   {0x60, 0},   {0x78, 4},
                                                 {0x79, 0}, {0xFFF0, 4}, {0xFFFF, 0}, {0, 0},
                                                 {-5, 0},   {0x64, 0},   {0x10061, 0}};
  for (const auto& [code, glyph] : lookups) EXPECT_EQ(t.GetGlyphIndex(code), glyph) << code;
  // numberOfHMetrics 1: every advance is the first one; bearings come from the array after it,
  // 0 where the array stops short.
  EXPECT_EQ(t.advance, std::vector<int32_t>({700, 700, 700, 700, 700}));
  EXPECT_EQ(t.leftBearing, std::vector<int32_t>({5, -3, 9, 11, 0}));
  EXPECT_EQ(t.xMin, -10);
  EXPECT_EQ(t.yMax, 800);
}

TEST(TrueTypeTables, MarkingRecordsGlyphsAndVisibility) {
  const std::vector<uint8_t> font = vellora_test::FontBytes(vellora_test::DejaVuSans());
  if (font.empty()) GTEST_SKIP() << "DejaVu Sans absent";
  TQV_TTF_CMAP tables(font.data(), font.size());
  for (int32_t code : {9, 32, 160, 0, -4}) tables.MarkCode(code, false);
  EXPECT_FALSE(tables.hasVisibleGlyph);
  EXPECT_EQ(tables.used[static_cast<size_t>(tables.GetGlyphIndex(32))], 1);
  tables.MarkCode(0x03A9, false);
  tables.MarkCode(0x0394, false);
  EXPECT_TRUE(tables.hasVisibleGlyph);
  for (int32_t code : {0x03A9, 0x2126, 0x0394, 0x2206}) {
    ASSERT_GT(tables.GetGlyphIndex(code), 0) << code;
    EXPECT_EQ(tables.used[static_cast<size_t>(tables.GetGlyphIndex(code))], 1) << code;
  }
  EXPECT_EQ(tables.used[static_cast<size_t>(tables.GetGlyphIndex('A'))], 0);
}

// Damage that the reader must notice: each case breaks one thing of a valid font.
TEST(TrueTypeTables, DamagedFontsFail) {
  const auto base = SyntheticTables({{}, {}, {}});
  ASSERT_FALSE(TQV_TTF_CMAP(Assemble(base)).failed);
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
  };
  auto setU16 = [](Bytes& font, const char* tag, uint32_t at, uint32_t value) {
    SetU16(font, FindTable(font, tag).first + at, value);
  };
  const Case cases[] = {
      {"table count past the data", [](Bytes& f) { SetU16(f, 4, 200); }},
      {"table past the end", [](Bytes& f) { SetU32(f, 12 + 12, 0x10000); }},
      {"table offset wraps", [](Bytes& f) { SetU32(f, 12 + 8, 0xFFFFFFF0); }},
      {"cmap subtable past the cmap table",
       [](Bytes& f) { SetU32(f, FindTable(f, "cmap").first + 8, 0x7FFFFFF0); }},
      {"cmap records past the table", [&](Bytes& f) { setU16(f, "cmap", 2, 0x1000); }},
      {"format-4 arrays past the table", [&](Bytes& f) { setU16(f, "cmap", 12 + 6, 0xFFFE); }},
      {"no segments", [&](Bytes& f) { setU16(f, "cmap", 12 + 6, 0); }},
      {"em of 0", [&](Bytes& f) { setU16(f, "head", 18, 0); }},
      {"numberOfHMetrics 0", [&](Bytes& f) { setU16(f, "hhea", 34, 0); }},
      {"truncated file", [](Bytes& f) { f.resize(f.size() - 9); }},
      {"short header", [](Bytes& f) { f.resize(10); }},
  };
  for (const Case& c : cases) {
    Bytes font = Assemble(base);
    c.damage(font);
    EXPECT_TRUE(TQV_TTF_CMAP(font).failed) << c.what;
  }
  // One byte short of what is read from each (hmtx: three long metrics).
  const std::pair<const char*, size_t> shortTables[] = {
      {"head", 51}, {"maxp", 5}, {"hhea", 35}, {"hmtx", 11}};
  for (const auto& [tag, size] : shortTables) {
    auto tables = base;
    tables[tag].resize(size);
    EXPECT_TRUE(TQV_TTF_CMAP(Assemble(tables)).failed) << "short " << tag;
  }
  auto noCmap = base;
  noCmap.erase("cmap");
  EXPECT_TRUE(TQV_TTF_CMAP(Assemble(noCmap)).failed);

  // Without maxp every per-glyph array is empty and every lookup gives 0.
  auto noMaxp = base;
  noMaxp.erase("maxp");
  const TQV_TTF_CMAP empty(Assemble(noMaxp));
  EXPECT_FALSE(empty.failed);
  EXPECT_TRUE(empty.used.empty());
  EXPECT_EQ(empty.GetGlyphIndex('A'), 0);
  EXPECT_TRUE(TQV_TTF_CMAP(nullptr, 100).subtables.empty());
  EXPECT_FALSE(TQV_TTF_CMAP(nullptr, 100).failed);
}

}  // namespace
}  // namespace vellora

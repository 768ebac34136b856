#include "QVPDFDev/truetype/truetype_subset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "QVPDFDev/truetype/truetype_tables.h"
#include "QVPDFDev/truetype/ttf_bytes.h"
#include "qvplatform/sfnt_reader.h"
#include "synthetic_font.h"
#include "truetype_test_support.h"

namespace vellora {
namespace {

using vellora_test::Bytes;
using vellora_test::Component;
using vellora_test::GlyphSpec;

// Latin text with accented letters (composites), the Ohm and increment signs, and in DejaVu
// Sans nested composites (U+01C4, U+0149).
const std::u32string kText = U"Hello, World! 0123 ÄÉîõüñçÅ ŠžŁ Ω Δ ǄŉǅǕ fi€";

struct Marked {
  TQV_TTF_CMAP tables;
  std::vector<int32_t> used;  // the marked glyphs
};

// Marks the text as pages would. CID kind 1 numbers glyphs by themselves; a higher kind hands
// out CIDs in order of first use, except for the last glyph, which is only marked (as through
// the marking hooks) and has no CID.
Marked MarkText(std::span<const uint8_t> font, uint8_t kind) {
  Marked m{TQV_TTF_CMAP(font), {}};
  uint16_t cid = 0;
  for (char32_t code : kText) {
    const int32_t glyph = m.tables.GetGlyphIndex(static_cast<int32_t>(code));
    m.tables.MarkCode(static_cast<int32_t>(code), false);
    if (glyph == 0 || std::find(m.used.begin(), m.used.end(), glyph) != m.used.end()) continue;
    m.used.push_back(glyph);
    if (kind == 1) m.tables.newNumber[static_cast<size_t>(glyph)] = static_cast<uint16_t>(glyph);
    if (kind > 1 && code != kText.back()) m.tables.newNumber[static_cast<size_t>(glyph)] = ++cid;
  }
  return m;
}

TQVSubsetRequest Request(std::span<const uint8_t> font, const TQV_TTF_CMAP& tables, uint8_t kind) {
  return {font, tables.used, tables.newNumber, kind};
}

std::string Describe(const std::filesystem::path& path, int kind) {
  return path.filename().string() + " kind " + std::to_string(kind);
}

// Simple and CID subsets of real fonts, each loaded by FreeType and compared with its source
// by fontTools: long loca (Liberation Sans, DejaVu Sans), short loca (sans_short), fewer long
// metrics than glyphs (DejaVu Sans, mono_compact with just one).
TEST(TrueTypeSubset, RealFontsPassFreeTypeAndFontTools) {
  std::vector<std::filesystem::path> fonts = {
      vellora_test::LiberationSans(), vellora_test::LiberationMono(), vellora_test::DejaVuSans()};
  if (!vellora_test::BuiltFonts().empty()) {
    fonts.push_back(vellora_test::BuiltFonts() / "sans_short.ttf");
    fonts.push_back(vellora_test::BuiltFonts() / "mono_compact.ttf");
  }
  int checked = 0;
  for (const auto& path : fonts) {
    const std::vector<uint8_t> font = vellora_test::FontBytes(path);
    if (font.empty()) continue;
    const std::vector<uint8_t> original = font;
    for (const uint8_t kind : {uint8_t{0}, uint8_t{1}, uint8_t{2}}) {
      SCOPED_TRACE(Describe(path, kind));
      const Marked m = MarkText(font, kind);
      ASSERT_FALSE(m.tables.failed);
      TQVSubsetResult result;
      ASSERT_TRUE(BuildTrueTypeSubset(Request(font, m.tables, kind), result)) << result.error;
      EXPECT_EQ(font, original);
      EXPECT_LT(result.data.size(), font.size());
      const int32_t highest = *std::max_element(m.used.begin(), m.used.end());
      if (kind == 0) {
        EXPECT_EQ(result.glyphCount, m.tables.numGlyphs);
      } else if (kind == 1) {
        EXPECT_GE(result.glyphCount, highest + 1);
      }
      EXPECT_EQ(result.position[0], 0);
      for (int32_t glyph : m.used) {
        const int32_t expected = kind == 2 && m.tables.newNumber[static_cast<size_t>(glyph)]
                                     ? m.tables.newNumber[static_cast<size_t>(glyph)]
                                     : glyph;
        if (kind != 2 || m.tables.newNumber[static_cast<size_t>(glyph)])
          EXPECT_EQ(result.position[static_cast<size_t>(glyph)], expected) << glyph;
        else
          EXPECT_GT(result.position[static_cast<size_t>(glyph)], 0) << "must not replace .notdef";
      }
      EXPECT_EQ(vellora_test::FreeTypeCheck(result.data, result.glyphCount), "");
      if (!vellora_test::FontToolsPython().empty()) {
        EXPECT_EQ(vellora_test::FontToolsCheck(path, result.data, result.glyphCount, m.used,
                                               result.position),
                  "");
      }
      ++checked;
    }
  }
  if (checked == 0) GTEST_SKIP() << "no test fonts";
}

// Composites before their components, three deep, with all scale forms: marking only the
// outer one keeps the whole tree, renumbered in a CID subset.
TEST(TrueTypeSubset, NestedCompositesKeepEveryComponent) {
  if (vellora_test::BuiltFonts().empty()) GTEST_SKIP() << "no python3 with fontTools";
  const auto path = vellora_test::BuiltFonts() / "nested.ttf";
  const std::vector<uint8_t> font = vellora_test::FontBytes(path);
  for (const uint8_t kind : {uint8_t{0}, uint8_t{1}, uint8_t{2}}) {
    SCOPED_TRACE(Describe(path, kind));
    TQV_TTF_CMAP tables(font);
    ASSERT_FALSE(tables.failed);
    const int32_t twisted = tables.GetGlyphIndex('B');
    ASSERT_EQ(twisted, 2);
    tables.MarkUsed(twisted);
    tables.newNumber[2] = kind == 2 ? 1 : 2;
    TQVSubsetResult result;
    ASSERT_TRUE(BuildTrueTypeSubset(Request(font, tables, kind), result)) << result.error;
    // .notdef, top, twisted, mid, base, ring and dot; space (7) is left out.
    for (size_t glyph = 0; glyph < 7; ++glyph) EXPECT_GE(result.position[glyph], 0) << glyph;
    EXPECT_EQ(result.position[7], -1);
    EXPECT_EQ(result.glyphCount, kind == 0 ? 8 : 7);
    EXPECT_EQ(result.position[2], kind == 2 ? 1 : 2);
    EXPECT_EQ(vellora_test::FreeTypeCheck(result.data, result.glyphCount), "");
    EXPECT_EQ(vellora_test::FontToolsCheck(path, result.data, result.glyphCount, {twisted},
                                           result.position),
              "");
  }
}

std::set<std::string> Tags(const Bytes& font) {
  qvplatform::SfntDirectory directory;
  EXPECT_TRUE(qvplatform::ReadStandaloneSfntDirectory(font, &directory));
  std::set<std::string> tags;
  for (const qvplatform::SfntTableRecord& t : directory.tables) {
    const char name[] = {static_cast<char>(t.tag >> 24), static_cast<char>(t.tag >> 16),
                         static_cast<char>(t.tag >> 8), static_cast<char>(t.tag), 0};
    tags.insert(name);
  }
  return tags;
}

// A CID subset drops the tables that index glyphs by their old numbers and updates the
// counts in hhea and maxp; a simple subset keeps every table but DSIG.
TEST(TrueTypeSubset, TablesKeptAndCountsUpdated) {
  auto tables = vellora_test::SyntheticTables({{}, {}, {}, {}, {}});
  for (const char* tag : {"post", "kern", "GSUB", "GPOS", "GDEF", "hdmx", "LTSH", "vmtx", "vhea",
                          "name", "DSIG", "fpgm", "prep", "cvt ", "OS/2"})
    tables[tag] = Bytes(8, 1);
  const Bytes font = vellora_test::Assemble(tables);
  std::vector<uint8_t> used(5, 0);
  std::vector<uint16_t> numbers(5, 0);
  used[3] = 1;
  numbers[3] = 1;
  TQVSubsetResult cid, simple;
  ASSERT_TRUE(BuildTrueTypeSubset({font, used, numbers, 2}, cid)) << cid.error;
  EXPECT_EQ(Tags(cid.data), (std::set<std::string>{"OS/2", "cvt ", "fpgm", "glyf", "head", "hhea",
                                                   "hmtx", "loca", "maxp", "prep"}));
  EXPECT_EQ(cid.glyphCount, 2);
  const TQV_TTF_CMAP reread(cid.data);  // no cmap: failed, but counts and metrics are read
  EXPECT_EQ(reread.numGlyphs, 2);
  EXPECT_EQ(reread.numberOfHMetrics, 2);
  EXPECT_EQ(reread.advance, std::vector<int32_t>({500, 503}));
  EXPECT_EQ(reread.leftBearing, std::vector<int32_t>({0, 3}));

  ASSERT_TRUE(BuildTrueTypeSubset({font, used, numbers, 0}, simple)) << simple.error;
  std::set<std::string> expected = Tags(font);
  expected.erase("DSIG");
  EXPECT_EQ(Tags(simple.data), expected);
  EXPECT_EQ(simple.glyphCount, 5);
}

// CIDs: a used glyph without a CID, or whose CID another glyph took first, follows the
// highest CID; a CID of 65535 would need a 65536th glyph.
TEST(TrueTypeSubset, CIDPositions) {
  const Bytes font = vellora_test::Assemble(vellora_test::SyntheticTables({{}, {}, {}, {}, {}}));
  const std::vector<uint8_t> used = {0, 1, 1, 1, 1};
  TQVSubsetResult result;
  ASSERT_TRUE(BuildTrueTypeSubset({font, used, std::vector<uint16_t>{0, 7, 0, 7, 3}, 2}, result));
  EXPECT_EQ(result.position, std::vector<int32_t>({0, 7, 8, 9, 3}));
  EXPECT_EQ(result.glyphCount, 10);
  EXPECT_EQ(vellora_test::FreeTypeCheck(result.data, 10), "");
  // Kind 1 keeps glyph numbers whatever the new numbers say.
  ASSERT_TRUE(BuildTrueTypeSubset({font, used, std::vector<uint16_t>{0, 7, 0, 7, 3}, 1}, result));
  EXPECT_EQ(result.position, std::vector<int32_t>({0, 1, 2, 3, 4}));
  EXPECT_FALSE(
      BuildTrueTypeSubset({font, used, std::vector<uint16_t>{0, 1, 2, 3, 0xFFFF}, 2}, result));
  EXPECT_FALSE(result.error.empty());
  EXPECT_TRUE(result.data.empty());
}

// Fonts a subset cannot be built from; none may crash, and a damaged glyph matters only
// when it is kept.
TEST(TrueTypeSubset, FailuresAreReported) {
  const std::vector<GlyphSpec> glyphs = {{}, {}, {}, {}};
  const std::vector<uint8_t> useFirst = {0, 1, 0, 0};
  struct Case {
    const char* what;
    std::function<void(std::map<std::string, Bytes>&)> change;
    std::vector<uint8_t> used;
  };
  const Case cases[] = {
      {"no head", [](auto& t) { t.erase("head"); }, useFirst},
      {"no maxp", [](auto& t) { t.erase("maxp"); }, useFirst},
      {"no glyf", [](auto& t) { t.erase("glyf"); }, useFirst},
      {"loca too short", [](auto& t) { t["loca"].resize(6); }, useFirst},
      {"loca format 2", [](auto& t) { SetU16(t["head"], 50, 2); }, useFirst},
      {"reversed glyph range", [](auto& t) { SetU16(t["loca"], 2, 0x7FFF); }, useFirst},
      {"glyph of 4 bytes", [](auto& t) { SetU16(t["loca"], 4, t["loca"][3] + 2); }, useFirst},
  };
  for (const Case& c : cases) {
    auto tables = vellora_test::SyntheticTables(glyphs);
    c.change(tables);
    TQVSubsetResult result;
    EXPECT_FALSE(BuildTrueTypeSubset({vellora_test::Assemble(tables), c.used, {}, 0}, result))
        << c.what;
    EXPECT_FALSE(result.error.empty()) << c.what;
  }
  Bytes otto = vellora_test::Assemble(vellora_test::SyntheticTables(glyphs));
  SetU32(otto, 0, qvplatform::SfntTag("OTTO"));
  TQVSubsetResult result;
  EXPECT_FALSE(BuildTrueTypeSubset({otto, useFirst, {}, 0}, result));
  EXPECT_EQ(result.error, "not a TrueType font");

  // A composite naming a glyph past the count, or cut short, fails only when it is kept.
  for (const GlyphSpec& bad : {GlyphSpec{100, {{9, 0, 0}}}, GlyphSpec{100, {{1, 0, 0, 0x80}}}}) {
    auto tables = vellora_test::SyntheticTables({{}, {}, bad});
    if (bad.components[0].scaleFlag) {
      // Drop the last scale value: the component record runs past the glyph.
      auto& loca = tables["loca"];
      SetU16(loca, 6, static_cast<uint32_t>((loca[6] << 8 | loca[7]) - 1));
    }
    const Bytes font = vellora_test::Assemble(tables);
    EXPECT_FALSE(BuildTrueTypeSubset({font, std::vector<uint8_t>{0, 0, 1}, {}, 2}, result));
    EXPECT_TRUE(BuildTrueTypeSubset({font, std::vector<uint8_t>{0, 1, 0}, {}, 2}, result))
        << result.error;
  }
}

// Composites that refer to each other end the closure and give a font again.
TEST(TrueTypeSubset, CyclicCompositesTerminate) {
  const Bytes font = vellora_test::Assemble(vellora_test::SyntheticTables(
      {{}, {100, {{2, 0, 0}, {3, 10, 0, 0x08}}}, {100, {{1, 5, 5, 0x40}}}, {}}));
  TQVSubsetResult result;
  ASSERT_TRUE(BuildTrueTypeSubset(
      {font, std::vector<uint8_t>{0, 1}, std::vector<uint16_t>{0, 1}, 2}, result))
      << result.error;
  EXPECT_EQ(result.position, std::vector<int32_t>({0, 1, 2, 3}));
  const TQV_TTF_CMAP reread(result.data);
  EXPECT_EQ(reread.numGlyphs, 4);
}

// broken.ttf parses, but its last glyph leaves glyf.
TEST(TrueTypeSubset, BrokenGlyphOnlyMattersWhenUsed) {
  if (vellora_test::BuiltFonts().empty()) GTEST_SKIP() << "no python3 with fontTools";
  const std::vector<uint8_t> font =
      vellora_test::FontBytes(vellora_test::BuiltFonts() / "broken.ttf");
  TQV_TTF_CMAP tables(font);
  ASSERT_FALSE(tables.failed);
  tables.MarkCode('A', false);
  TQVSubsetResult result;
  EXPECT_TRUE(BuildTrueTypeSubset(Request(font, tables, 0), result)) << result.error;
  EXPECT_EQ(vellora_test::FreeTypeCheck(result.data, 3), "");  // the rebuilt loca is sound
  tables.MarkCode('B', false);
  EXPECT_FALSE(BuildTrueTypeSubset(Request(font, tables, 0), result));
  EXPECT_EQ(result.error, "glyph 2 lies outside glyf");
}

}  // namespace
}  // namespace vellora

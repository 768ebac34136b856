// Damaged font files: truncated, mutated and crafted ones give an error or sane answers,
// never a crash or a read outside the data (run under the sanitizers).
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <random>
#include <vector>

#include "font_test_env.h"
#include "qvplatform/device_context.h"
#include "qvplatform/font_data.h"
#include "qvplatform/font_face.h"
#include "qvplatform/font_service.h"
#include "qvplatform/glyph_path.h"
#include "qvplatform/text_measure.h"
#include "qvplatform/text_metrics.h"
#include "qvplatform/text_placement.h"
#include "test_support.h"

namespace qvplatform {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
  if (at + 2 > b.size()) return;
  b[at] = static_cast<std::uint8_t>(v >> 8);
  b[at + 1] = static_cast<std::uint8_t>(v);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  Put16(b, at, static_cast<std::uint16_t>(v >> 16));
  Put16(b, at + 2, static_cast<std::uint16_t>(v));
}

// Runs every text function on a font bound to the bytes; only crashes and sanitizer
// reports fail.
void ExerciseFont(const std::string& path, LONG height, LONG width, LONG escapement);

void Exercise(const Bytes& bytes, const std::filesystem::path& dir, int n) {
  const auto path = dir / ("f" + std::to_string(n) + ".ttf");
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
  ExerciseFont(path.string(), -40, 30, 450);
  // Extreme sizes: results are clamped, never overflowing.
  if (n % 8 == 0) ExerciseFont(path.string(), INT32_MIN, INT32_MIN, INT32_MAX);
}

void ExerciseFont(const std::string& path, LONG height, LONG width, LONG escapement) {
  LOGFONTW lf = vellora_test::MakeLogFont("", height, 700, true);
  lf.lfEscapement = escapement;
  lf.lfWidth = width;
  const HFONT font = CreateFontForFile(lf, path, 0);
  const HDC dc = GetDC(0);
  SelectObject(dc, font);
  TEXTMETRICA tm;
  if (GetTextMetricsA(dc, &tm) && height > -100000) {
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  }
  const UINT size = GetOutlineTextMetricsA(dc, 0, nullptr);
  std::vector<unsigned char> otm(size + 1);
  GetOutlineTextMetricsA(dc, size, reinterpret_cast<OUTLINETEXTMETRICA*>(otm.data()));
  INT widths[256];
  GetCharWidthA(dc, 0, 255, widths);
  GetCharWidthW(dc, 0xFFF0, 0xFFFF, widths);
  const std::u16string text = u"Ao \u05D0\uF041\u4E00\uFFFF";
  SIZE extent;
  GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &extent);
  WORD glyphs[16];
  GetGlyphIndicesW(dc, text.data(), static_cast<int>(text.size()), glyphs,
                   GGI_MARK_NONEXISTING_GLYPHS);
  char face[64];
  GetTextFaceA(dc, 64, face);
  const DWORD whole = GetFontData(dc, 0, 0, nullptr, 0);
  if (whole != GDI_ERROR) {
    std::vector<std::uint8_t> data(whole);
    EXPECT_EQ(GetFontData(dc, 0, 0, data.data(), whole), whole);
  }
  BeginPath(dc);
  const WCHAR byIndex[] = {0, 1, 2, 3, 0xFFFF};
  ExtTextOutW(dc, 10, 10, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
  ExtTextOutW(dc, 10, 10, ETO_GLYPH_INDEX, nullptr, byIndex, 5, nullptr);
  EndPath(dc);
  GetPath(dc, nullptr, nullptr, 0);
  GCP_RESULTSW r;
  UINT order[16];
  r.lpOrder = order;
  r.nGlyphs = 16;
  GetCharacterPlacementW(dc, text.data(), static_cast<int>(text.size()), 0, &r,
                         GCP_REORDER | GCP_GLYPHSHAPE);
  ReleaseDC(0, dc);
  DeleteObject(font);
}

// Offsets of the table directory entries and of each table, for targeted damage.
std::vector<std::pair<std::size_t, std::size_t>> Regions(const Bytes& b) {
  std::vector<std::pair<std::size_t, std::size_t>> regions;
  SfntDirectory dir;
  std::string error;
  if (!ReadSfntDirectory(ByteSpan(b), 0, &dir, &error)) return regions;
  regions.emplace_back(0, 12 + 16 * dir.tables.size());
  for (const auto& t : dir.tables)
    regions.emplace_back(t.offset, std::min<std::size_t>(t.length, 512));
  return regions;
}

void Torture(const Bytes& original, int mutations, const char* name) {
  SCOPED_TRACE(name);
  const auto dir = vellora_test::ScratchDir();
  int n = 0;
  Exercise(original, dir, n);  // the intact font, also at extreme sizes
  n += 8;
  // Truncations: inside the header, the directory, each table, one byte short.
  std::vector<std::size_t> cuts = {0, 3, 11, 12, 20, original.size() / 2, original.size() - 1};
  for (const auto& [offset, length] : Regions(original)) cuts.push_back(offset + length / 2);
  for (std::size_t cut : cuts) {
    if (cut > original.size()) continue;
    Bytes b(original.begin(), original.begin() + static_cast<long>(cut));
    std::string error;
    const bool accepted = FontFace::FromBytes(b, 0, &error) != nullptr;
    // The last bytes may be padding after the last table; any earlier cut loses data.
    if (cut + 3 < original.size()) {
      EXPECT_FALSE(accepted) << "cut at " << cut;
      EXPECT_FALSE(error.empty());
    }
    Exercise(b, dir, n++);
  }
  // Random byte changes in the structures (deterministic seed).
  std::mt19937 random(1234);
  const auto regions = Regions(original);
  for (int i = 0; i < mutations; ++i) {
    Bytes b = original;
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int c = 0; c < changes; ++c) {
      const auto& [offset, length] = regions[random() % regions.size()];
      if (length == 0) continue;
      b[offset + random() % length] = static_cast<std::uint8_t>(random());
    }
    std::string error;
    FontFace::FromBytes(b, 0, &error);
    Exercise(b, dir, n++);
  }
}

TEST(DamagedFonts, TruncatedAndMutatedFilesNeverCrash) {
  const std::string liberation = vellora_test::LiberationFont("Sans-Regular");
  if (!std::filesystem::exists(liberation)) GTEST_SKIP() << "fonts-liberation2 missing";
  Torture(vellora_test::ReadFileBytes(liberation), 30, "Liberation Sans");
  if (!vellora_test::TestFontsDir().empty()) {
    for (const char* f : {"symbol.ttf", "pair.ttc"})
      Torture(vellora_test::ReadFileBytes(vellora_test::TestFontsDir() / f), 400, f);
  }
}

TEST(DamagedFonts, CraftedStructuresAreRejectedOrBounded) {
  const std::string liberation = vellora_test::LiberationFont("Sans-Regular");
  if (!std::filesystem::exists(liberation)) GTEST_SKIP() << "fonts-liberation2 missing";
  const Bytes original = vellora_test::ReadFileBytes(liberation);
  SfntDirectory dir;
  std::string error;
  ASSERT_TRUE(ReadSfntDirectory(ByteSpan(original), 0, &dir, &error));
  auto table = [&](const char(&tag)[5]) { return *dir.Find(SfntTag(tag)); };
  auto recordOf = [&](const char(&tag)[5]) {
    for (std::size_t i = 0; i < dir.tables.size(); ++i)
      if (dir.tables[i].tag == SfntTag(tag)) return 12 + 16 * i;
    return std::size_t{0};
  };
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    bool rejected;
  };
  const SfntTableRecord cmap = table("cmap");
  const Case cases[] = {
      {"table count beyond the file", [](Bytes& b) { Put16(b, 4, 0xFFFF); }, true},
      {"table length huge", [&](Bytes& b) { Put32(b, recordOf("glyf") + 12, 0xFFFFFFF0); }, true},
      {"table offset huge", [&](Bytes& b) { Put32(b, recordOf("hmtx") + 8, 0xFFFFFFF0); }, true},
      {"units per em 0", [&](Bytes& b) { Put16(b, table("head").offset + 18, 0); }, true},
      {"no long metrics", [&](Bytes& b) { Put16(b, table("hhea").offset + 34, 0); }, true},
      {"more long metrics than glyphs",
       [&](Bytes& b) { Put16(b, table("hhea").offset + 34, 0xFFFF); }, false},
      {"glyph count huge", [&](Bytes& b) { Put16(b, table("maxp").offset + 4, 0xFFFF); }, true},
      {"cmap subtables outside",
       [&](Bytes& b) {
         for (std::size_t i = 0; i < 3; ++i) Put32(b, cmap.offset + 4 + 8 * i + 4, 0xFFFFFF00);
       },
       true},
      {"cmap record count huge", [&](Bytes& b) { Put16(b, cmap.offset + 2, 0xFFFF); }, true},
      {"OS/2 cut short", [&](Bytes& b) { Put32(b, recordOf("OS/2") + 12, 40); }, true},
      {"no outline tables (glyf renamed)",
       [&](Bytes& b) { Put32(b, recordOf("glyf"), SfntTag("xxxx")); }, true},
      {"tables far larger than the file (each the whole file)",
       [&](Bytes& b) {
         for (const std::size_t record : {recordOf("fpgm"), recordOf("prep"), recordOf("gasp")}) {
           Put32(b, record + 8, 0);
           Put32(b, record + 12, static_cast<std::uint32_t>(b.size()));
         }
       },
       true},
      {"not an sfnt", [](Bytes& b) { Put32(b, 0, 0x12345678); }, true},
      {"collection with a huge face count",
       [](Bytes& b) {
         Put32(b, 0, SfntTag("ttcf"));
         Put32(b, 8, 0xFFFFFFFF);
       },
       true},
  };
  const auto scratch = vellora_test::ScratchDir();
  int n = 0;
  for (const auto& c : cases) {
    Bytes b = original;
    c.damage(b);
    std::string why;
    const auto face = FontFace::FromBytes(b, 0, &why);
    EXPECT_EQ(face == nullptr, c.rejected) << c.what << ": " << why;
    Exercise(b, scratch, n++);
  }
}

TEST(DamagedFonts, CmapLookupsStayInsideTheirSubtable) {
  // A format 4 subtable whose range offset points far past its end, and one whose segment
  // count claims more than the table holds.
  Bytes cmap = {0, 0, 0, 1, 0, 3, 0, 1, 0, 0, 0, 12};
  const Bytes format4 = {0,    4,    0,    32,   0, 0, 0,
                         4,    0,    0,    0,    0, 0, 0,  // header, segCountX2 4
                         0x00, 0x50, 0xFF, 0xFF,           // end codes
                         0,    0,                          // pad
                         0x00, 0x41, 0xFF, 0xFF,           // start codes
                         0,    0,    0,    1,              // deltas
                         0x7F, 0xF0, 0,    0};             // range offsets
  cmap.insert(cmap.end(), format4.begin(), format4.end());
  CharMap map;
  std::string error;
  ASSERT_TRUE(map.Init(ByteSpan(cmap), &error)) << error;
  EXPECT_EQ(map.Glyph(0x41), 0);  // its glyph would lie outside: none
  EXPECT_EQ(map.Glyph(0xFFFF), 0);
  Bytes liar = cmap;
  liar[12 + 7] = 0xF0;  // segCountX2 0xF0 in a 32-byte subtable
  EXPECT_FALSE(map.Init(ByteSpan(liar), &error));
  Bytes format12 = {0, 0, 0, 1, 0, 3,  0, 10, 0, 0, 0,    12, 0, 12,
                    0, 0, 0, 0, 0, 28, 0, 0,  0, 0, 0x10, 0,  0, 0};  // 2^28 groups
  EXPECT_FALSE(map.Init(ByteSpan(format12), &error));
}

}  // namespace
}  // namespace qvplatform

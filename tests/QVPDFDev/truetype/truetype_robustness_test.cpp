// Truncation and mutation sweeps: the reader and the subsetter must neither crash, hang nor
// read outside the data (the sanitizer build checks the last), and a subset they do build
// must be a readable font.
#include <gtest/gtest.h>

#include <random>

#include "QVPDFDev/truetype/truetype_subset.h"
#include "QVPDFDev/truetype/truetype_tables.h"
#include "QVPDFDev/truetype/ttf_bytes.h"
#include "qvplatform/sfnt_reader.h"
#include "synthetic_font.h"
#include "truetype_test_support.h"

namespace vellora {
namespace {

using vellora_test::Bytes;

void Exercise(std::span<const uint8_t> font) {
  TQV_TTF_CMAP tables(font);
  for (int32_t code : {0x20, 0x41, 0xC4, 0x3A9, 0xF041, 0xFFFF}) {
    const int32_t glyph = tables.GetGlyphIndex(code);
    ASSERT_TRUE(glyph == 0 || glyph < tables.numGlyphs);
    tables.MarkCode(code, code < 256);
  }
  std::vector<uint8_t> used = tables.used;
  std::vector<uint16_t> numbers = tables.newNumber;
  if (used.empty()) used.assign(16, 1);
  numbers.resize(used.size());
  for (size_t i = 0; i < numbers.size(); ++i) numbers[i] = static_cast<uint16_t>(i * 7 % 40);
  for (const uint8_t kind : {uint8_t{0}, uint8_t{1}, uint8_t{2}}) {
    TQVSubsetResult result;
    if (!BuildTrueTypeSubset({font, used, numbers, kind}, result)) continue;
    qvplatform::SfntDirectory directory;
    ASSERT_TRUE(qvplatform::ReadStandaloneSfntDirectory(result.data, &directory));
    const TQV_TTF_CMAP reread(result.data);
    ASSERT_EQ(reread.numGlyphs, result.glyphCount);
  }
}

Bytes SyntheticFont() {
  return vellora_test::Assemble(vellora_test::SyntheticTables(
      {{}, {100, {{2, 0, 0}, {3, 5, 5, 0x08}}}, {}, {100, {{2, 1, 1, 0x80}, {4, 0, 9, 0x40}}}, {}},
      true));
}

// Each table cut short through its directory length, to every length.
void SweepTableLengths(const Bytes& font, size_t stride) {
  qvplatform::SfntDirectory directory;
  ASSERT_TRUE(qvplatform::ReadStandaloneSfntDirectory(font, &directory));
  for (size_t record = 0; record < directory.tables.size(); ++record) {
    const uint32_t length = directory.tables[record].length;
    for (uint32_t cut = 0; cut < length; cut += cut < 600 ? 1 : static_cast<uint32_t>(stride)) {
      Bytes damaged = font;
      SetU32(damaged, 12 + 16 * record + 12, cut);
      Exercise(damaged);
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

TEST(TrueTypeRobustness, TruncatedFilesAndTables) {
  const Bytes synthetic = SyntheticFont();
  for (size_t size = 0; size <= synthetic.size(); ++size) {
    ASSERT_NO_FATAL_FAILURE(Exercise({synthetic.data(), size}));
  }
  SweepTableLengths(synthetic, 1);
  const std::vector<uint8_t> sans = vellora_test::FontBytes(vellora_test::LiberationSans());
  if (sans.empty()) GTEST_SKIP() << "Liberation Sans absent";
  for (size_t size = 0; size <= sans.size(); size += size < 2048 ? 1 : 4093) {
    ASSERT_NO_FATAL_FAILURE(Exercise({sans.data(), size}));
  }
  SweepTableLengths(sans, 997);
}

// Random bytes changed anywhere in a small font, and in the regions of a real font that are
// read: the header and directory, head, hhea, maxp, cmap, loca and hmtx.
TEST(TrueTypeRobustness, MutatedBytes) {
  std::mt19937 random(20240611);
  const Bytes synthetic = SyntheticFont();
  for (int round = 0; round < 20000; ++round) {
    Bytes font = synthetic;
    const int changes = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < changes; ++i) font[random() % font.size()] = static_cast<uint8_t>(random());
    ASSERT_NO_FATAL_FAILURE(Exercise(font));
  }
  const Bytes sans = vellora_test::FontBytes(vellora_test::LiberationSans());
  if (sans.empty()) GTEST_SKIP() << "Liberation Sans absent";
  qvplatform::SfntDirectory directory;
  ASSERT_TRUE(qvplatform::ReadStandaloneSfntDirectory(sans, &directory));
  std::vector<std::pair<uint32_t, uint32_t>> regions = {
      {0, 12 + 16 * static_cast<uint32_t>(directory.tables.size())}};
  for (const char* tag : {"head", "hhea", "maxp", "cmap", "loca", "hmtx"}) {
    const auto table = vellora_test::FindTable(sans, tag);
    regions.push_back({table.first, std::min<uint32_t>(table.second, 4096)});
  }
  for (int round = 0; round < 1500; ++round) {
    Bytes font = sans;
    const auto& [start, length] = regions[random() % regions.size()];
    for (int i = 0; i < 3; ++i)
      font[start + random() % length] = static_cast<uint8_t>(random() % 4 ? random() : 0xFF);
    ASSERT_NO_FATAL_FAILURE(Exercise(font));
  }
}

}  // namespace
}  // namespace vellora

// The TrueType subsetter on a system font: a few hundred glyphs of DejaVu Sans marked as a
// document would, then a simple subset and a CID subset (glyph numbers kept) built from them.
#include <benchmark/benchmark.h>

#include "QVPDFDev/truetype/truetype_subset.h"
#include "QVPDFDev/truetype/truetype_tables.h"
#include "test_support.h"

namespace vellora::bench {
namespace {

constexpr char kFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Latin, Latin-1, Latin Extended-A and Greek: some 400 glyphs, composites among them.
void MarkUsedText(TQV_TTF_CMAP& tables) {
  for (const auto& [first, last] : {std::pair{0x20, 0x17F}, std::pair{0x391, 0x3C9}})
    for (int32_t code = first; code <= last; ++code) tables.MarkCode(code, false);
}

void BuildSubset(benchmark::State& state, std::uint8_t cidKind) {
  const std::vector<std::uint8_t> font = vellora_test::ReadFileBytes(kFont);
  if (font.empty()) return state.SkipWithError("DejaVu Sans is not installed");
  TQV_TTF_CMAP tables(font);
  if (tables.failed) return state.SkipWithError("the font's tables did not parse");
  MarkUsedText(tables);
  if (cidKind == 1)
    for (std::size_t glyph = 0; glyph < tables.used.size(); ++glyph)
      if (tables.used[glyph]) tables.newNumber[glyph] = static_cast<std::uint16_t>(glyph);
  TQVSubsetResult result;
  for (auto _ : state) {
    if (!BuildTrueTypeSubset({font, tables.used, tables.newNumber, cidKind}, result))
      return state.SkipWithError(result.error.c_str());
  }
  std::int64_t marked = 0;
  for (std::uint8_t mark : tables.used) marked += mark != 0;
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(font.size()));
  state.counters["glyphs_used"] = static_cast<double>(marked);
  state.counters["subset_bytes"] = static_cast<double>(result.data.size());
}

void BM_SubsetSimple(benchmark::State& state) { BuildSubset(state, 0); }
void BM_SubsetCid(benchmark::State& state) { BuildSubset(state, 1); }

BENCHMARK(BM_SubsetSimple)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SubsetCid)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vellora::bench

BENCHMARK_MAIN();

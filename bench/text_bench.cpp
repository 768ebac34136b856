// Text output: a page of many ExtTextOut runs in a TrueType face, converted with the font
// embedded whole and as a subset of the used characters; no compression, so the time is the
// engine's own.
#include <benchmark/benchmark.h>
#include <vellora/vellora.h>

#include "allocation_counter.h"
#include "corpus_conversion.h"
#include "emf_builder.h"

namespace vellora::bench {
namespace {

constexpr int kLines = 120;
constexpr int kRunsPerLine = 8;

// An A4 page at 96 dpi: lines of short runs, each its own record, in turning words.
std::vector<std::uint8_t> TextPage() {
  const std::u16string words[] = {u"Quick", u"brown", u"foxes",   u"jump", u"over",
                                  u"lazy",  u"dogs",  u"Ünïcödé", u"0123", u"$%&?"};
  vellora_test::EmfBuilder emf;
  emf.SetBounds({0, 0, 793, 1122}).SetFrame({0, 0, 20990, 29690});
  emf.CreateFont(1, vellora_test::EmfBuilder::Font(u"Arial", -11)).SelectObject(1);
  for (int line = 0; line < kLines; ++line)
    for (int run = 0; run < kRunsPerLine; ++run)
      emf.ExtTextOutW(20 + run * 95, 20 + line * 9, words[(line + run) % 10]);
  return emf.Bytes();
}

void ConvertTextPage(benchmark::State& state, std::int32_t fontMode) {
  const OwnedMetafile page(TextPage());
  ConversionSettings settings;
  settings.compression = QVPDF_COMPRESS_NONE;
  settings.fontMode = fontMode;
  std::size_t outputBytes = 0;
  std::uint64_t allocations = 0;
  for (auto _ : state) {
    const std::uint64_t before = AllocationCount();
    outputBytes = ConvertToPdf(page.Handle(), settings).size();
    allocations = AllocationCount() - before;
    if (outputBytes == 0) state.SkipWithError("the engine wrote no document");
  }
  state.counters["runs"] = kLines * kRunsPerLine;
  state.counters["output_bytes"] = static_cast<double>(outputBytes);
  state.counters["allocations_per_run"] =
      static_cast<double>(allocations) / (kLines * kRunsPerLine);
}

void BM_TextEmbedded(benchmark::State& state) {
  ConvertTextPage(state, QVPDF_FONT_MODE_EMBED_TRUETYPE);
}
void BM_TextSubset(benchmark::State& state) {
  ConvertTextPage(state, QVPDF_FONT_MODE_SUBSET_USED_CHARS);
}

BENCHMARK(BM_TextEmbedded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextSubset)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vellora::bench

BENCHMARK_MAIN();

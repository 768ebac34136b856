// The whole corpus converted in one process, a document per metafile, with and without Flate.
#include <benchmark/benchmark.h>
#include <vellora/vellora.h>

#include "allocation_counter.h"
#include "corpus_conversion.h"

namespace vellora::bench {
namespace {

void ConvertCorpus(benchmark::State& state, std::int32_t compression) {
  const Corpus& corpus = SharedCorpus();
  std::int64_t outputBytes = 0;
  std::uint64_t allocations = 0;
  for (auto _ : state) {
    outputBytes = 0;
    const std::uint64_t before = AllocationCount();
    for (QvMetafileHandle metafile : corpus.Metafiles()) {
      const std::vector<std::uint8_t> pdf = ConvertToPdf(metafile, compression);
      if (pdf.empty()) state.SkipWithError("the engine wrote no document");
      outputBytes += static_cast<std::int64_t>(pdf.size());
    }
    allocations = AllocationCount() - before;
  }
  state.SetBytesProcessed(state.iterations() * corpus.InputBytes());
  state.counters["documents"] = static_cast<double>(corpus.Metafiles().size());
  state.counters["output_bytes"] = static_cast<double>(outputBytes);
  state.counters["allocations_per_record"] =
      static_cast<double>(allocations) / static_cast<double>(corpus.Records());
}

void BM_CorpusFlate(benchmark::State& state) { ConvertCorpus(state, QVPDF_COMPRESS_FLATE); }
void BM_CorpusUncompressed(benchmark::State& state) { ConvertCorpus(state, QVPDF_COMPRESS_NONE); }

BENCHMARK(BM_CorpusFlate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CorpusUncompressed)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vellora::bench

BENCHMARK_MAIN();

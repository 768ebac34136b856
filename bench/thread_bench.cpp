// Thread scaling: N threads each convert the whole corpus into documents of their own, every
// document its own engine context. Items per second are documents per second of wall time, so
// the throughput of 8 threads against 1 reads off directly.
#include <benchmark/benchmark.h>
#include <vellora/vellora.h>

#include "corpus_conversion.h"

namespace vellora::bench {
namespace {

void ConvertCorpusOnEachThread(benchmark::State& state, std::int32_t compression) {
  const Corpus& corpus = SharedCorpus();
  for (auto _ : state) {
    for (QvMetafileHandle metafile : corpus.Metafiles()) {
      const std::vector<std::uint8_t> pdf = ConvertToPdf(metafile, compression);
      if (pdf.empty()) state.SkipWithError("the engine wrote no document");
      benchmark::DoNotOptimize(pdf.data());
    }
  }
  state.SetItemsProcessed(state.iterations() *
                          static_cast<std::int64_t>(corpus.Metafiles().size()));
}

void BM_ThreadsFlate(benchmark::State& state) {
  ConvertCorpusOnEachThread(state, QVPDF_COMPRESS_FLATE);
}
void BM_ThreadsUncompressed(benchmark::State& state) {
  ConvertCorpusOnEachThread(state, QVPDF_COMPRESS_NONE);
}

// The corpus is loaded before any thread starts, so no thread times the loading.
[[maybe_unused]] const bool corpusLoaded = (SharedCorpus(), true);

BENCHMARK(BM_ThreadsFlate)->ThreadRange(1, 8)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThreadsUncompressed)->ThreadRange(1, 8)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vellora::bench

BENCHMARK_MAIN();

// The metafile player alone: every corpus metafile played through the generic device into a
// device that draws nothing, no document written. Counts the allocations per record.
#include <benchmark/benchmark.h>

#include "QVGenDC/metafile_player.h"
#include "allocation_counter.h"
#include "corpus_conversion.h"
#include "stub_device.h"

namespace vellora::bench {
namespace {

struct PlayableCorpus {
  std::vector<std::vector<std::uint8_t>> metafiles;
  std::int64_t bytes = 0;
};

const PlayableCorpus& Playable() {
  static const PlayableCorpus corpus = [] {
    PlayableCorpus all;
    for (QvMetafileHandle metafile : SharedCorpus().Metafiles()) {
      all.metafiles.push_back(MetafileBytes(metafile));
      all.bytes += static_cast<std::int64_t>(all.metafiles.back().size());
    }
    return all;
  }();
  return corpus;
}

void BM_PlayCorpus(benchmark::State& state) {
  const PlayableCorpus& corpus = Playable();
  std::uint64_t allocations = 0;
  for (auto _ : state) {
    const std::uint64_t before = AllocationCount();
    for (const std::vector<std::uint8_t>& bytes : corpus.metafiles) {
      vellora_test::StubDevice device;
      try {
        device.PlayMetafile(bytes.data(), bytes.size(), 0, 0, 0, 0, false, 0, 0);
      } catch (const EQVMetafileError&) {
        state.SkipWithError("a corpus metafile was refused");
      }
    }
    allocations = AllocationCount() - before;
  }
  state.SetBytesProcessed(state.iterations() * corpus.bytes);
  state.counters["records"] = static_cast<double>(SharedCorpus().Records());
  state.counters["allocations"] = static_cast<double>(allocations);
  state.counters["allocations_per_record"] =
      static_cast<double>(allocations) / static_cast<double>(SharedCorpus().Records());
}

BENCHMARK(BM_PlayCorpus)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vellora::bench

BENCHMARK_MAIN();

// Deflate alone, zlib against libdeflate by level, on the engine's own uncompressed output:
// every document of the corpus written without compression, each compressed as one buffer.
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <vellora/vellora.h>
#include <zlib.h>

#include <memory>

#include "corpus_conversion.h"

namespace vellora::bench {
namespace {

const std::vector<std::vector<std::uint8_t>>& UncompressedOutput() {
  static const std::vector<std::vector<std::uint8_t>> documents = [] {
    std::vector<std::vector<std::uint8_t>> all;
    for (QvMetafileHandle metafile : SharedCorpus().Metafiles())
      all.push_back(ConvertToPdf(metafile, QVPDF_COMPRESS_NONE));
    return all;
  }();
  return documents;
}

// Compresses every document once an iteration with compress(document, out), which returns
// the compressed size (0 on failure), and reports the bytes in and out.
template <class Compress>
void CompressEveryDocument(benchmark::State& state, const char* failure, Compress compress) {
  std::vector<std::uint8_t> out;
  std::int64_t inputBytes = 0;
  std::int64_t outputBytes = 0;
  UncompressedOutput();
  for (auto _ : state) {
    inputBytes = outputBytes = 0;
    for (const std::vector<std::uint8_t>& doc : UncompressedOutput()) {
      const std::size_t size = compress(doc, out);
      if (size == 0) state.SkipWithError(failure);
      inputBytes += static_cast<std::int64_t>(doc.size());
      outputBytes += static_cast<std::int64_t>(size);
    }
  }
  state.SetBytesProcessed(state.iterations() * inputBytes);
  state.counters["bytes_out"] = static_cast<double>(outputBytes);
}

void BM_Zlib(benchmark::State& state) {
  const int level = static_cast<int>(state.range(0));
  CompressEveryDocument(
      state, "zlib failed",
      [level](const std::vector<std::uint8_t>& doc, std::vector<std::uint8_t>& out) {
        uLongf size = compressBound(static_cast<uLong>(doc.size()));
        out.resize(size);
        if (compress2(out.data(), &size, doc.data(), static_cast<uLong>(doc.size()), level) != Z_OK)
          return std::size_t{0};
        return static_cast<std::size_t>(size);
      });
}

void BM_Libdeflate(benchmark::State& state) {
  const std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> compressor(
      libdeflate_alloc_compressor(static_cast<int>(state.range(0))), &libdeflate_free_compressor);
  CompressEveryDocument(
      state, "libdeflate failed",
      [&compressor](const std::vector<std::uint8_t>& doc, std::vector<std::uint8_t>& out) {
        out.resize(libdeflate_zlib_compress_bound(compressor.get(), doc.size()));
        return libdeflate_zlib_compress(compressor.get(), doc.data(), doc.size(), out.data(),
                                        out.size());
      });
}

BENCHMARK(BM_Zlib)->Arg(1)->Arg(6)->Arg(9)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libdeflate)
    ->Arg(1)
    ->Arg(4)
    ->Arg(6)
    ->Arg(9)
    ->Arg(10)
    ->Arg(12)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vellora::bench

BENCHMARK_MAIN();

// Image encoding: a 24-bit DIB of one megapixel (a photo-like gradient with grain) drawn on
// one page, written as a Flate image and as a DCT (JPEG) image.
#include <benchmark/benchmark.h>
#include <vellora/vellora.h>

#include <algorithm>
#include <string_view>

#include "corpus_conversion.h"
#include "emf_builder.h"

namespace vellora::bench {
namespace {

constexpr int kSide = 1000;

std::vector<std::uint8_t> PicturePage() {
  vellora_test::TestDib dib = vellora_test::TestDib::Filled(kSide, kSide, 24, 0);
  std::uint32_t grain = 12345;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      grain = grain * 1103515245u + 12345u;
      const int noise = static_cast<int>((grain >> 16) & 15u) - 8;
      std::uint8_t* pixel = &dib.bits[static_cast<std::size_t>(y * kSide + x) * 3];
      pixel[0] = static_cast<std::uint8_t>(std::clamp(x / 4 + noise, 0, 255));
      pixel[1] = static_cast<std::uint8_t>(std::clamp(y / 4 + noise, 0, 255));
      pixel[2] = static_cast<std::uint8_t>(std::clamp((x + y) / 8 + noise, 0, 255));
    }
  }
  vellora_test::EmfBuilder emf;
  emf.SetBounds({0, 0, kSide - 1, kSide - 1}).SetFrame({0, 0, 26458, 26458});
  emf.StretchDIBits({0, 0, kSide, kSide}, dib);
  return emf.Bytes();
}

void ConvertPicture(benchmark::State& state, std::int32_t jpegQuality, std::string_view filter) {
  const OwnedMetafile page(PicturePage());
  ConversionSettings settings;
  settings.compression = QVPDF_COMPRESS_FLATE;
  settings.jpegQuality = jpegQuality;
  std::vector<std::uint8_t> pdf;
  for (auto _ : state) pdf = ConvertToPdf(page.Handle(), settings);
  const std::string_view text(reinterpret_cast<const char*>(pdf.data()), pdf.size());
  if (text.find(filter) == std::string_view::npos)
    state.SkipWithError("the image was not written with the expected filter");
  state.SetBytesProcessed(state.iterations() * kSide * kSide * 3);
  state.counters["output_bytes"] = static_cast<double>(pdf.size());
}

void BM_ImageFlate(benchmark::State& state) {
  ConvertPicture(state, QVPDF_JPEG_OFF, "/FlateDecode");
}
void BM_ImageDct(benchmark::State& state) { ConvertPicture(state, QVPDF_JPEG_75, "/DCTDecode"); }

BENCHMARK(BM_ImageFlate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImageDct)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vellora::bench

BENCHMARK_MAIN();

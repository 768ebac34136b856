// Every corpus file, damaged ones included, rasterises without a fault (the sanitizer build
// checks the reads), and two threads rendering at once give the pixels of one after the other.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "raster_test_support.h"
#include "test_support.h"

namespace vellora_test {
namespace {

constexpr int kResolution = 96;

TEST(RasterRobustness, EveryCorpusFileRendersAndTheSetTakesLittleTime) {
  const auto dir = CorpusDir();
  if (dir.empty()) GTEST_SKIP() << "no corpus";
  for (const char* set : {"emf", "emf-ea", "emf-corrupted"}) {
    int files = 0, refused = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const auto& path : FilesBelow(dir / set)) {
      // At most 1000 x 1000 pixels, so that a damaged header asks for no giant surface.
      const Pixels p = RenderEmf(ReadFileBytes(path), 0, 0, kResolution);
      ++files;
      refused += !p.ok;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // Reported, not asserted: the time is a measurement of the build at hand.
    std::printf("%s: %d files, %d refused as no metafile, %.2f s at %d dpi\n", set, files, refused,
                seconds, kResolution);
    EXPECT_GT(files, 0);
  }
}

TEST(RasterRobustness, TwoThreadsGiveThePixelsOfOneAfterTheOther) {
  const auto dir = CorpusDir();
  if (dir.empty()) GTEST_SKIP() << "no corpus";
  const auto files = FilesBelow(dir / "emf");
  ASSERT_GE(files.size(), 2u);
  const std::vector<unsigned char> a = ReadFileBytes(files[0]), b = ReadFileBytes(files[1]);
  const Pixels aAlone = RenderEmf(a, 300, 200, kResolution);
  const Pixels bAlone = RenderEmf(b, 300, 200, kResolution);
  Pixels aTogether, bTogether;
  for (int round = 0; round < 3; ++round) {
    std::thread first([&] { aTogether = RenderEmf(a, 300, 200, kResolution); });
    std::thread second([&] { bTogether = RenderEmf(b, 300, 200, kResolution); });
    first.join();
    second.join();
    EXPECT_EQ(aTogether.data, aAlone.data);
    EXPECT_EQ(bTogether.data, bAlone.data);
  }
}

}  // namespace
}  // namespace vellora_test

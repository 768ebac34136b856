// The rasteriser against independent readings of the same metafiles: poppler's rendering of the
// engine's own PDF of each corpus file, and poppler's text positions.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>

#include "font_test_env.h"
#include "page_render.h"
#include "raster_test_support.h"
#include "test_support.h"

namespace vellora_test {
namespace {

// Corpus files whose raster and PDF rendering differ by more than the agreement allows, and why.
const std::map<std::string, std::string> kKnownDifferences = {};

constexpr double kAgreement = 0.8;
constexpr int kResolution = 96;

TEST(RasterCorpus, InkAgreesWithPopplerOnTheEnginesPdf) {
  const auto dir = CorpusDir();
  if (dir.empty()) GTEST_SKIP() << "no corpus";
  if (!UsePrivateFontConfig()) GTEST_SKIP() << "test fonts are not installed";
  int files = 0, agreeing = 0;
  std::string others;
  for (const auto& path : FilesBelow(dir / "emf")) {
    const std::vector<unsigned char> emf = ReadFileBytes(path);
    const std::string pdf = EnginePdf(emf);
    if (pdf.empty()) continue;
    RenderOptions options;
    options.dpi = kResolution;
    options.colour = true;
    const Raster poppler = RenderPage(pdf, options);
    if (!poppler.ok) continue;
    const Pixels ours = RenderEmf(emf, poppler.width, poppler.height, kResolution);
    ++files;
    const std::string name = path.filename().string();
    const double agreement =
        InkAgreement(ours.width, ours.height, InkMask(ours.width, ours.height, ours.data),
                     InkMask(poppler.width, poppler.height, poppler.pixels));
    if (agreement >= kAgreement) {
      ++agreeing;
      continue;
    }
    DumpPng(name + "-raster", ours.width, ours.height, ours.data);
    DumpPng(name + "-poppler", poppler.width, poppler.height, poppler.pixels);
    const auto known = kKnownDifferences.find(name);
    char line[160];
    std::snprintf(line, sizeof line, "%s %.3f: ", name.c_str(), agreement);
    others += line + (known != kKnownDifferences.end() ? known->second : "not explained") + "\n";
    EXPECT_NE(known, kKnownDifferences.end()) << name << " agreement " << agreement;
  }
  ASSERT_GT(files, 0);
  std::printf("%d of %d files agree\n%s", agreeing, files, others.c_str());
  EXPECT_GE(agreeing * 10, files * 9);
}

}  // namespace
}  // namespace vellora_test

// Page thumbnails over the shared corpus: emf2pdf -t converts every file of emf/, and on most
// pages the thumbnail's ink agrees with poppler's render of the page at the thumbnail's size.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine_host.h"
#include "font_test_env.h"
#include "page_thumbnails.h"
#include "test_support.h"

namespace vellora_test {
namespace {

namespace fs = std::filesystem;

constexpr double kAgreement = 0.7;  // ink intersection over union, one-pixel widening
constexpr double kPagesAgreeing = 0.9;
// The corpus in shards, each its own test, so that a sanitised build keeps each in its time.
constexpr int kShards = 4;

class ThumbnailCorpus : public ::testing::TestWithParam<int> {};

TEST_P(ThumbnailCorpus, ThumbnailsShowWhatPopplerRendersOfThePage) {
  const fs::path corpus = CorpusDir();
  if (corpus.empty()) GTEST_SKIP() << "no corpus";
  if (!UsePrivateFontConfig()) GTEST_SKIP() << "test fonts are not installed";
  if (!HaveTool("pdftoppm") || !HaveTool("qpdf")) GTEST_SKIP() << "pdftoppm or qpdf missing";
  std::vector<fs::path> files;
  int index = 0;
  for (const fs::path& f : FilesBelow(corpus / "emf"))
    if (index++ % kShards == GetParam() && fs::file_size(f) > 0) files.push_back(f);
  const fs::path out = TempFolder("thumbnails-" + std::to_string(GetParam()));
  std::vector<std::string> args = {"-t", "-d", out.string()};
  for (const fs::path& f : files) args.push_back(f.string());
  RunEmf2Pdf(args);
  int pages = 0, agreeing = 0;
  for (const fs::path& f : files) {
    const fs::path file = out / (f.stem().string() + ".pdf");
    if (!fs::exists(file)) continue;
    const std::string pdf = ReadFile(file);
    const std::vector<Thumbnail> thumbnails = PageThumbnails(pdf);
    for (std::size_t page = 0; page < thumbnails.size(); ++page) {
      ++pages;
      EXPECT_TRUE(thumbnails[page].found) << f.filename() << " page " << page + 1;
      const double agreement =
          thumbnails[page].found
              ? ThumbnailAgreement(pdf, static_cast<int>(page) + 1, thumbnails[page])
              : 0;
      if (agreement >= kAgreement) {
        ++agreeing;
      } else {
        std::printf("  %s page %zu: %.3f\n", f.filename().c_str(), page + 1, agreement);
      }
    }
  }
  fs::remove_all(out);
  ASSERT_GT(pages, 0);
  const double share = static_cast<double>(agreeing) / pages;
  std::printf("  %d of %d pages agree at %.2f or better (%.1f %%)\n", agreeing, pages, kAgreement,
              100 * share);
  EXPECT_GE(share, kPagesAgreeing);
}

INSTANTIATE_TEST_SUITE_P(Shards, ThumbnailCorpus, ::testing::Range(0, kShards));

}  // namespace
}  // namespace vellora_test

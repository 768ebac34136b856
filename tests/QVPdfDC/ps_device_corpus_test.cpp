// Every metafile of the shared corpus played through the page-content device: the content
// stays balanced and well formed, damaged files included.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "content_checker.h"
#include "ps_test_device.h"
#include "test_support.h"

namespace vellora {
namespace {

using vellora_test::CheckContent;
using vellora_test::TestPSDevice;

// Plays one file on a fresh page; returns the content, or "" when the file is not a metafile.
std::string PlayOnPage(const std::vector<unsigned char>& bytes, std::uint32_t modes) {
  TestPSDevice d;
  d.modes = TQVDevModes(modes);
  d.dcStack.pageOrigin.y = 842;
  d.Open();
  try {
    d.PlayMetafile(bytes.data(), bytes.size(), 0, 0, 0, 0, false, 0, 0);
  } catch (const std::runtime_error&) {
    // "This is not an enhanced metafile": the page stays as it was.
  }
  return d.Close();
}

TEST(PSDeviceCorpus, EveryMetafilePlaysToBalancedContent) {
  const auto corpus = vellora_test::CorpusDir();
  if (corpus.empty()) GTEST_SKIP() << "corpus absent";
  std::uint32_t clipModes = 0;
  clipModes |= 1u << qvClipRectSupport;
  int files = 0;
  for (const char* folder : {"emf", "emf-corrupted", "emf-ea"}) {
    for (const auto& path : vellora_test::FilesBelow(corpus / folder)) {
      const auto bytes = vellora_test::ReadFileBytes(path);
      for (const std::uint32_t modes : {0u, clipModes}) {
        const std::string content = PlayOnPage(bytes, modes);
        const auto report = CheckContent(content);
        EXPECT_TRUE(report.errors.empty())
            << path.filename() << " modes " << modes << ": " << report.Summary();
        EXPECT_GE(report.saves, 1);
      }
      ++files;
    }
  }
  EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace vellora

// Real metafiles: every sound one loads as an enhanced metafile with its bytes unchanged; every
// damaged one either loads (its records are the player's business) or is refused with a reason.
#include <gtest/gtest.h>

#include "qvplatform/metafile.h"
#include "test_support.h"

namespace qvplatform {
namespace {

using vellora_test::CorpusDir;
using vellora_test::FilesBelow;
using vellora_test::ReadFileBytes;

TEST(MetafileCorpus, FilesLoadOrAreRefusedWithAReason) {
  const std::filesystem::path corpus = CorpusDir();
  if (corpus.empty()) GTEST_SKIP() << "no corpus";
  int loaded = 0;
  for (const char* folder : {"emf", "emf-ea", "emf-corrupted"}) {
    const bool damaged = std::string(folder) == "emf-corrupted";
    for (const std::filesystem::path& path : FilesBelow(corpus / folder)) {
      SCOPED_TRACE(path.string());
      const std::vector<unsigned char> bytes = ReadFileBytes(path);
      const MetafileLoadResult r = LoadMetafileFile(path.c_str());
      if (bytes.empty()) {
        EXPECT_EQ(r.status, MetafileStatus::kEmpty);
        continue;
      }
      if (r.status != MetafileStatus::kOk) {
        EXPECT_TRUE(damaged) << MetafileStatusText(r.status);
        EXPECT_STRNE(MetafileStatusText(r.status), "");
        continue;
      }
      ++loaded;
      ASSERT_EQ(r.kind, HandleKind::kEnhMetaFile);
      std::vector<BYTE> bits(GetEnhMetaFileBits(r.handle, 0, nullptr));
      GetEnhMetaFileBits(r.handle, static_cast<UINT>(bits.size()), bits.data());
      EXPECT_EQ(bits, bytes);
      EXPECT_TRUE(DeleteEnhMetaFile(r.handle));
    }
  }
  EXPECT_GT(loaded, 0);
}

}  // namespace
}  // namespace qvplatform

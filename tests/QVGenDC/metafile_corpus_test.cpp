// Every metafile of the shared corpus played into the recording device (which reads every array
// it is handed): each plays to the end, stops with the metafile error set, or is refused as not
// an enhanced metafile; nothing else escapes, and under the sanitizers nothing reads outside.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "QVGenDC/device_modes.h"
#include "QVGenDC/metafile_player.h"
#include "recording_device.h"
#include "test_support.h"

namespace vellora_test {
namespace {

struct Outcome {
  int played = 0, damaged = 0, refused = 0;
};

// The corpus folder: CorpusDir(), or the folder this test target was configured with.
std::filesystem::path Folder(const char* name) {
  std::filesystem::path root = CorpusDir();
#ifdef VELLORA_CORPUS_DIR
  if (root.empty()) root = VELLORA_CORPUS_DIR;
#endif
  std::error_code ec;
  const std::filesystem::path dir = root / name;
  return !root.empty() && std::filesystem::is_directory(dir, ec) ? dir : std::filesystem::path();
}

void PlayFolder(const std::filesystem::path& dir, Outcome& outcome,
                std::vector<std::string>& damagedFiles) {
  for (const auto& path : FilesBelow(dir)) {
    const std::vector<unsigned char> bytes = ReadFileBytes(path);
    const unsigned char none = 0;
    const unsigned char* data = bytes.empty() ? &none : bytes.data();
    // Once at the picture's own size, once into a target with clip rectangles played.
    for (const bool clipped : {false, true}) {
      RecordingDevice device;
      device.keepLog = false;
      if (clipped) device.modes.Include(vellora::qvClipRectSupport);
      try {
        device.PlayMetafile(data, bytes.size(), clipped ? 30 : 0, clipped ? 40 : 0,
                            clipped ? 500 : 0, clipped ? 700 : 0, false, 0, 0);
        if (device.metafileError) {
          ++outcome.damaged;
          if (!clipped) damagedFiles.push_back(path.filename().string());
        } else {
          ++outcome.played;
        }
      } catch (const vellora::EQVMetafileError& e) {
        EXPECT_STREQ(e.what(), "This is not an enhanced metafile") << path;
        ++outcome.refused;
      } catch (const std::exception& e) {
        ADD_FAILURE() << path << ": " << e.what();
      }
    }
  }
}

TEST(MetafileCorpus, IntactFilesPlayToTheEnd) {
  Outcome outcome;
  std::vector<std::string> damaged;
  const auto dir = Folder("emf");
  if (dir.empty()) GTEST_SKIP() << "no corpus";
  PlayFolder(dir, outcome, damaged);
  for (const std::string& name : damaged) std::cout << "damaged: " << name << "\n";
  std::cout << "played " << outcome.played << ", damaged " << outcome.damaged << ", refused "
            << outcome.refused << "\n";
  EXPECT_GT(outcome.played, 0);
}

TEST(MetafileCorpus, DamagedFilesStopOrAreRefused) {
  Outcome outcome;
  std::vector<std::string> damaged;
  const auto dir = Folder("emf-corrupted");
  if (dir.empty()) GTEST_SKIP() << "no corpus";
  PlayFolder(dir, outcome, damaged);
  std::cout << "played " << outcome.played << ", damaged " << outcome.damaged << ", refused "
            << outcome.refused << "\n";
}

TEST(MetafileCorpus, FilesWithEmfPlusCommentsPlay) {
  Outcome outcome;
  std::vector<std::string> damaged;
  const auto dir = Folder("emf-ea");
  if (dir.empty()) GTEST_SKIP() << "no corpus";
  PlayFolder(dir, outcome, damaged);
  for (const std::string& name : damaged) std::cout << "damaged: " << name << "\n";
  EXPECT_GT(outcome.played, 0);
}

}  // namespace
}  // namespace vellora_test

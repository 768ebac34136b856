#include "test_support.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace vellora_test {

std::filesystem::path CorpusDir() {
  std::filesystem::path dir;
  if (const char* env = std::getenv("VELLORA_CORPUS_DIR"); env && *env) {
    dir = env;
  } else {
#ifdef VELLORA_CORPUS_DIR
    dir = VELLORA_CORPUS_DIR;
#endif
  }
  std::error_code ec;
  if (dir.empty() || !std::filesystem::is_directory(dir, ec)) return {};
  return dir;
}

std::vector<std::filesystem::path> FilesBelow(const std::filesystem::path& dir) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  if (dir.empty() || !std::filesystem::is_directory(dir, ec)) return files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir, ec)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<unsigned char> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

std::filesystem::path SourceDir() {
  if (const char* env = std::getenv("VELLORA_SOURCE_DIR"); env && *env) return env;
#ifdef VELLORA_SOURCE_DIR
  return VELLORA_SOURCE_DIR;
#else
  return {};
#endif
}

}  // namespace vellora_test

#include "temp_files.h"

#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <mutex>

namespace vellora_test {

namespace {

std::string Pattern(std::string_view stem) {
  return (std::filesystem::temp_directory_path() / (std::string(stem) + "-XXXXXX")).string();
}

}  // namespace

TempFile::TempFile(std::string_view bytes, std::string_view suffix) {
  std::string name = Pattern("vellora-file") + std::string(suffix);
  const int fd = ::mkstemps(name.data(), static_cast<int>(suffix.size()));
  if (fd < 0) return;
  ::close(fd);
  path_ = name;
  WriteFile(path_, bytes);
}

TempFile::~TempFile() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove(path_, ignored);
}

TempDir::TempDir(std::string_view stem) {
  std::string name = Pattern(stem);
  if (::mkdtemp(name.data()) != nullptr) path_ = name;
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path ScratchDir() {
  static std::mutex mutex;
  static const TempDir root("vellora-scratch");
  static int next = 0;
  const std::lock_guard lock(mutex);
  std::filesystem::path dir = root.File("t" + std::to_string(next++));
  std::filesystem::create_directories(dir);
  return dir;
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace vellora_test

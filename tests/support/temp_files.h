// Temporary files and folders of the tests, removed with the objects that made them, and
// whole-file reading and writing.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vellora_test {

// A file of the given bytes below the system's temporary folder, with a fresh name that ends
// in suffix.
class TempFile {
 public:
  explicit TempFile(std::string_view bytes, std::string_view suffix = ".pdf");
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A fresh empty folder below the system's temporary folder, named after stem, removed with
// everything in it.
class TempDir {
 public:
  explicit TempDir(std::string_view stem = "vellora-test");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  // A path inside the folder.
  std::filesystem::path File(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// A fresh folder for one test's files, inside a folder of the process removed at its exit.
std::filesystem::path ScratchDir();

void WriteFile(const std::filesystem::path& path, std::string_view bytes);
std::string ReadFile(const std::filesystem::path& path);

}  // namespace vellora_test

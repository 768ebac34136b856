// Helpers shared by the test suites.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vellora_test {

// The shared corpus folder, or an empty path when it is absent (tests then skip).
std::filesystem::path CorpusDir();

// Every regular file below dir, sorted by path.
std::vector<std::filesystem::path> FilesBelow(const std::filesystem::path& dir);

std::vector<unsigned char> ReadFileBytes(const std::filesystem::path& path);

// The project's source folder (for fixtures kept in the tree, such as past fuzz findings).
std::filesystem::path SourceDir();

}  // namespace vellora_test

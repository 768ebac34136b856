// A plain main for a libFuzzer target built without a fuzzing engine: replays every file named
// on the command line and every file below every folder named there (hidden files excepted),
// so the test suite can run seeds and past findings under any compiler. Paths that do not exist
// are reported and skipped.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

namespace fs = std::filesystem;

bool Hidden(const fs::path& path) {
  const std::string name = path.filename().string();
  return !name.empty() && name[0] == '.';
}

void Collect(const fs::path& path, std::vector<fs::path>& files) {
  std::error_code ec;
  if (fs::is_regular_file(path, ec)) {
    files.push_back(path);
    return;
  }
  if (!fs::is_directory(path, ec)) {
    std::fprintf(stderr, "skipping %s: not found\n", path.c_str());
    return;
  }
  for (auto it = fs::recursive_directory_iterator(path, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    if (it->is_regular_file(ec) && !Hidden(it->path())) files.push_back(it->path());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) Collect(argv[i], files);
  std::sort(files.begin(), files.end());
  std::size_t replayed = 0;
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", file.c_str());
      return 1;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    // A fuzzing engine hands over a valid pointer even for empty input.
    static const std::uint8_t kEmpty = 0;
    LLVMFuzzerTestOneInput(bytes.empty() ? &kEmpty : bytes.data(), bytes.size());
    ++replayed;
  }
  std::printf("%s: replayed %zu files\n", argc > 0 ? argv[0] : "fuzz target", replayed);
  return 0;
}

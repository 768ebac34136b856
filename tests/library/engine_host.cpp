#include "engine_host.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "emf_builder.h"

namespace vellora_test {
namespace {

std::filesystem::path OwnFolder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

template <class Proc>
bool Bind(void* library, const char* name, Proc& proc) {
  proc = reinterpret_cast<Proc>(dlsym(library, name));
  return proc != nullptr;
}

struct LoadedEngine {
  EngineEntries entries;
  std::string error;
};

LoadedEngine Load() {
  LoadedEngine loaded;
  const std::string path = EngineLibraryPath().string();
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    loaded.error = dlerror();
    return loaded;
  }
  EngineEntries& e = loaded.entries;
  const bool all =
      Bind(library, QVPDF_SYMBOL_INITIALIZE, e.Initialize) &&
      Bind(library, QVPDF_SYMBOL_FINALIZE, e.Finalize) &&
      Bind(library, QVPDF_SYMBOL_SETSPROP, e.SetSProp) &&
      Bind(library, QVPDF_SYMBOL_SETIPROP, e.SetIProp) && Bind(library, QVPDF_SYMBOL_DO, e.Do) &&
      Bind(library, QVPDF_SYMBOL_INITIALIZEPAGE, e.InitializePage) &&
      Bind(library, QVPDF_SYMBOL_QVKEXEC, e.QVKExec) && Bind(library, QVPDF_SYMBOL_XPOS, e.XPos) &&
      Bind(library, QVPDF_SYMBOL_YPOS, e.YPos);
  if (!all) loaded.error = "an entry point is missing";
  return loaded;
}

std::string Run(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return "cannot run " + command;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  const int status = pclose(pipe);
  if (status != 0) out += "\n(exit status " + std::to_string(status) + ")";
  return out;
}

}  // namespace

std::filesystem::path EngineLibraryPath() { return OwnFolder() / ".." / "lib" / "libvellora.so"; }

const EngineEntries* Engine() {
  static const LoadedEngine loaded = Load();
  EXPECT_EQ(loaded.error, "") << EngineLibraryPath();
  return loaded.error.empty() ? &loaded.entries : nullptr;
}

EngineContext::EngineContext(TQVPDFEngineCallback callback, void* userData)
    : context_(Engine()->Initialize(QVPDF_INTERFACE_VERSION, callback, userData)) {}

EngineContext::~EngineContext() { Engine()->Finalize(context_); }

TQVPDFPageInit PageRecord(std::int32_t width, std::int32_t height, std::int32_t resolution) {
  TQVPDFPageInit page{};
  page.Width = width;
  page.Height = height;
  page.XResolution = page.YResolution = resolution;
  page.PageColor = QVPDF_COLOR_NONE;
  return page;
}

std::string DocumentBytes(TQVPDFEngineContext* context) {
  const std::int32_t size = Engine()->Do(context, QVPDF_CMD_COPY_TO_BUFFER, 0, nullptr);
  if (size <= 0) return {};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  const std::int32_t copied = Engine()->Do(context, QVPDF_CMD_COPY_TO_BUFFER, size, bytes.data());
  bytes.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return bytes;
}

std::vector<unsigned char> HalfBlackPicture(int width, int height) {
  EmfBuilder b;
  b.SetBounds({0, 0, width - 1, height - 1});
  b.SetFrame({0, 0, width * 2540 / 72, height * 2540 / 72});
  b.SetDevice({720, 720});
  b.SetMillimeters({254, 254});
  b.SetHandles(3);
  b.CreateBrush(1, 0 /* BS_SOLID */, 0x000000);
  b.SelectObject(1);
  b.CreatePen(2, 5 /* PS_NULL */, 0, 0);
  b.SelectObject(2);
  b.Rectangle({0, 0, width / 2, height});
  b.Eof();
  return b.Bytes();
}

std::string QpdfProblems(const std::string& pdf) {
  const std::filesystem::path file = TempFolder("qpdf") / "check.pdf";
  std::ofstream(file, std::ios::binary) << pdf;
  const std::string out = Run("qpdf --check '" + file.string() + "' 2>&1");
  std::filesystem::remove_all(file.parent_path());
  if (out.find("No syntax or stream encoding errors found") != std::string::npos &&
      out.find("WARNING") == std::string::npos && out.find("exit status") == std::string::npos)
    return {};
  return out;
}

double DarkShare(const std::string& pdf, int x0, int y0, int x1, int y1) {
  const std::filesystem::path folder = TempFolder("render");
  std::ofstream(folder / "page.pdf", std::ios::binary) << pdf;
  Run("pdftoppm -gray -r 72 -f 1 -l 1 -singlefile '" + (folder / "page.pdf").string() + "' '" +
      (folder / "page").string() + "' 2>&1");
  std::ifstream in(folder / "page.pgm", std::ios::binary);
  std::string magic;
  int width = 0, height = 0, maximum = 0;
  in >> magic >> width >> height >> maximum;
  in.get();
  std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height);
  in.read(reinterpret_cast<char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
  std::filesystem::remove_all(folder);
  if (magic != "P5" || !in || x1 > width || y1 > height || x0 >= x1 || y0 >= y1) return -1;
  int dark = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) dark += pixels[static_cast<std::size_t>(y) * width + x] < 128;
  return static_cast<double>(dark) / ((x1 - x0) * (y1 - y0));
}

std::filesystem::path TempFolder(const std::string& name) {
  static std::atomic<int> counter{0};
  std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("vellora-" + name + "-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace vellora_test

#include "engine_host.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>

#include "emf_builder.h"
#include "page_render.h"

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
  EmfBuilder b = PointPicture(width, height);
  b.SetHandles(3);
  b.CreateBrush(1, 0 /* BS_SOLID */, 0x000000);
  b.SelectObject(1);
  b.CreatePen(2, 5 /* PS_NULL */, 0, 0);
  b.SelectObject(2);
  b.Rectangle({0, 0, width / 2, height});
  b.Eof();
  return b.Bytes();
}

double DarkShare(const std::string& pdf, int x0, int y0, int x1, int y1) {
  const Raster page = RenderPage(pdf);
  if (!page.ok || x1 > page.width || y1 > page.height || x0 >= x1 || y0 >= y1) return -1;
  return page.DarkShare(x0, y0, x1, y1);
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

ToolResult RunEmf2Pdf(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {
      (EngineLibraryPath().parent_path() / ".." / "bin" / "emf2pdf").string()};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunTool(argv);
}

}  // namespace vellora_test

// A test host of libvellora.so: loads the built library with dlopen, as any host does, and
// reaches it only through the nine entry points of the public header. Metafile handles come
// from the platform library, which the host links.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "pdf_tools.h"
#include "temp_files.h"
#include "tool_run.h"
#include "vellora/vellora.h"

namespace vellora_test {

struct EngineEntries {
  TQVPDFInitializeProc Initialize = nullptr;
  TQVPDFFinalizeProc Finalize = nullptr;
  TQVPDFSetSPropProc SetSProp = nullptr;
  TQVPDFSetIPropProc SetIProp = nullptr;
  TQVPDFDoProc Do = nullptr;
  TQVPDFInitializePageProc InitializePage = nullptr;
  TQVPDFQVKExecProc QVKExec = nullptr;
  TQVPDFPosProc XPos = nullptr;
  TQVPDFPosProc YPos = nullptr;
};

// The library beside the test binary: ../lib/libvellora.so.
std::filesystem::path EngineLibraryPath();

// The entry points of the library, loaded once for the process; fails the calling test (and
// gives null) when the library or one of its symbols is missing.
const EngineEntries* Engine();

// A context that is finalized at the end of the scope.
class EngineContext {
 public:
  explicit EngineContext(TQVPDFEngineCallback callback = nullptr, void* userData = nullptr);
  ~EngineContext();
  EngineContext(const EngineContext&) = delete;
  EngineContext& operator=(const EngineContext&) = delete;
  TQVPDFEngineContext* get() const { return context_; }
  operator TQVPDFEngineContext*() const { return context_; }

 private:
  TQVPDFEngineContext* context_;
};

// A page record at 72 dpi of the given size in points, without a page colour.
TQVPDFPageInit PageRecord(std::int32_t width, std::int32_t height, std::int32_t resolution = 72);

// The finished document through 5562: its size, then its bytes.
std::string DocumentBytes(TQVPDFEngineContext* context);

// A black filled rectangle of the given size in pixels on a 72 dpi reference device, covering
// the left half of the picture.
std::vector<unsigned char> HalfBlackPicture(int width, int height);

// The share of dark pixels of page 1 in [x0, x1) x [y0, y1), rendered in grey at 72 dpi;
// negative when it cannot be rendered.
double DarkShare(const std::string& pdf, int x0, int y0, int x1, int y1);

// The example host emf2pdf beside the library, run with the arguments.
ToolResult RunEmf2Pdf(const std::vector<std::string>& args);

// A fresh empty folder below the system's temporary folder.
std::filesystem::path TempFolder(const std::string& name);

}  // namespace vellora_test

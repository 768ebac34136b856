#include "brenlow/engine_library.h"

#include <mutex>
#include <stdexcept>

#include "qvplatform/dynamic_library.h"
#include "qvplatform/registry.h"

namespace brenlow {

namespace {

struct ProcessLibrary {
  std::mutex load;
  std::recursive_mutex canvas;
  std::string name = QVPDF_LIBRARY_NAME;
  qvplatform::HMODULE handle = nullptr;
  int references = 0;
  TQVPDFEntryPoints entries;
  TQVFileCreatedEvent onFileCreated;
};

// Never destroyed: a library that components still hold stays loaded at exit, and components
// that outlive static destruction still find their lock.
ProcessLibrary& Process() {
  static ProcessLibrary* process = new ProcessLibrary;
  return *process;
}

template <class T>
T Bind(qvplatform::HMODULE handle, const char* name) {
  return reinterpret_cast<T>(qvplatform::GetProcAddress(handle, name));
}

TQVPDFEntryPoints BindEntryPoints(qvplatform::HMODULE handle) {
  TQVPDFEntryPoints e;
  e.Initialize = Bind<TQVPDFInitializeProc>(handle, QVPDF_SYMBOL_INITIALIZE);
  e.Finalize = Bind<TQVPDFFinalizeProc>(handle, QVPDF_SYMBOL_FINALIZE);
  e.ProcessPDF = qvplatform::GetProcAddress(handle, "QVPDF_ProcessPDF");
  e.SetSProp = Bind<TQVPDFSetSPropProc>(handle, QVPDF_SYMBOL_SETSPROP);
  e.SetIProp = Bind<TQVPDFSetIPropProc>(handle, QVPDF_SYMBOL_SETIPROP);
  e.Do = Bind<TQVPDFDoProc>(handle, QVPDF_SYMBOL_DO);
  e.InitializePage = Bind<TQVPDFInitializePageProc>(handle, QVPDF_SYMBOL_INITIALIZEPAGE);
  e.QVKExec = Bind<TQVPDFQVKExecProc>(handle, QVPDF_SYMBOL_QVKEXEC);
  return e;
}

std::string Message(const char* what, const std::string& name) {
  return "DLL \"" + name + "\" " + what + ". PDF Export is not possible.";
}

bool StartsWithNoCase(const std::string& s, const char* prefix) {
  for (std::size_t i = 0; prefix[i] != '\0'; ++i) {
    if (i >= s.size()) return false;
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

bool TQVPDFEntryPoints::Complete() const {
  return Initialize && Finalize && SetSProp && SetIProp && Do && InitializePage && QVKExec;
}

std::string EngineLibraryName() {
  std::lock_guard<std::mutex> lock(Process().load);
  return Process().name;
}

std::string ResolveEngineLibraryPath(const std::string& name) {
  qvplatform::RegistryRoot root;
  if (StartsWithNoCase(name, "{hkcu}")) {
    root = qvplatform::RegistryRoot::kCurrentUser;
  } else if (StartsWithNoCase(name, "{hklm}")) {
    root = qvplatform::RegistryRoot::kLocalMachine;
  } else {
    return name;
  }
  const std::string rest = name.substr(6);
  const std::size_t slash = rest.rfind('\\');
  // Without a backslash the whole rest names a value of the root key.
  const std::string key = slash == std::string::npos ? std::string() : rest.substr(0, slash);
  const std::string value =
      (slash == std::string::npos ? rest : rest.substr(slash + 1)).substr(0, 255);
  std::string path;
  qvplatform::RegistryReadString(root, key, value, &path);
  return path;
}

TQVPDFEntryPoints AcquireEngineLibrary(const std::string& name) {
  ProcessLibrary& p = Process();
  std::lock_guard<std::mutex> lock(p.load);
  if (p.handle != nullptr) {
    // Bound when it was loaded; rebinding would race with components calling through it.
    ++p.references;
    return p.entries;
  }
  const std::string path = ResolveEngineLibraryPath(name);
  qvplatform::HMODULE handle = qvplatform::LoadLibrary(path.c_str());
  if (handle == nullptr) throw std::runtime_error(Message("was not found", path));
  const TQVPDFEntryPoints entries = BindEntryPoints(handle);
  if (!entries.Complete()) {
    qvplatform::FreeLibrary(handle);
    throw std::runtime_error(Message("is not compatible", path));
  }
  p.handle = handle;
  p.entries = entries;
  p.references = 1;
  return entries;
}

void ReleaseEngineLibrary() {
  ProcessLibrary& p = Process();
  std::lock_guard<std::mutex> lock(p.load);
  if (p.handle == nullptr || p.references <= 0) return;
  if (--p.references > 0) return;
  qvplatform::FreeLibrary(p.handle);
  p.handle = nullptr;
  p.entries = {};
}

int EngineLibraryReferenceCount() {
  std::lock_guard<std::mutex> lock(Process().load);
  return Process().references;
}

void LockCanvasLock() { Process().canvas.lock(); }
void UnlockCanvasLock() { Process().canvas.unlock(); }

void SetGlobalOnFileCreated(TQVFileCreatedEvent handler) {
  std::lock_guard<std::mutex> lock(Process().load);
  Process().onFileCreated = std::move(handler);
}

TQVFileCreatedEvent GlobalOnFileCreated() {
  std::lock_guard<std::mutex> lock(Process().load);
  return Process().onFileCreated;
}

namespace detail {
void SetEngineLibraryName(const std::string& name) {
  std::lock_guard<std::mutex> lock(Process().load);
  Process().name = name;
}
}  // namespace detail

}  // namespace brenlow

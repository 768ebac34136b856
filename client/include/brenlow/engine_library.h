// The engine library as the whole process holds it: its name (or registry reference), the one
// loaded copy with its reference count, and its entry points. One lock guards loading, binding,
// unloading, the count and the name; the entry points are bound once per load and stay fixed
// while any component holds the library, so components call through their own copy without
// a lock. A second, recursive lock is the canvas lock of the components.
#pragma once

#include <functional>
#include <string>

#include "vellora/vellora.h"

namespace brenlow {

class TQVCustomPDFExport;

// The engine's entries; ProcessPDF is optional and only its presence matters.
struct TQVPDFEntryPoints {
  TQVPDFInitializeProc Initialize = nullptr;
  TQVPDFFinalizeProc Finalize = nullptr;
  void* ProcessPDF = nullptr;
  TQVPDFSetSPropProc SetSProp = nullptr;
  TQVPDFSetIPropProc SetIProp = nullptr;
  TQVPDFDoProc Do = nullptr;
  TQVPDFInitializePageProc InitializePage = nullptr;
  TQVPDFQVKExecProc QVKExec = nullptr;
  // All seven required entries are bound.
  bool Complete() const;
};

// The name the next load resolves; QVPDF_LIBRARY_NAME at start-up.
std::string EngineLibraryName();
// The path a name stands for: "{hkcu}" or "{hklm}" (any case) and a key path, a backslash and
// a value name read that value from the registry ("" when it is missing); any other name is
// the path itself.
std::string ResolveEngineLibraryPath(const std::string& name);

// Loads the library (or shares the loaded one) and adds a reference; raises 'DLL "..." was not
// found. ...' or '... is not compatible. ...' and then holds nothing.
TQVPDFEntryPoints AcquireEngineLibrary(const std::string& name);
// Drops a reference; the library is freed when the count reaches 0.
void ReleaseEngineLibrary();
int EngineLibraryReferenceCount();

// The canvas lock (recursive).
void LockCanvasLock();
void UnlockCanvasLock();

// Called by EndDoc before the shell is asked to open a written file; it may clear autoLaunch.
using TQVFileCreatedEvent =
    std::function<void(TQVCustomPDFExport& sender, const std::string& fileName, bool& autoLaunch)>;
void SetGlobalOnFileCreated(TQVFileCreatedEvent handler);
TQVFileCreatedEvent GlobalOnFileCreated();

namespace detail {
// Sets the name under the load lock (SetDLLName's last step).
void SetEngineLibraryName(const std::string& name);
}  // namespace detail

}  // namespace brenlow

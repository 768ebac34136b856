// Loading shared libraries at run time, as a host loads the engine: LoadLibrary, GetProcAddress
// and FreeLibrary over dlopen, dlsym and dlclose. A library is loaded with every symbol bound at
// once and kept local, so two engines loaded side by side never see each other's names.
#pragma once

#include <string>

#include "qvplatform/wintypes.h"

namespace qvplatform {

using HMODULE = void*;

// The library at path (a file name is searched by the loader's rules); null when it cannot be
// loaded. An empty or null name fails: the loader would give the program itself.
HMODULE LoadLibrary(const char* path);

// The address of an exported symbol; null for a null module, a null name or a missing symbol.
void* GetProcAddress(HMODULE module, const char* name);

// Drops one load of the library; false for a null module or a failed close.
bool FreeLibrary(HMODULE module);

// The loader's reason for the last failed call of this thread ("" when there is none).
std::string LastLibraryError();

}  // namespace qvplatform

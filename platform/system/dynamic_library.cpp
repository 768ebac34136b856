#include "qvplatform/dynamic_library.h"

#include <dlfcn.h>

namespace qvplatform {

namespace {
thread_local std::string t_lastError;

void Remember(const char* reason) { t_lastError = reason != nullptr ? reason : ""; }
}  // namespace

HMODULE LoadLibrary(const char* path) {
  if (path == nullptr || *path == '\0') {
    Remember("empty library name");
    return nullptr;
  }
  void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  Remember(module == nullptr ? dlerror() : nullptr);
  return module;
}

void* GetProcAddress(HMODULE module, const char* name) {
  if (module == nullptr || name == nullptr) return nullptr;
  dlerror();
  void* symbol = dlsym(module, name);
  Remember(symbol == nullptr ? dlerror() : nullptr);
  return symbol;
}

bool FreeLibrary(HMODULE module) {
  if (module == nullptr) return false;
  const bool closed = dlclose(module) == 0;
  Remember(closed ? nullptr : dlerror());
  return closed;
}

std::string LastLibraryError() { return t_lastError; }

}  // namespace qvplatform

#include <windows.h>

#include "base/Library.h"

namespace base {

void FreeLibraryHandle(void* module) {
  FreeLibrary(static_cast<HMODULE>(module));
}

Library Library::Load(const std::u16string& fullPath) {
  Library lib;
  // The library's own folder and the system's for its dependencies, never the current directory
  // (the skin folder, which people edit by hand).
  lib.module_.reset(
      LoadLibraryExW(reinterpret_cast<LPCWSTR>(fullPath.c_str()), nullptr,
                     LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS));
  return lib;
}

void* Library::Symbol(const char* name) const {
  if (!module_) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module_.get()), name));
}

}  // namespace base

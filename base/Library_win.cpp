#include <windows.h>

#include <vector>

#include "base/Library.h"

namespace base {

void FreeLibraryHandle(void* module) {
  FreeLibrary(static_cast<HMODULE>(module));
}

Library Library::Load(const std::u16string& fullPath) {
  Library lib;
  lib.module_.reset(LoadLibraryW(reinterpret_cast<LPCWSTR>(fullPath.c_str())));
  return lib;
}

void* Library::Symbol(const char* name) const {
  if (!module_) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module_.get()), name));
}

std::u16string ExecutableFolder() {
  // Paths may exceed MAX_PATH; grow until the name fits.
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) {
      std::u16string path(reinterpret_cast<const char16_t*>(buf.data()), n);
      return path.substr(0, path.find_last_of(u"\\/") + 1);
    }
    buf.resize(buf.size() * 2);
  }
}

}  // namespace base

#include <windows.h>

#include <cstdio>
#include <vector>

#include "outside/devicemanager/ModuleFiles.h"

namespace devicemanager {

std::u16string ModuleFolder() {
  // The module that holds this very function: the library, wherever it was loaded from.
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&ModuleFolder), &self))
    return {};
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(self, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) {
      std::u16string path(reinterpret_cast<const char16_t*>(buf.data()), n);
      return path.substr(0, path.find_last_of(u"\\/") + 1);
    }
    buf.resize(buf.size() * 2);
  }
}

bool IsAbsolutePath(const std::u16string& path) {
  return (path.size() >= 2 && path[1] == u':') ||
         (!path.empty() && (path[0] == u'\\' || path[0] == u'/'));
}

std::FILE* OpenForAppend(const std::u16string& path) {
  return _wfopen(reinterpret_cast<const wchar_t*>(path.c_str()), L"a");
}

}  // namespace devicemanager

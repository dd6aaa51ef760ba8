#pragma once
// For test modules: a file in the folder of the module (DLL) that includes this, wherever the
// launcher loaded it from.
#include <windows.h>

#include <string>

namespace {

std::wstring BesideThisModule(const wchar_t* name) {
  HMODULE self = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&BesideThisModule), &self);
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
  const std::wstring file(path, n);
  return file.substr(0, file.find_last_of(L'\\') + 1) + name;
}

}  // namespace

#pragma once
// A loaded shared library, owned: LoadLibraryW/FreeLibrary on Windows, dlopen/dlclose elsewhere,
// so the code that binds outside libraries by export name runs natively against real libraries.
#include <string>

#include "base/UniqueHandle.h"

namespace base {

void FreeLibraryHandle(void* module);  // per platform

class Library {
 public:
  Library() = default;
  // Loads by full path; an absent or unloadable file gives an empty Library, never an error.
  static Library Load(const std::u16string& fullPath);

  explicit operator bool() const { return static_cast<bool>(module_); }
  // The export's address, looked up by its plain (ANSI) name; null when absent or not loaded.
  void* Symbol(const char* name) const;
  void Free() { module_.reset(); }

  template <typename Fn>
  Fn Function(const char* name) const {
    return reinterpret_cast<Fn>(Symbol(name));
  }

 private:
  unique_handle<void*, void (*)(void*), &FreeLibraryHandle> module_;
};

}  // namespace base

#include <dlfcn.h>

#include "base/Library.h"
#include "base/Utf.h"

namespace base {

void FreeLibraryHandle(void* module) {
  dlclose(module);
}

Library Library::Load(const std::u16string& fullPath) {
  Library lib;
  lib.module_.reset(dlopen(Utf16ToUtf8(fullPath).c_str(), RTLD_NOW | RTLD_LOCAL));
  return lib;
}

void* Library::Symbol(const char* name) const {
  return module_ ? dlsym(module_.get(), name) : nullptr;
}

}  // namespace base

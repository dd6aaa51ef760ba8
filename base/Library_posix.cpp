#include <dlfcn.h>
#include <unistd.h>

#include <climits>

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

std::u16string ExecutableFolder() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf);
  if (n <= 0) return u"./";
  std::string path(buf, static_cast<size_t>(n));
  return Utf8ToUtf16(path.substr(0, path.rfind('/') + 1));
}

}  // namespace base

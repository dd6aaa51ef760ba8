#include <dlfcn.h>

#include "base/Utf.h"
#include "outside/devicemanager/ModuleFiles.h"

namespace devicemanager {

std::u16string ModuleFolder() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&ModuleFolder), &info) || !info.dli_fname) return u"./";
  const std::string path = info.dli_fname;
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? u"./" : base::Utf8ToUtf16(path.substr(0, slash + 1));
}

bool IsAbsolutePath(const std::u16string& path) {
  return !path.empty() && path[0] == u'/';
}

std::FILE* OpenForAppend(const std::u16string& path) {
  return std::fopen(base::Utf16ToUtf8(path).c_str(), "a");
}

}  // namespace devicemanager

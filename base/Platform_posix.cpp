#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "base/Platform.h"
#include "base/Utf.h"

namespace base {

char16_t PathSeparator() {
  return u'/';
}

std::u16string ModuleFileName(const void* addressInModule) {
  if (!addressInModule) {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf);
    return n > 0 ? Utf8ToUtf16(std::string_view(buf, static_cast<size_t>(n))) : std::u16string();
  }
  Dl_info info{};
  return dladdr(addressInModule, &info) && info.dli_fname ? Utf8ToUtf16(info.dli_fname)
                                                          : std::u16string();
}

std::u16string ExecutableFolder() {
  const std::u16string path = ModuleFileName(nullptr);
  if (path.empty()) return u"./";
  return path.substr(0, path.rfind(u'/') + 1);
}

std::u16string NativeLibraryPath(std::u16string_view windowsPath) {
  std::u16string path(windowsPath);
  for (char16_t& c : path)
    if (c == u'\\') c = u'/';
  constexpr std::u16string_view kDll = u".dll";
  if (path.size() >= kDll.size() && path.compare(path.size() - kDll.size(), kDll.size(), kDll) == 0)
    path.replace(path.size() - kDll.size(), kDll.size(), u".so");
  return path;
}

uint16_t UserLanguageId() {
  return 0x0409;
}

uint16_t SystemLanguageId() {
  return 0x0409;
}

std::u16string DecodeSystemCodePage(std::string_view bytes) {
  return DecodeWindows1252(bytes);
}

}  // namespace base

#include <windows.h>

#include <vector>

#include "base/Platform.h"

namespace base {

char16_t PathSeparator() {
  return u'\\';
}

std::u16string ModuleFileName(const void* addressInModule) {
  HMODULE module = nullptr;
  if (addressInModule && !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                                 GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                             static_cast<LPCWSTR>(addressInModule), &module))
    return {};
  // A name that fills the buffer may have been cut short: grow until it fits.
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(module, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) return std::u16string(reinterpret_cast<const char16_t*>(buf.data()), n);
    buf.resize(buf.size() * 2);
  }
}

std::u16string ExecutableFolder() {
  const std::u16string path = ModuleFileName(nullptr);
  return path.substr(0, path.find_last_of(u"\\/") + 1);
}

std::u16string NativeLibraryPath(std::u16string_view windowsPath) {
  return std::u16string(windowsPath);
}

uint16_t UserLanguageId() {
  return GetUserDefaultLangID();
}

uint16_t SystemLanguageId() {
  return GetSystemDefaultLangID();
}

std::u16string DecodeSystemCodePage(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int n = static_cast<int>(bytes.size());
  const int len = MultiByteToWideChar(CP_ACP, 0, bytes.data(), n, nullptr, 0);
  std::u16string out(static_cast<size_t>(len > 0 ? len : 0), u'\0');
  if (len > 0)
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), n, reinterpret_cast<wchar_t*>(out.data()), len);
  return out;
}

}  // namespace base

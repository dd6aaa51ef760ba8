#include <windows.h>

#include "base/File.h"
#include "base/KernelHandle_win.h"

namespace base {
bool FileExists(const std::u16string& path) {
  const DWORD a = GetFileAttributesW(reinterpret_cast<LPCWSTR>(path.c_str()));
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::vector<uint8_t>> ReadFile(const std::u16string& path) {
  HANDLE raw = CreateFileW(reinterpret_cast<LPCWSTR>(path.c_str()), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  unique_kernel_handle f(raw == INVALID_HANDLE_VALUE ? nullptr : raw);
  if (!f) return std::nullopt;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(f.get(), &size) || size.QuadPart > 0x7FFFFFFF) return std::nullopt;
  std::vector<uint8_t> data(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < data.size()) {
    DWORD got = 0;
    if (!::ReadFile(f.get(), data.data() + done, static_cast<DWORD>(data.size() - done), &got,
                    nullptr) ||
        got == 0)
      return std::nullopt;
    done += got;
  }
  return data;
}

}  // namespace base

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

MappedFile::MappedFile(const std::u16string& path) {
  HANDLE raw = CreateFileW(reinterpret_cast<LPCWSTR>(path.c_str()), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  unique_kernel_handle f(raw == INVALID_HANDLE_VALUE ? nullptr : raw);
  LARGE_INTEGER size;
  if (!f || !GetFileSizeEx(f.get(), &size) || size.QuadPart > 0x7FFFFFFF) return;
  // A mapping of nothing cannot be made; there is nothing to read either.
  if (size.QuadPart == 0) {
    opened_ = true;
    return;
  }
  // The view keeps the mapping, and the mapping the file, until it is unmapped.
  unique_kernel_handle mapping(CreateFileMappingW(f.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping) return;
  data_ = static_cast<const uint8_t*>(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
  if (!data_) return;
  size_ = static_cast<size_t>(size.QuadPart);
  opened_ = true;
}

MappedFile::~MappedFile() {
  if (data_) UnmapViewOfFile(data_);
}

}  // namespace base

#include <windows.h>

#include "base/File.h"
#include "base/KernelHandle_win.h"

namespace base {
bool FileExists(const std::u16string& path) {
  const DWORD a = GetFileAttributesW(reinterpret_cast<LPCWSTR>(path.c_str()));
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

std::optional<std::vector<uint8_t>> Read(const std::u16string& path, uint64_t maxBytes, DWORD flags,
                                         bool plainOnly) {
  HANDLE raw = CreateFileW(reinterpret_cast<LPCWSTR>(path.c_str()), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | flags, nullptr);
  unique_kernel_handle f(raw == INVALID_HANDLE_VALUE ? nullptr : raw);
  if (!f) return std::nullopt;
  if (plainOnly) {
    // A disk file that is no link or other reparse point: not a pipe or a device.
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(f.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(f.get(), &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)))
      return std::nullopt;
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(f.get(), &size) || static_cast<uint64_t>(size.QuadPart) > maxBytes ||
      static_cast<uint64_t>(size.QuadPart) > kMaxFileBytes)
    return std::nullopt;
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

}  // namespace

std::optional<std::vector<uint8_t>> ReadFile(const std::u16string& path, uint64_t maxBytes) {
  return Read(path, maxBytes, 0, false);
}

std::optional<std::vector<uint8_t>> ReadPlainFile(const std::u16string& path, uint64_t maxBytes) {
  return Read(path, maxBytes, FILE_FLAG_OPEN_REPARSE_POINT, true);
}

FileBytes::FileBytes(const std::u16string& path, uint64_t maxBytes) {
  HANDLE raw = CreateFileW(reinterpret_cast<LPCWSTR>(path.c_str()), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  unique_kernel_handle f(raw == INVALID_HANDLE_VALUE ? nullptr : raw);
  LARGE_INTEGER size;
  if (!f || !GetFileSizeEx(f.get(), &size)) return;
  tooLarge_ = static_cast<uint64_t>(size.QuadPart) > maxBytes;
  if (tooLarge_ || static_cast<uint64_t>(size.QuadPart) > kMaxFileBytes) return;
  if (size.QuadPart == 0) {
    opened_ = true;
    return;
  }
  // Read, not mapped: a view of a file costs the system several more requests (mapping, view,
  // unmapping) than a read, and the skin's pictures are read at every start.
  const auto n = static_cast<size_t>(size.QuadPart);
  auto* pages =
      static_cast<uint8_t*>(VirtualAlloc(nullptr, n, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (!pages) return;
  data_ = pages;
  for (size_t done = 0; done < n;) {
    DWORD got = 0;
    if (!::ReadFile(f.get(), pages + done, static_cast<DWORD>(n - done), &got, nullptr) || got == 0)
      return;  // the destructor gives the pages back
    done += got;
  }
  size_ = n;
  opened_ = true;
}

FileBytes::~FileBytes() {
  if (data_) VirtualFree(const_cast<uint8_t*>(data_), 0, MEM_RELEASE);
}

}  // namespace base

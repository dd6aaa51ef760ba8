#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "base/File.h"
#include "base/Utf.h"

namespace base {

bool FileExists(const std::u16string& path) {
  struct stat st;
  return stat(Utf16ToUtf8(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::vector<uint8_t>> ReadFile(const std::u16string& path, uint64_t maxBytes) {
  // Compared, never bound to a reference: an odr-used inline constant is a unique symbol, and a
  // shared library holding one (the simulator) can no longer be unloaded.
  if (maxBytes > kMaxFileBytes) maxBytes = kMaxFileBytes;
  std::FILE* f = std::fopen(Utf16ToUtf8(path).c_str(), "rb");
  if (!f) return std::nullopt;
  struct stat st;
  if (fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) &&
      static_cast<uint64_t>(st.st_size) > maxBytes) {
    std::fclose(f);
    return std::nullopt;
  }
  std::vector<uint8_t> data;
  uint8_t buf[65536];
  size_t n;
  bool tooLarge = false;  // a file that grows while it is read
  while (!tooLarge && (n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    data.insert(data.end(), buf, buf + n);
    tooLarge = data.size() > maxBytes;
  }
  const bool failed = tooLarge || std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return std::nullopt;
  return data;
}

FileBytes::FileBytes(const std::u16string& path, uint64_t maxBytes) {
  const int fd = open(Utf16ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st;
  tooLarge_ =
      fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) > maxBytes;
  if (!tooLarge_ && fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
      static_cast<uint64_t>(st.st_size) <= kMaxFileBytes) {
    if (st.st_size == 0) {
      opened_ = true;
    } else if (void* p =
                   mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
               p != MAP_FAILED) {
      data_ = static_cast<const uint8_t*>(p);
      size_ = static_cast<size_t>(st.st_size);
      opened_ = true;
    }
  }
  close(fd);
}

FileBytes::~FileBytes() {
  if (data_) munmap(const_cast<uint8_t*>(data_), size_);
}

}  // namespace base

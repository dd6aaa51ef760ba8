#include <sys/stat.h>

#include <cstdio>

#include "base/File.h"
#include "base/Utf.h"

namespace base {

bool FileExists(const std::u16string& path) {
  struct stat st;
  return stat(Utf16ToUtf8(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::vector<uint8_t>> ReadFile(const std::u16string& path) {
  std::FILE* f = std::fopen(Utf16ToUtf8(path).c_str(), "rb");
  if (!f) return std::nullopt;
  std::vector<uint8_t> data;
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.insert(data.end(), buf, buf + n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return std::nullopt;
  return data;
}

}  // namespace base

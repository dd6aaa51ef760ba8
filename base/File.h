#pragma once
// Whole-file reads by UTF-16 path: the data files (texts, layout, bitmaps) are small and are
// parsed once in memory.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace base {

bool FileExists(const std::u16string& path);
// The file's bytes, or nothing when it cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadFile(const std::u16string& path);

// A file's bytes mapped read-only for one parse, as the platform's own picture loader reads them:
// nothing is copied, and the pages leave the process with the object, where a buffer of the
// heap's would stay committed. Not opened where ReadFile gives nothing (a file of 2 GiB or more
// included); an empty file is opened with no bytes.
class MappedFile {
 public:
  explicit MappedFile(const std::u16string& path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  bool Opened() const { return opened_; }
  std::span<const uint8_t> Bytes() const { return {data_, size_}; }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  bool opened_ = false;
};

}  // namespace base

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

// A file's bytes for one parse, in pages of their own: the pages leave the process with the
// object, where a heap buffer would stay committed. Not opened where ReadFile gives nothing (a
// file of 2 GiB or more included); an empty file is opened with no bytes.
class FileBytes {
 public:
  explicit FileBytes(const std::u16string& path);
  ~FileBytes();
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  bool Opened() const { return opened_; }
  std::span<const uint8_t> Bytes() const { return {data_, size_}; }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  bool opened_ = false;
};

}  // namespace base

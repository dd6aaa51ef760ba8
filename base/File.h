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

// Files above this size are never read whole: offsets into them are 32-bit.
inline constexpr uint64_t kMaxFileBytes = 0x7FFFFFFF;

// The file's bytes, or nothing when it cannot be opened or read, or is larger than maxBytes (by
// its size before anything is read).
std::optional<std::vector<uint8_t>> ReadFile(const std::u16string& path,
                                             uint64_t maxBytes = kMaxFileBytes);

// As ReadFile, for a tree someone else made (tandrel-check on a downloaded skin): only a regular
// file is read. A symbolic link (or, on Windows, another reparse point) is not followed, and a
// FIFO or a device is neither opened for long nor waited on.
std::optional<std::vector<uint8_t>> ReadPlainFile(const std::u16string& path, uint64_t maxBytes);

// A file's bytes for one parse, in pages of their own: the pages leave the process with the
// object, where a heap buffer would stay committed. Not opened where ReadFile gives nothing (a
// file of 2 GiB or more included), nor where it is larger than maxBytes; an empty file is opened
// with no bytes.
class FileBytes {
 public:
  explicit FileBytes(const std::u16string& path, uint64_t maxBytes = kMaxFileBytes);
  ~FileBytes();
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  bool Opened() const { return opened_; }
  // Not opened because the file is larger than maxBytes.
  bool TooLarge() const { return tooLarge_; }
  std::span<const uint8_t> Bytes() const { return {data_, size_}; }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t pagesBytes_ = 0;  // what was allocated for data_, when a read stops short of size_
  bool opened_ = false;
  bool tooLarge_ = false;
};

}  // namespace base

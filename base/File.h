#pragma once
// Whole-file reads by UTF-16 path: the data files (texts, layout, bitmaps) are small and are
// parsed once in memory.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace base {

bool FileExists(const std::u16string& path);
// The file's bytes, or nothing when it cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadFile(const std::u16string& path);

}  // namespace base

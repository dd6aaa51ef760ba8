#pragma once
// Text files as bytes, for tests and benchmarks of the readers.
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// ASCII text as UTF-16 LE with a byte-order mark, as the launcher's files are saved.
inline std::vector<uint8_t> Utf16Le(const std::string& ascii) {
  std::vector<uint8_t> out = {0xFF, 0xFE};
  for (const char c : ascii) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(0);
  }
  return out;
}

}  // namespace testing_support

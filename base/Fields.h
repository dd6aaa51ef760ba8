#pragma once
// The trim and the field splitter the data files share: "," in layout values, "." in section paths.
#include <cstddef>
#include <string_view>

namespace base {

// The one trim of the program: blanks and control characters (codes 1 to 32) off both ends, as
// the platform trims INI lines and the framework trims fields. NUL is kept: in a name or value it
// ends the text, which the caller cuts there.
inline std::u16string_view TrimBlanks(std::u16string_view s) {
  while (!s.empty() && s.front() != 0 && s.front() <= u' ') s.remove_prefix(1);
  while (!s.empty() && s.back() != 0 && s.back() <= u' ') s.remove_suffix(1);
  return s;
}

// Piece `index` (from 0) of text cut at every separator, trimmed; a separator is never part of a
// piece, and a piece past the last one is empty.
inline std::u16string_view ExtractField(std::u16string_view text, char16_t separator,
                                        size_t index) {
  size_t start = 0;
  for (size_t i = 0; i < index; ++i) {
    const size_t next = text.find(separator, start);
    if (next == std::u16string_view::npos) return {};
    start = next + 1;
  }
  const std::u16string_view piece = text.substr(start);
  return TrimBlanks(piece.substr(0, piece.find(separator)));
}

}  // namespace base

#pragma once
// UTF-8 <-> UTF-16 conversion. Portable code keeps text as UTF-16, as the platform does;
// these are for file names on POSIX, test output and the simulator's trace.
#include <string>
#include <string_view>

namespace base {

// Ill-formed input becomes U+FFFD; never throws.
std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf16ToUtf8(std::u16string_view s);

// ASCII-only case folding, as the platform's case-insensitive compare does for these names.
// The one case fold of the program: the simple upper-case mapping the platform matches names with
// (INI sections and keys, registered-message names), for Latin, Greek, Cyrillic and full-width
// Latin; other characters map to themselves.
char16_t FoldCase(char16_t c);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);

// Windows-1252 as the platform decodes it (the five unassigned bytes become C1 controls).
std::u16string DecodeWindows1252(std::string_view bytes);

}  // namespace base

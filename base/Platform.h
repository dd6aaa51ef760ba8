#pragma once
// The few facts the portable code needs from the operating system, one function each, with a
// Windows implementation (Platform_win.cpp) and a POSIX one (Platform_posix.cpp) so that the
// code above them builds and is tested natively.
#include <cstdint>
#include <string>
#include <string_view>

namespace base {

// The folder separator the launcher joins its paths with: '\' on Windows, '/' elsewhere.
char16_t PathSeparator();

// The full file name of the module (executable or library) that holds the given address; null
// names the running executable. Empty on failure. Paths may be longer than MAX_PATH.
std::u16string ModuleFileName(const void* addressInModule);
// The folder of the running executable, with its trailing separator.
std::u16string ExecutableFolder();

// A library path as the outside world names it on Windows ("DLL\DLL_MouseDeviceManager.dll"),
// in this platform's spelling: unchanged on Windows; '/' and ".so" elsewhere, so that the native
// build loads its own builds of the same libraries from the same places.
std::u16string NativeLibraryPath(std::u16string_view windowsPath);

// The user's and the system's default language identifiers (US English where there is none).
uint16_t UserLanguageId();
uint16_t SystemLanguageId();

// Bytes in the system's ANSI code page as UTF-16 (Windows-1252 where there is no such page).
std::u16string DecodeSystemCodePage(std::string_view bytes);

}  // namespace base

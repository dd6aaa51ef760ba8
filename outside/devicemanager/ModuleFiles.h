#pragma once
// The little the export shell needs from the platform: where the library itself lies, and a
// file to append the trace to.
#include <cstdio>
#include <string>

namespace devicemanager {

// The folder of this library's own file (not the executable's), with its trailing separator.
std::u16string ModuleFolder();
bool IsAbsolutePath(const std::u16string& path);
// Opened for appending; null when it cannot be opened.
std::FILE* OpenForAppend(const std::u16string& path);

}  // namespace devicemanager

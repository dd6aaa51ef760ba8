#pragma once
// The little the export shell needs from the platform: where the library itself lies, and a
// file to append the trace to.
#include <cstdint>
#include <cstdio>
#include <string>

namespace devicemanager {

// The folder of this library's own file (not the executable's), with its trailing separator.
std::u16string ModuleFolder();
bool IsAbsolutePath(const std::u16string& path);
// Opened for appending; null when it cannot be opened.
std::FILE* OpenForAppend(const std::u16string& path);

// The last trace line of a load ("Unload freed" or "Unload process-exit"), so a trace shows what
// the launcher called before freeing the library. Written by the export shell.
void NoteUnload(const char* how);
// Dispatches the calling thread's messages for that many milliseconds (Windows); natively there
// are none, and it returns at once.
void PumpMessages(uint32_t milliseconds);
// Called when the shell's state is destroyed. Natively that is how a dlclose shows; on Windows
// DllMain notes the unload instead, before the runtime's own clean-up closes the trace.
void StateDestroyed();

}  // namespace devicemanager

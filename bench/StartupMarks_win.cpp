// The recorder of the launcher's timing build (TandrelProgram_timed.exe): linked into the program
// beside the shipped sources, it takes every start-up mark with the performance counter's value
// and the process's working set, and, when the program ends, writes them to "startup-marks.txt"
// beside the executable: the counter's frequency on the first line, then
// "<counter> <working set in bytes> <step>" per mark. Nothing is written while the program
// starts; reading the working set costs some 0.1 ms a mark under Wine.
#include <windows.h>
#include <psapi.h>

#include <array>
#include <cstdio>
#include <string>

#include "base/StartupMarks.h"

namespace {

struct Entry {
  LONGLONG at;
  SIZE_T workingSet;
  const char* step;
};
std::array<Entry, 256> g_entries;
size_t g_count = 0;

void Record(const char* step) {
  if (g_count == g_entries.size()) return;
  // The time first: the working set's query is the mark's own cost, not the step's.
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  PROCESS_MEMORY_COUNTERS pmc{};
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  g_entries[g_count++] = {now.QuadPart, pmc.WorkingSetSize, step};
}

std::wstring MarksFile() {
  wchar_t path[MAX_PATH * 2];
  const DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  std::wstring file(path, n);
  return file.substr(0, file.find_last_of(L"\\/") + 1) + L"startup-marks.txt";
}

struct Recorder {
  // Static initialisation: the C runtime is up, the entry has not run yet.
  Recorder() {
    startup::SetMarkSink(&Record);
    Record("runtime initialised");
  }
  ~Recorder() {
    startup::SetMarkSink(nullptr);
    std::FILE* f = _wfopen(MarksFile().c_str(), L"w");
    if (!f) return;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::fprintf(f, "%lld\n", frequency.QuadPart);
    for (size_t i = 0; i < g_count; ++i)
      std::fprintf(f, "%lld %llu %s\n", g_entries[i].at,
                   static_cast<unsigned long long>(g_entries[i].workingSet), g_entries[i].step);
    std::fclose(f);
  }
} g_recorder;

}  // namespace

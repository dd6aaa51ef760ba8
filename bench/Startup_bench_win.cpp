// The start-up harness: starts a bare window and the launcher, each N times, the same way, and
// compares them. One start: the process is created, the harness waits until it has a visible
// top-level window and its thread is idle (WaitForInputIdle, then a WM_NULL sent to the window
// returns: the thread is back in its message loop with the first paints done; until the first
// idle moment the harness only waits, so that it does not load the Wine server the program
// needs), reads its working set at that moment (GetProcessMemoryInfo), posts WM_CLOSE and waits for
// the exit. The programs take turns, every other round in reverse order, so a slow moment of the
// machine falls on all of them.
//
// With a timing build of the launcher (TandrelProgram_timed.exe, the same sources with a recorder
// of its start-up marks) it also shows where the launcher's time goes: the marks it wrote, as
// medians since the process was created, with the working set at each.
//
// Usage: startup_bench [-v] [-m] [-n N] <bare window.exe> <launcher.exe> [<timing build.exe>]
//                      [more programs]
// N starts each (15 when not given), after one start each that is not counted. -v prints every
// start with its marks, -m the libraries each program has loaded when it is ready. Further
// programs are started the same way and shown by file name (for experiments).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr DWORD kTimeoutMs = 20000;
// Between two starts: the last program's end (its windows' removal from the desktop, Wine's
// clean-up) must not fall into the next one's start.
constexpr DWORD kSettleMs = 300;
bool g_verbose = false;
bool g_listModules = false;

double g_ticksPerMs = 0;

LONGLONG Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

double Ms(LONGLONG ticks) {
  return static_cast<double>(ticks) / g_ticksPerMs;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::wstring FolderOf(const std::wstring& path) {
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

struct Sample {
  double readyMs = 0;  // created to a visible window with its thread idle
  double exitMs = 0;   // WM_CLOSE posted to process ended
  double workingSetMiB = 0;
  std::map<std::string, double> marks;  // first time of each step, ms since creation
  std::map<std::string, double> lastMarks;
  std::map<std::string, double> markMiB;  // working set at the first time of each step
  std::vector<std::pair<double, std::string>> timeline;  // every mark, in order
  std::map<std::string, int> markCounts;
};

HWND FirstVisibleWindow(DWORD pid) {
  struct Find {
    DWORD pid;
    HWND found;
  } find{pid, nullptr};
  EnumWindows(
      [](HWND h, LPARAM lp) CALLBACK -> BOOL {
        auto* f = reinterpret_cast<Find*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner != f->pid || !IsWindowVisible(h) || (GetWindowLongW(h, GWL_STYLE) & WS_CHILD))
          return TRUE;
        // An owned window (a hint's tooltip, a message box) is not the program's main window.
        if (GetWindow(h, GW_OWNER)) return TRUE;
        f->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&find));
  return find.found;
}

// The launcher lets go of its single-instance mutex a moment after its process has ended under
// Wine; a start before that would end as a second instance.
void WaitForInstanceMutex() {
  for (int i = 0; i < 250; ++i) {
    HANDLE held = OpenMutexW(SYNCHRONIZE, FALSE, L"TandrelProgramExe");
    if (!held) return;
    CloseHandle(held);
    Sleep(20);
  }
}

// The timing build's marks: the counter's frequency, then "<counter> <working set> <step>" lines.
void ReadMarks(const std::wstring& file, LONGLONG created, Sample& s) {
  std::ifstream in{std::filesystem::path(file)};
  double frequency = 0;
  if (!(in >> frequency) || frequency <= 0) return;
  LONGLONG at;
  double bytes;
  std::string step;
  while (in >> at >> bytes && std::getline(in >> std::ws, step)) {
    // The same counter as ours (system-wide); converted at its own frequency all the same.
    const double ms = static_cast<double>(at) * 1000.0 / frequency - Ms(created);
    s.timeline.push_back({ms, step});
    if (!s.marks.count(step)) {
      s.marks[step] = ms;
      s.markMiB[step] = bytes / (1024.0 * 1024.0);
    }
    s.lastMarks[step] = ms;
    ++s.markCounts[step];
  }
  in.close();
  DeleteFileW(file.c_str());
}

// The libraries a program has loaded by the time it is ready, with their sizes in memory.
void ListModules(const std::wstring& exe, HANDLE process) {
  HMODULE modules[512];
  DWORD bytes = 0;
  if (!EnumProcessModules(process, modules, sizeof modules, &bytes)) return;
  std::printf("modules of %ls when ready:\n", exe.c_str());
  for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < std::size(modules); ++i) {
    wchar_t name[MAX_PATH] = {};
    MODULEINFO info{};
    GetModuleBaseNameW(process, modules[i], name, MAX_PATH);
    GetModuleInformation(process, modules[i], &info, sizeof info);
    std::printf("  %-32ls %8lu KiB\n", name, info.SizeOfImage / 1024);
  }
}

std::optional<Sample> StartOnce(const std::wstring& exe) {
  WaitForInstanceMutex();
  Sleep(kSettleMs);
  const std::wstring folder = FolderOf(exe);
  const std::wstring marks = folder + L"startup-marks.txt";
  DeleteFileW(marks.c_str());
  std::wstring cmd = L"\"" + exe + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  LONGLONG created = 0;
  // Wine now and then refuses a start with an internal error; a moment later it goes.
  for (int attempt = 1;; ++attempt) {
    created = Now();
    if (CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                       &si, &pi))
      break;
    if (attempt == 5) {
      std::fprintf(stderr, "cannot start %ls (error %lu)\n", exe.c_str(), GetLastError());
      return std::nullopt;
    }
    Sleep(kSettleMs);
  }
  Sample s;
  // The thread's first wait for input: the system's own signal, waited for without asking the
  // (shared, single-threaded) server anything meanwhile, which would slow the start measured.
  WaitForInputIdle(pi.hProcess, kTimeoutMs);
  HWND window = nullptr;
  const LONGLONG deadline = created + static_cast<LONGLONG>(kTimeoutMs * g_ticksPerMs);
  while (!(window = FirstVisibleWindow(pi.dwProcessId))) {
    if (WaitForSingleObject(pi.hProcess, 1) != WAIT_TIMEOUT || Now() > deadline) break;
  }
  bool ok = window != nullptr;
  if (ok) {
    // Idle with its window up, and nothing sent to the window left waiting.
    WaitForInputIdle(pi.hProcess, kTimeoutMs);
    DWORD_PTR ignored;
    ok = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kTimeoutMs, &ignored) != 0;
    s.readyMs = Ms(Now() - created);
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    if (GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc)) {
      s.workingSetMiB = static_cast<double>(pmc.WorkingSetSize) / (1024.0 * 1024.0);
    }
    if (g_listModules) ListModules(exe, pi.hProcess);
    const LONGLONG closing = Now();
    PostMessageW(window, WM_CLOSE, 0, 0);
    ok = WaitForSingleObject(pi.hProcess, kTimeoutMs) == WAIT_OBJECT_0 && ok;
    s.exitMs = Ms(Now() - closing);
  }
  if (!ok) {
    std::fprintf(stderr, "%ls: no ready window or no exit within %lu ms\n", exe.c_str(),
                 kTimeoutMs);
    TerminateProcess(pi.hProcess, 99);
    WaitForSingleObject(pi.hProcess, 5000);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  if (!ok) return std::nullopt;
  ReadMarks(marks, created, s);
  return s;
}

struct Series {
  std::string name;
  std::wstring exe;
  std::vector<Sample> samples;

  double Best() const {
    double best = 1e300;
    for (const Sample& s : samples) best = std::min(best, s.readyMs);
    return best;
  }
  double MedianOf(double Sample::*field) const {
    std::vector<double> v;
    for (const Sample& s : samples) v.push_back(s.*field);
    return Median(v);
  }
};

void PrintSeries(const Series& s) {
  std::printf("%-28s %7.1f ms %7.1f ms %8.1f MiB %7.1f ms\n", s.name.c_str(),
              s.MedianOf(&Sample::readyMs), s.Best(), s.MedianOf(&Sample::workingSetMiB),
              s.MedianOf(&Sample::exitMs));
}

// The timing build's marks in the order of their median times: when (since the process was
// created), the step from the mark before (the median of the differences, start by start), and
// the working set at the mark; then the harness's own observations.
void PrintMarks(const Series& timed) {
  struct Point {
    double ms;
    double mib;  // negative: not known
  };
  std::vector<std::map<std::string, Point>> starts;
  for (const Sample& s : timed.samples) {
    std::map<std::string, Point> at;
    for (const auto& [step, ms] : s.marks) at[step] = {ms, s.markMiB.at(step)};
    // Marks that come more than once (each button is painted, then painted again once it has its
    // shape): the last one too.
    for (const auto& [step, n] : s.markCounts)
      if (n > 1) at[step + " (last)"] = {s.lastMarks.at(step), -1};
    at["harness: ready"] = {s.readyMs, s.workingSetMiB};
    starts.push_back(std::move(at));
  }
  // The median over the starts that have the step (and `from`, when given).
  auto median = [&](const std::string& step, const std::string& from, bool memory) {
    std::vector<double> v;
    for (const auto& at : starts) {
      const auto a = at.find(step);
      if (a == at.end()) continue;
      if (memory) {
        if (a->second.mib >= 0) v.push_back(a->second.mib);
        continue;
      }
      const auto b = at.find(from);
      if (!from.empty() && b == at.end()) continue;
      v.push_back(a->second.ms - (from.empty() ? 0.0 : b->second.ms));
    }
    return v.empty() ? -1.0 : Median(v);
  };
  std::vector<std::pair<double, std::string>> rows;
  std::map<std::string, bool> seen;
  for (const auto& at : starts)
    for (const auto& entry : at)
      if (!seen[entry.first]) {
        seen[entry.first] = true;
        rows.push_back({median(entry.first, "", false), entry.first});
      }
  std::sort(rows.begin(), rows.end());
  std::printf("\nwhere the time of %s goes (%zu starts, medians):\n", timed.name.c_str(),
              starts.size());
  std::printf("  %-40s %10s %10s %12s\n", "mark", "at", "step", "working set");
  std::string previous;
  for (const auto& [at, step] : rows) {
    const double mib = median(step, "", true);
    std::printf("  %-40s %7.1f ms %7.1f ms", step.c_str(), at, median(step, previous, false));
    if (mib >= 0) std::printf(" %8.2f MiB", mib);
    std::printf("\n");
    previous = step;
  }
}

std::wstring FullPath(const wchar_t* path) {
  wchar_t full[MAX_PATH * 2];
  const DWORD n = GetFullPathNameW(path, static_cast<DWORD>(std::size(full)), full, nullptr);
  return n ? std::wstring(full, n) : std::wstring(path);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  g_ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;

  int n = 15;
  std::vector<std::wstring> programs;
  for (int i = 1; i < argc; ++i) {
    if (std::wstring(argv[i]) == L"-v") {
      g_verbose = true;
    } else if (std::wstring(argv[i]) == L"-m") {
      g_listModules = true;
    } else if (std::wstring(argv[i]) == L"-n" && i + 1 < argc) {
      n = std::max(1, _wtoi(argv[++i]));
    } else {
      programs.push_back(FullPath(argv[i]));
    }
  }
  if (programs.size() < 2) {
    std::fprintf(stderr,
                 "usage: startup_bench [-v] [-m] [-n N] <bare window.exe> <launcher.exe> "
                 "[<timing build.exe>] [more programs]\n");
    return 2;
  }
  std::vector<Series> series;
  for (size_t i = 0; i < programs.size(); ++i) {
    std::string name = i == 0   ? "bare window"
                       : i == 1 ? "launcher"
                       : i == 2 ? "launcher, timing build"
                                : "";
    if (name.empty()) {
      const std::wstring& p = programs[i];
      name =
          std::string(p.begin() + static_cast<std::ptrdiff_t>(p.find_last_of(L"\\/") + 1), p.end());
    }
    series.push_back({name, programs[i], {}});
  }

  // One start of each first, not counted: files come into the cache, Wine's first loads are paid.
  for (Series& s : series)
    if (!StartOnce(s.exe)) return 1;
  g_listModules = false;
  for (int round = 0; round < n; ++round) {
    // Every other round backwards, so that no program always follows the same one.
    for (size_t k = 0; k < series.size(); ++k) {
      Series& s = series[round % 2 ? series.size() - 1 - k : k];
      auto sample = StartOnce(s.exe);
      if (!sample) return 1;
      if (g_verbose) {
        std::printf("%-24s ready %6.1f ms, %5.1f MiB\n", s.name.c_str(), sample->readyMs,
                    sample->workingSetMiB);
        double before = 0;
        for (const auto& [ms, step] : sample->timeline) {
          std::printf("    %7.1f %+7.1f  %s\n", ms, ms - before, step.c_str());
          before = ms;
        }
      }
      s.samples.push_back(std::move(*sample));
    }
  }

  std::printf("%d starts each, medians (best: the fastest start)\n", n);
  std::printf("%-28s %10s %10s %12s %10s\n", "program", "ready", "best", "working set", "close");
  for (const Series& s : series) PrintSeries(s);

  // The goal's figures: ratios of the medians. The load of a shared machine comes and goes, so
  // the ratio within each round (starts seconds apart) and that of the best starts are shown too.
  const Series& bare = series[0];
  const Series& launcher = series[1];
  std::vector<double> perRound;
  for (size_t i = 0; i < bare.samples.size(); ++i)
    perRound.push_back(launcher.samples[i].readyMs / bare.samples[i].readyMs);
  const double ready = launcher.MedianOf(&Sample::readyMs);
  const double bareReady = bare.MedianOf(&Sample::readyMs);
  const double set = launcher.MedianOf(&Sample::workingSetMiB);
  const double bareSet = bare.MedianOf(&Sample::workingSetMiB);
  std::printf("\nlauncher / bare window:\n");
  std::printf(
      "  start to a ready window  %.2fx  (%.1f / %.1f ms; per round %.2fx, best starts "
      "%.2fx)\n",
      ready / bareReady, ready, bareReady, Median(perRound), launcher.Best() / bare.Best());
  std::printf("  working set when ready   %.2fx  (%.1f / %.1f MiB)\n", set / bareSet, set, bareSet);
  for (const Series& s : series)
    if (!s.samples.empty() && !s.samples.front().marks.empty()) PrintMarks(s);
  return 0;
}

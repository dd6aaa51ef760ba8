#pragma once
// End-to-end runs of TandrelProgram.exe: a private copy of the run-time tree in a temporary
// folder (so each test can change its data), the program started as its own process, and ways
// to look at it from outside: its window, its exit status and the simulator's trace.
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace e2e {

class LauncherRun {
 public:
  // Copies the stage tree (TandrelProgram.exe, DLL\, Data\) into a new temporary folder, or into
  // a folder of that name inside it (an install folder with a name of its own).
  explicit LauncherRun(const std::wstring& installFolder = L"");
  ~LauncherRun();  // ends a process still running, removes the folder
  LauncherRun(const LauncherRun&) = delete;
  LauncherRun& operator=(const LauncherRun&) = delete;

  const std::filesystem::path& Folder() const { return folder_; }
  // Writes a file below the folder (creating folders), replacing what was there.
  void WriteFile(const std::filesystem::path& relative, const std::string& bytes) const;
  void Remove(const std::filesystem::path& relative) const;
  // The simulator's scenario, with its trace switched on.
  void WriteScenario(const std::string& body) const;

  // Starts the program, from `workingFolder` (the install folder when empty); returns false when
  // the process could not be created.
  bool Start(const std::filesystem::path& workingFolder = {});
  // Starts one more instance, not watched by this object; the caller owns the handles.
  std::optional<PROCESS_INFORMATION> StartAnother() const;
  // Waits until no instance of the launcher holds the single-instance mutex (the one of an
  // earlier test may still be on its way out).
  static void WaitUntilNoInstance();
  DWORD ProcessId() const { return process_.dwProcessId; }
  // Starts another instance from the same folder and waits for it to end; its exit status.
  std::optional<DWORD> RunSecondInstance(std::chrono::milliseconds timeout);

  // A visible top-level window of the process with that window class ("#32770" for a message
  // box), waiting up to timeout; null when none came.
  HWND WaitForWindowOfClass(const wchar_t* className,
                            std::chrono::milliseconds timeout = std::chrono::seconds(20));
  // The first visible top-level window of the process that has no owner (not a hint's tooltip,
  // a module's form or a message box), waiting up to timeout.
  HWND WaitForMainWindow(std::chrono::milliseconds timeout = std::chrono::seconds(20));

  // How a start ended: the main window or the error box shown, or the process gone without
  // either, or nothing within the time given.
  struct Outcome {
    enum Kind { kWindow, kErrorBox, kExited, kNothing } kind = kNothing;
    HWND window = nullptr;  // the main window or the box
    std::wstring message;   // the box's text
    DWORD exitCode = 0;     // kExited
  };
  Outcome WaitForWindowOrErrorBox(std::chrono::milliseconds timeout);
  // The exit status once the process has ended within timeout.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(20));
  bool Running() const;

  // The child window (button) whose client-relative rectangle is r.
  HWND ChildAt(HWND parent, RECT r) const;

  // The texts of a window's static children, joined by newlines (a message box's message).
  static std::wstring StaticTexts(HWND window);

  // Whether the running program has loaded the library of that file name ("comctl32.dll").
  bool HasLoaded(const wchar_t* fileName) const;
  HANDLE Process() const { return process_.hProcess; }

  // Lines the simulator wrote to its trace so far.
  std::vector<std::string> Trace() const;

 private:
  std::filesystem::path root_, folder_;
  PROCESS_INFORMATION process_{};
};

// The simulator's ready scenario with one receiver of the first family (firmware 38).
std::string OneReceiverScenario();
// The main window's class.
inline constexpr wchar_t kFormClass[] = L"TandrelForm";
// The trace line the simulator writes when the launcher frees it.
inline constexpr char kUnloadLine[] = "Unload freed";

// A visible top-level window of a process with that window class (any when null), waiting up to
// timeout; null when none came or the process ended first.
// With unownedOnly, windows that have an owner do not count.
HWND WaitForVisibleWindow(HANDLE process, const wchar_t* className,
                          std::chrono::milliseconds timeout = std::chrono::seconds(20),
                          bool unownedOnly = false);

// The file names, in lower case, of the modules a process has loaded (its executable included).
std::set<std::wstring> LoadedModules(HANDLE process);

// A text file's lines (a probe module's log, say); none when it is not there.
std::vector<std::string> FileLines(const std::filesystem::path& file);
// How many of the lines hold `needle`.
size_t CountLines(const std::vector<std::string>& lines, const std::string& needle);

// Where the build laid out the run-time tree (a compile definition of the test).
std::filesystem::path StageFolder();

}  // namespace e2e

#include "tests/e2e/LauncherRun_win.h"

#include <psapi.h>

#include <fstream>
#include <random>
#include <sstream>
#include <thread>
#include <cwchar>

#include "tests/support/Patience.h"

namespace e2e {
namespace fs = std::filesystem;
using testing_support::Patient;

std::filesystem::path StageFolder() {
  return fs::path(TANDREL_STAGE_DIR);
}

std::string OneReceiverScenario() {
  std::ifstream in(fs::path(TANDREL_SOURCE_DIR) / "outside" / "devicemanager" / "scenarios" /
                       "one-receiver.scenario",
                   std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

namespace {

// Wine maps the Linux root to drive Z:, so the stage path from the build works as it is.
fs::path NewTempFolder() {
  std::random_device rd;
  const fs::path base = fs::temp_directory_path() / "tandrel-e2e";
  for (;;) {
    fs::path p = base / ("run-" + std::to_string(rd()));
    std::error_code ec;
    fs::create_directories(base, ec);
    if (fs::create_directory(p, ec)) return p;
  }
}

struct FindState {
  DWORD pid;
  HWND found;
  const wchar_t* className;  // any when null
  bool unownedOnly;          // the main window: not a tooltip, module form or message box
};

}  // namespace

LauncherRun::LauncherRun(const std::wstring& installFolder)
    : root_(NewTempFolder()), folder_(installFolder.empty() ? root_ : root_ / installFolder) {
  fs::create_directories(folder_);
  fs::copy(StageFolder(), folder_,
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  // Every run starts without a receiver and without a trace; the demo may have left both in
  // the stage folder.
  Remove(fs::path("DLL") / "DLL_MouseDeviceManager.scenario");
  Remove(fs::path("DLL") / "DLL_MouseDeviceManager.trace");
}

LauncherRun::~LauncherRun() {
  if (process_.hProcess) {
    if (Running()) {
      TerminateProcess(process_.hProcess, 99);
      WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void LauncherRun::WriteFile(const fs::path& relative, const std::string& bytes) const {
  const fs::path p = folder_ / relative;
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

void LauncherRun::Remove(const fs::path& relative) const {
  std::error_code ec;
  fs::remove_all(folder_ / relative, ec);
}

void LauncherRun::WriteScenario(const std::string& body) const {
  WriteFile(fs::path("DLL") / "DLL_MouseDeviceManager.scenario", body);
}

void LauncherRun::WaitUntilNoInstance() {
  // Wine releases the mutex of an ended process asynchronously; a start before that would end
  // as a second instance.
  for (int i = 0; i < 250; ++i) {
    HANDLE held = OpenMutexW(SYNCHRONIZE, FALSE, L"TandrelProgramExe");
    if (!held) break;
    CloseHandle(held);
    Sleep(20);
  }
}

namespace {

// The program of `folder` as a new process, started in `cwd`.
std::optional<PROCESS_INFORMATION> StartProgram(const fs::path& folder, const fs::path& cwd) {
  const std::wstring exe = (folder / "TandrelProgram.exe").wstring();
  std::wstring cmd = L"\"" + exe + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      cwd.wstring().c_str(), &si, &pi))
    return std::nullopt;
  return pi;
}

}  // namespace

bool LauncherRun::Start(const fs::path& workingFolder) {
  WaitUntilNoInstance();
  const auto pi = StartProgram(folder_, workingFolder.empty() ? folder_ : workingFolder);
  if (pi) process_ = *pi;
  return pi.has_value();
}

std::optional<PROCESS_INFORMATION> LauncherRun::StartAnother() const {
  return StartProgram(folder_, folder_);
}

std::optional<DWORD> LauncherRun::RunSecondInstance(std::chrono::milliseconds timeout) {
  const auto started = StartAnother();
  if (!started) return std::nullopt;
  const PROCESS_INFORMATION pi = *started;
  std::optional<DWORD> status;
  if (WaitForSingleObject(pi.hProcess, static_cast<DWORD>(Patient(timeout).count())) ==
      WAIT_OBJECT_0) {
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    status = code;
  } else {
    TerminateProcess(pi.hProcess, 98);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return status;
}

HWND LauncherRun::WaitForMainWindow(std::chrono::milliseconds timeout) {
  return process_.hProcess ? WaitForVisibleWindow(process_.hProcess, nullptr, timeout, true)
                           : nullptr;
}

HWND WaitForVisibleWindow(HANDLE process, const wchar_t* className,
                          std::chrono::milliseconds timeout, bool unownedOnly) {
  const auto end = std::chrono::steady_clock::now() + Patient(timeout);
  do {
    FindState st{GetProcessId(process), nullptr, className, unownedOnly};
    EnumWindows(
        [](HWND h, LPARAM lp) CALLBACK -> BOOL {
          auto* s = reinterpret_cast<FindState*>(lp);
          DWORD pid = 0;
          GetWindowThreadProcessId(h, &pid);
          // Owned windows (a module's form, a message box) count as top-level too.
          if (pid != s->pid || !IsWindowVisible(h) || (GetWindowLongW(h, GWL_STYLE) & WS_CHILD))
            return TRUE;
          if (s->unownedOnly && GetWindow(h, GW_OWNER)) return TRUE;
          wchar_t cls[64] = {};
          GetClassNameW(h, cls, 64);
          if (s->className && std::wcscmp(cls, s->className) != 0) return TRUE;
          s->found = h;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&st));
    if (st.found) return st.found;
    if (WaitForSingleObject(process, 0) != WAIT_TIMEOUT) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (std::chrono::steady_clock::now() < end);
  return nullptr;
}

HWND LauncherRun::WaitForWindowOfClass(const wchar_t* className,
                                       std::chrono::milliseconds timeout) {
  return process_.hProcess ? WaitForVisibleWindow(process_.hProcess, className, timeout) : nullptr;
}

LauncherRun::Outcome LauncherRun::WaitForWindowOrErrorBox(std::chrono::milliseconds timeout) {
  Outcome out;
  const auto end = std::chrono::steady_clock::now() + Patient(timeout);
  do {
    if (HWND box = WaitForWindowOfClass(L"#32770", std::chrono::milliseconds(0))) {
      out.kind = Outcome::kErrorBox;
      out.window = box;
      // The text may be set a moment after the box shows.
      for (int i = 0; i < 20 && out.message.empty(); ++i, Sleep(25)) out.message = StaticTexts(box);
      return out;
    }
    if (HWND main = WaitForWindowOfClass(kFormClass, std::chrono::milliseconds(0))) {
      out.kind = Outcome::kWindow;
      out.window = main;
      return out;
    }
    if (!Running()) {
      out.kind = Outcome::kExited;
      out.exitCode = WaitForExit(std::chrono::milliseconds(0)).value_or(0);
      return out;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  } while (std::chrono::steady_clock::now() < end);
  return out;
}

std::optional<DWORD> LauncherRun::WaitForExit(std::chrono::milliseconds timeout) {
  if (!process_.hProcess) return std::nullopt;
  if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(Patient(timeout).count())) !=
      WAIT_OBJECT_0)
    return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

bool LauncherRun::Running() const {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND LauncherRun::ChildAt(HWND parent, RECT r) const {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT wr;
    GetWindowRect(c, &wr);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&wr), 2);
    if (EqualRect(&wr, &r)) return c;
  }
  return nullptr;
}

std::wstring LauncherRun::StaticTexts(HWND window) {
  std::wstring all;
  for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[32] = {};
    GetClassNameW(c, cls, 32);
    if (_wcsicmp(cls, L"Static") != 0) continue;
    wchar_t text[1024] = {};
    GetWindowTextW(c, text, 1024);
    if (!*text) continue;
    if (!all.empty()) all += L'\n';
    all += text;
  }
  return all;
}

std::set<std::wstring> LoadedModules(HANDLE process) {
  std::set<std::wstring> names;
  HMODULE modules[512];
  DWORD bytes = 0;
  if (!EnumProcessModules(process, modules, sizeof modules, &bytes)) return names;
  for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < std::size(modules); ++i) {
    wchar_t name[MAX_PATH] = {};
    if (!GetModuleBaseNameW(process, modules[i], name, MAX_PATH)) continue;
    CharLowerW(name);
    names.insert(name);
  }
  return names;
}

bool LauncherRun::HasLoaded(const wchar_t* fileName) const {
  std::wstring name = fileName;
  CharLowerW(name.data());
  return LoadedModules(process_.hProcess).count(name) != 0;
}

std::vector<std::string> LauncherRun::Trace() const {
  return FileLines(folder_ / "DLL" / "DLL_MouseDeviceManager.trace");
}

std::vector<std::string> FileLines(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

size_t CountLines(const std::vector<std::string>& lines, const std::string& needle) {
  size_t n = 0;
  for (const auto& line : lines) n += line.find(needle) != std::string::npos;
  return n;
}

}  // namespace e2e

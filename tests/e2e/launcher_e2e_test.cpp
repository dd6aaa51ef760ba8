// TandrelProgram.exe run as a process of its own from a prepared copy of the run-time tree,
// watched from outside: its window, its exit status and the simulator's trace.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <thread>

#include "tests/e2e/LauncherRun_win.h"

namespace {
using namespace std::chrono_literals;
using e2e::LauncherRun;

constexpr RECT kCloseButton{345, 5, 365, 25};

// Index of the first trace line that starts with prefix, or -1.
int FindLine(const std::vector<std::string>& trace, const std::string& prefix, int from = 0) {
  for (size_t i = static_cast<size_t>(from); i < trace.size(); ++i) {
    if (trace[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
  }
  return -1;
}

TEST(Launcher, ShowsABorderlessWindowSizedToTheDesignAndCentred) {
  LauncherRun run;
  ASSERT_TRUE(run.Start());
  HWND h = run.WaitForMainWindow();
  ASSERT_NE(h, nullptr);
  RECT r;
  GetWindowRect(h, &r);
  // The default background is drawn at the design size of the image.
  EXPECT_EQ(r.right - r.left, 375);
  EXPECT_EQ(r.bottom - r.top, 345);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 375) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 345) / 2);
  const LONG style = GetWindowLongW(h, GWL_STYLE);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_NE(run.ChildAt(h, kCloseButton), nullptr);
  PostMessageW(h, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.WaitForExit(), 0u);
}

TEST(Launcher, ASecondInstanceEndsAtOnceWithMinusOneAndLeavesTheFirstAlone) {
  LauncherRun run;
  ASSERT_TRUE(run.Start());
  HWND h = run.WaitForMainWindow();
  ASSERT_NE(h, nullptr);
  RECT before;
  GetWindowRect(h, &before);
  const auto second = run.RunSecondInstance(20s);
  ASSERT_TRUE(second.has_value()) << "the second instance did not end";
  EXPECT_EQ(static_cast<int>(*second), -1);
  EXPECT_TRUE(run.Running());
  EXPECT_TRUE(IsWindowVisible(h));
  RECT after;
  GetWindowRect(h, &after);
  EXPECT_TRUE(EqualRect(&before, &after));
  PostMessageW(h, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.WaitForExit(), 0u);
}

TEST(Launcher, CloseButtonClosesDeviceAccessBeforeTheLibraryIsFreed) {
  LauncherRun run;
  run.WriteScenario(e2e::OneReceiverScenario());
  ASSERT_TRUE(run.Start());
  HWND h = run.WaitForMainWindow();
  ASSERT_NE(h, nullptr);
  HWND close = run.ChildAt(h, kCloseButton);
  ASSERT_NE(close, nullptr);
  PostMessageW(close, BM_CLICK, 0, 0);
  EXPECT_EQ(run.WaitForExit(), 0u);
  const auto trace = run.Trace();
  const int initial = FindLine(trace, "Initial");
  ASSERT_GE(initial, 0) << "the library was not initialised";
  // Initial got the main window's handle.
  char hwnd[32];
  std::snprintf(hwnd, sizeof hwnd, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(h)));
  EXPECT_NE(trace[initial].find(hwnd), std::string::npos) << trace[initial] << " / " << hwnd;
  const int closeQuery = FindLine(trace, "CloseQuery", initial);
  const int detach = FindLine(trace, e2e::kUnloadLine, initial);
  ASSERT_GE(closeQuery, 0);
  ASSERT_GE(detach, 0);
  EXPECT_LT(closeQuery, detach);
}

TEST(Launcher, AMissingLibraryShowsNothingAndCallsNothing) {
  LauncherRun run;
  run.Remove("DLL");
  ASSERT_TRUE(run.Start());
  HWND h = run.WaitForMainWindow();
  ASSERT_NE(h, nullptr);
  // Only the main window: no message box or other window of this process.
  std::this_thread::sleep_for(300ms);
  int windows = 0;
  struct Count {
    DWORD pid;
    int* n;
  } c{0, &windows};
  GetWindowThreadProcessId(h, &c.pid);
  EnumWindows(
      [](HWND w, LPARAM lp) CALLBACK -> BOOL {
        auto* s = reinterpret_cast<Count*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == s->pid && IsWindowVisible(w)) ++*s->n;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&c));
  EXPECT_EQ(windows, 1);
  PostMessageW(run.ChildAt(h, kCloseButton), BM_CLICK, 0, 0);
  EXPECT_EQ(run.WaitForExit(), 0u);
}

// The caption is the title label's text in the user's language. CTest runs this program once
// with an English and once with a German locale (LC_ALL), which Wine turns into the user language.
TEST(Texts, CaptionIsTheTitleInTheUserLanguage) {
  const LANGID lang = GetUserDefaultLangID();
  const wchar_t* expected = lang == 0x0407   ? L"Multi-Link-Tool"
                            : lang == 0x0409 ? L"Multi-Link Utility"
                                             : nullptr;
  if (!expected) GTEST_SKIP() << "user language " << std::hex << lang;
  LauncherRun run;
  ASSERT_TRUE(run.Start());
  HWND h = run.WaitForMainWindow();
  ASSERT_NE(h, nullptr);
  wchar_t caption[128] = {};
  GetWindowTextW(h, caption, 128);
  EXPECT_STREQ(caption, expected);
  PostMessageW(h, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.WaitForExit(), 0u);
}

TEST(Texts, WithoutLanguageFilesTheCaptionIsTheDesignOne) {
  LauncherRun run;
  run.Remove("Data/Tandrel_Program/Forms/Texts");
  run.Remove("Data/Tandrel_Program/Forms/Tandrel_Program/Texts");
  ASSERT_TRUE(run.Start());
  HWND h = run.WaitForMainWindow();
  ASSERT_NE(h, nullptr);
  wchar_t caption[128] = {};
  GetWindowTextW(h, caption, 128);
  EXPECT_STREQ(caption, L"lb_Title");
  PostMessageW(h, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.WaitForExit(), 0u);
}

TEST(Launcher, TakesTheOutlineOfItsBackgroundAtItsFirstActivation) {
  LauncherRun run;
  ASSERT_TRUE(run.Start());
  HWND h = run.WaitForMainWindow();
  ASSERT_NE(h, nullptr);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  int kind = ERROR;
  for (int i = 0; i < 100 && (kind = GetWindowRgn(h, rgn)) == ERROR; ++i) Sleep(20);
  EXPECT_EQ(kind, COMPLEXREGION);
  // The default skin cuts its corners and keeps its middle.
  EXPECT_FALSE(PtInRegion(rgn, 0, 0));
  EXPECT_FALSE(PtInRegion(rgn, 374, 344));
  EXPECT_TRUE(PtInRegion(rgn, 187, 172));
  DeleteObject(rgn);
  PostMessageW(h, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.WaitForExit(), 0u);
}

TEST(Launcher, WithoutABackgroundPictureTheWindowKeepsItsRectangle) {
  LauncherRun run;
  run.Remove("Data/Tandrel_Program/Forms/Tandrel_Program/English/MultiPairMain_Background.bmp");
  ASSERT_TRUE(run.Start());
  HWND h = run.WaitForMainWindow();
  ASSERT_NE(h, nullptr);
  Sleep(300);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(h, rgn), ERROR) << "no region: the whole window stays visible";
  DeleteObject(rgn);
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r.right - r.left, 375);
  EXPECT_EQ(r.bottom - r.top, 345);
  // The buttons are still there and still close the launcher.
  HWND close = run.ChildAt(h, kCloseButton);
  ASSERT_NE(close, nullptr);
  PostMessageW(close, BM_CLICK, 0, 0);
  EXPECT_EQ(run.WaitForExit(), 0u);
}

// A data file that breaks the construction: the entry's error box shows `message` and, once it
// is confirmed, the program ends with status 0.
void ExpectConstructionError(const char* file, const std::string& bytes, const wchar_t* message) {
  LauncherRun run;
  run.WriteFile(file, bytes);
  ASSERT_TRUE(run.Start());
  HWND box = run.WaitForWindowOfClass(L"#32770");
  ASSERT_NE(box, nullptr) << "the error was not shown";
  EXPECT_EQ(LauncherRun::StaticTexts(box), message);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(run.WaitForExit(), 0u);
}

TEST(Launcher, AMalformedNumberInTheLayoutIsReportedAndTheProgramEnds) {
  ExpectConstructionError("Data/Tandrel_Program/Forms/Tandrel_Program/UI_Main.txt",
                          "[English]\r\nlb_Title->Position=rectp,1,2,3q,4\r\n",
                          L"'3q' is not a valid integer value");
}

TEST(Launcher, AnUnreadableBackgroundIsReportedAndTheProgramEnds) {
  ExpectConstructionError(
      "Data/Tandrel_Program/Forms/Tandrel_Program/English/MultiPairMain_Background.bmp",
      "BM this is not a picture", L"Bitmap image is not valid");
}

// A start loads nothing that a bare window of the launcher's size does not, but the launcher
// and its device library. A library added to the start (as the common controls once were) costs
// every user time and memory before the window shows, and shows up here.
TEST(Launcher, LoadsNoLibraryABareWindowDoesNotButItsDeviceLibrary) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION bare{};
  std::wstring command = L"\"" + std::filesystem::path(TANDREL_BARE_WINDOW).wstring() + L"\"";
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &si, &bare));
  HWND bareWindow = e2e::WaitForVisibleWindow(bare.hProcess, nullptr);
  // Compared when ready, as the start-up harness takes it: the window shown and its thread idle
  // (the display driver loads some libraries only once the window is up).
  const auto ready = [](HANDLE process, HWND window) {
    WaitForInputIdle(process, 20000);
    DWORD_PTR ignored;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored);
    return e2e::LoadedModules(process);
  };
  const std::set<std::wstring> bareModules =
      bareWindow ? ready(bare.hProcess, bareWindow) : std::set<std::wstring>{};
  if (bareWindow) PostMessageW(bareWindow, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(bare.hProcess, 10000) != WAIT_OBJECT_0)
    TerminateProcess(bare.hProcess, 1);
  CloseHandle(bare.hThread);
  CloseHandle(bare.hProcess);
  ASSERT_NE(bareWindow, nullptr);

  LauncherRun run;
  ASSERT_TRUE(run.Start());
  HWND main = run.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  std::set<std::wstring> extra;
  for (const std::wstring& name : ready(run.Process(), main))
    if (!bareModules.count(name)) extra.insert(name);
  EXPECT_EQ(extra, (std::set<std::wstring>{L"dll_mousedevicemanager.dll", L"tandrelprogram.exe"}));
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.WaitForExit(), 0u);
}

}  // namespace

// The module authors' guide, end to end: its signal module as an author builds it from the SDK
// folder alone (tests/sdk/build_from_sdk.sh), under the launcher, against the guide's scenario
// from the same folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/LauncherRun_win.h"

namespace {
using e2e::LauncherRun;

constexpr RECT kRssiButton{209, 271, 341, 304};

std::string SdkScenario() {
  std::ifstream in(std::filesystem::path(TANDREL_STAGE_DIR) / "SDK" / "signal.scenario",
                   std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Starts the launcher with the SDK's module and the scenario, presses the signal button and
// returns the module's window (null when it did not come).
HWND StartSignalModule(LauncherRun& run, const std::string& scenario) {
  run.WriteScenario(scenario);
  std::filesystem::copy_file(
      TANDREL_SDK_MODULE, run.Folder() / "Data/Tandrel_Program/Forms/RSSIDisplay/RSSIDisplay.dll",
      std::filesystem::copy_options::overwrite_existing);
  if (!run.Start()) return nullptr;
  HWND main = run.WaitForMainWindow();
  if (!main) return nullptr;
  PostMessageW(run.ChildAt(main, kRssiButton), BM_CLICK, 0, 0);
  return run.WaitForWindowOfClass(L"MinimalSignalDisplay");
}

// The results of the trace's radio reads (info page 4), in order: "1", or "0 (fault)" and the
// like.
std::vector<std::string> RadioReads(const std::vector<std::string>& trace) {
  std::vector<std::string> results;
  for (const auto& line : trace) {
    if (!line.starts_with("Read ") || line.find("cmd=0xB600 param=0x0004") == std::string::npos)
      continue;
    const std::string result = line.substr(line.find("-> ") + 3);
    results.push_back(result.substr(0, result.find(" data=")));
  }
  return results;
}

TEST(Guide, TheModuleBuiltFromTheSdkFolderShowsTheGuidesReceiver) {
  const std::string scenario = SdkScenario();
  ASSERT_NE(scenario.find("initial = 1"), std::string::npos) << scenario;
  LauncherRun run;
  HWND window = StartSignalModule(run, scenario);
  ASSERT_NE(window, nullptr) << "the guide's module did not start";
  wchar_t title[64] = {};
  for (int i = 0; i < 100; ++i, Sleep(50)) {
    GetWindowTextW(window, title, 64);
    if (std::wstring(title) == L"Channel 7, level 42") break;
  }
  EXPECT_EQ(std::wstring(title), L"Channel 7, level 42");
  HWND main = run.WaitForMainWindow();
  PostMessageW(window, WM_CLOSE, 0, 0);
  for (int i = 0; i < 100 && !IsWindowEnabled(main); ++i) Sleep(20);
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(run.Running()) << "the launcher stays after the signal display";
  // The scenario's trace, as the guide promises: the library answers Initial as a real one does,
  // and the module's requests are there.
  const auto trace = run.Trace();
  ASSERT_FALSE(trace.empty()) << "no trace";
  EXPECT_TRUE(trace.front().starts_with("Initial ") && trace.front().ends_with("-> 1"))
      << trace.front();
  const auto reads = RadioReads(trace);
  ASSERT_FALSE(reads.empty()) << "no radio read in the trace";
  for (const auto& result : reads) EXPECT_EQ(result, "1");
}

TEST(Guide, FailingTheFifthToSeventhRadioReadsRemovesTheReceiverAtTheFifthRequest) {
  // As the guide has it: the line added to the receiver, the last section of the scenario.
  LauncherRun run;
  HWND window = StartSignalModule(run, SdkScenario() + "fail.0xB600.0x0004 = 5 6 7\n");
  ASSERT_NE(window, nullptr) << "the guide's module did not start";
  // The module closes its window on AM_DEVICE_REMOVE, and the launcher ends.
  for (int i = 0; i < 200 && IsWindow(window); ++i) Sleep(50);
  EXPECT_FALSE(IsWindow(window)) << "the module was not told that the receiver went away";
  EXPECT_EQ(run.WaitForExit(), 0u);
  // Four requests answered, then the fifth request's read and both its retries failed.
  EXPECT_EQ(RadioReads(run.Trace()),
            (std::vector<std::string>{"1", "1", "1", "1", "0 (fault)", "0 (fault)", "0 (fault)"}));
}

}  // namespace

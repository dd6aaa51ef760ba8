// The main window's answers as a feature module and the session see them, end to end: a scripted
// module in place of the multi-pair module, the session-end messages, and a background picture of
// another size than the design's.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/e2e/LauncherRun_win.h"
#include "tests/ui/bitmap/BmpWriter.h"

namespace {
using namespace std::chrono_literals;
using e2e::LauncherRun;

constexpr RECT kPairButton{8, 232, 140, 265};
constexpr RECT kRssiButton{209, 271, 341, 304};

using e2e::CountLines;
const auto Lines = e2e::FileLines;

struct ProbeRun {
  std::vector<std::string> log;
  bool launcherEnded = false;
  std::string formsFolder;  // as the launcher builds it: its folder + "\Data\...\Forms\"
};

// Runs the probe module in place of a feature module (the multi-pair module, after which the
// launcher always ends, or the signal module, after which it stays) with one script command.
ProbeRun RunProbe(const std::string& command, const std::string& receiver, bool asMultiPair) {
  const std::string module = asMultiPair ? "MultiPairForm" : "RSSIDisplay";
  const std::string folder = "Data/Tandrel_Program/Forms/" + module;
  LauncherRun run;
  run.WriteScenario("[receiver]\nfamily = 1\nfirmware = 38\npath = R1\n" + receiver);
  std::filesystem::copy_file(TANDREL_PROBE_MODULE, run.Folder() / folder / (module + ".dll"),
                             std::filesystem::copy_options::overwrite_existing);
  run.WriteFile(folder + "/probe.script", command + "\n");
  ProbeRun out;
  out.formsFolder = run.Folder().string() + "\\\\Data\\Tandrel_Program\\Forms\\";
  EXPECT_TRUE(run.Start());
  HWND main = run.WaitForMainWindow();
  EXPECT_NE(main, nullptr);
  if (!main) return out;
  PostMessageW(run.ChildAt(main, asMultiPair ? kPairButton : kRssiButton), BM_CLICK, 0, 0);
  const auto logFile = run.Folder() / folder / "probe.log";
  for (int i = 0; i < 200 && CountLines(Lines(logFile), "done") == 0; ++i) Sleep(50);
  out.launcherEnded = run.WaitForExit(asMultiPair ? 20s : 1s).has_value();
  out.log = Lines(logFile);
  return out;
}

constexpr char kNoNewDevice[] = "info.6 = 00 00 00 00 00 00 80 00\n";

TEST(Requests, KindMinusOneReachesTheModuleWithEveryBitSet) {
  const auto log = RunProbe("get-id", kNoNewDevice, true).log;
  EXPECT_EQ(CountLines(log, "result 1"), 1u);
  const std::string expected = sizeof(WPARAM) == 8 ? "AM_PAIR_RETURN_ID w=0xFFFFFFFFFFFFFFFF l=0x0"
                                                   : "AM_PAIR_RETURN_ID w=0xFFFFFFFF l=0x0";
  EXPECT_EQ(CountLines(log, expected), 1u) << ::testing::PrintToString(log);
}

TEST(Requests, AnAnswerIsNeverBroadcast) {
  // The request is still carried out; its answer goes nowhere.
  const auto log = RunProbe("get-id-broadcast", kNoNewDevice, true).log;
  EXPECT_EQ(CountLines(log, "result 1"), 1u) << ::testing::PrintToString(log);
  EXPECT_EQ(CountLines(log, "AM_PAIR_RETURN_ID"), 0u);
  EXPECT_EQ(CountLines(log, "done"), 1u);
}

TEST(Requests, OneFailedRadioReadIsRetriedThreeFailedOnesMeanTheReceiverIsGone) {
  const std::string radio = "info.4 = 00 2A E7\ndrift = 0\n";
  const ProbeRun once = RunProbe("rfinfo", radio + "fail.0xB600.0x0004 = 1\n", false);
  EXPECT_EQ(CountLines(once.log, "AM_CHANNEL_SETTING_EX_RFINFO w=0x7 l=0x2A"), 1u)
      << ::testing::PrintToString(once.log);
  EXPECT_EQ(CountLines(once.log, "AM_DEVICE_REMOVE"), 0u);
  // The record's head: the user's language, no section path, the forms folder with the doubled
  // backslash the joining gives, and the passed check.
  EXPECT_EQ(
      CountLines(once.log, "record language=0x0 section=null forms=" + once.formsFolder + " ok=1"),
      1u)
      << ::testing::PrintToString(once.log);
  EXPECT_FALSE(once.launcherEnded);

  const ProbeRun gone = RunProbe("rfinfo", radio + "fail.0xB600.0x0004 = 1 2 3\n", false);
  EXPECT_EQ(CountLines(gone.log, "AM_DEVICE_REMOVE w=0x0 l=0x0"), 1u)
      << ::testing::PrintToString(gone.log);
  EXPECT_EQ(CountLines(gone.log, "AM_CHANNEL_SETTING_EX_RFINFO"), 0u);
  EXPECT_TRUE(gone.launcherEnded);
}

TEST(Requests, ASecondPressWhileAModuleRunsStartsNothing) {
  LauncherRun run;
  run.WriteScenario("[receiver]\nfamily = 1\nfirmware = 38\npath = R1\n");
  const std::string folder = "Data/Tandrel_Program/Forms/RSSIDisplay";
  std::filesystem::copy_file(TANDREL_PROBE_MODULE, run.Folder() / folder / "RSSIDisplay.dll",
                             std::filesystem::copy_options::overwrite_existing);
  run.WriteFile(folder + "/probe.script", "window\n");
  ASSERT_TRUE(run.Start());
  HWND main = run.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  HWND button = run.ChildAt(main, kRssiButton);
  PostMessageW(button, BM_CLICK, 0, 0);
  HWND probe = nullptr;
  for (int i = 0; i < 200 && !(probe = FindWindowW(L"TandrelProbeModule", nullptr)); ++i) Sleep(50);
  ASSERT_NE(probe, nullptr) << "the module did not start";
  EXPECT_FALSE(IsWindowEnabled(main)) << "the main window is disabled while the module runs";
  // The module's window is not modal: a press still reaches the launcher's queue.
  PostMessageW(button, BM_CLICK, 0, 0);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 1000, &ignored);
  Sleep(500);
  const auto log = run.Folder() / folder / "probe.log";
  EXPECT_EQ(CountLines(Lines(log), "enter"), 1u) << "a second call inside the first";
  PostMessageW(probe, WM_CLOSE, 0, 0);
  for (int i = 0; i < 100 && CountLines(Lines(log), "done") == 0; ++i) Sleep(50);
  for (int i = 0; i < 100 && !IsWindowEnabled(main); ++i) Sleep(20);
  EXPECT_TRUE(IsWindowEnabled(main)) << "enabled again when the export returns";
  EXPECT_TRUE(run.Running());
  // And the feature starts again.
  PostMessageW(button, BM_CLICK, 0, 0);
  for (int i = 0; i < 200 && CountLines(Lines(log), "enter") < 2; ++i) Sleep(50);
  EXPECT_EQ(CountLines(Lines(log), "enter"), 2u);
}

TEST(Session, EndingTheSessionRunsTheCloseQueryAndACancelledEndOpensAccessAgain) {
  LauncherRun run;
  run.WriteScenario(e2e::OneReceiverScenario());
  ASSERT_TRUE(run.Start());
  HWND main = run.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL,
                                  10000, &answer));
  EXPECT_EQ(answer, TRUE);
  EXPECT_EQ(CountLines(run.Trace(), "CloseQuery"), 1u);
  EXPECT_EQ(CountLines(run.Trace(), e2e::kUnloadLine), 1u);
  EXPECT_EQ(CountLines(run.Trace(), "Initial"), 1u);

  // Called off: the library is loaded and initialised again, and a later close closes it again.
  SendMessageTimeoutW(main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &answer);
  EXPECT_EQ(CountLines(run.Trace(), "Initial"), 2u);
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.WaitForExit(), 0u);
  EXPECT_EQ(CountLines(run.Trace(), "CloseQuery"), 2u);
}

TEST(Skin, TheBackgroundKeepsItsPicturesSizeWhateverTheLayoutSays) {
  // 400 x 300, the key colour in a 20-pixel square at each corner.
  constexpr int kW = 400, kH = 300, kCorner = 20;
  std::vector<uint32_t> pixels(kW * kH, 0x404040);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      if ((x < kCorner || x >= kW - kCorner) && (y < kCorner || y >= kH - kCorner))
        pixels[y * kW + x] = 0xFF00FF;
  const auto bmp = bmptest::MakeBmp(bmptest::BmpSpec(kW, kH, 24).Values(pixels));
  LauncherRun run;
  run.WriteFile("Data/Tandrel_Program/Forms/Tandrel_Program/English/MultiPairMain_Background.bmp",
                std::string(bmp.begin(), bmp.end()));
  run.WriteFile("Data/Tandrel_Program/Forms/Tandrel_Program/UI_Main.txt",
                "[English]\r\nVersion=1\r\n"
                "TandrelProgram->im_BackgroundImage->Position=rectp,0,0,375,345\r\n");
  ASSERT_TRUE(run.Start());
  HWND main = run.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  RECT r;
  GetWindowRect(main, &r);
  EXPECT_EQ(r.right - r.left, kW);
  EXPECT_EQ(r.bottom - r.top, kH);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  int kind = ERROR;
  for (int i = 0; i < 100 && (kind = GetWindowRgn(main, rgn)) == ERROR; ++i) Sleep(20);
  ASSERT_EQ(kind, COMPLEXREGION);
  // The outline of the whole picture: its corners cut, its full width and height kept.
  HRGN expected = CreateRectRgn(kCorner, 0, kW - kCorner, kH);
  HRGN middle = CreateRectRgn(0, kCorner, kW, kH - kCorner);
  CombineRgn(expected, expected, middle, RGN_OR);
  EXPECT_TRUE(EqualRgn(rgn, expected));
  DeleteObject(middle);
  DeleteObject(expected);
  DeleteObject(rgn);
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.WaitForExit(), 0u);
}

}  // namespace

// The launcher's own window needs no common controls (comctl32.dll stays out of its start, see
// BrokenDataTree), while a module's windows get version 6, as a manifest asking for them gives.
TEST(Requests, AModulesButtonsAreCommonControlsSix) {
  EXPECT_EQ(CountLines(RunProbe("controls", kNoNewDevice, false).log, "controls 6"), 1u);
}

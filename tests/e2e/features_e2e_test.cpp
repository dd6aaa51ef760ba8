// The two feature buttons end to end: the receiver check against simulated receivers, the
// messages it shows through the message-confirm module, and the feature modules it starts.
#include <gtest/gtest.h>

#include <string>

#include "outside/modules/ModuleWindows.h"
#include "tests/e2e/LauncherRun_win.h"

namespace {
using namespace std::chrono_literals;
using e2e::LauncherRun;

constexpr RECT kPairButton{8, 232, 140, 265};
constexpr RECT kRssiButton{209, 271, 341, 304};
constexpr wchar_t kNoDongle[] = L"No suitable receiver was found";
constexpr wchar_t kMultiple[] = L"More than one receiver";
constexpr wchar_t kTooOld[] = L"firmware is too old";

std::string Scenario(const std::string& receivers) {
  return "[library]\ninitial = 1\ntrace = DLL_MouseDeviceManager.trace\n" + receivers;
}
std::string Receiver(const std::string& family, int firmware, const std::string& path) {
  return "[receiver]\nfamily = " + family + "\nfirmware = " + std::to_string(firmware) +
         "\npath = " + path + "\n";
}

class Features : public ::testing::Test {
 protected:
  HWND StartWith(const std::string& scenario) {
    run_.WriteScenario(scenario);
    if (!run_.Start()) return nullptr;
    main_ = run_.WaitForMainWindow();
    return main_;
  }
  void Press(RECT button) {
    HWND b = run_.ChildAt(main_, button);
    ASSERT_NE(b, nullptr);
    PostMessageW(b, BM_CLICK, 0, 0);
  }
  // The message box the check shows: its text, after pressing OK.
  std::wstring TakeMessage() {
    HWND box = run_.WaitForWindowOfClass(L"#32770", 15s);
    if (!box) return L"(no message)";
    std::wstring text = LauncherRun::StaticTexts(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return text;
  }
  bool TraceHas(const std::string& needle) {
    for (const auto& line : run_.Trace())
      if (line.find(needle) != std::string::npos) return true;
    return false;
  }

  LauncherRun run_;
  HWND main_ = nullptr;
};

TEST_F(Features, FirmwareThirtyEightStartsMultiPairAndTheLauncherEndsAfterIt) {
  ASSERT_NE(StartWith(Scenario(Receiver("1", 38, "R1"))), nullptr);
  Press(kPairButton);
  HWND form = run_.WaitForWindowOfClass(TANDREL_MULTIPAIR_CLASS);
  ASSERT_NE(form, nullptr) << "the multi-pair module did not start";
  EXPECT_FALSE(IsWindowEnabled(main_)) << "the module runs modal over the launcher";
  PostMessageW(form, WM_CLOSE, 0, 0);
  EXPECT_EQ(run_.WaitForExit(), 0u);
  EXPECT_TRUE(TraceHas("cmd=0xB501 param=0x2701"));
  EXPECT_TRUE(TraceHas("Unload freed"));
}

TEST_F(Features, FirmwareThirtySevenIsCalledTooOldAndStartsNothing) {
  ASSERT_NE(StartWith(Scenario(Receiver("1", 37, "R1"))), nullptr);
  Press(kPairButton);
  EXPECT_NE(TakeMessage().find(kTooOld), std::wstring::npos);
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(run_.Running());
  EXPECT_EQ(run_.WaitForWindowOfClass(TANDREL_MULTIPAIR_CLASS, 500ms), nullptr);
  PostMessageW(main_, WM_CLOSE, 0, 0);
  EXPECT_EQ(run_.WaitForExit(), 0u);
}

TEST_F(Features, LanguageFilesWithoutTheTooOldTextSayNoReceiverAsBefore) {
  // An older shared file: the two receiver messages only.
  run_.WriteFile("Data/Tandrel_Program/Forms/Texts/English.txt",
                 "[MultiPairForm.dll]\r\nNoDongleExists=No suitable receiver was found.\r\n"
                 "MultipleDongle=More than one receiver\r\n");
  ASSERT_NE(StartWith(Scenario(Receiver("1", 37, "R1"))), nullptr);
  Press(kRssiButton);
  EXPECT_NE(TakeMessage().find(kNoDongle), std::wstring::npos);
}

TEST_F(Features, TwoSecondFamilyReceiversShowMultipleDongle) {
  ASSERT_NE(StartWith(Scenario(Receiver("2", 40, "A") + Receiver("2", 40, "B"))), nullptr);
  Press(kRssiButton);
  EXPECT_NE(TakeMessage().find(kMultiple), std::wstring::npos);
  EXPECT_EQ(run_.WaitForWindowOfClass(TANDREL_RSSI_CLASS, 500ms), nullptr);
}

TEST_F(Features, NoReceiverShowsNoDongleExists) {
  ASSERT_NE(StartWith(Scenario("")), nullptr);
  Press(kPairButton);
  EXPECT_NE(TakeMessage().find(kNoDongle), std::wstring::npos);
}

TEST_F(Features, TwoFirstFamilyAndOneSecondFamilyGoOnWithTheSecond) {
  ASSERT_NE(StartWith(Scenario(Receiver("1", 38, "F1a") + Receiver("1", 38, "F1b") +
                               Receiver("2", 38, "F2"))),
            nullptr);
  Press(kRssiButton);
  HWND display = run_.WaitForWindowOfClass(TANDREL_RSSI_CLASS);
  ASSERT_NE(display, nullptr);
  EXPECT_TRUE(TraceHas("Read path=\"F2\" tag=0x0003 cmd=0xB501 param=0x2701"));
  PostMessageW(display, WM_CLOSE, 0, 0);
}

TEST_F(Features, AMissingTextReachesTheModuleAsTheMarker) {
  run_.Remove("Data/Tandrel_Program/Forms/Texts");
  run_.Remove("Data/Tandrel_Program/Forms/Tandrel_Program/Texts");
  ASSERT_NE(StartWith(Scenario("")), nullptr);
  Press(kPairButton);
  EXPECT_EQ(TakeMessage(), L"@@");
}

TEST_F(Features, TheSignalDisplayReturnsToTheLauncherAndStartsAgain) {
  ASSERT_NE(StartWith(Scenario(Receiver("1", 38, "R1"))), nullptr);
  for (int round = 0; round < 2; ++round) {
    Press(kRssiButton);
    HWND display = run_.WaitForWindowOfClass(TANDREL_RSSI_CLASS);
    ASSERT_NE(display, nullptr) << "round " << round;
    PostMessageW(display, WM_CLOSE, 0, 0);
    for (int i = 0; i < 100 && IsWindow(display); ++i) std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(run_.Running());
    EXPECT_TRUE(IsWindowEnabled(main_));
  }
  PostMessageW(main_, WM_CLOSE, 0, 0);
  EXPECT_EQ(run_.WaitForExit(), 0u);
}

}  // namespace

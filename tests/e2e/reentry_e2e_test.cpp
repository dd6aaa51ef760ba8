// A device library that dispatches window messages while it waits (as one does that waits for a
// USB transfer with a message loop), end to end: the simulator pumps inside the store's mode
// writes, and a logoff, a WM_CLOSE or a second request arrives there. None of them may cut the
// library call off: no crash, the library freed once and only after the call returned, the
// second request answered as failed, and the receiver given exactly the calls of one store.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "sdk/tandrel_sdk.h"
#include "tests/e2e/LauncherRun_win.h"

namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using e2e::CountLines;
using e2e::LauncherRun;

constexpr RECT kPairButton{8, 232, 140, 265};

// A receiver that reports a kind-1 device on info page 6; the library pumps for 1.5 s inside each
// mode write of the store (mode 1 before the table is written, mode 2 after).
std::string Scenario(bool pumping) {
  return std::string("[library]\ntrace = DLL_MouseDeviceManager.trace\n") +
         (pumping ? "pump = 1500 0xBF01\n" : "") +
         "[receiver]\nfamily = 1\nfirmware = 38\npath = R1\ndrift = 0\n"
         "info.6 = 0D 12 34 00 00 00 20 85\ninfo.4 = 00 2A E7 00 00 3C\n";
}

enum class Interruption { kNone, kLogoff, kClose, kSecondRequest };

struct Outcome {
  std::vector<std::string> trace, probe;
  std::optional<DWORD> exitCode;
  LRESULT interruptionAnswer = -1;
  std::vector<std::string> secondAnswers;  // AM_PAIR_RETURN_ID to the second requester
};

// The receiver's calls, without the pumping's own lines: what reached the receiver.
std::vector<std::string> ReceiverCalls(const std::vector<std::string>& trace) {
  std::vector<std::string> calls;
  for (const auto& line : trace)
    if (line.starts_with("Write ") || line.starts_with("Read ")) calls.push_back(line);
  return calls;
}

Outcome RunStore(Interruption interruption, bool pumping = true) {
  LauncherRun run;
  run.WriteScenario(Scenario(pumping));
  const fs::path folder = fs::path("Data/Tandrel_Program/Forms/MultiPairForm");
  fs::copy_file(TANDREL_PROBE_MODULE, run.Folder() / folder / "MultiPairForm.dll",
                fs::copy_options::overwrite_existing);
  run.WriteFile(folder / "probe.script", "get-id\n");
  Outcome out;
  EXPECT_TRUE(run.Start());
  HWND main = run.WaitForMainWindow();
  EXPECT_NE(main, nullptr);
  if (!main) return out;
  // The second requester: a window of this process, which the answer is posted to.
  HWND requester = CreateWindowExW(0, L"STATIC", L"second requester", WS_POPUP, 0, 0, 1, 1, nullptr,
                                   nullptr, nullptr, nullptr);
  PostMessageW(run.ChildAt(main, kPairButton), BM_CLICK, 0, 0);
  if (interruption != Interruption::kNone) {
    for (int i = 0; i < 400 && CountLines(run.Trace(), "Pump begin Write cmd=0xBF01") == 0; ++i)
      Sleep(25);
    EXPECT_EQ(CountLines(run.Trace(), "Pump begin Write cmd=0xBF01"), 1u)
        << "the store never began";
    DWORD_PTR answer = 0;
    switch (interruption) {
      case Interruption::kLogoff:
        SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000,
                            &answer);
        break;
      case Interruption::kClose:
        SendMessageTimeoutW(main, WM_CLOSE, 0, 0, SMTO_NORMAL, 10000, &answer);
        break;
      case Interruption::kSecondRequest:
        SendMessageTimeoutW(main, RegisterWindowMessageW(TANDREL_MSG_PAIR_GET_ID),
                            reinterpret_cast<WPARAM>(requester), 0, SMTO_NORMAL, 10000, &answer);
        break;
      case Interruption::kNone:
        break;
    }
    out.interruptionAnswer = static_cast<LRESULT>(answer);
    // Still inside the library's call when the answer came.
    EXPECT_EQ(CountLines(run.Trace(), "Pump end Write cmd=0xBF01"), 0u);
  }
  // The multi-pair module's end closes the launcher in every case.
  out.exitCode = run.WaitForExit(60s);
  const UINT returnId = RegisterWindowMessageW(TANDREL_MSG_PAIR_RETURN_ID);
  MSG msg;
  while (PeekMessageW(&msg, requester, returnId, returnId, PM_REMOVE))
    out.secondAnswers.push_back(std::to_string(static_cast<INT_PTR>(msg.wParam)) + " " +
                                std::to_string(msg.lParam));
  DestroyWindow(requester);
  out.trace = run.Trace();
  out.probe = e2e::FileLines(run.Folder() / folder / "probe.log");
  return out;
}

// What every interrupted store must show against the store that nothing interrupted.
void ExpectWholeStore(const Outcome& run, const Outcome& single, const char* what) {
  SCOPED_TRACE(what);
  ASSERT_TRUE(run.exitCode.has_value()) << "the launcher did not end";
  EXPECT_EQ(*run.exitCode, 0u) << "the launcher crashed";
  EXPECT_EQ(CountLines(run.probe, "result 1"), 1u) << ::testing::PrintToString(run.probe);
  EXPECT_EQ(CountLines(run.probe, "AM_PAIR_RETURN_ID w=0x1 l=0x51234"), 1u)
      << ::testing::PrintToString(run.probe);
  // The library freed once, after every call into it: its last line.
  EXPECT_EQ(CountLines(run.trace, e2e::kUnloadLine), 1u) << ::testing::PrintToString(run.trace);
  ASSERT_FALSE(run.trace.empty());
  EXPECT_EQ(run.trace.back(), e2e::kUnloadLine);
  EXPECT_EQ(CountLines(run.trace, "CloseQuery"), 1u);
  EXPECT_EQ(CountLines(run.trace, "Pump begin"), CountLines(run.trace, "Pump end"));
  // The receiver got exactly the calls of one store, so it holds the table one store writes.
  EXPECT_EQ(ReceiverCalls(run.trace), ReceiverCalls(single.trace));
}

TEST(Reentry, NothingInsideAPumpingLibraryCallCutsTheStoreOff) {
  const Outcome single = RunStore(Interruption::kNone, false);
  ASSERT_EQ(single.exitCode, 0u);
  ASSERT_GT(ReceiverCalls(single.trace).size(), 300u);

  const Outcome logoff = RunStore(Interruption::kLogoff);
  ExpectWholeStore(logoff, single, "logoff");
  EXPECT_EQ(logoff.interruptionAnswer, TRUE) << "the session may end";

  const Outcome close = RunStore(Interruption::kClose);
  ExpectWholeStore(close, single, "WM_CLOSE");

  const Outcome second = RunStore(Interruption::kSecondRequest);
  ExpectWholeStore(second, single, "second request");
  EXPECT_EQ(second.interruptionAnswer, 0) << "the second request is answered as failed";
  const std::string noDevice = std::to_string(INT_PTR{-1}) + " 0";
  EXPECT_EQ(second.secondAnswers, std::vector<std::string>{noDevice});
}

}  // namespace

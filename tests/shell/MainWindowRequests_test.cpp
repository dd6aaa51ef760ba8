// The feature modules' requests as the main window serves them: registered messages sent to the
// form's window, carried out on a simulated receiver inside this process.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "device/輸出入_接口與訊息.h"
#include "outside/devicemanager/Simulator.h"
#include "shell/MultiPairMainForm.h"
#include "tests/device/InProcessLibrary.h"
#include "ui/Application.h"

namespace {

UINT Msg(const char16_t* name) {
  return device::RegisteredMessage(name);
}

// A window standing in for a feature module: it keeps what the launcher sends or posts to it.
class ModuleWindow {
 public:
  struct Received {
    UINT msg;
    WPARAM w;
    LPARAM l;
  };
  ModuleWindow() {
    static const ATOM cls = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = &Proc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"TandrelTestModule";
      return RegisterClassW(&wc);
    }();
    hwnd_ = CreateWindowExW(0, MAKEINTATOM(cls), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~ModuleWindow() { DestroyWindow(hwnd_); }
  HWND Handle() const { return hwnd_; }
  // Posted answers arrive through the queue.
  void Pump() {
    MSG m;
    while (PeekMessageW(&m, hwnd_, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  }
  std::vector<Received> received;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<ModuleWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (self && m >= 0xC000) self->received.push_back({m, w, l});
    return DefWindowProcW(h, m, w, l);
  }
  HWND hwnd_ = nullptr;
};

class Requests : public ::testing::Test {
 protected:
  void Use(const std::string& scenario) {
    sim_ = std::make_unique<devicemanager::Simulator>(
        devicemanager::ParseScenario(scenario),
        [this](std::string_view line) { trace_.emplace_back(line); });
    library_ =
        std::make_unique<testing_support::InProcessLibrary>(testing_support::ExportsOf(*sim_));
    ui::App().Initialize();
    form_ = ui::App().CreateForm<TTandrelProgram>();
    form_->Receiver.SetDevice(u"R1", 1);
    hwnd_ = static_cast<HWND>(form_->Handle());
  }
  void TearDown() override {
    ui::App().DestroyForms();
    library_.reset();
  }
  size_t Count(const std::string& needle) const {
    size_t n = 0;
    for (const auto& line : trace_) n += line.find(needle) != std::string::npos;
    return n;
  }

  std::vector<std::string> trace_;
  std::unique_ptr<devicemanager::Simulator> sim_;
  std::unique_ptr<testing_support::InProcessLibrary> library_;
  TTandrelProgram* form_ = nullptr;
  HWND hwnd_ = nullptr;
  ModuleWindow module_;
};

constexpr char kReceiver[] = "[receiver]\npath = R1\ntag = 1\nfirmware = 38\n";

TEST_F(Requests, PairStartWalksTheParameterTableAndStartsPairing) {
  Use(std::string(kReceiver) + "fail.0xBE01 = 3\n");  // the third start fails
  std::vector<LRESULT> results;
  for (int i = 0; i < 12; ++i)
    results.push_back(SendMessageW(hwnd_, Msg(device::kAmPairStart), 0, 0));
  std::vector<std::string> params;
  for (const auto& line : trace_) {
    const size_t at = line.find("cmd=0xBE01 param=");
    if (at != std::string::npos) params.push_back(line.substr(at + 17, 6));
  }
  // This process's first start uses 6; the failed third one still used up its entry.
  const std::vector<std::string> expected = {"0x0006", "0x0007", "0x0008", "0x000C",
                                             "0x000E", "0x0010", "0x0014", "0x0018",
                                             "0x001C", "0x001D", "0x0002", "0x0006"};
  EXPECT_EQ(params, expected);
  EXPECT_EQ(results[2], 0);
  EXPECT_EQ(results[3], 1);
  EXPECT_EQ(Count("cmd=0xBF02 param=0x0001"), 11u);  // no pairing start after the failure
  EXPECT_EQ(SendMessageW(hwnd_, Msg(device::kAmPairStop), 0, 0), 1);
  EXPECT_EQ(Count("cmd=0xBF02 param=0x0000"), 1u);
}

TEST_F(Requests, AKindOneDeviceIsStoredInThePairingBlockAndReturned) {
  Use(std::string(kReceiver) + "info.6 = 0D 12 34 00 00 00 20 85\ninfo.4 = 00 2A E7 00 00 3C\n" +
      "word.0x2778 = 0x5A00\n");
  EXPECT_EQ(
      SendMessageW(hwnd_, Msg(device::kAmPairGetId), reinterpret_cast<WPARAM>(module_.Handle()), 0),
      1);
  module_.Pump();
  ASSERT_EQ(module_.received.size(), 1u);
  EXPECT_EQ(module_.received[0].msg, Msg(device::kAmPairReturnId));
  EXPECT_EQ(module_.received[0].w, 1u);
  EXPECT_EQ(module_.received[0].l, 0x51234);
  TBRIMAC check;
  check.SetDevice(u"R1", 1);
  TBRIMAC::Block block{};
  ASSERT_TRUE(check.ReadBlock(0x2700, block));
  EXPECT_EQ(block[114], 0x0005);
  EXPECT_EQ(block[115], 0x1234);
  EXPECT_EQ(block[118], 0x0500);
  EXPECT_EQ(block[119], 0x003C);
  EXPECT_EQ(block[120], 0x5AA4);  // high byte kept, low byte marks the attribute's bit 7
  EXPECT_EQ(block[32], 0xFFFF);
  // Between the mode writes 1 and 2, one begun block of four chunks.
  EXPECT_EQ(Count("cmd=0xBF01 param=0x0001"), 1u);
  EXPECT_EQ(Count("cmd=0xB502 param=0x2700"), 1u);
  EXPECT_EQ(Count("cmd=0xB500"), 4u);
  EXPECT_EQ(Count("cmd=0xBF01 param=0x0002"), 1u);
}

TEST_F(Requests, NoNewDeviceReadsAndWritesNoBlockAndAnswersKindMinusOne) {
  Use(std::string(kReceiver) + "info.6 = 0D 12 34 00 00 00 80 85\n");
  EXPECT_EQ(
      SendMessageW(hwnd_, Msg(device::kAmPairGetId), reinterpret_cast<WPARAM>(module_.Handle()), 0),
      1);
  module_.Pump();
  ASSERT_EQ(module_.received.size(), 1u);
  EXPECT_EQ(module_.received[0].w, static_cast<WPARAM>(static_cast<uint32_t>(-1)));
  EXPECT_EQ(module_.received[0].l, 0);
  EXPECT_EQ(Count("cmd=0xB501"), 0u);
  EXPECT_EQ(Count("cmd=0xB502"), 0u);
}

TEST_F(Requests, AFailedInfoReadAnswersResultZeroAndStillPostsNoDevice) {
  Use(std::string(kReceiver) + "fail.0xB600.0x0006 = 1\n");
  EXPECT_EQ(
      SendMessageW(hwnd_, Msg(device::kAmPairGetId), reinterpret_cast<WPARAM>(module_.Handle()), 0),
      0);
  module_.Pump();
  ASSERT_EQ(module_.received.size(), 1u);
  EXPECT_EQ(module_.received[0].w, static_cast<WPARAM>(static_cast<uint32_t>(-1)));
  EXPECT_EQ(module_.received[0].l, 0);
}

TEST_F(Requests, RadioInformationIsSentBackAndALostReceiverEndsTheLauncher) {
  Use(std::string(kReceiver) + "info.4 = 00 2A E7\ndrift = 0\nfail.0xB600.0x0004 = 2\n");
  const UINT request = Msg(device::kAmChannelSettingExRequestRfInfo);
  SendMessageW(hwnd_, request, reinterpret_cast<WPARAM>(module_.Handle()), 0);
  ASSERT_EQ(module_.received.size(), 1u);  // sent, so it is there when the request returns
  EXPECT_EQ(module_.received[0].msg, Msg(device::kAmChannelSettingExRfInfo));
  EXPECT_EQ(module_.received[0].w, 7u);
  EXPECT_EQ(module_.received[0].l, 42);
  EXPECT_EQ(form_->RfInfoRequester, module_.Handle());
  EXPECT_FALSE(ui::App().Terminated());
  SendMessageW(hwnd_, request, reinterpret_cast<WPARAM>(module_.Handle()), 0);
  ASSERT_EQ(module_.received.size(), 2u);
  EXPECT_EQ(module_.received[1].msg, Msg(device::kAmDeviceRemove));
  EXPECT_EQ(module_.received[1].w, 0u);
  EXPECT_EQ(module_.received[1].l, 0);
  EXPECT_TRUE(ui::App().Terminated());
}

}  // namespace

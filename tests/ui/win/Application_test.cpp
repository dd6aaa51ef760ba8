// The application's message loop, message processing and exception box on Windows.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "ui/Application.h"
#include "ui/Exception.h"
#include <windows.h>

namespace {

HWND H(ui::TWinControl& c) {
  return static_cast<HWND>(c.Handle());
}

bool QuitPending() {
  MSG msg;
  return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

struct AppTest : ::testing::Test {
  ui::Application& app = ui::App();
  ui::TForm* main = nullptr;
  void SetUp() override {
    app.Initialize();
    main = app.CreateForm<ui::TForm>(nullptr, u"Main");
    main->SetBounds(50, 50, 200, 100);
  }
  void TearDown() override {
    app.DestroyForms();
    QuitPending();
  }
  ui::TButton* Add(const char16_t* name, int left, int tabOrder) {
    auto* b = new ui::TButton(main, name);
    b->SetParent(main);
    b->TabOrder = tabOrder;
    b->SetBounds(left, 10, 50, 25);
    return b;
  }
};

// Ends a Run that would otherwise never return, and says so.
struct Watchdog {
  static inline std::atomic<bool> fired{false};
  UINT_PTR id;
  static void CALLBACK Fire(HWND, UINT, UINT_PTR, DWORD) {
    fired = true;
    ui::App().Terminate();
  }
  Watchdog() {
    fired = false;
    id = SetTimer(nullptr, 0, 10000, &Fire);
  }
  ~Watchdog() { KillTimer(nullptr, id); }
};

TEST_F(AppTest, ProcessMessagesDispatchesWhatIsPostedAndTakesAQuit) {
  std::vector<uint32_t> seen;
  ui::WndMethod saved = main->WindowProc;
  main->WindowProc = [&](ui::Message& m) {
    if (m.Msg >= 0x8000 && m.Msg < 0x8010) seen.push_back(m.Msg);
    saved(m);
  };
  PostMessageW(H(*main), 0x8001, 0, 0);
  PostMessageW(H(*main), 0x8002, 0, 0);
  app.ProcessMessages();
  EXPECT_EQ(seen, (std::vector<uint32_t>{0x8001, 0x8002}));
  EXPECT_FALSE(app.Terminated());

  PostQuitMessage(0);
  app.ProcessMessages();
  EXPECT_TRUE(app.Terminated());
  EXPECT_FALSE(QuitPending());  // taken, not posted again
}

TEST_F(AppTest, RunShowsTheMainFormAndReturnsWhenItClosesFromInsideTheLoop) {
  bool visibleInLoop = false;
  ui::WndMethod saved = main->WindowProc;
  main->WindowProc = [&](ui::Message& m) {
    if (m.Msg == WM_CLOSE) visibleInLoop = IsWindowVisible(H(*main));
    saved(m);
  };
  PostMessageW(H(*main), WM_CLOSE, 0, 0);
  Watchdog dog;
  app.Run();
  EXPECT_FALSE(Watchdog::fired);
  EXPECT_TRUE(visibleInLoop);
  EXPECT_TRUE(app.Terminated());
  EXPECT_FALSE(IsWindowVisible(H(*main)));
  EXPECT_FALSE(QuitPending());  // nothing left for a later modal loop
}

TEST_F(AppTest, ButtonClickThatClosesTheMainFormEndsRun) {
  auto* b = Add(u"bt_Close", 10, 0);
  int clicks = 0;
  b->OnClick = [&](ui::Component*) {
    ++clicks;
    main->Close();
  };
  PostMessageW(H(*b), BM_CLICK, 0, 0);
  Watchdog dog;
  app.Run();
  EXPECT_FALSE(Watchdog::fired);
  EXPECT_EQ(clicks, 1);
}

TEST_F(AppTest, TerminateWakesANestedLoop) {
  bool nestedSawQuit = false;
  ui::WndMethod saved = main->WindowProc;
  main->WindowProc = [&](ui::Message& m) {
    if (m.Msg == 0x8003) {
      main->Close();
      // A modal loop inside a handler (a module's form, a message box) must end as well.
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
      nestedSawQuit = msg.message == WM_QUIT;
    }
    saved(m);
  };
  PostMessageW(H(*main), 0x8003, 0, 0);
  Watchdog dog;
  app.Run();
  EXPECT_FALSE(Watchdog::fired);
  EXPECT_TRUE(nestedSawQuit);
}

// b1 is owner-drawn, as a skinned button is: it keeps the keys of a push button.
TEST_F(AppTest, TabMovesTheFocusInTabOrderAndEnterOrSpaceClicksTheFocusedButton) {
  auto* b1 = Add(u"b1", 80, 1);
  auto* b0 = Add(u"b0", 10, 0);
  b1->SetOwnerDrawn(true);
  int clicks1 = 0, clicks0 = 0;
  b1->OnClick = [&](ui::Component*) { ++clicks1; };
  b0->OnClick = [&](ui::Component*) { ++clicks0; };
  main->Show();
  SetForegroundWindow(H(*main));
  SetFocus(H(*b0));
  ASSERT_EQ(GetFocus(), H(*b0));
  PostMessageW(H(*b0), WM_KEYDOWN, VK_TAB, 0);
  app.ProcessMessages();
  EXPECT_EQ(GetFocus(), H(*b1));
  PostMessageW(H(*b1), WM_KEYDOWN, VK_RETURN, 0);
  app.ProcessMessages();
  EXPECT_EQ(clicks1, 1);
  PostMessageW(H(*b1), WM_KEYDOWN, VK_SPACE, 0);
  PostMessageW(H(*b1), WM_KEYUP, VK_SPACE, 0xC0000000);
  app.ProcessMessages();
  EXPECT_EQ(clicks1, 2);
  EXPECT_EQ(clicks0, 0);
}

// Reads and dismisses the exception box from another thread while ShowException waits in it.
std::wstring ShowAndRead(const std::exception* e) {
  std::wstring text = L"<no box>";
  std::thread reader([&] {
    for (int i = 0; i < 500; ++i) {
      if (HWND box = FindWindowW(L"#32770", L"ui_win_test")) {
        wchar_t buf[256] = {};
        GetDlgItemTextW(box, 0xFFFF, buf, 256);  // the box's message text
        text = buf;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  ui::App().ShowException(e);
  reader.join();
  return text;
}

TEST(ApplicationException, BoxShowsTheFrameworkMessageUnderTheExecutablesName) {
  const ui::EInvalidGraphic framework(u"Bitmap image is not valid");
  EXPECT_EQ(ShowAndRead(&framework), L"Bitmap image is not valid");
  const std::runtime_error other("not shown");
  EXPECT_EQ(ShowAndRead(&other), L"");
  EXPECT_EQ(ShowAndRead(nullptr), L"");
}

}  // namespace

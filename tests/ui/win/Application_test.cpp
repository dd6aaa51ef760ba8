// The application's message loop, message processing and exception box on Windows.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
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

// An .ico with one 32-bit image per size, each of its own colour, so that a wrong pick shows.
std::string IconFileWith(std::initializer_list<int> sizes) {
  auto put = [](std::string& s, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s += static_cast<char>(v >> (8 * i));
  };
  std::string directory, images;
  put(directory, 0, 2);
  put(directory, 1, 2);
  put(directory, static_cast<uint32_t>(sizes.size()), 2);
  const uint32_t first = 6 + 16 * static_cast<uint32_t>(sizes.size());
  for (const int n : sizes) {
    std::string image;
    put(image, 40, 4);  // BITMAPINFOHEADER: the colour rows, then the mask's
    put(image, static_cast<uint32_t>(n), 4);
    put(image, static_cast<uint32_t>(2 * n), 4);
    put(image, 1, 2);
    put(image, 32, 2);
    image.append(24, '\0');
    for (int p = 0; p < n * n; ++p)
      put(image, 0xFF000000u | static_cast<uint32_t>(n * 0x050301), 4);
    image.append(static_cast<size_t>((n + 31) / 32 * 4 * n), '\0');
    directory += static_cast<char>(n);
    directory += static_cast<char>(n);
    put(directory, 0, 2);
    put(directory, 1, 2);
    put(directory, 32, 2);
    put(directory, static_cast<uint32_t>(image.size()), 4);
    put(directory, first + static_cast<uint32_t>(images.size()), 4);
    images += image;
  }
  return directory + images;
}

// An icon's size and colour pixels, top row first.
std::vector<uint32_t> IconPixels(HICON icon) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return {};
  BITMAP bm{};
  GetObjectW(info.hbmColor, sizeof bm, &bm);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof bi.bmiHeader, bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint32_t> pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight + 2);
  pixels[0] = static_cast<uint32_t>(bm.bmWidth);
  pixels[1] = static_cast<uint32_t>(bm.bmHeight);
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, info.hbmColor, 0, static_cast<UINT>(bm.bmHeight), pixels.data() + 2, &bi,
            DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return pixels;
}

// The file is read once for both sizes; each is still the image the platform's own loader
// gives for it, made at its size.
TEST_F(AppTest, TheIconOfEachSizeIsTheOneThePlatformsLoaderGivesFromTheFile) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / "tandrel_app_icon_test.ico";
  for (const auto& sizes : {std::initializer_list<int>{16, 32, 48}, std::initializer_list<int>{48},
                            std::initializer_list<int>{24, 16}}) {
    std::ofstream(file, std::ios::binary) << IconFileWith(sizes);
    app.LoadIconFromFile(file.u16string());
    for (const bool small : {false, true}) {
      SCOPED_TRACE(small ? "small" : "large");
      const int cx = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
      const int cy = GetSystemMetrics(small ? SM_CYSMICON : SM_CYICON);
      auto* reference = static_cast<HICON>(
          LoadImageW(nullptr, file.c_str(), IMAGE_ICON, cx, cy, LR_LOADFROMFILE));
      const std::vector<uint32_t> expected = IconPixels(reference);
      ASSERT_FALSE(expected.empty());
      EXPECT_EQ(IconPixels(static_cast<HICON>(app.Icon(small))), expected);
      DestroyIcon(reference);
    }
  }
  // The image wanted for a size lies outside the file.
  std::string cut = IconFileWith({16, 32});
  cut.resize(cut.size() - 10);
  std::ofstream(file, std::ios::binary) << cut;
  EXPECT_THROW(app.LoadIconFromFile(file.u16string()), ui::EInvalidGraphic);
  std::filesystem::remove(file);
  EXPECT_THROW(app.LoadIconFromFile(file.u16string()), ui::EFOpenError);
}

TEST(ApplicationException, BoxShowsTheFrameworkMessageUnderTheExecutablesName) {
  const ui::EInvalidGraphic framework(u"Bitmap image is not valid");
  EXPECT_EQ(ShowAndRead(&framework), L"Bitmap image is not valid");
  const std::runtime_error other("not shown");
  EXPECT_EQ(ShowAndRead(&other), L"");
  EXPECT_EQ(ShowAndRead(nullptr), L"");
}

}  // namespace

// The main form inside this test process: its design, folders, version label, size and
// position, dragging and closing. The data tree is written beside this test program.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "base/Library.h"
#include "tests/ui/bitmap/BmpWriter.h"
#include "ui/win/Gdi.h"
#include "shell/MainForm.h"
#include "ui/Application.h"

namespace {
namespace fs = std::filesystem;

fs::path ExeDir() {
  return fs::path(std::wstring(reinterpret_cast<const wchar_t*>(base::ExecutableFolder().c_str())));
}
fs::path LayoutPath() {
  return ExeDir() / "Data" / "Tandrel_Program" / "Forms" / "Tandrel_Program" / "UI_Main.txt";
}

// The same folder, whatever trailing separator or letter case either spelling has.
bool SameFolder(const fs::path& a, const fs::path& b) {
  auto norm = [](const fs::path& p) {
    std::wstring s = p.lexically_normal().wstring();
    while (!s.empty() && (s.back() == L'\\' || s.back() == L'/')) s.pop_back();
    return s;
  };
  return _wcsicmp(norm(a).c_str(), norm(b).c_str()) == 0;
}

class MainForm : public ::testing::Test {
 protected:
  void SetUp() override {
    std::error_code ec;
    // A folder that is some process's current directory cannot be removed on Windows.
    fs::current_path(ExeDir(), ec);
    fs::remove_all(ExeDir() / "Data", ec);
    ui::App().Initialize();
  }
  void TearDown() override {
    ui::App().DestroyForms();
    std::error_code ec;
    fs::current_path(ExeDir(), ec);
    fs::remove_all(ExeDir() / "Data", ec);
  }
  static void WriteLayout(const std::string& text) {
    fs::create_directories(LayoutPath().parent_path());
    std::ofstream(LayoutPath(), std::ios::binary) << text;
  }
  static shell::MainForm* Create() { return ui::App().CreateForm<shell::MainForm>(); }
};

TEST_F(MainForm, HasTheDesignedControlsInCreationOrder) {
  shell::MainForm* f = Create();
  EXPECT_EQ(f->Name(), u"TandrelProgram");
  const std::vector<std::pair<std::u16string, std::u16string>> expected = {
      {u"im_BackgroundImage", u"TImage"},
      {u"lb_ForMeeting", u"TLabel"},
      {u"lb_ForLife", u"TLabel"},
      {u"lb_ForMeetingNotes", u"TLabel"},
      {u"lb_ProgramTitle", u"TLabel"},
      {u"im_Totem", u"TImage"},
      {u"lb_Title", u"TLabel"},
      {u"lb_Version", u"TLabel"},
      {u"lb_ForLifeNotes", u"TLabel"},
      {u"bt_Close", u"TButton"},
      {u"bt_NewMultiPairProcess", u"TButton"},
      {u"bt_OpenRSSIDisplay", u"TButton"}};
  ASSERT_EQ(f->ComponentCount(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(f->Components(i)->Name(), expected[i].first);
    EXPECT_EQ(f->Components(i)->ClassName(), expected[i].second);
  }
  EXPECT_EQ(f->lb_Title->Font().Height, -15);
  EXPECT_TRUE(f->lb_Title->Font().Bold);
  EXPECT_EQ(f->lb_ForMeetingNotes->BoundsRect(), (ui::TRect{20, 54, 355, 109}));
  EXPECT_EQ(f->bt_OpenRSSIDisplay->TabOrder, 2);
  EXPECT_EQ(f->bt_NewMultiPairProcess->BoundsRect(), (ui::TRect{8, 232, 140, 265}));
  // Without language files the caption is the title label's design caption.
  EXPECT_EQ(f->Caption(), u"lb_Title");
  const LONG style = GetWindowLongW(static_cast<HWND>(f->Handle()), GWL_STYLE);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_FALSE(style & WS_THICKFRAME);
}

TEST_F(MainForm, VersionComesFromSectionEnglishOnly) {
  EXPECT_EQ(Create()->lb_Version->Caption(), u"");  // no layout file
  ui::App().DestroyForms();

  WriteLayout("[German]\nVersion=2.0\n[english]\nVersion = 1.02 \n");
  EXPECT_EQ(Create()->lb_Version->Caption(), u"1.02");
  ui::App().DestroyForms();

  WriteLayout("[English]\nVersion=@@\n");
  EXPECT_EQ(Create()->lb_Version->Caption(), u"");
  ui::App().DestroyForms();

  WriteLayout("[German]\nVersion=2.0\n");
  EXPECT_EQ(Create()->lb_Version->Caption(), u"");
}

TEST_F(MainForm, CreationSizesToTheBackgroundAndCentresTruncatingTowardZero) {
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  shell::MainForm* f = Create();  // no picture: the design size of the image
  EXPECT_EQ(f->Width(), 375);
  EXPECT_EQ(f->Height(), 345);
  EXPECT_EQ(f->Left(), (sw - 375) / 2);
  EXPECT_EQ(f->Top(), (sh - 345) / 2);
  RECT r;
  GetWindowRect(static_cast<HWND>(f->Handle()), &r);
  EXPECT_EQ(r.left, f->Left());
  EXPECT_EQ(r.right - r.left, 375);
  EXPECT_EQ(r.bottom - r.top, 345);

  // A picture five pixels wider than the screen (odd overhang) and 400 high.
  f->im_BackgroundImage->SetPicture(ui::TBitmap(sw + 5, 400));
  f->FormCreate(f);
  EXPECT_EQ(f->Width(), sw + 5);
  EXPECT_EQ(f->Left(), -2);  // -5 / 2 truncated toward zero, not -3
  EXPECT_EQ(f->Top(), (sh - 400) / 2);
  GetWindowRect(static_cast<HWND>(f->Handle()), &r);
  EXPECT_EQ(r.left, -2);
}

TEST(CentredOrigin, TruncatesTowardZero) {
  EXPECT_EQ(shell::CentredOrigin(1920, 400), 760);
  EXPECT_EQ(shell::CentredOrigin(1080, 300), 390);
  EXPECT_EQ(shell::CentredOrigin(1000, 1005), -2);
  EXPECT_EQ(shell::CentredOrigin(1000, 1007), -3);
}

TEST_F(MainForm, LeftPressOnTheSurfaceStartsTheMoveRightPressDoesNot) {
  shell::MainForm* f = Create();
  HWND h = static_cast<HWND>(f->Handle());
  // Record what reaches the form's own window procedure; the move itself is not started, since
  // the platform's move loop would wait for the mouse.
  std::vector<std::pair<UINT, WPARAM>> sys;
  ui::WndMethod saved = f->WindowProc;
  f->WindowProc = [&](ui::Message& m) {
    if (m.Msg == WM_SYSCOMMAND) {
      sys.emplace_back(m.Msg, m.WParam);
      return;
    }
    saved(m);
  };
  auto press = [&](UINT msg, int x, int y) {
    SendMessageW(h, msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, MAKELPARAM(x, y));
  };
  press(WM_RBUTTONDOWN, 100, 300);  // background, right button
  press(WM_RBUTTONDOWN, 30, 40);    // label, right button
  EXPECT_TRUE(sys.empty());
  press(WM_LBUTTONDOWN, 30, 40);    // lb_ForMeeting
  press(WM_LBUTTONDOWN, 300, 330);  // background image
  ASSERT_EQ(sys.size(), 2u);
  EXPECT_EQ(sys[0].second, 0xF012u);
  EXPECT_EQ(sys[1].second, 0xF012u);
}

TEST_F(MainForm, EveryOtherMessageReachesTheFormsOwnProcedureWithItsResult) {
  shell::MainForm* f = Create();
  HWND h = static_cast<HWND>(f->Handle());
  // Answered by the procedure under MainWindowProc, from the parameters as sent.
  EXPECT_EQ(SendMessageW(h, WM_GETTEXTLENGTH, 0, 0), static_cast<LRESULT>(f->Caption().size()));
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(r.left + 100, r.top + 100)), HTCLIENT);
  EXPECT_EQ(SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(r.right + 10, r.top)), HTNOWHERE);
  // An unknown registered message goes the same way (the platform's default answers 0).
  EXPECT_EQ(SendMessageW(h, RegisterWindowMessageW(L"TANDREL_TEST_PASSTHROUGH"), 7, 9), 0);
}

TEST_F(MainForm, CloseButtonEndsTheApplication) {
  shell::MainForm* f = Create();
  HWND close = nullptr;
  for (HWND c = GetWindow(static_cast<HWND>(f->Handle()), GW_CHILD); c;
       c = GetWindow(c, GW_HWNDNEXT)) {
    if (c == static_cast<HWND>(f->bt_Close->Handle())) close = c;
  }
  ASSERT_NE(close, nullptr);
  SendMessageW(close, BM_CLICK, 0, 0);
  EXPECT_TRUE(ui::App().Terminated());
  EXPECT_FALSE(f->Visible());
}

TEST_F(MainForm, WithoutSkinFilesTheButtonsStayPlainAndTheExecutableFolderStaysCurrent) {
  shell::MainForm* f = Create();
  // No strip: the plain button, without the region a skinned one takes, still clickable.
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(static_cast<HWND>(f->bt_Close->Handle()), rgn), ERROR);
  DeleteObject(rgn);
  EXPECT_EQ(f->bt_Close->BoundsRect(), (ui::TRect{345, 5, 365, 25}));
  EXPECT_TRUE(SameFolder(fs::current_path(), ExeDir())) << fs::current_path().string();
}

TEST_F(MainForm, TheSkinFolderBecomesTheCurrentFolder) {
  WriteLayout("[English]\nVersion=1\n");  // creates the skin folder
  Create();
  EXPECT_TRUE(SameFolder(fs::current_path(), LayoutPath().parent_path()))
      << fs::current_path().string();
}

TEST_F(MainForm, OnlyTheFirstActivationShapesTheWindow) {
  shell::MainForm* f = Create();
  ui::TBitmap picture(40, 30, 0x00FF00FF);  // key colour around a filled middle
  for (int y = 5; y < 25; ++y)
    for (int x = 5; x < 35; ++x) picture.SetPixel(x, y, 0x00336699);
  f->im_BackgroundImage->SetPicture(picture);
  HWND h = static_cast<HWND>(f->Handle());
  const auto shaped = [h] {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    const bool has = GetWindowRgn(h, rgn) != ERROR;
    DeleteObject(rgn);
    return has;
  };
  // The premise: this form's first activation gives the window its outline.
  SetWindowRgn(h, nullptr, FALSE);
  ASSERT_FALSE(shaped());
  f->Perform(WM_ACTIVATE, WA_ACTIVE, 0);
  ASSERT_TRUE(shaped());
  // No later one reshapes.
  SetWindowRgn(h, nullptr, FALSE);
  f->Perform(WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_FALSE(shaped());
}

// A picture of width x height: the key colour around a filled middle, so its outline is the middle.
void WriteFramed(const fs::path& file, int width, int height) {
  std::vector<uint32_t> values(static_cast<size_t>(width * height), 0xFF00FF);
  for (int y = 2; y < height - 2; ++y)
    for (int x = 2; x < width - 2; ++x) values[static_cast<size_t>(y * width + x)] = 0x336699;
  fs::create_directories(file.parent_path());
  const std::vector<uint8_t> bytes =
      bmptest::MakeBmp(bmptest::BmpSpec(width, height, 24).Values(values));
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// Shaped while hidden, the window never shows as a rectangle and no redraw is spent on it.
TEST_F(MainForm, TheWindowAndItsButtonsHaveTheirOutlinesBeforeTheWindowIsShown) {
  const fs::path english = LayoutPath().parent_path() / "English";
  WriteFramed(english / "MultiPairMain_Background.bmp", 60, 50);
  for (const char* strip : {"WindowClose.bmp", "NewMultiPairProc.bmp", "RSSIDisplay.bmp"})
    WriteFramed(english / strip, 4 * 12, 10);
  shell::MainForm* f = Create();
  ASSERT_FALSE(IsWindowVisible(static_cast<HWND>(f->Handle())));
  for (ui::TWinControl* c :
       {static_cast<ui::TWinControl*>(f), static_cast<ui::TWinControl*>(f->bt_Close),
        static_cast<ui::TWinControl*>(f->bt_OpenRSSIDisplay)}) {
    SCOPED_TRACE(std::string(c->Name().begin(), c->Name().end()));
    ui::win::unique_hrgn rgn(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(static_cast<HWND>(c->Handle()), rgn.get()), ERROR);
    EXPECT_FALSE(PtInRegion(rgn.get(), 0, 0));
    EXPECT_TRUE(PtInRegion(rgn.get(), 3, 3));
  }
}

// The shell shows a window's own icon, else its class's: either way, the skin's.
TEST_F(MainForm, TheWindowShowsTheSkinsIcon) {
  const fs::path english = LayoutPath().parent_path() / "English";
  fs::create_directories(english);
  fs::copy_file(fs::path(TANDREL_SOURCE_DIR) / "shell" / "Application.ico",
                english / "Application.ico");
  HWND h = static_cast<HWND>(Create()->Handle());
  for (const bool small : {false, true}) {
    auto shown =
        reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, small ? ICON_SMALL : ICON_BIG, 0));
    if (!shown)
      shown = reinterpret_cast<HICON>(GetClassLongPtrW(h, small ? GCLP_HICONSM : GCLP_HICON));
    ASSERT_NE(ui::App().Icon(small), nullptr);
    EXPECT_EQ(shown, ui::App().Icon(small)) << (small ? "small" : "large");
  }
}

}  // namespace

// The launcher without a mouse or without sight, watched from outside: the buttons' names as
// assistive technology reads them, real key presses and the focus mark they bring, and the hints
// that show when the pointer rests on a button.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "outside/modules/ModuleWindows.h"
#include "tests/e2e/LauncherRun_win.h"

namespace {
using namespace std::chrono_literals;
using e2e::LauncherRun;

constexpr RECT kCloseButton{345, 5, 365, 25};
constexpr RECT kPairButton{8, 232, 140, 265};
constexpr RECT kRssiButton{209, 271, 341, 304};
constexpr const RECT* kButtons[] = {&kCloseButton, &kPairButton, &kRssiButton};

std::wstring Wide(const std::string& utf8) {
  std::wstring out(utf8.size(), L'\0');
  out.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(),
                                                     static_cast<int>(utf8.size()), out.data(),
                                                     static_cast<int>(out.size()))));
  return out;
}

std::string Utf8(const std::wstring& text) {
  std::string out(text.size() * 3, '\0');
  out.resize(static_cast<size_t>(
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                          static_cast<int>(out.size()), nullptr, nullptr)));
  return out;
}

// What the skin generator drew on each language's pair and signal strips.
std::map<std::string, std::vector<std::wstring>> SkinWords() {
  std::map<std::string, std::vector<std::wstring>> words;
  std::ifstream in(TANDREL_SKIN_WORDS);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      f.push_back(line.substr(start, tab - start));
    f.push_back(line.substr(start));
    if (f.size() == 3) words[f[0]] = {Wide(f[1]), Wide(f[2])};
  }
  return words;
}

std::wstring WindowText(HWND h) {
  wchar_t text[256] = {};
  GetWindowTextW(h, text, 256);
  return text;
}

// What the window itself answers (another process's GetWindowTextW reads only the stored title).
std::wstring AskedText(HWND h) {
  wchar_t text[512] = {};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(h, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                      &ignored);
  return text;
}

// The three buttons' window texts: close, pair, signal.
std::vector<std::wstring> ButtonNames(const LauncherRun& run, HWND main) {
  std::vector<std::wstring> names;
  for (const RECT* r : kButtons) {
    HWND b = run.ChildAt(main, *r);
    names.push_back(b ? WindowText(b) : L"(no button)");
  }
  return names;
}

void ExpectNamesShowTheSkinsWords(const std::vector<std::wstring>& names,
                                  const std::string& language) {
  const auto words = SkinWords();
  const auto drawn = words.find(language);
  ASSERT_NE(drawn, words.end()) << "no strips drawn for " << language;
  for (size_t i = 0; i < 2; ++i)
    EXPECT_NE(names[i + 1].find(drawn->second[i]), std::wstring::npos)
        << Utf8(names[i + 1]) << " lacks the picture's " << Utf8(drawn->second[i]);
}

void Close(LauncherRun& run, HWND main) {
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.WaitForExit(), 0u);
}

// CTest runs this program in an English and in a German session (LC_ALL).
TEST(Texts, TheButtonsAreNamedInTheUserLanguageWithTheWordsOfTheirPictures) {
  const LANGID lang = GetUserDefaultLangID();
  const char* language = lang == 0x0407 ? "German" : lang == 0x0409 ? "English" : nullptr;
  if (!language) GTEST_SKIP() << "user language " << std::hex << lang;
  const std::vector<std::wstring> expected =
      lang == 0x0407 ? std::vector<std::wstring>{L"Schließen", L"Geräte koppeln", L"Signalstärke"}
                     : std::vector<std::wstring>{L"Close", L"Pair devices", L"Signal"};
  LauncherRun run;
  ASSERT_TRUE(run.Start());
  HWND main = run.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const auto names = ButtonNames(run, main);
  EXPECT_EQ(names, expected);
  ExpectNamesShowTheSkinsWords(names, language);
  Close(run, main);
}

// A language file from before the names: the built-in English names, which are the English
// skin's words.
TEST(Access, WithoutNameKeysTheButtonsHaveTheirEnglishNames) {
  LauncherRun run;
  run.WriteFile("Data/Tandrel_Program/Forms/Tandrel_Program/Texts/English.txt",
                "[MultiPairForm.dll]\r\nlb_Title->Caption=Multi-Link Utility\r\n"
                "lb_ForMeeting->Hint=Pair new keyboards and mice with the receiver\r\n");
  ASSERT_TRUE(run.Start());
  HWND main = run.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const auto names = ButtonNames(run, main);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"Close", L"Pair devices", L"Signal"}));
  ExpectNamesShowTheSkinsWords(names, "English");
  Close(run, main);
}

std::vector<std::string> Lines(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A second reader: the buttons' standard accessible objects, asked inside the launcher's process
// by a module, as a screen reader's hook would.
TEST(Access, TheAccessibleObjectsGiveTheSameNames) {
  LauncherRun run;
  run.WriteScenario(e2e::OneReceiverScenario());
  const std::string folder = "Data/Tandrel_Program/Forms/RSSIDisplay";
  std::filesystem::copy_file(TANDREL_PROBE_MODULE, run.Folder() / folder / "RSSIDisplay.dll",
                             std::filesystem::copy_options::overwrite_existing);
  run.WriteFile(folder + "/probe.script", "names\n");
  ASSERT_TRUE(run.Start());
  HWND main = run.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const auto names = ButtonNames(run, main);
  PostMessageW(run.ChildAt(main, kRssiButton), BM_CLICK, 0, 0);
  const auto log = run.Folder() / folder / "probe.log";
  std::vector<std::string> lines;
  for (int i = 0; i < 200; ++i, Sleep(50)) {
    lines = Lines(log);
    if (!lines.empty() && lines.back() == "done") break;
  }
  // "name <left>,<top> <hresult> <name>" for each child, by its place.
  std::map<std::string, std::string> accessible;
  for (const std::string& line : lines) {
    std::printf("  %s\n", line.c_str());  // what the platform gives, for the record
    if (line.rfind("name ", 0) != 0 && line.rfind("help ", 0) != 0) continue;
    const size_t place = line.find(' ', 5);
    if (line.rfind("name ", 0) == 0) {
      const size_t result = line.find(' ', place + 1);
      EXPECT_EQ(line.substr(place + 1, result - place - 1), "0") << line;
      accessible[line.substr(5, place - 5)] = line.substr(result + 1);
    }
  }
  for (size_t i = 0; i < 3; ++i) {
    const std::string place =
        std::to_string(kButtons[i]->left) + "," + std::to_string(kButtons[i]->top);
    ASSERT_TRUE(accessible.count(place)) << "no accessible object read at " << place;
    EXPECT_EQ(accessible[place], Utf8(names[i])) << place;
  }
  Close(run, main);
}

// ---- Real input, through the system's input queue as a keyboard or mouse gives it.

void Keys(std::initializer_list<std::pair<WORD, bool>> strokes) {
  std::vector<INPUT> inputs;
  for (const auto& [vk, down] : strokes) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    inputs.push_back(in);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void Press(WORD vk) {
  Keys({{vk, true}, {vk, false}});
}

void Mouse(int x, int y, DWORD buttons = 0) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = (x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = (y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  SendInput(1, &in, sizeof in);
}

// A point of the main window's client area on the screen.
POINT OnScreen(HWND main, int x, int y) {
  POINT p{x, y};
  ClientToScreen(main, &p);
  return p;
}

HWND Focus(HWND main) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);
  return info.hwndFocus;
}

// The launcher has handled everything sent so far.
void Settle(HWND main) {
  DWORD_PTR ignored = 0;
  for (int i = 0; i < 3; ++i) {
    Sleep(150);
    SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
  }
}

// The pixels of a child window as they are on the screen.
std::vector<uint32_t> Pixels(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits),
                               static_cast<const uint32_t*>(bits) + static_cast<size_t>(w) * h);
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  for (uint32_t& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

int Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

// The system's "always show keyboard cues" setting (Wine's default is on; Windows' is off), off
// for these runs as on a default Windows: only keyboard use shows the focus, and the launcher's
// own window follows the setting as standard windows do.
class Keyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues_, 0);
    SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0, reinterpret_cast<void*>(FALSE),
                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
  }
  HWND Start(const std::string& scenario = "") {
    if (!scenario.empty()) run_.WriteScenario(scenario);
    if (!run_.Start()) return nullptr;
    main_ = run_.WaitForMainWindow();
    if (!main_) return nullptr;
    // The pointer off the window: no hover, no hot frame, no hint.
    Mouse(0, 0);
    SetForegroundWindow(main_);
    Settle(main_);
    return main_;
  }
  void TearDown() override {
    Mouse(0, 0);
    SystemParametersInfoW(SPI_SETKEYBOARDCUES, 0,
                          reinterpret_cast<void*>(static_cast<INT_PTR>(cues_)),
                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
  }

  BOOL cues_ = FALSE;
  LauncherRun run_;
  HWND main_ = nullptr;
};

TEST_F(Keyboard, TwoTabsFocusThePairButtonAndItsMarkShows) {
  ASSERT_NE(Start(), nullptr);
  HWND pair = run_.ChildAt(main_, kPairButton);
  ASSERT_NE(pair, nullptr);
  const auto unfocused = Pixels(pair);
  Press(VK_TAB);
  Press(VK_TAB);
  Settle(main_);
  EXPECT_EQ(Focus(main_), pair);
  const int changed = Differing(Pixels(pair), unfocused);
  EXPECT_GT(changed, 100) << "no focus mark on the focused button";
  // Shift+Tab goes back to the close button in the designed order; the pair button is plain again.
  Keys({{VK_SHIFT, true}, {VK_TAB, true}, {VK_TAB, false}, {VK_SHIFT, false}});
  Settle(main_);
  EXPECT_EQ(Focus(main_), run_.ChildAt(main_, kCloseButton));
  EXPECT_EQ(Differing(Pixels(pair), unfocused), 0);
  Close(run_, main_);
}

TEST_F(Keyboard, AClickWithoutTheKeyboardShowsNoMark) {
  ASSERT_NE(Start(), nullptr);
  HWND pair = run_.ChildAt(main_, kPairButton);
  ASSERT_NE(pair, nullptr);
  const auto unfocused = Pixels(pair);
  // Pressed on the button and let go beside it: the button takes the focus, nothing starts.
  const POINT on = OnScreen(main_, 70, 248), off = OnScreen(main_, 187, 215);
  Mouse(on.x, on.y);
  Mouse(on.x, on.y, MOUSEEVENTF_LEFTDOWN);
  Settle(main_);
  Mouse(off.x, off.y);
  Mouse(off.x, off.y, MOUSEEVENTF_LEFTUP);
  Mouse(0, 0);
  Settle(main_);
  EXPECT_EQ(Focus(main_), pair);
  const auto clicked = Pixels(pair);
  int left = 1000, top = 1000, right = -1, bottom = -1;
  for (size_t i = 0; i < clicked.size() && i < unfocused.size(); ++i)
    if (clicked[i] != unfocused[i]) {
      const int x = static_cast<int>(i % 132), y = static_cast<int>(i / 132);
      left = std::min(left, x), top = std::min(top, y), right = std::max(right, x),
      bottom = std::max(bottom, y);
    }
  EXPECT_EQ(Differing(clicked, unfocused), 0)
      << "a mark without keyboard use: " << left << "," << top << "-" << right << "," << bottom;
  // The first Tab brings the cues, and the mark on the button that then has the focus.
  Press(VK_TAB);
  Settle(main_);
  HWND signal = run_.ChildAt(main_, kRssiButton);
  EXPECT_EQ(Focus(main_), signal);
  EXPECT_TRUE(run_.Running());
  Close(run_, main_);
}

TEST_F(Keyboard, EnterOnTheFocusedSignalButtonStartsTheSignalModule) {
  ASSERT_NE(Start(e2e::OneReceiverScenario()), nullptr);
  for (int i = 0; i < 3; ++i) Press(VK_TAB);
  Settle(main_);
  ASSERT_EQ(Focus(main_), run_.ChildAt(main_, kRssiButton));
  Press(VK_RETURN);
  HWND display = run_.WaitForWindowOfClass(TANDREL_RSSI_CLASS);
  ASSERT_NE(display, nullptr) << "Enter did not press the signal button";
  PostMessageW(display, WM_CLOSE, 0, 0);
  for (int i = 0; i < 100 && IsWindow(display); ++i) Sleep(50);
  Close(run_, main_);
}

TEST_F(Keyboard, AltF4ClosesThroughTheCloseQuery) {
  ASSERT_NE(Start(e2e::OneReceiverScenario()), nullptr);
  Keys({{VK_MENU, true}, {VK_F4, true}, {VK_F4, false}, {VK_MENU, false}});
  EXPECT_EQ(run_.WaitForExit(), 0u);
  int closeQuery = -1, unload = -1, n = 0;
  for (const std::string& line : run_.Trace()) {
    if (closeQuery < 0 && line.rfind("CloseQuery", 0) == 0) closeQuery = n;
    if (unload < 0 && line.rfind(e2e::kUnloadLine, 0) == 0) unload = n;
    ++n;
  }
  ASSERT_GE(closeQuery, 0) << "closed without the close query";
  EXPECT_LT(closeQuery, unload);
}

// ---- Hints.

TEST_F(Keyboard, AHintShowsWhenThePointerRestsOnThePairButton) {
  ASSERT_NE(Start(), nullptr);
  EXPECT_FALSE(run_.HasLoaded(L"comctl32.dll")) << "the tooltip was made before any hover";
  const POINT on = OnScreen(main_, 70, 248);
  // Onto the button, then resting there: a hint waits for the pointer to stop.
  Mouse(on.x - 1, on.y);
  Mouse(on.x, on.y);
  HWND tip = e2e::WaitForVisibleWindow(run_.Process(), L"tooltips_class32", 5s);
  EXPECT_TRUE(run_.HasLoaded(L"comctl32.dll")) << "the hover did not make the tooltip";
  ASSERT_NE(tip, nullptr) << "no hint appeared";
  EXPECT_EQ(Utf8(AskedText(tip)), "Pair new keyboards and mice with the receiver");
  // The tooltip is a window of its own; the launcher's window is still the one found.
  EXPECT_EQ(run_.WaitForMainWindow(1s), main_);
  Mouse(0, 0);
  Close(run_, main_);
}

}  // namespace

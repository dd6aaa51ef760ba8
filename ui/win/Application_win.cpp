// The application object on Windows: the message loop with the dialog keys, the exception box
// and the screen size.
#include <optional>
#include <span>
#include <string>

#include "ui/Application.h"

#include "base/File.h"
#include "base/Platform.h"
#include "base/StartupMarks.h"
#include "ui/Exception.h"
#include "ui/IconFile.h"
#include "ui/InputLimits.h"
#include "ui/win/CommonControls.h"
#include "ui/win/Gdi.h"

namespace ui {
namespace {

void PostQuit() {
  PostQuitMessage(0);
}

// The keys that move the focus turn the keyboard cues on, as the dialog manager does in a dialog:
// from then on the focused button shows where the focus is.
void ShowKeyboardCues(HWND dialog, const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return;
  switch (msg.wParam) {
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      break;
    default:
      return;
  }
  if (msg.hwnd != dialog && !IsChild(dialog, msg.hwnd)) return;
  if (SendMessageW(dialog, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)
    SendMessageW(dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

// The cues a window starts with: off, so that a person who clicks sees no focus mark, unless the
// user asked the system to show them always.
void InitialKeyboardCues(HWND window) {
  BOOL always = FALSE;
  SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &always, 0);
  SendMessageW(window, WM_CHANGEUISTATE,
               MAKEWPARAM(always ? UIS_CLEAR : UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
}

// Tab, Space and Enter move between and press the main form's buttons.
void DispatchOne(HWND dialog, MSG& msg) {
  if (dialog) ShowKeyboardCues(dialog, msg);
  if (dialog && IsDialogMessageW(dialog, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

// The application's title: the executable's name without its extension.
std::wstring Title() {
  const std::u16string path = base::ModuleFileName(nullptr);
  std::wstring name(path.begin() + static_cast<std::ptrdiff_t>(path.find_last_of(u"\\/") + 1),
                    path.end());
  if (const size_t dot = name.find_last_of(L'.'); dot != std::wstring::npos) name.resize(dot);
  return name;
}

HWND MainWindow(TForm* main) {
  return main && main->HandleAllocated() ? static_cast<HWND>(main->Handle()) : nullptr;
}

}  // namespace

void Application::Run() {
  if (!mainForm_) return;
  if (HWND main = MainWindow(mainForm_)) InitialKeyboardCues(main);
  mainForm_->Show();
  startup::Mark("main form shown");
  if (HWND main = static_cast<HWND>(mainForm_->Handle())) {
    UpdateWindow(main);
    SetForegroundWindow(main);
  }
  wakeLoop_ = &PostQuit;
  MSG msg;
  while (!terminated_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {  // WM_QUIT from elsewhere, or no queue to wait on
      terminated_ = true;
      break;
    }
    DispatchOne(MainWindow(mainForm_), msg);
  }
  wakeLoop_ = nullptr;
  // The quit that Terminate posted has done its work; a later modal loop (the exception box)
  // must not find it.
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

void Application::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;  // the quit is taken, not posted again
      return;
    }
    DispatchOne(MainWindow(mainForm_), msg);
  }
}

void Application::ShowException(const std::exception* e) {
  std::u16string text;
  if (const auto* framework = dynamic_cast<const Exception*>(e)) text = framework->Message();
  const win::CommonControlsScope controls;  // the box's buttons look like every other box's
  MessageBoxW(GetActiveWindow(), win::Wide(text), Title().c_str(), MB_OK | MB_ICONSTOP);
}

void DestroyIconHandle(void* icon) {
  DestroyIcon(static_cast<HICON>(icon));
}

void Application::LoadIconFromFile(const std::u16string& path) {
  // Read once for both sizes: the platform's loader would open and map the file for each.
  const base::FileBytes file(path, kMaxIconFileBytes);
  if (file.TooLarge()) throw EInvalidGraphic(u"Icon image is not valid");
  if (!file.Opened()) throw EFOpenError(u"Cannot open file \"" + path + u"\"");
  const std::optional<IconDirectory> icons = ReadIconDirectory(file.Bytes());
  // Every image was over the size cap, and none was decoded: the program keeps its own icon.
  if (icons && icons->images.empty()) return;
  // The image the platform's loader would pick for the size, made at that size.
  auto load = [&](int metricX, int metricY) -> HICON {
    if (!icons) return nullptr;
    const int cx = GetSystemMetrics(metricX), cy = GetSystemMetrics(metricY);
    const int id = LookupIconIdFromDirectoryEx(const_cast<PBYTE>(icons->resource.data()), TRUE, cx,
                                               cy, LR_DEFAULTCOLOR);
    if (id < 1 || static_cast<size_t>(id) > icons->images.size()) return nullptr;
    const std::span<const uint8_t> image = icons->images[static_cast<size_t>(id) - 1];
    if (image.empty()) return nullptr;
    return CreateIconFromResourceEx(const_cast<PBYTE>(image.data()),
                                    static_cast<DWORD>(image.size()), TRUE, 0x00030000, cx, cy,
                                    LR_DEFAULTCOLOR);
  };
  // Both sizes the shell shows: the title bar and taskbar (small) and Alt+Tab (large).
  unique_icon large(load(SM_CXICON, SM_CYICON));
  unique_icon small(load(SM_CXSMICON, SM_CYSMICON));
  if (!large || !small) throw EInvalidGraphic(u"Icon image is not valid");
  largeIcon_ = std::move(large);
  smallIcon_ = std::move(small);
  for (const auto& form : forms_) {
    if (!form->HandleAllocated()) continue;
    HWND h = static_cast<HWND>(form->Handle());
    SendMessageW(h, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.get()));
    SendMessageW(h, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  }
}

int Application::ScreenWidth() const {
  return GetSystemMetrics(SM_CXSCREEN);
}
int Application::ScreenHeight() const {
  return GetSystemMetrics(SM_CYSCREEN);
}

}  // namespace ui

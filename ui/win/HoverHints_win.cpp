#include "ui/win/HoverHints.h"

#include <commctrl.h>

#include "ui/win/CommonControls.h"

namespace ui::win {

namespace {

// The widest a hint line gets before it wraps; a hint with line feeds breaks there too.
constexpr int kMaxHintWidth = 320;

bool IsMouseMessage(UINT message) {
  return message == WM_MOUSEMOVE || (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK);
}

}  // namespace

HoverHints::~HoverHints() {
  if (tip_) DestroyWindow(tip_);
}

void HoverHints::Add(HWND owner, HWND window, std::u16string text) {
  if (!owner || !window || text.empty()) return;
  tools_.push_back({owner, window, std::wstring(text.begin(), text.end())});
  if (tip_) Register(tools_.back());
}

void HoverHints::Relay(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!IsMouseMessage(message)) return;
  const Tool* tool = nullptr;
  for (const Tool& t : tools_)
    if (t.window == window) tool = &t;
  if (!tool) return;
  if (!tip_ && (message != WM_MOUSEMOVE || !Make(tool->owner))) return;
  MSG relayed{window, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
  const DWORD pos = GetMessagePos();
  relayed.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
  SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

bool HoverHints::Make(HWND owner) {
  if (tried_) return tip_ != nullptr;
  tried_ = true;
  // Loaded and made with common controls 6 active, as the feature modules' windows are. The
  // library is looked up, not imported: importing it would load it at every start.
  const CommonControlsScope controls;
  HMODULE library = LoadLibraryW(L"comctl32.dll");
  if (!library) return false;
  using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const auto init = reinterpret_cast<InitFunction>(GetProcAddress(library, "InitCommonControlsEx"));
  const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
  if (!init || !init(&classes)) return false;
  // Shown whether or not the owner is active (a hint helps most before the first click), with
  // the text as written: "&" is a letter here, not an access key.
  tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                         WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
  if (!tip_) return false;
  SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, kMaxHintWidth);
  for (const Tool& tool : tools_) Register(tool);
  return true;
}

void HoverHints::Register(const Tool& tool) const {
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND;
  info.hwnd = tool.owner;
  info.uId = reinterpret_cast<UINT_PTR>(tool.window);
  info.hinst = nullptr;
  info.lpszText = const_cast<LPWSTR>(tool.text.c_str());
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace ui::win

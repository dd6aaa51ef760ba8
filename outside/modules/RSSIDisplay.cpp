// RSSIDisplay.dll: the receiver's radio channel and signal level, asked for four times a second
// and drawn as a graph of the last minute, with the current values in words. When the launcher
// reports the receiver removed, the window says so and closes.
#include <windows.h>

#include <deque>
#include <string>

#include "ModuleKit.h"
#include "ModuleWindows.h"

namespace {

constexpr UINT_PTR kRequestTimer = 1;
constexpr UINT_PTR kCloseTimer = 2;
constexpr UINT kRequestMs = 250;
constexpr UINT kCloseAfterRemovalMs = 2000;
constexpr ULONGLONG kHistoryMs = 60000;
constexpr int kMaxLevel = 255;   // the level is one byte
constexpr int kMaxChannel = 31;  // five bits
const RECT kGraph{12, 52, 408, 252};
constexpr COLORREF kLevelColour = RGB(0, 102, 204);
constexpr COLORREF kChannelColour = RGB(230, 120, 0);

UINT Message(const wchar_t* name) {
  return RegisterWindowMessageW(name);
}

struct Sample {
  ULONGLONG at;
  int channel;
  int level;
};

struct RssiForm {
  HWND launcher = nullptr;
  HWND window = nullptr;
  const modkit::Texts* texts = nullptr;
  bool finished = false;
  bool removed = false;
  std::deque<Sample> samples;

  std::wstring T(const wchar_t* key, const wchar_t* english) const {
    return (*texts)(key, english);
  }

  void Request() {
    if (!IsWindow(launcher)) return Removed();
    SendMessageW(launcher, Message(TANDREL_MSG_REQUEST_RFINFO), reinterpret_cast<WPARAM>(window),
                 0);
  }

  void Info(int channel, int level) {
    const ULONGLONG now = GetTickCount64();
    samples.push_back({now, channel, level});
    while (!samples.empty() && now - samples.front().at > kHistoryMs) samples.pop_front();
    const std::wstring quality = level >= 170  ? T(L"Strong", L"strong")
                                 : level >= 85 ? T(L"Fair", L"fair")
                                               : T(L"Weak", L"weak");
    const std::wstring text =
        modkit::Format(T(L"Values", L"Channel %1, signal level %2 of 255 (%3)"),
                       {std::to_wstring(channel), std::to_wstring(level), quality});
    SetDlgItemTextW(window, TANDREL_ID_INFO, text.c_str());
    InvalidateRect(window, &kGraph, FALSE);
  }

  void Removed() {
    if (removed) return;
    removed = true;
    KillTimer(window, kRequestTimer);
    SetDlgItemTextW(window, TANDREL_ID_STATUS,
                    T(L"Removed", L"The receiver was removed. This window closes.").c_str());
    SetTimer(window, kCloseTimer, kCloseAfterRemovalMs, nullptr);
  }

  void Paint(HDC dc) const {
    const int w = kGraph.right - kGraph.left, h = kGraph.bottom - kGraph.top;
    // Drawn off-screen first so that the graph does not flicker four times a second.
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bits = CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ oldBits = SelectObject(mem, bits);
    HGDIOBJ oldFont =
        SelectObject(mem, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    const RECT all{0, 0, w, h};
    FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HPEN grid = CreatePen(PS_SOLID, 1, RGB(225, 225, 225));
    HGDIOBJ oldPen = SelectObject(mem, grid);
    for (int s = 0; s <= 60; s += 10) {  // a line every ten seconds
      const int x = (w - 1) * s / 60;
      MoveToEx(mem, x, 0, nullptr);
      LineTo(mem, x, h);
    }
    for (int q = 0; q <= 4; ++q) {
      const int y = (h - 1) * q / 4;
      MoveToEx(mem, 0, y, nullptr);
      LineTo(mem, w, y);
    }
    const ULONGLONG now = GetTickCount64();
    auto x = [&](const Sample& s) {
      return (w - 1) - static_cast<int>((now - s.at) * static_cast<ULONGLONG>(w - 1) / kHistoryMs);
    };
    auto curve = [&](COLORREF colour, int max, auto value, bool steps) {
      HPEN pen = CreatePen(PS_SOLID, 2, colour);
      SelectObject(mem, pen);
      int lastY = 0;
      for (size_t i = 0; i < samples.size(); ++i) {
        const int y = (h - 2) - value(samples[i]) * (h - 4) / max;
        if (i == 0)
          MoveToEx(mem, x(samples[i]), y, nullptr);
        else if (steps) {
          LineTo(mem, x(samples[i]), lastY);
          LineTo(mem, x(samples[i]), y);
        } else
          LineTo(mem, x(samples[i]), y);
        lastY = y;
      }
      SelectObject(mem, grid);
      DeleteObject(pen);
    };
    curve(
        kChannelColour, kMaxChannel, [](const Sample& s) { return s.channel; }, true);
    curve(
        kLevelColour, kMaxLevel, [](const Sample& s) { return s.level; }, false);
    SetBkMode(mem, TRANSPARENT);
    SetTextColor(mem, kLevelColour);
    const std::wstring level = T(L"LegendLevel", L"Signal level (0 to 255)");
    TextOutW(mem, 6, 4, level.c_str(), static_cast<int>(level.size()));
    SetTextColor(mem, kChannelColour);
    const std::wstring channel = T(L"LegendChannel", L"Channel (0 to 31)");
    TextOutW(mem, 6, 22, channel.c_str(), static_cast<int>(channel.size()));
    SetTextColor(mem, RGB(110, 110, 110));
    const std::wstring span = T(L"LegendTime", L"last 60 seconds");
    SIZE extent;
    GetTextExtentPoint32W(mem, span.c_str(), static_cast<int>(span.size()), &extent);
    TextOutW(mem, w - extent.cx - 6, h - extent.cy - 4, span.c_str(),
             static_cast<int>(span.size()));
    BitBlt(dc, kGraph.left, kGraph.top, w, h, mem, 0, 0, SRCCOPY);
    SelectObject(mem, oldPen);
    SelectObject(mem, oldFont);
    SelectObject(mem, oldBits);
    DeleteObject(grid);
    DeleteObject(bits);
    DeleteDC(mem);
    FrameRect(dc, &kGraph, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  }
};

LRESULT CALLBACK RssiProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<RssiForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    form = static_cast<RssiForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    form->window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  if (!form) return DefWindowProcW(window, msg, wParam, lParam);
  if (msg >= 0xC000) {
    if (msg == Message(TANDREL_MSG_RFINFO)) {
      if (!form->removed)
        form->Info(static_cast<int>(wParam & 0x1F), static_cast<int>(lParam & 0xFF));
      return 0;
    }
    if (msg == Message(TANDREL_MSG_DEVICE_REMOVE)) {
      form->Removed();
      return 0;
    }
  }
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) form->finished = true;
      return 0;
    case WM_TIMER:
      if (wParam == kRequestTimer) form->Request();
      if (wParam == kCloseTimer) form->finished = true;
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window, &ps);
      form->Paint(dc);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_CLOSE:
      form->finished = true;
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(IDCANCEL, DC_HASDEFID);
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace

TANDREL_MODULE_EXPORT void TANDREL_MODULE_CALL
return_RSSIDisplay(const TandrelRSSIDisplayRecord* record) {
  if (!record) return;
  const modkit::Texts texts(record->formsFolder, record->languageId, record->sectionPath,
                            L"RSSIDisplay.dll");
  RssiForm form;
  form.launcher = static_cast<HWND>(record->window);
  form.texts = &texts;

  HWND window = modkit::CreateModuleWindow(TANDREL_RSSI_CLASS, RssiProc,
                                           texts(L"Title", L"Radio signal (RSSI)"), 420, 304,
                                           form.launcher, &form);
  if (!window) return;
  using modkit::Control;
  Control(window, L"STATIC", texts(L"Waiting", L"Asking the receiver..."), SS_LEFT | SS_NOPREFIX,
          TANDREL_ID_INFO, 12, 12, 396, 18);
  Control(window, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, TANDREL_ID_STATUS, 12, 30, 396, 18);
  Control(window, L"BUTTON", texts(L"Close", L"Close"), BS_DEFPUSHBUTTON | WS_TABSTOP, IDCANCEL,
          308, 264, 100, 28);
  const modkit::DialogFont font;
  font.Apply(window);
  modkit::CentreOver(window, form.launcher);
  SetTimer(window, kRequestTimer, kRequestMs, nullptr);
  form.Request();

  modkit::RunModal(form.launcher, window, form.finished);
  UnregisterClassW(TANDREL_RSSI_CLASS, modkit::ThisModule());
}

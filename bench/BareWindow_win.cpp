// The start-up harness's baseline: the least a program with the launcher's window needs. One
// borderless top-level window of the launcher's size and styles, centred, shown and painted by
// the system, and the message loop until it is closed. No text, no pictures, no library of its
// own; built with the launcher's manifest and static runtime (see bench/CMakeLists.txt).
// Built with TANDREL_BARE_BUTTONS it also has the launcher's three push buttons, owner-drawn and
// drawing nothing: what the platform charges for three child windows, a second reference.
#include <windows.h>

namespace {

constexpr int kWidth = 375;
constexpr int kHeight = 345;

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &Proc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"TandrelBareWindow";
  if (!RegisterClassExW(&wc)) return 1;
  // The launcher's window styles.
  HWND hwnd = CreateWindowExW(WS_EX_APPWINDOW, wc.lpszClassName, L"Bare window",
                              WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX,
                              (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2,
                              (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2, kWidth, kHeight,
                              nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
#ifdef TANDREL_BARE_BUTTONS
  constexpr RECT kButtons[] = {{345, 5, 365, 25}, {8, 232, 140, 265}, {209, 271, 341, 304}};
  for (const RECT& b : kButtons) {
    CreateWindowExW(0, L"BUTTON", L"Button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                    b.left, b.top, b.right - b.left, b.bottom - b.top, hwnd, nullptr, instance,
                    nullptr);
  }
#endif
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  SetForegroundWindow(hwnd);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

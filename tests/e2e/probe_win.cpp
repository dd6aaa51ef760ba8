// tandrel_probe: looks at a running TandrelProgram.exe from outside, for the demo and for
// scripts. Commands:
//   tandrel_probe wait [seconds]      wait for the launcher's window; print its rectangle
//   tandrel_probe click L T W H       BM_CLICK the child window at that client rectangle
//   tandrel_probe close               ask the window to close (WM_CLOSE)
//   tandrel_probe tab N               press Tab N times (real key presses, to the launcher)
//   tandrel_probe list                every top-level window: handle, pid, class, visible, text
//   tandrel_probe wait-class C [s]    wait for a visible window of class C; print its rectangle
//   tandrel_probe press C ID          BM_CLICK the control ID of the window of class C
//   tandrel_probe close-class C       ask the window of class C to close
// Exit status 0 on success, 1 when no launcher window was found.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

bool IsLauncher(HWND h) {
  if (!IsWindowVisible(h) || GetParent(h)) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!p) return false;
  wchar_t name[MAX_PATH];
  DWORD n = MAX_PATH;
  const bool ok = QueryFullProcessImageNameW(p, 0, name, &n) != 0;
  CloseHandle(p);
  if (!ok) return false;
  const wchar_t* base = std::wcsrchr(name, L'\\');
  return _wcsicmp(base ? base + 1 : name, L"TandrelProgram.exe") == 0;
}

HWND FindLauncher(DWORD waitMs) {
  const DWORD end = GetTickCount() + waitMs;
  for (;;) {
    HWND found = nullptr;
    EnumWindows(
        [](HWND h, LPARAM lp) CALLBACK -> BOOL {
          if (!IsLauncher(h)) return TRUE;
          *reinterpret_cast<HWND*>(lp) = h;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    if (found || static_cast<LONG>(GetTickCount() - end) >= 0) return found;
    Sleep(100);
  }
}

}  // namespace

HWND WaitForClass(const wchar_t* cls, DWORD waitMs) {
  const DWORD end = GetTickCount() + waitMs;
  for (;;) {
    HWND h = FindWindowW(cls, nullptr);
    if (h && IsWindowVisible(h)) return h;
    if (static_cast<LONG>(GetTickCount() - end) >= 0) return nullptr;
    Sleep(100);
  }
}

void PrintRect(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  std::printf("window %ld,%ld %ldx%ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
}

int wmain(int argc, wchar_t** argv) {
  const std::wstring cmd = argc > 1 ? argv[1] : L"wait";
  if (cmd == L"wait-class" || cmd == L"press" || cmd == L"close-class") {
    if (argc < 3) return 2;
    const DWORD ms = (cmd == L"wait-class" && argc > 3) ? _wtoi(argv[3]) * 1000 : 20000;
    HWND h = WaitForClass(argv[2], ms);
    if (!h) {
      std::fprintf(stderr, "no window of that class\n");
      return 1;
    }
    if (cmd == L"wait-class") PrintRect(h);
    if (cmd == L"close-class") PostMessageW(h, WM_CLOSE, 0, 0);
    if (cmd == L"press") {
      HWND c = argc > 3 ? GetDlgItem(h, _wtoi(argv[3])) : nullptr;
      if (!c) return 1;
      PostMessageW(c, BM_CLICK, 0, 0);
    }
    return 0;
  }
  if (cmd == L"list") {
    EnumWindows(
        [](HWND h, LPARAM) CALLBACK -> BOOL {
          DWORD pid = 0;
          GetWindowThreadProcessId(h, &pid);
          wchar_t cls[128] = {}, text[128] = {};
          GetClassNameW(h, cls, 128);
          GetWindowTextW(h, text, 128);
          std::printf("%p pid=%lu visible=%d class=%ls text=%ls\n", static_cast<void*>(h), pid,
                      IsWindowVisible(h) ? 1 : 0, cls, text);
          return TRUE;
        },
        0);
    return 0;
  }
  const DWORD waitMs = (cmd == L"wait" && argc > 2) ? _wtoi(argv[2]) * 1000 : 20000;
  HWND h = FindLauncher(waitMs);
  if (!h) {
    std::fprintf(stderr, "no launcher window\n");
    return 1;
  }
  if (cmd == L"wait") {
    PrintRect(h);
    return 0;
  }
  if (cmd == L"close") {
    PostMessageW(h, WM_CLOSE, 0, 0);
    return 0;
  }
  if (cmd == L"tab" && argc == 3) {
    SetForegroundWindow(h);
    for (int i = 0; i < _wtoi(argv[2]); ++i) {
      INPUT keys[2] = {};
      keys[0].type = keys[1].type = INPUT_KEYBOARD;
      keys[0].ki.wVk = keys[1].ki.wVk = VK_TAB;
      keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
      SendInput(2, keys, sizeof(INPUT));
      Sleep(100);
    }
    return 0;
  }
  if (cmd == L"click" && argc == 6) {
    RECT want{_wtoi(argv[2]), _wtoi(argv[3]), 0, 0};
    want.right = want.left + _wtoi(argv[4]);
    want.bottom = want.top + _wtoi(argv[5]);
    for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      RECT r;
      GetWindowRect(c, &r);
      MapWindowPoints(HWND_DESKTOP, h, reinterpret_cast<POINT*>(&r), 2);
      if (EqualRect(&r, &want)) {
        // Posted, so a click that closes the launcher does not hold this process.
        PostMessageW(c, BM_CLICK, 0, 0);
        return 0;
      }
    }
    std::fprintf(stderr, "no child at that rectangle\n");
    return 1;
  }
  std::fprintf(stderr, "usage: tandrel_probe wait [s] | click L T W H | close | tab N\n");
  return 2;
}

// A feature module for end-to-end runs, built on the public SDK only. It stands in for the
// multi-pair or the signal module, carries out the request named in "probe.script" beside it
// against the launcher's main window, and writes what came back to "probe.log" beside it:
//   get-id            AM_PAIR_GET_ID with its own window as the answer's target
//   get-id-broadcast  the same with HWND_BROADCAST as the target
//   rfinfo            AM_CHANNEL_SETTING_EX_REQUEST_RFINFO with its own window
//   window            shows a window that is not modal and returns when it is closed
//   controls          makes a push button and logs "controls 6" when it is one of common
//                     controls 6 (it answers BCM_GETIDEALSIZE), else "controls classic"
//   names             reads each of the launcher's buttons as assistive technology does, through
//                     its standard accessible object (oleacc), and logs
//                     "name <left>,<top> <hresult> <name>" and "help <left>,<top> <help>" (UTF-8)
// It logs "enter" and "done" around each call. Its window is a top-level window (hidden but for
// "window"), so a broadcast would reach it too.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <cstdio>
#include <string>

#include "sdk/tandrel_sdk.h"
#include "tests/e2e/BesideModule_win.h"

namespace {

void Log(const char* line) {
  if (FILE* f = _wfopen(BesideThisModule(L"probe.log").c_str(), L"a")) {
    std::fprintf(f, "%s\n", line);
    std::fclose(f);
  }
}

std::string Script() {
  std::string command;
  if (FILE* f = _wfopen(BesideThisModule(L"probe.script").c_str(), L"r")) {
    char buf[64] = {};
    if (std::fgets(buf, sizeof buf, f)) command = buf;
    std::fclose(f);
  }
  while (!command.empty() && (command.back() == '\n' || command.back() == '\r')) command.pop_back();
  return command;
}

// Every registered message the launcher sends or posts to the probe's window.
LRESULT CALLBACK ProbeProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  static const wchar_t* const kAnswers[] = {TANDREL_MSG_PAIR_RETURN_ID, TANDREL_MSG_RFINFO,
                                            TANDREL_MSG_DEVICE_REMOVE};
  for (const wchar_t* name : kAnswers) {
    if (m != RegisterWindowMessageW(name)) continue;
    char line[160];
    std::snprintf(line, sizeof line, "%ls w=0x%llX l=0x%llX", name,
                  static_cast<unsigned long long>(w), static_cast<unsigned long long>(l));
    Log(line);
  }
  return DefWindowProcW(h, m, w, l);
}

void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  MSG msg;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
}

// The record's head as the launcher filled it.
template <typename Record>
void LogRecord(const Record* r, unsigned receiverOk) {
  char line[1200];
  std::snprintf(line, sizeof line, "record language=0x%X section=%s forms=%ls ok=%u", r->languageId,
                r->sectionPath ? "given" : "null",
                reinterpret_cast<const wchar_t*>(tandrel_string_text(r->formsFolder)), receiverOk);
  Log(line);
}

std::string Utf8(const wchar_t* text) {
  if (!text) return "(none)";
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  return out;
}

// IAccessible's interface identifier, spelt out: the cross toolchain's import libraries are not
// relied on for it.
const GUID kIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// Each child window of the launcher as a screen reader meets it: its accessible object's name and
// help text, by the window's place in the launcher's client area.
void LogAccessibleNames(HWND launcher) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  for (HWND child = GetWindow(launcher, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, launcher, reinterpret_cast<POINT*>(&r), 2);
    IAccessible* object = nullptr;
    const HRESULT got = AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT),
                                                   kIAccessible, reinterpret_cast<void**>(&object));
    BSTR name = nullptr, help = nullptr;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    HRESULT named = got;
    char made[64];
    std::snprintf(made, sizeof made, "object 0x%08lX", static_cast<unsigned long>(got));
    Log(made);
    if (FAILED(got)) {
      // The proxy a window without an object of its own gets, asked for directly.
      const HRESULT std = CreateStdAccessibleObject(
          child, static_cast<LONG>(OBJID_CLIENT), kIAccessible, reinterpret_cast<void**>(&object));
      std::snprintf(made, sizeof made, "standard 0x%08lX", static_cast<unsigned long>(std));
      Log(made);
      named = std;
    }
    if (SUCCEEDED(named) && object) {
      named = object->get_accName(self, &name);
      object->get_accHelp(self, &help);
      object->Release();
    }
    std::string line = "name " + std::to_string(r.left) + "," + std::to_string(r.top) + " " +
                       std::to_string(static_cast<long>(named)) + " " + Utf8(name);
    Log(line.c_str());
    line = "help " + std::to_string(r.left) + "," + std::to_string(r.top) + " " + Utf8(help);
    Log(line.c_str());
    SysFreeString(name);
    SysFreeString(help);
  }
  if (SUCCEEDED(com)) CoUninitialize();
}

void Run(HWND launcher) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ProbeProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TandrelProbeModule";
  RegisterClassW(&wc);
  HWND self = CreateWindowExW(WS_EX_TOOLWINDOW, L"TandrelProbeModule", L"", WS_POPUP, 0, 0, 1, 1,
                              nullptr, nullptr, wc.hInstance, nullptr);
  const std::string command = Script();
  Log("enter");
  char line[96];
  if (command == "get-id" || command == "get-id-broadcast") {
    const HWND target = command == "get-id" ? self : HWND_BROADCAST;
    const LRESULT r = SendMessageW(launcher, RegisterWindowMessageW(TANDREL_MSG_PAIR_GET_ID),
                                   reinterpret_cast<WPARAM>(target), 0);
    std::snprintf(line, sizeof line, "result %lld", static_cast<long long>(r));
    Log(line);
  } else if (command == "window") {
    SetWindowTextW(self, L"Tandrel probe window");
    SetWindowPos(self, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
    MSG msg;
    while (IsWindow(self) && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  } else if (command == "controls") {
    HWND button = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | BS_PUSHBUTTON, 0, 0, 80, 24, self,
                                  nullptr, nullptr, nullptr);
    SIZE ideal{};
    const bool six =
        button && SendMessageW(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal));
    Log(six ? "controls 6" : "controls classic");
  } else if (command == "names") {
    LogAccessibleNames(launcher);
  } else if (command == "rfinfo") {
    SendMessageW(launcher, RegisterWindowMessageW(TANDREL_MSG_REQUEST_RFINFO),
                 reinterpret_cast<WPARAM>(self), 0);
  }
  Pump(500);  // the posted answers
  Log("done");
  if (IsWindow(self)) DestroyWindow(self);
  UnregisterClassW(L"TandrelProbeModule", wc.hInstance);
}

}  // namespace

TANDREL_MODULE_EXPORT int32_t TANDREL_MODULE_CALL
return_MultiPairForm(const TandrelMultiPairFormRecord* record) {
  LogRecord(record, 0);
  Run(static_cast<HWND>(record->window));
  return 1;
}

TANDREL_MODULE_EXPORT void TANDREL_MODULE_CALL
return_RSSIDisplay(const TandrelRSSIDisplayRecord* record) {
  LogRecord(record, record->receiverOk);
  Run(static_cast<HWND>(record->window));
}

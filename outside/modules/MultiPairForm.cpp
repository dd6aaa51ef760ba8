// MultiPairForm.dll: the pairing window. Start asks the launcher to start pairing, then for 30
// seconds polls for a newly paired device twice a second and lists each device as its answer
// arrives; Stop or Close ends pairing. The result is the number of devices paired.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <utility>
#include <vector>

#include "ModuleKit.h"
#include "ModuleWindows.h"

namespace {

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMs = 500;
constexpr int kPairingTicks = 60;  // 30 s at two polls a second
constexpr int kMissedAnswers = 2;  // failed requests in a row before the receiver counts as gone

UINT Message(const wchar_t* name) {
  return RegisterWindowMessageW(name);
}

struct PairForm {
  HWND launcher = nullptr;
  HWND window = nullptr;
  const modkit::Texts* texts = nullptr;
  bool finished = false;
  bool pairing = false;
  int ticks = 0;
  int missed = 0;
  std::vector<std::pair<int, long>> devices;  // kind, identifier

  std::wstring T(const wchar_t* key, const wchar_t* english) const {
    return (*texts)(key, english);
  }
  HWND Item(int id) const { return GetDlgItem(window, id); }
  void Status(const std::wstring& text) const {
    SetDlgItemTextW(window, TANDREL_ID_STATUS, text.c_str());
  }

  // A request to the launcher; false when it failed or the launcher window is gone.
  bool Ask(const wchar_t* name, WPARAM wParam = 0) const {
    return IsWindow(launcher) && SendMessageW(launcher, Message(name), wParam, 0) != 0;
  }

  void ShowPairing(bool on) {
    pairing = on;
    EnableWindow(Item(TANDREL_ID_START), !on);
    EnableWindow(Item(TANDREL_ID_STOP), on);
    SetFocus(Item(on ? TANDREL_ID_STOP : TANDREL_ID_START));
    SendMessageW(window, DM_SETDEFID, on ? TANDREL_ID_STOP : TANDREL_ID_START, 0);
    if (!on) SendDlgItemMessageW(window, TANDREL_ID_PROGRESS, PBM_SETPOS, 0, 0);
  }

  void Countdown() const {
    const int left = (kPairingTicks - ticks + 1) / 2;
    Status(modkit::Format(T(L"Waiting", L"Press the connect button on each new device. %1 s left."),
                          {std::to_wstring(left)}));
    SendDlgItemMessageW(window, TANDREL_ID_PROGRESS, PBM_SETPOS, ticks, 0);
  }

  void Start() {
    if (!Ask(TANDREL_MSG_PAIR_START)) {
      NoAnswer();
      return;
    }
    ticks = 0;
    missed = 0;
    ShowPairing(true);
    Countdown();
    SetTimer(window, kPollTimer, kPollMs, nullptr);
  }

  // Ends pairing; the receiver is told unless it no longer answers.
  void Stop(bool tellReceiver) {
    KillTimer(window, kPollTimer);
    if (pairing && tellReceiver) Ask(TANDREL_MSG_PAIR_STOP);
    ShowPairing(false);
  }

  void NoAnswer() {
    Stop(false);
    Status(T(L"NoAnswer",
             L"The receiver does not answer. Check that it is plugged in, then press Start to "
             L"try again."));
  }

  void Poll() {
    ++ticks;
    missed = Ask(TANDREL_MSG_PAIR_GET_ID, reinterpret_cast<WPARAM>(window)) ? 0 : missed + 1;
    if (missed >= kMissedAnswers) return NoAnswer();
    if (ticks >= kPairingTicks) {
      Stop(true);
      Status(modkit::Format(T(L"Finished", L"Pairing finished. Devices paired: %1."),
                            {std::to_wstring(devices.size())}));
      return;
    }
    Countdown();
  }

  void Paired(int kind, long id) {
    if (kind != TANDREL_DEVICE_KIND_KEYBOARD && kind != TANDREL_DEVICE_KIND_MOUSE) return;
    // Each poll may report the same device again until the next one pairs.
    for (const auto& d : devices)
      if (d.first == kind && d.second == id) return;
    devices.emplace_back(kind, id);
    wchar_t hex[16];
    std::swprintf(hex, 16, L"%05lX", static_cast<unsigned long>(id));
    const std::wstring line = (kind == TANDREL_DEVICE_KIND_KEYBOARD ? T(L"Keyboard", L"Keyboard")
                                                                    : T(L"Mouse", L"Mouse")) +
                              L"\t" + modkit::Format(T(L"Identifier", L"ID %1"), {hex});
    SendDlgItemMessageW(window, TANDREL_ID_DEVICES, LB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(line.c_str()));
  }

  void Close() {
    Stop(true);
    finished = true;
  }
};

LRESULT CALLBACK PairProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* form = reinterpret_cast<PairForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    form = static_cast<PairForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    form->window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  if (!form) return DefWindowProcW(window, msg, wParam, lParam);
  if (msg >= 0xC000 && msg == Message(TANDREL_MSG_PAIR_RETURN_ID)) {
    form->Paired(static_cast<int>(static_cast<int32_t>(wParam)),
                 static_cast<long>(lParam & 0x7FFFF));
    return 0;
  }
  switch (msg) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case TANDREL_ID_START:
          form->Start();
          return 0;
        case TANDREL_ID_STOP:
          form->Stop(true);
          form->Status(form->T(L"Stopped", L"Pairing stopped."));
          return 0;
        case IDCANCEL:
          form->Close();
          return 0;
      }
      break;
    case WM_TIMER:
      if (wParam == kPollTimer) form->Poll();
      return 0;
    case WM_CLOSE:
      form->Close();
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(form->pairing ? TANDREL_ID_STOP : TANDREL_ID_START, DC_HASDEFID);
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace

TANDREL_MODULE_EXPORT int32_t TANDREL_MODULE_CALL
return_MultiPairForm(const TandrelMultiPairFormRecord* record) {
  if (!record) return 0;
  const INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  const modkit::Texts texts(record->formsFolder, record->languageId, record->sectionPath,
                            L"MultiPairForm.dll");
  PairForm form;
  form.launcher = static_cast<HWND>(record->window);
  form.texts = &texts;

  HWND window = modkit::CreateModuleWindow(TANDREL_MULTIPAIR_CLASS, PairProc,
                                           texts(L"Title", L"Pair new devices"), 420, 318,
                                           form.launcher, &form);
  if (!window) return 0;
  using modkit::Control;
  Control(window, L"STATIC",
          texts(L"Instructions",
                L"Press Start, then press the connect button on each new keyboard or mouse "
                L"within 30 seconds."),
          SS_LEFT, TANDREL_ID_INFO, 12, 12, 396, 36);
  Control(window, L"STATIC", texts(L"Ready", L"Ready to pair."), SS_LEFT | SS_NOPREFIX,
          TANDREL_ID_STATUS, 12, 56, 396, 36);
  HWND progress = Control(window, PROGRESS_CLASSW, L"", 0, TANDREL_ID_PROGRESS, 12, 96, 396, 16);
  SendMessageW(progress, PBM_SETRANGE32, 0, kPairingTicks);
  Control(window, L"STATIC", texts(L"DeviceList", L"Devices paired in this session:"), SS_LEFT, -1,
          12, 124, 396, 18);
  HWND list = Control(
      window, L"LISTBOX", L"",
      WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_USETABSTOPS | LBS_NOSEL,
      TANDREL_ID_DEVICES, 12, 144, 396, 124);
  const int tabStop = 80;  // dialog units: room for the kind before the identifier
  SendMessageW(list, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
  Control(window, L"BUTTON", texts(L"Start", L"&Start"), BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP,
          TANDREL_ID_START, 96, 280, 100, 28);
  Control(window, L"BUTTON", texts(L"Stop", L"S&top"), BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED,
          TANDREL_ID_STOP, 202, 280, 100, 28);
  Control(window, L"BUTTON", texts(L"Close", L"Close"), BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 308,
          280, 100, 28);
  const modkit::DialogFont font;
  font.Apply(window);
  modkit::CentreOver(window, form.launcher);
  SetFocus(GetDlgItem(window, TANDREL_ID_START));

  modkit::RunModal(form.launcher, window, form.finished);
  KillTimer(window, kPollTimer);  // the window may have been destroyed from outside
  UnregisterClassW(TANDREL_MULTIPAIR_CLASS, modkit::ThisModule());
  return static_cast<int32_t>(form.devices.size());
}

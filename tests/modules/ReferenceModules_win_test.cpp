// The reference modules from the run-time tree, called through the launcher's interface classes,
// with a stand-in launcher window that answers the registered messages. A thread timer, which
// the module's own message loop dispatches, plays the user; every wait has a deadline.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "ModuleWindows.h"
#include "modules/ModuleCall.h"
#include "modules/ModuleLibrary.h"
#include "modules/ModuleRecords.h"
#include "tests/support/Patience.h"

namespace {

UINT Msg(const wchar_t* name) {
  return RegisterWindowMessageW(name);
}

// The forms folder as the launcher builds it: executable folder (with its backslash) followed by
// "\Data\Tandrel_Program\Forms\", so with a doubled backslash.
std::u16string FormsFolder() {
  std::wstring stage =
      L"Z:" + std::wstring(TANDREL_STAGE_DIR, TANDREL_STAGE_DIR + strlen(TANDREL_STAGE_DIR));
  for (auto& c : stage)
    if (c == L'/') c = L'\\';
  const std::wstring forms = stage + L"\\" + L"\\Data\\Tandrel_Program\\Forms\\";
  return std::u16string(forms.begin(), forms.end());
}

std::wstring TextOf(HWND w) {
  wchar_t buf[1024] = {};
  GetWindowTextW(w, buf, 1024);
  return buf;
}

// The stand-in launcher: counts requests and answers them as the launcher does.
struct Launcher {
  bool answers = true;  // false: every request fails, as with a receiver pulled out
  int starts = 0, stops = 0, getIds = 0, rfRequests = 0;
  HWND hwnd = nullptr;

  static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Launcher*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (!self || m < 0xC000) return DefWindowProcW(w, m, wp, lp);
    if (m == Msg(L"AM_PAIR_START")) return ++self->starts, self->answers;
    if (m == Msg(L"AM_PAIR_STOP")) return ++self->stops, self->answers;
    if (m == Msg(L"AM_PAIR_GET_ID")) {
      ++self->getIds;
      // A keyboard pairs at the second poll, a mouse from the fourth on (reported again and again).
      WPARAM kind = static_cast<WPARAM>(-1);
      LPARAM id = 0;
      if (self->getIds == 2) kind = 1, id = 0x51234;
      if (self->getIds >= 4) kind = 2, id = 0x0ABCD;
      if (!self->answers) kind = static_cast<WPARAM>(-1), id = 0;
      PostMessageW(reinterpret_cast<HWND>(wp), Msg(L"AM_PAIR_RETURN_ID"), kind, id);
      return self->answers;
    }
    if (m == Msg(L"AM_CHANNEL_SETTING_EX_REQUEST_RFINFO")) {
      ++self->rfRequests;
      SendMessageW(reinterpret_cast<HWND>(wp), Msg(L"AM_CHANNEL_SETTING_EX_RFINFO"), 7, 42);
      return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
  }

  Launcher() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TandrelTestLauncher";
    RegisterClassW(&wc);
    hwnd = CreateWindowExW(0, wc.lpszClassName, L"Launcher", WS_OVERLAPPEDWINDOW, 100, 100, 500,
                           400, nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Launcher() { DestroyWindow(hwnd); }

  modules::ModuleContext Context() const { return {0x0409, u"", hwnd, FormsFolder()}; }
};

// The user: `step` runs every 50 ms inside the module's message loop until it returns true. At
// the deadline every window of this thread but the launcher is asked to close.
struct Driver {
  static inline std::function<bool()> step;
  static inline DWORD deadline = 0;
  static inline bool timedOut = false;
  static inline HWND launcher = nullptr;
  UINT_PTR timer;

  Driver(HWND launcherWindow, std::function<bool()> s, DWORD limitMs = 15000) {
    step = std::move(s);
    launcher = launcherWindow;
    deadline = GetTickCount() + limitMs * testing_support::Patience();
    timedOut = false;
    timer = SetTimer(nullptr, 0, 50, Tick);
  }
  ~Driver() { KillTimer(nullptr, timer); }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!step) return;
    if (step()) {
      step = nullptr;
      return;
    }
    if (static_cast<LONG>(GetTickCount() - deadline) >= 0) {
      timedOut = true;
      step = nullptr;
      EnumThreadWindows(
          GetCurrentThreadId(),
          [](HWND w, LPARAM) CALLBACK -> BOOL {
            if (w != launcher) PostMessageW(w, WM_CLOSE, 0, 0);
            return TRUE;
          },
          0);
    }
  }
};

// The top-level window of this thread with that class, owned by the launcher.
HWND OwnedWindow(HWND launcher, const wchar_t* cls) {
  struct Find {
    HWND owner, found;
    const wchar_t* cls;
  } find{launcher, nullptr, cls};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM lp) CALLBACK -> BOOL {
        auto* f = reinterpret_cast<Find*>(lp);
        wchar_t name[64];
        GetClassNameW(w, name, 64);
        if (wcscmp(name, f->cls) == 0 && GetWindow(w, GW_OWNER) == f->owner && IsWindowVisible(w)) {
          f->found = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&find));
  return find.found;
}

std::wstring StaticTexts(HWND dialog) {
  std::wstring all;
  EnumChildWindows(
      dialog,
      [](HWND w, LPARAM lp) CALLBACK -> BOOL {
        wchar_t name[32];
        GetClassNameW(w, name, 32);
        if (_wcsicmp(name, L"Static") == 0)
          *reinterpret_cast<std::wstring*>(lp) += TextOf(w) + L"|";
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  return all;
}

TEST(MessageConfirm, ShowsTheTextModallyUntilOk) {
  Launcher launcher;
  std::wstring caption, texts;
  bool ownerDisabled = false;
  Driver driver(launcher.hwnd, [&] {
    HWND box = OwnedWindow(launcher.hwnd, L"#32770");
    if (!box) return false;
    // The texts may be set a moment after the box shows.
    texts = StaticTexts(box);
    if (texts.find(L"Plug it in") == std::wstring::npos) return false;
    caption = TextOf(box);
    ownerDisabled = !IsWindowEnabled(launcher.hwnd);
    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    return true;
  });
  modules::ModuleStrings strings;
  modules::ShowMessageConfirm(
      modules::MakeMessageConfirmRecord(strings, launcher.Context(),
                                        u"No receiver.\\\\\\\\Plug it in. @@"),
      FormsFolder());
  EXPECT_FALSE(Driver::timedOut);
  EXPECT_EQ(caption, L"Tandrel");
  EXPECT_NE(texts.find(L"No receiver.\r\nPlug it in. @@"), std::wstring::npos) << texts;
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(launcher.hwnd));
}

TEST(MessageConfirm, EmptyTextShowsNothing) {
  Launcher launcher;
  bool shown = false;
  Driver driver(
      launcher.hwnd,
      [&] {
        if (HWND box = OwnedWindow(launcher.hwnd, L"#32770")) {
          shown = true;
          PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        return false;
      },
      3000);
  modules::ModuleStrings strings;
  modules::ShowMessageConfirm(modules::MakeMessageConfirmRecord(strings, launcher.Context(), u""),
                              FormsFolder());
  EXPECT_FALSE(shown);
}

TEST(MultiPairForm, ListsDevicesAsTheyPairAndStopsOnClose) {
  Launcher launcher;
  std::wstring first, second, status;
  bool ownerDisabled = false, started = false;
  Driver driver(launcher.hwnd, [&] {
    HWND form = OwnedWindow(launcher.hwnd, TANDREL_MULTIPAIR_CLASS);
    if (!form) return false;
    ownerDisabled = !IsWindowEnabled(launcher.hwnd);
    if (!started) {
      SendMessageW(GetDlgItem(form, TANDREL_ID_START), BM_CLICK, 0, 0);
      started = true;
      return false;
    }
    HWND list = GetDlgItem(form, TANDREL_ID_DEVICES);
    if (SendMessageW(list, LB_GETCOUNT, 0, 0) < 2) return false;
    wchar_t item[128];
    SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(item));
    first = item;
    SendMessageW(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(item));
    second = item;
    status = TextOf(GetDlgItem(form, TANDREL_ID_STATUS));
    SendMessageW(GetDlgItem(form, IDCANCEL), BM_CLICK, 0, 0);
    return true;
  });
  modules::ModuleStrings strings;
  auto record = modules::MakeMultiPairFormRecord(strings, launcher.Context());
  modules::ModuleCall<modules::MultiPairFormRecord> module(FormsFolder() +
                                                           modules::MultiPairFormLibraryPath());
  const int32_t result = module.Invoke(&record);

  EXPECT_FALSE(Driver::timedOut);
  EXPECT_EQ(result, 2);
  EXPECT_EQ(first, L"Keyboard\tID 51234");
  EXPECT_EQ(second, L"Mouse\tID 0ABCD");
  EXPECT_NE(status.find(L" s left"), std::wstring::npos) << status;
  EXPECT_EQ(launcher.starts, 1);
  EXPECT_GE(launcher.getIds, 4);
  EXPECT_EQ(launcher.stops, 1);  // closing while pairing stops pairing
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(launcher.hwnd));
}

TEST(MultiPairForm, SaysSoWhenTheReceiverStopsAnsweringAndClosesOnEscape) {
  Launcher launcher;
  std::wstring status;
  bool started = false, startEnabledAgain = false;
  Driver driver(launcher.hwnd, [&] {
    HWND form = OwnedWindow(launcher.hwnd, TANDREL_MULTIPAIR_CLASS);
    if (!form) return false;
    if (!started) {
      SendMessageW(GetDlgItem(form, TANDREL_ID_START), BM_CLICK, 0, 0);
      started = true;
      launcher.answers = false;  // pulled out after pairing started
      return false;
    }
    status = TextOf(GetDlgItem(form, TANDREL_ID_STATUS));
    if (status.find(L"does not answer") == std::wstring::npos) return false;
    startEnabledAgain = IsWindowEnabled(GetDlgItem(form, TANDREL_ID_START));
    // Esc on the focused control closes the window, as in a dialog.
    HWND focus = GetFocus();
    PostMessageW(focus ? focus : form, WM_KEYDOWN, VK_ESCAPE, 0);
    return true;
  });
  modules::ModuleStrings strings;
  auto record = modules::MakeMultiPairFormRecord(strings, launcher.Context());
  modules::ModuleCall<modules::MultiPairFormRecord> module(FormsFolder() +
                                                           modules::MultiPairFormLibraryPath());
  EXPECT_EQ(module.Invoke(&record), 0);
  EXPECT_FALSE(Driver::timedOut);
  EXPECT_TRUE(startEnabledAgain);
  EXPECT_EQ(launcher.stops, 0);  // a receiver that does not answer is not asked to stop
}

TEST(MultiPairForm, TakesItsTextsFromTheRecordsLanguage) {
  Launcher launcher;
  std::wstring title, start;
  Driver driver(launcher.hwnd, [&] {
    HWND form = OwnedWindow(launcher.hwnd, TANDREL_MULTIPAIR_CLASS);
    if (!form) return false;
    title = TextOf(form);
    start = TextOf(GetDlgItem(form, TANDREL_ID_START));
    PostMessageW(form, WM_CLOSE, 0, 0);
    return true;
  });
  modules::ModuleContext context = launcher.Context();
  context.LanguageId = 0x0807;  // Swiss German: the German file
  modules::ModuleStrings strings;
  auto record = modules::MakeMultiPairFormRecord(strings, context);
  modules::ModuleCall<modules::MultiPairFormRecord> module(FormsFolder() +
                                                           modules::MultiPairFormLibraryPath());
  EXPECT_EQ(module.Invoke(&record), 0);
  EXPECT_FALSE(Driver::timedOut);
  EXPECT_EQ(title, L"Neue Geräte koppeln");
  EXPECT_EQ(start, L"&Starten");
  EXPECT_EQ(launcher.starts, 0);
}

TEST(RSSIDisplay, ShowsValuesAndClosesWhenTheReceiverIsRemoved) {
  Launcher launcher;
  std::wstring values, status;
  bool removedPosted = false;
  Driver driver(launcher.hwnd, [&] {
    HWND form = OwnedWindow(launcher.hwnd, TANDREL_RSSI_CLASS);
    if (!form) return false;
    if (!removedPosted) {
      if (launcher.rfRequests < 3) return false;
      values = TextOf(GetDlgItem(form, TANDREL_ID_INFO));
      PostMessageW(form, Msg(L"AM_DEVICE_REMOVE"), 0, 0);
      removedPosted = true;
      return false;
    }
    status = TextOf(GetDlgItem(form, TANDREL_ID_STATUS));
    return !status.empty();
  });
  modules::ModuleStrings strings;
  auto record = modules::MakeRSSIDisplayRecord(strings, launcher.Context(), true);
  const DWORD start = GetTickCount();
  {
    modules::ModuleCall<modules::RSSIDisplayRecord> module(FormsFolder() +
                                                           modules::RSSIDisplayLibraryPath());
    module.Invoke(&record);
  }
  EXPECT_FALSE(Driver::timedOut);
  EXPECT_LT(GetTickCount() - start, 10000u);
  EXPECT_EQ(values, L"Channel 7, signal level 42 of 255 (weak)");
  EXPECT_NE(status.find(L"removed"), std::wstring::npos) << status;
  const int requests = launcher.rfRequests;
  Sleep(600);  // nothing asks any more once the module has returned
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
  EXPECT_EQ(launcher.rfRequests, requests);
  EXPECT_TRUE(IsWindowEnabled(launcher.hwnd));
}

}  // namespace

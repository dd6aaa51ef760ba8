// Real windows behind the control model: the form is a top-level window of our own class, a
// push button is the system's BUTTON subclassed. Every message either window receives is put in
// a Message and handed to the control's replaceable WindowProc; what the framework passes on
// reaches the peer's DefaultHandler and from there the platform.
#include <algorithm>
#include <climits>
#include <vector>

#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/Exception.h"
#include "ui/win/Gdi.h"

namespace ui {
namespace {

constexpr wchar_t kFormClassName[] = L"TandrelForm";
// Button identifiers start above IDOK/IDCANCEL, which the dialog keys send on their own.
constexpr int kFirstButtonId = 100;

HWND ToHwnd(NativeHandle h) {
  return static_cast<HWND>(h);
}

// Hands a window message to the control's WindowProc. An exception must not unwind through the
// system's frames, so it ends here in the application's exception box.
LRESULT Deliver(TControl& control, UINT msgId, WPARAM wParam, LPARAM lParam) {
  Message m{msgId, wParam, lParam, 0};
  try {
    control.WindowProc(m);
  } catch (...) {
    const Exception error = AsFrameworkError(std::current_exception());
    App().ShowException(&error);
  }
  return m.Result;
}

bool SameBounds(HWND hwnd, const TControl& c, bool child) {
  RECT r;
  GetWindowRect(hwnd, &r);
  if (child) MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return TRect{r.left, r.top, r.right, r.bottom} == c.BoundsRect();
}

void ApplyVisibility(HWND hwnd, bool visible) {
  const bool shown = (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
  if (shown != visible) ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE);
}

void ApplyEnabled(HWND hwnd, bool enabled) {
  if ((IsWindowEnabled(hwnd) != FALSE) != enabled) EnableWindow(hwnd, enabled);
}

// Puts the windowed children of parent in z-order by TabOrder (then by the order they were
// parented), so that the dialog keys move the focus in TabOrder. creating/creatingHwnd stand
// for a child whose peer is still being built.
void ArrangeTabOrder(const TWinControl& parent, const TWinControl* creating, HWND creatingHwnd) {
  struct Entry {
    int order;
    size_t index;
    HWND hwnd;
  };
  std::vector<Entry> entries;
  size_t index = 0;
  for (TControl* c : parent.Controls()) {
    ++index;
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w) continue;
    HWND h = w == creating ? creatingHwnd : (w->HandleAllocated() ? ToHwnd(w->Handle()) : nullptr);
    if (h) entries.push_back({w->TabOrder < 0 ? INT_MAX : w->TabOrder, index, h});
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.order != b.order ? a.order < b.order : a.index < b.index;
  });
  HWND after = HWND_TOP;
  for (const Entry& e : entries) {
    const bool inPlace = after == HWND_TOP ? GetWindow(e.hwnd, GW_HWNDPREV) == nullptr
                                           : GetWindow(after, GW_HWNDNEXT) == e.hwnd;
    if (!inPlace) {
      SetWindowPos(e.hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    after = e.hwnd;
  }
}

// --- the form ---

class FormPeer final : public WindowPeer {
 public:
  explicit FormPeer(TForm& form);
  ~FormPeer() override;
  NativeHandle Handle() const override { return hwnd_; }
  void Update() override;
  void Invalidate() override;
  void DefaultHandler(Message& m) override;

 private:
  static ATOM WindowClass();
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msgId, WPARAM wParam, LPARAM lParam);
  void Paint(HDC target, RECT area);
  void SyncBounds();
  LRESULT DefaultButtonId() const;
  void ChangeKeyboardCues(WPARAM change);

  // The keyboard cues hidden (UISF_HIDEFOCUS, UISF_HIDEACCEL), kept here for the form and its
  // children as the system keeps them for a dialog: Wine answers WM_QUERYUISTATE with 0 whatever
  // it was told, which would show the focus to a person who only clicks.
  LRESULT hiddenCues_ = 0;

  TForm& form_;
  HWND hwnd_ = nullptr;
  bool attached_ = false;  // messages go to the control only once the window is complete
  bool syncing_ = false;   // the model is taking the window's bounds: nothing to apply back
  std::u16string caption_;
  HFONT font_ = nullptr;
};

// The icons the form class was registered with: a form whose application icons are these needs no
// WM_SETICON, which costs the display driver a conversion per icon and size.
HICON g_classIcon = nullptr, g_classSmallIcon = nullptr;

ATOM FormPeer::WindowClass() {
  static const ATOM atom = [] {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;  // no background brush: the peer paints every pixel
    wc.lpfnWndProc = &FormPeer::Proc;
    wc.hInstance = instance;
    // The application's icons when it has loaded them by now, else the executable's own.
    wc.hIcon = static_cast<HICON>(App().Icon(false));
    wc.hIconSm = static_cast<HICON>(App().Icon(true));
    if (!wc.hIcon || !wc.hIconSm) {
      wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
      if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
      wc.hIconSm = nullptr;
    }
    g_classIcon = wc.hIcon;
    g_classSmallIcon = wc.hIconSm;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kFormClassName;
    return RegisterClassExW(&wc);
  }();
  return atom;
}

FormPeer::FormPeer(TForm& form) : form_(form), caption_(form.Caption()) {
  const ATOM cls = WindowClass();
  if (!cls) return;
  // Borderless; the system menu and minimise box keep Alt+F4 and the taskbar button working.
  DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
  if (!form.Enabled()) style |= WS_DISABLED;
  hwnd_ = CreateWindowExW(WS_EX_APPWINDOW, MAKEINTATOM(cls), win::Wide(caption_), style,
                          form.Left(), form.Top(), form.Width(), form.Height(), nullptr, nullptr,
                          GetModuleHandleW(nullptr), this);
  if (!hwnd_) return;
  // An icon the application loaded replaces the executable's own.
  if (HICON icon = static_cast<HICON>(App().Icon(false)); icon && icon != g_classIcon)
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  if (HICON icon = static_cast<HICON>(App().Icon(true)); icon && icon != g_classSmallIcon)
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  font_ = win::FontHandle(form.Font());
  // Shown by the first Update, once the control holds this peer and can pass messages on.
  attached_ = true;
}

FormPeer::~FormPeer() {
  if (!hwnd_) return;
  // The control may be half destroyed: the window's last messages go to the platform only.
  HWND hwnd = hwnd_;
  attached_ = false;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  DestroyWindow(hwnd);
}

LRESULT CALLBACK FormPeer::Proc(HWND hwnd, UINT msgId, WPARAM wParam, LPARAM lParam) {
  if (msgId == WM_NCCREATE) {
    auto* created =
        static_cast<FormPeer*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<FormPeer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msgId, wParam, lParam);
  if (!self->attached_) {
    if (msgId == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);  // creation failed
    return DefWindowProcW(hwnd, msgId, wParam, lParam);
  }
  const LRESULT result = Deliver(self->form_, msgId, wParam, lParam);
  if (msgId == WM_NCDESTROY) {
    // Destroyed from outside while the form lives on: the peer holds no window any more.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->attached_ = false;
  }
  return result;
}

void FormPeer::Update() {
  if (!hwnd_ || syncing_) return;
  if (!IsIconic(hwnd_) && !SameBounds(hwnd_, form_, false)) {
    SetWindowPos(hwnd_, nullptr, form_.Left(), form_.Top(), form_.Width(), form_.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (form_.Caption() != caption_) {
    caption_ = form_.Caption();
    SetWindowTextW(hwnd_, win::Wide(caption_));
  }
  ApplyEnabled(hwnd_, form_.Enabled());
  if (HFONT font = win::FontHandle(form_.Font()); font != font_) {
    font_ = font;  // buttons show their parent's font
    for (TControl* c : form_.Controls()) {
      auto* w = dynamic_cast<TWinControl*>(c);
      if (w && w->HandleAllocated() && w->Handle()) {
        SendMessageW(ToHwnd(w->Handle()), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
      }
    }
  }
  ApplyVisibility(hwnd_, form_.Visible());
}

void FormPeer::Invalidate() {
  if (hwnd_ && !syncing_) InvalidateRect(hwnd_, nullptr, FALSE);
}

// A window moved or sized by the platform (dragging, the system menu) keeps the model true, so
// the next Update does not put it back.
void FormPeer::SyncBounds() {
  if (IsIconic(hwnd_)) return;
  RECT r;
  GetWindowRect(hwnd_, &r);
  syncing_ = true;
  form_.SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  syncing_ = false;
}

// Enter clicks the focused button: the dialog keys ask the form for its default button.
LRESULT FormPeer::DefaultButtonId() const {
  HWND focus = GetFocus();
  if (!focus || GetParent(focus) != hwnd_) return 0;
  if (!dynamic_cast<TButton*>(form_.FindChildByHandle(focus))) return 0;
  return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
}

// A change asked for with WM_CHANGEUISTATE: the top-level window takes it and tells itself and its
// children with WM_UPDATEUISTATE, as the system does; nothing changes while the user wants the cues
// always shown.
void FormPeer::ChangeKeyboardCues(WPARAM change) {
  BOOL always = FALSE;
  SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &always, 0);
  const LRESULT flags = HIWORD(change) & (UISF_HIDEFOCUS | UISF_HIDEACCEL);
  LRESULT hidden = hiddenCues_;
  switch (LOWORD(change)) {
    case UIS_SET:
      hidden |= flags;
      break;
    case UIS_CLEAR:
      hidden &= ~flags;
      break;
    case UIS_INITIALIZE:
      hidden = flags;
      break;
    default:
      return;
  }
  if (always) hidden = 0;
  if (hidden == hiddenCues_) return;
  hiddenCues_ = hidden;
  // The children repaint what the cues change (a skinned button its focus mark).
  const LRESULT shown = (UISF_HIDEFOCUS | UISF_HIDEACCEL) & ~hidden;
  for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (hidden) SendMessageW(child, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, hidden), 0);
    if (shown) SendMessageW(child, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, shown), 0);
  }
}

void FormPeer::DefaultHandler(Message& m) {
  if (!hwnd_) {
    m.Result = 0;
    return;
  }
  switch (m.Msg) {
    case WM_CHANGEUISTATE:
      ChangeKeyboardCues(m.WParam);
      m.Result = 0;
      return;
    case WM_QUERYUISTATE:
      m.Result = hiddenCues_;
      return;
    case WM_ERASEBKGND:
      m.Result = 1;  // WM_PAINT fills everything; erasing first would flicker
      return;
    case WM_PAINT: {
      const win::PaintScope paint(hwnd_);
      if (paint.dc()) Paint(paint.dc(), paint.area());
      m.Result = 0;
      return;
    }
    case WM_PRINTCLIENT: {
      // Often a child asking for its background (a themed button): the DC's clip box is the part
      // wanted, in this window's client coordinates.
      HDC target = reinterpret_cast<HDC>(m.WParam);
      RECT area;
      const int clip = GetClipBox(target, &area);
      if (clip == ERROR) GetClientRect(hwnd_, &area);
      if (clip != NULLREGION) Paint(target, area);
      m.Result = 0;
      return;
    }
    case DM_GETDEFID:
      m.Result = DefaultButtonId();
      return;
    case WM_WINDOWPOSCHANGED:
      SyncBounds();
      break;
    default:
      break;
  }
  m.Result = DefWindowProcW(hwnd_, m.Msg, m.WParam, m.LParam);
}

// Double-buffered: the part asked for is composed off screen, then copied in one block. The
// buffer lives for one paint: between paints the picture on the screen is the platform's to
// keep, and a copy of the whole window would only hold memory.
void FormPeer::Paint(HDC target, RECT area) {
  RECT client;
  GetClientRect(hwnd_, &client);
  if (!IntersectRect(&area, &area, &client)) return;
  win::DibSurface back;
  if (!back.Resize(area.right - area.left, area.bottom - area.top)) return;
  back.SetOrigin(area.left, area.top);
  win::unique_hdc dc(CreateCompatibleDC(target));
  if (!dc) return;
  win::SelectObjectScope select(dc.get(), back.Bitmap());
  GdiFlush();
  back.Fill(back.Area(), win::ToDibPixel(form_.Color()));
  win::PaintGraphicControls(form_, back, dc.get());
  BitBlt(target, area.left, area.top, back.Width(), back.Height(), dc.get(), 0, 0, SRCCOPY);
}

// --- the push button ---

class ButtonPeer final : public WindowPeer {
 public:
  ButtonPeer(TWinControl& control, TWinControl& parent);
  ~ButtonPeer() override;
  NativeHandle Handle() const override { return hwnd_; }
  void Update() override;
  void Invalidate() override;
  void DefaultHandler(Message& m) override;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msgId, WPARAM wParam, LPARAM lParam);
  void Detach();

  TWinControl& control_;
  HWND hwnd_ = nullptr;
  WNDPROC original_ = nullptr;
  std::u16string caption_;
  HFONT font_ = nullptr;
  bool trackingLeave_ = false;
};

// An owner-drawn button paints nothing itself: WM_DRAWITEM goes to the form, which leaves it to
// whoever dressed the button.
DWORD ButtonType(const TWinControl& control) {
  const auto* button = dynamic_cast<const TButton*>(&control);
  return button && button->OwnerDrawn() ? BS_OWNERDRAW : BS_PUSHBUTTON;
}

ButtonPeer::ButtonPeer(TWinControl& control, TWinControl& parent)
    : control_(control), caption_(control.Caption()) {
  static int nextId = kFirstButtonId;
  HWND parentHwnd = ToHwnd(parent.Handle());
  if (!parentHwnd) return;
  DWORD style = WS_CHILD | WS_TABSTOP | ButtonType(control);
  if (control.Visible()) style |= WS_VISIBLE;
  if (!control.Enabled()) style |= WS_DISABLED;
  // Made without a size: the first Update gives the window its bounds once the control holds this
  // peer, so the control, and a skin hooked on it, see that WM_SIZE while the form is still hidden.
  hwnd_ = CreateWindowExW(0, L"BUTTON", win::Wide(caption_), style, control.Left(), control.Top(),
                          0, 0, parentHwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId++)),
                          GetModuleHandleW(nullptr), nullptr);
  if (!hwnd_) return;
  font_ = win::FontHandle(parent.Font());
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  ArrangeTabOrder(parent, &control, hwnd_);
  // Subclassed last: until the control holds this peer, its DefaultHandler cannot reach the
  // button class.
  // The peer rides in the window's user data, as the form's does: a window property would cost a
  // round trip to the window system on every message.
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ButtonPeer::Proc)));
}

ButtonPeer::~ButtonPeer() {
  if (!hwnd_) return;
  // The control may be half destroyed: the window's last messages go to the button class only.
  HWND hwnd = hwnd_;
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
  Detach();
  DestroyWindow(hwnd);
}

void ButtonPeer::Detach() {
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
}

LRESULT CALLBACK ButtonPeer::Proc(HWND hwnd, UINT msgId, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<ButtonPeer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msgId, wParam, lParam);
  // Windowed controls ask for WM_MOUSELEAVE once the pointer is over them (hot tracking).
  if (msgId == WM_MOUSEMOVE && !self->trackingLeave_) {
    TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd, 0};
    self->trackingLeave_ = TrackMouseEvent(&tme) != FALSE;
  } else if (msgId == WM_MOUSELEAVE) {
    self->trackingLeave_ = false;
  }
  const LRESULT result = Deliver(self->control_, msgId, wParam, lParam);
  // Destroyed with its parent's window while the control lives on.
  if (msgId == WM_NCDESTROY && self->hwnd_ == hwnd) self->Detach();
  return result;
}

void ButtonPeer::DefaultHandler(Message& m) {
  m.Result = hwnd_ ? CallWindowProcW(original_, hwnd_, m.Msg, m.WParam, m.LParam) : 0;
}

void ButtonPeer::Update() {
  if (!hwnd_) return;
  TWinControl* parent = control_.Parent();
  HWND parentHwnd = parent ? ToHwnd(parent->Handle()) : nullptr;
  if (parentHwnd && GetParent(hwnd_) != parentHwnd) SetParent(hwnd_, parentHwnd);
  if (!SameBounds(hwnd_, control_, true)) {
    SetWindowPos(hwnd_, nullptr, control_.Left(), control_.Top(), control_.Width(),
                 control_.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (control_.Caption() != caption_) {
    caption_ = control_.Caption();
    SetWindowTextW(hwnd_, win::Wide(caption_));
  }
  ApplyEnabled(hwnd_, control_.Enabled());
  if (const DWORD type = ButtonType(control_);
      (GetWindowLongPtrW(hwnd_, GWL_STYLE) & BS_TYPEMASK) != type)
    SendMessageW(hwnd_, BM_SETSTYLE, type, TRUE);
  if (parent) {
    if (HFONT font = win::FontHandle(parent->Font()); font != font_) {
      font_ = font;
      SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    ArrangeTabOrder(*parent, nullptr, nullptr);
  }
  ApplyVisibility(hwnd_, control_.Visible());
}

void ButtonPeer::Invalidate() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

}  // namespace

std::unique_ptr<WindowPeer> CreateFormPeer(TForm& form) {
  auto peer = std::make_unique<FormPeer>(form);
  if (!peer->Handle()) return nullptr;
  return peer;
}

std::unique_ptr<WindowPeer> CreateButtonPeer(TWinControl& button) {
  // A child window needs a parent window.
  if (!button.Parent()) return nullptr;
  auto peer = std::make_unique<ButtonPeer>(button, *button.Parent());
  if (!peer->Handle()) return nullptr;
  return peer;
}

}  // namespace ui

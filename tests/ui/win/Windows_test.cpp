// Forms and buttons as real windows: creation, message routing through replaced window
// procedures, clicks, tab order and teardown.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ui/Application.h"
#include "ui/Controls.h"
#include <windows.h>

namespace {

using ui::Message;

HWND H(ui::TWinControl& c) {
  return static_cast<HWND>(c.Handle());
}

bool Contains(const std::vector<uint32_t>& v, uint32_t m) {
  return std::find(v.begin(), v.end(), m) != v.end();
}

TEST(FormWindow, IsABorderlessTopLevelWindowAtTheFormsBoundsWithItsCaption) {
  ui::TForm form(nullptr, u"F");
  form.SetBounds(100, 120, 300, 200);
  form.SetCaption(u"Tandrel \u00e9t\u00e9");
  HWND h = H(form);
  ASSERT_TRUE(IsWindow(h));
  EXPECT_EQ(GetParent(h), nullptr);
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, 120);
  EXPECT_EQ(r.right - r.left, 300);
  EXPECT_EQ(r.bottom - r.top, 200);
  wchar_t text[64] = {};
  GetWindowTextW(h, text, 64);
  EXPECT_STREQ(text, L"Tandrel \u00e9t\u00e9");

  const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_EQ(style & WS_CAPTION, 0);
  EXPECT_EQ(style & WS_THICKFRAME, 0);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_TRUE(GetClassLongPtrW(h, GCL_STYLE) & CS_DBLCLKS);
  EXPECT_EQ(GetClassLongPtrW(h, GCLP_HBRBACKGROUND), 0);
  EXPECT_FALSE(IsWindowVisible(h));  // forms start hidden

  // Later changes of the model reach the window.
  form.SetBounds(10, 20, 50, 60);
  form.SetCaption(u"Other");
  form.Show();
  GetWindowRect(h, &r);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.bottom - r.top, 60);
  GetWindowTextW(h, text, 64);
  EXPECT_STREQ(text, L"Other");
  EXPECT_TRUE(IsWindowVisible(h));
  form.SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(h));
  form.Hide();
  EXPECT_FALSE(IsWindowVisible(h));
}

TEST(FormWindow, MovedByThePlatformTheModelFollowsSoUpdatesDoNotMoveItBack) {
  ui::TForm form(nullptr, u"F");
  form.SetBounds(0, 0, 100, 80);
  HWND h = H(form);
  SetWindowPos(h, nullptr, 33, 44, 100, 80, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(form.Left(), 33);
  EXPECT_EQ(form.Top(), 44);
  form.SetCaption(u"changed");  // an Update must keep the new place
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r.left, 33);
}

TEST(FormWindow, SentMessagesGoThroughTheReplacedWindowProcAndReturnItsResult) {
  ui::TForm form(nullptr, u"F");
  form.SetBounds(0, 0, 100, 80);
  form.SetCaption(u"abcd");
  std::vector<uint32_t> seen;
  ui::WndMethod saved = form.WindowProc;
  form.WindowProc = [&](Message& m) {
    seen.push_back(m.Msg);
    if (m.Msg == WM_SYSCOMMAND && m.WParam == ui::msg::kScDragMove) {
      m.Result = 7;  // swallowed: the platform would start a move loop
      return;
    }
    saved(m);
    if (m.Msg == 0x8123) m.Result = 42;
  };
  HWND h = H(form);
  EXPECT_EQ(SendMessageW(h, 0x8123, 1, 2), 42);
  EXPECT_EQ(SendMessageW(h, WM_SYSCOMMAND, ui::msg::kScDragMove, 0), 7);
  // Chaining reaches the platform's default processing.
  EXPECT_EQ(SendMessageW(h, WM_GETTEXTLENGTH, 0, 0), 4);
  EXPECT_EQ(SendMessageW(h, WM_ERASEBKGND, 0, 0), 1);  // the peer paints everything itself
  EXPECT_TRUE(Contains(seen, 0x8123));
  EXPECT_TRUE(Contains(seen, WM_SYSCOMMAND));
  EXPECT_TRUE(Contains(seen, WM_GETTEXTLENGTH));
  // The framework's Perform takes the same way.
  EXPECT_EQ(form.Perform(WM_GETTEXTLENGTH), 4);
}

TEST(FormWindow, PressOnALabelReachesItsOnMouseDownInItsOwnCoordinates) {
  ui::TForm form(nullptr, u"F");
  form.SetBounds(0, 0, 200, 100);
  auto* back = new ui::TImage(&form, u"back");
  back->SetParent(&form);
  back->SetBounds(0, 0, 200, 100);
  auto* label = new ui::TLabel(&form, u"label");
  label->SetParent(&form);
  label->SetBounds(20, 30, 100, 18);
  std::vector<std::pair<ui::Component*, int>> downs;
  auto record = [&](ui::Component* s, ui::TMouseButton b, ui::TShiftState shift, int x, int y) {
    downs.emplace_back(s, b == ui::TMouseButton::mbLeft && shift == MK_LBUTTON ? x * 1000 + y : -1);
  };
  back->OnMouseDown = record;
  label->OnMouseDown = record;
  HWND h = H(form);
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 35));
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 90));
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_EQ(downs[0], std::make_pair<ui::Component*>(label, 5005));
  EXPECT_EQ(downs[1], std::make_pair<ui::Component*>(back, 150090));
}

TEST(FormWindow, CloseMessageAsksTheFormAndKeepsTheWindow) {
  ui::TForm form(nullptr, u"F");
  form.SetBounds(0, 0, 100, 80);
  form.Show();
  int asked = 0;
  form.OnCloseQuery = [&](ui::Component*, bool& canClose) { canClose = ++asked > 1; };
  HWND h = H(form);
  SendMessageW(h, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindowVisible(h));  // refused
  SendMessageW(h, WM_CLOSE, 0, 0);
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(IsWindow(h));  // hidden, not destroyed
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_FALSE(form.Visible());
}

struct FormWithButtons : ::testing::Test {
  ui::TForm form{nullptr, u"F"};
  ui::TButton* Add(const char16_t* name, int left, int tabOrder) {
    auto* b = new ui::TButton(&form, name);
    b->SetParent(&form);
    b->TabOrder = tabOrder;
    b->SetBounds(left, 10, 60, 25);
    b->SetCaption(name);
    return b;
  }
};

TEST_F(FormWithButtons, ButtonIsAChildPushButtonWithItsBoundsCaptionAndTheFormsFont) {
  form.SetBounds(0, 0, 300, 100);
  auto* b = Add(u"bt_One", 15, 0);
  HWND fh = H(form);
  HWND bh = H(*b);  // came with the form's window
  ASSERT_TRUE(IsWindow(bh));
  EXPECT_EQ(GetParent(bh), fh);
  wchar_t cls[16] = {};
  GetClassNameW(bh, cls, 16);
  EXPECT_EQ(_wcsicmp(cls, L"Button"), 0);
  const LONG_PTR style = GetWindowLongPtrW(bh, GWL_STYLE);
  EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
  EXPECT_TRUE(style & WS_TABSTOP);
  EXPECT_TRUE(style & WS_CHILD);
  RECT r;
  GetWindowRect(bh, &r);
  MapWindowPoints(HWND_DESKTOP, fh, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 15);
  EXPECT_EQ(r.top, 10);
  EXPECT_EQ(r.right - r.left, 60);
  wchar_t text[16] = {};
  GetWindowTextW(bh, text, 16);
  EXPECT_STREQ(text, L"bt_One");
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(bh, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTW lf{};
  GetObjectW(font, sizeof(lf), &lf);
  EXPECT_STREQ(lf.lfFaceName, L"Tahoma");
  EXPECT_EQ(lf.lfHeight, -11);

  // A button parented after the form has its window gets its own at once.
  auto* late = Add(u"bt_Late", 100, 1);
  EXPECT_TRUE(late->HandleAllocated());
  EXPECT_EQ(GetParent(H(*late)), fh);
  b->SetVisible(false);
  EXPECT_FALSE(GetWindowLongPtrW(bh, GWL_STYLE) & WS_VISIBLE);
  b->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(bh));
}

TEST_F(FormWithButtons, BmClickFiresOnClickOnceThroughTheReplacedWindowProc) {
  form.SetBounds(0, 0, 300, 100);
  auto* b = Add(u"bt", 10, 0);
  form.Show();
  int clicks = 0;
  b->OnClick = [&](ui::Component* s) { clicks += (s == b); };
  std::vector<uint32_t> seen;
  ui::WndMethod saved = b->WindowProc;
  b->WindowProc = [&](Message& m) {
    saved(m);  // the previous procedure first, as a skin does
    seen.push_back(m.Msg);
  };
  SendMessageW(H(*b), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(Contains(seen, WM_LBUTTONDOWN));
  EXPECT_TRUE(Contains(seen, WM_LBUTTONUP));
  EXPECT_TRUE(Contains(seen, BM_SETSTATE));
  // Default button behaviour survives the chain: state and text messages answer as usual.
  SendMessageW(H(*b), BM_SETSTATE, TRUE, 0);
  EXPECT_TRUE(SendMessageW(H(*b), BM_GETSTATE, 0, 0) & BST_PUSHED);
  SendMessageW(H(*b), BM_SETSTATE, FALSE, 0);
  EXPECT_EQ(SendMessageW(H(*b), WM_GETTEXTLENGTH, 0, 0), 2);
  // A hook that swallows the reflected notification stops the click.
  b->WindowProc = [&](Message& m) {
    if (m.Msg != ui::msg::kReflectedCommand) saved(m);
  };
  SendMessageW(H(*b), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
}

TEST_F(FormWithButtons, TabOrderDecidesTheDialogKeysOrder) {
  form.SetBounds(0, 0, 300, 100);
  auto* b2 = Add(u"b2", 10, 2);
  auto* b0 = Add(u"b0", 80, 0);
  auto* b1 = Add(u"b1", 150, 1);
  HWND fh = H(form);
  EXPECT_EQ(GetWindow(fh, GW_CHILD), H(*b0));
  EXPECT_EQ(GetNextDlgTabItem(fh, H(*b0), FALSE), H(*b1));
  EXPECT_EQ(GetNextDlgTabItem(fh, H(*b1), FALSE), H(*b2));
  EXPECT_EQ(GetNextDlgTabItem(fh, H(*b2), FALSE), H(*b0));
  EXPECT_EQ(GetNextDlgTabItem(fh, H(*b0), TRUE), H(*b2));
}

TEST(Teardown, DestroyingAFormWithButtonsTouchesNoDestroyedWindow) {
  std::vector<uint32_t> seen;
  HWND fh, bh;
  {
    auto* form = new ui::TForm(nullptr, u"F");
    form->SetBounds(0, 0, 200, 100);
    auto* b = new ui::TButton(form, u"b");
    b->SetParent(form);
    b->SetBounds(5, 5, 50, 20);
    ui::WndMethod saved = b->WindowProc;
    b->WindowProc = [&seen, saved](Message& m) {
      seen.push_back(m.Msg);
      saved(m);
    };
    fh = H(*form);
    bh = H(*b);
    form->Show();
    delete form;  // the form's window takes the button's with it; then the button goes
  }
  EXPECT_FALSE(IsWindow(fh));
  EXPECT_FALSE(IsWindow(bh));

  // The form's window goes first while both controls live; the button learns of it.
  ui::TForm form(nullptr, u"F2");
  auto* b = new ui::TButton(&form, u"b");
  b->SetParent(&form);
  b->SetBounds(5, 5, 50, 20);
  bh = H(*b);
  seen.clear();
  ui::WndMethod saved = b->WindowProc;
  b->WindowProc = [&](Message& m) {
    seen.push_back(m.Msg);
    saved(m);
  };
  form.DestroyHandle();
  EXPECT_FALSE(IsWindow(bh));
  EXPECT_TRUE(Contains(seen, WM_NCDESTROY));
  b->SetCaption(u"after");  // no window to update any more
  delete b;

  // A button destroyed before its form takes only its own window.
  auto* c = new ui::TButton(&form, u"c");
  c->SetParent(&form);
  HWND fh2 = H(form);
  HWND ch = H(*c);
  delete c;
  EXPECT_FALSE(IsWindow(ch));
  EXPECT_TRUE(IsWindow(fh2));
}

}  // namespace

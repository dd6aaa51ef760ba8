// The portable code names the platform's message numbers itself; they must be the real ones.
#include <windows.h>

#include "ui/Message.h"

namespace ui::msg {

static_assert(kDestroy == WM_DESTROY);
static_assert(kMove == WM_MOVE);
static_assert(kSize == WM_SIZE);
static_assert(kActivate == WM_ACTIVATE);
static_assert(kQueryEndSession == WM_QUERYENDSESSION);
static_assert(kEndSession == WM_ENDSESSION);
static_assert(kSetFocus == WM_SETFOCUS);
static_assert(kKillFocus == WM_KILLFOCUS);
static_assert(kEnable == WM_ENABLE);
static_assert(kSetText == WM_SETTEXT);
static_assert(kPaint == WM_PAINT);
static_assert(kClose == WM_CLOSE);
static_assert(kEraseBkgnd == WM_ERASEBKGND);
static_assert(kCommand == WM_COMMAND);
static_assert(kSysCommand == WM_SYSCOMMAND);
static_assert(kMouseMove == WM_MOUSEMOVE);
static_assert(kLButtonDown == WM_LBUTTONDOWN);
static_assert(kLButtonUp == WM_LBUTTONUP);
static_assert(kLButtonDblClk == WM_LBUTTONDBLCLK);
static_assert(kRButtonDown == WM_RBUTTONDOWN);
static_assert(kRButtonUp == WM_RBUTTONUP);
static_assert(kMButtonDown == WM_MBUTTONDOWN);
static_assert(kMButtonUp == WM_MBUTTONUP);
static_assert(kMouseLeave == WM_MOUSELEAVE);
static_assert(kUser == WM_USER);
// Reflected notifications must stay clear of the system's and the registered messages' ranges.
static_assert(kReflectedCommand > WM_APP && kReflectedCommand < 0xC000);
static_assert(kScDragMove == (SC_MOVE | HTCAPTION));
static_assert(kBnClicked == BN_CLICKED);
static_assert(kMkLButton == MK_LBUTTON && kMkRButton == MK_RBUTTON && kMkShift == MK_SHIFT &&
              kMkControl == MK_CONTROL && kMkMButton == MK_MBUTTON);

}  // namespace ui::msg

#pragma once
// The framework's message record and replaceable window procedure. Every message a control's
// window receives is put in a Message and handed to the control's WindowProc, which may be
// replaced by a hook that saves the previous WndMethod and chains to it.
#include <cstdint>
#include <functional>

namespace ui {

using NativeHandle = void*;  // HWND on Windows; null where no window exists

struct Message {
  uint32_t Msg = 0;
  uintptr_t WParam = 0;
  intptr_t LParam = 0;
  intptr_t Result = 0;  // what the window procedure returns
};

// Code and object in one value, so it can be saved, compared for emptiness and chained.
using WndMethod = std::function<void(Message&)>;

// Message numbers the portable code handles; they equal the platform's (checked on Windows).
namespace msg {
inline constexpr uint32_t kDestroy = 0x0002;
inline constexpr uint32_t kMove = 0x0003;
inline constexpr uint32_t kSize = 0x0005;
inline constexpr uint32_t kActivate = 0x0006;
inline constexpr uint32_t kSetFocus = 0x0007;
inline constexpr uint32_t kKillFocus = 0x0008;
inline constexpr uint32_t kEnable = 0x000A;
inline constexpr uint32_t kSetText = 0x000C;
inline constexpr uint32_t kPaint = 0x000F;
inline constexpr uint32_t kClose = 0x0010;
inline constexpr uint32_t kQueryEndSession = 0x0011;
inline constexpr uint32_t kEndSession = 0x0016;
inline constexpr uint32_t kEraseBkgnd = 0x0014;
inline constexpr uint32_t kCommand = 0x0111;
inline constexpr uint32_t kSysCommand = 0x0112;
inline constexpr uint32_t kMouseMove = 0x0200;
inline constexpr uint32_t kLButtonDown = 0x0201;
inline constexpr uint32_t kLButtonUp = 0x0202;
inline constexpr uint32_t kLButtonDblClk = 0x0203;
inline constexpr uint32_t kRButtonDown = 0x0204;
inline constexpr uint32_t kRButtonUp = 0x0205;
inline constexpr uint32_t kMButtonDown = 0x0207;
inline constexpr uint32_t kMButtonUp = 0x0208;
inline constexpr uint32_t kMouseLeave = 0x02A3;
inline constexpr uint32_t kUser = 0x0400;
// Framework-internal: a WM_COMMAND notification reflected from the parent to the child control
// that sent it (so a button handles its own click).
inline constexpr uint32_t kReflectedCommand = 0xBD11;
// WM_SYSCOMMAND value that moves a window as if its caption were grabbed (SC_MOVE | HTCAPTION).
inline constexpr uintptr_t kScDragMove = 0xF012;
// Button notification code in WM_COMMAND's high word.
inline constexpr uint32_t kBnClicked = 0;
// Modifier key bits in the first parameter of mouse messages (MK_*).
inline constexpr uintptr_t kMkLButton = 0x0001, kMkRButton = 0x0002, kMkShift = 0x0004,
                           kMkControl = 0x0008, kMkMButton = 0x0010;
}  // namespace msg

inline int16_t LoWordSigned(intptr_t v) {
  return static_cast<int16_t>(v & 0xFFFF);
}
inline int16_t HiWordSigned(intptr_t v) {
  return static_cast<int16_t>((v >> 16) & 0xFFFF);
}
inline intptr_t MakeLParam(int x, int y) {
  return static_cast<intptr_t>((static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) |
                               static_cast<uint16_t>(x));
}

}  // namespace ui

#pragma once
// A push button dressed in a skin: a strip of four frames (normal, hot, pressed, disabled), the
// current one being the button's whole picture, and the button's window shaped after the frame.
// The button keeps all its behaviour: the skin hooks its WindowProc, passes every other message on
// first and repaints after those that may change the frame. A dressed button is owner-drawn and
// its erase and paint are the skin's, so the platform paints nothing of its own that would show
// for a moment before each frame. The focused button carries a dotted focus mark while the
// keyboard cues are on, as a standard button does.
#include <string>

#include "skin/WindowShape_win.h"
#include "ui/Bitmap.h"
#include "ui/Controls.h"
#include "ui/win/Gdi.h"

namespace skin {

class SkinnedButton {
 public:
  static constexpr int kFrameCount = 4;
  enum Frame { kNormal = 0, kHot = 1, kPressed = 2, kDisabled = 3 };

  // Dresses `control` (not owned; it must outlive this object). Nothing changes on the control
  // until LoadSkin.
  explicit SkinnedButton(ui::TButton* control);
  // Gives the control its previous WindowProc and its own painting back.
  ~SkinnedButton();
  SkinnedButton(const SkinnedButton&) = delete;
  SkinnedButton& operator=(const SkinnedButton&) = delete;

  // Loads the strip at `path` (empty or missing: nothing is loaded; an unreadable file raises the
  // framework's bitmap error), sizes the control to one frame and hooks it, once. Without a strip,
  // or with one narrower than four pixels, the control keeps its bounds and its plain look and is
  // not hooked.
  void LoadSkin(const std::u16string& path);
  // The control's WindowProc while hooked.
  void ButtonWindowProc(ui::Message& message);
  // Draws the current state's frame on the control's window and reshapes the window after it.
  void Paint();

  bool Hooked() const { return static_cast<bool>(savedWindowProc_); }
  // The frame the current state shows: disabled, then pressed, then hot, else normal.
  Frame CurrentFrame() const;
  // The button has the keyboard focus and the keyboard cues are on: the frame carries the focus
  // mark (skin/FocusMark.h), whatever its state.
  bool ShowsFocus() const;

 private:
  // Paint's work on a DC already had (none: the shape only).
  void PaintOn(HDC target);

  ui::WndMethod savedWindowProc_;
  OutlineShaper shaper_;
  ui::win::unique_hrgn appliedRegion_;
  ui::TBitmap frameStrip_;
  ui::win::DibSurface compose_;  // back buffer of the control's size
  ui::TBitmap frame_;
  ui::win::unique_hdc composeDc_;  // memory DC the back buffer is selected into while painting
  bool hot_ = false;
  bool pressed_ = false;
  bool repaint_ = false;
  ui::TButton* control_;
};

}  // namespace skin

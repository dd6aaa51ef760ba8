#include "skin/SkinnedButton_win.h"

#include "base/File.h"
#include "base/StartupMarks.h"
#include "skin/FocusMark.h"
#include "skin/FrameStrip.h"

namespace skin {

namespace {

// The button class draws through its parent's clipping (CS_PARENTDC), which ignores the button's
// own window region: its plain painting would cover the cut corners. Without the style every
// button clips to its own shape. The style belongs to the class, so this holds for all buttons of
// the process; for them it only gives up a speed-up that no longer matters.
void ClipToOwnShape(HWND hwnd) {
  const ULONG_PTR style = GetClassLongPtrW(hwnd, GCL_STYLE);
  if (style & CS_PARENTDC) SetClassLongPtrW(hwnd, GCL_STYLE, style & ~ULONG_PTR{CS_PARENTDC});
}

}  // namespace

SkinnedButton::SkinnedButton(ui::TButton* control)
    : appliedRegion_(CreateRectRgn(0, 0, 0, 0)),
      composeDc_(CreateCompatibleDC(nullptr)),
      control_(control) {}

SkinnedButton::~SkinnedButton() {
  if (!savedWindowProc_ || !control_) return;
  control_->WindowProc = std::move(savedWindowProc_);
  control_->SetOwnerDrawn(false);
}

void SkinnedButton::LoadSkin(const std::u16string& path) {
  // A strip narrower than its four frames counts as missing, as no file does.
  if (!path.empty() && base::FileExists(path)) {
    ui::TBitmap strip = ui::TBitmap::LoadFromFile(path);
    if (UsableStrip(strip, kFrameCount)) frameStrip_ = std::move(strip);
  }
  // No strip: sizing the control to an empty frame would make it 0 x 0, invisible and
  // unclickable. It stays a plain button where the layout put it.
  if (frameStrip_.Empty() || !control_) return;
  control_->SetWidth(FrameWidth(frameStrip_.Width(), kFrameCount));
  control_->SetHeight(frameStrip_.Height());
  if (!savedWindowProc_) {
    savedWindowProc_ = control_->WindowProc;
    control_->WindowProc = [this](ui::Message& m) { ButtonWindowProc(m); };
    control_->SetOwnerDrawn(true);
  }
}

void SkinnedButton::ButtonWindowProc(ui::Message& message) {
  // Erasing and painting are the frame's alone: the button is owner-drawn, so its own handling of
  // them would only fill it with its parent's brush and ask the parent to draw it. The frame is
  // drawn in the DC the system gives, without asking for another.
  if (message.Msg == WM_ERASEBKGND) {
    PaintOn(reinterpret_cast<HDC>(message.WParam));
    message.Result = 1;
    return;
  }
  if ((message.Msg == WM_PAINT || message.Msg == WM_PRINTCLIENT) && control_->HandleAllocated()) {
    if (message.Msg == WM_PRINTCLIENT || message.WParam) {  // a DC handed in: a print
      PaintOn(reinterpret_cast<HDC>(message.WParam));
    } else {
      HWND hwnd = static_cast<HWND>(control_->Handle());
      ClipToOwnShape(hwnd);  // before the DC is made: it clips to the button's shape
      const ui::win::PaintScope paint(hwnd);
      PaintOn(paint.dc());
    }
    message.Result = 0;
    return;
  }
  // Everything else the button handles itself first (focus, clicks, states); the skin only
  // paints over what that may have changed. It has no border, so a frame paint (WM_NCPAINT)
  // changes nothing of it.
  savedWindowProc_(message);
  repaint_ = false;
  switch (message.Msg) {
    case WM_SIZE:
    case WM_UPDATEUISTATE:  // the keyboard cues came on or went off: the focus mark with them
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      repaint_ = true;
      break;
    case BM_SETSTATE:
      pressed_ = message.WParam != 0;
      repaint_ = true;
      break;
    case WM_MOUSEMOVE:
      hot_ = true;
      repaint_ = true;
      break;
    case WM_MOUSELEAVE:
      hot_ = false;
      repaint_ = true;
      break;
    default:
      break;
  }
  if (repaint_) Paint();
}

bool SkinnedButton::ShowsFocus() const {
  if (!control_ || !control_->HandleAllocated()) return false;
  HWND hwnd = static_cast<HWND>(control_->Handle());
  // As a standard button: the mark only while the keyboard cues are on, so that a person who only
  // clicks never sees one. The cues are the top-level window's, which keeps them for its children.
  return hwnd && GetFocus() == hwnd &&
         !(SendMessageW(GetAncestor(hwnd, GA_ROOT), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

SkinnedButton::Frame SkinnedButton::CurrentFrame() const {
  if (control_ && !control_->Enabled()) return kDisabled;
  if (pressed_) return kPressed;
  return hot_ ? kHot : kNormal;
}

void SkinnedButton::Paint() {
  if (!control_ || !control_->HandleAllocated()) return;
  HWND hwnd = static_cast<HWND>(control_->Handle());
  if (!hwnd) return;
  ClipToOwnShape(hwnd);
  // A window not on screen shows nothing drawn on it (the system erases and paints it when it
  // appears), but asking for its DC costs the system a visible-area request. Its shape is still
  // set: the outline is in place before the window is first shown.
  if (!IsWindowVisible(hwnd)) {
    PaintOn(nullptr);
    return;
  }
  // Asked without the class style: the drawing stays inside the button's own shape.
  const ui::win::WindowDcScope window(hwnd, DCX_CACHE | DCX_CLIPSIBLINGS);
  PaintOn(window.dc());
}

void SkinnedButton::PaintOn(HDC target) {
  if (!control_ || frameStrip_.Empty() || !composeDc_ || !control_->HandleAllocated()) return;
  HWND hwnd = static_cast<HWND>(control_->Handle());
  const int width = control_->Width(), height = control_->Height();
  if (!hwnd || !compose_.Resize(width, height)) return;

  CutFrame(frame_, frameStrip_, kFrameCount, CurrentFrame());
  GdiFlush();
  // A control larger than the frame: the rest takes the frame's key colour and is cut away.
  if (frame_.Empty()) return;
  if (frame_.Width() < width || frame_.Height() < height)
    compose_.Fill(ui::TRect{0, 0, width, height}, frame_.Pixel(0, 0));
  compose_.Draw(frame_, 0, 0, ui::TRect{0, 0, width, height}, false);
  // Drawn into the frame's pixels before the shape is taken: the mark keeps off the key colour,
  // so the outline stays the frame's.
  if (ShowsFocus()) FocusMark::Draw(compose_.Pixels(), width, height);
  if (target) {
    ui::win::SelectObjectScope select(composeDc_.get(), compose_.Bitmap());
    BitBlt(target, 0, 0, width, height, composeDc_.get(), 0, 0, SRCCOPY);
  }
  shaper_.ShapeWindow(hwnd, appliedRegion_, PixelGrid(compose_.Pixels(), width, height));
  startup::Mark("button painted");
}

}  // namespace skin

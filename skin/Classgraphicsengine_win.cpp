#include "skin/Classgraphicsengine.h"

#include "skin/FrameStrip.h"
#include "skin/WindowShape_win.h"

classGraphiceEngine::classGraphiceEngine() : outline_(CreateRectRgn(0, 0, 0, 0)) {}

void classGraphiceEngine::CopyFrame(ui::TBitmap& destination, const ui::TBitmap& strip,
                                    int frameCount, int frameIndex) {
  skin::CutFrame(destination, strip, frameCount, frameIndex);
}

bool classGraphiceEngine::ShapeWindow(HWND window, ui::win::unique_hrgn& appliedRegion,
                                      const skin::PixelGrid& canvas) {
  const std::vector<ui::TRect> rects = skin::OutlineRects(canvas);
  outline_ = skin::RegionFromRects(rects);
  if (!outline_) return false;
  if (!appliedRegion) appliedRegion.reset(CreateRectRgn(0, 0, 0, 0));
  if (!appliedRegion) return false;
  if (rects.empty()) {
    // An outline without a pixel would make the window vanish: it gets its full rectangle back,
    // which is what the empty applied region stands for, as before any outline was given.
    RECT box;
    if (GetRgnBox(appliedRegion.get(), &box) == NULLREGION) return false;
    SetRectRgn(appliedRegion.get(), 0, 0, 0, 0);
    return SetWindowRgn(window, nullptr, TRUE) != 0;
  }
  if (EqualRgn(outline_.get(), appliedRegion.get())) return false;
  ui::win::unique_hrgn given(CreateRectRgn(0, 0, 0, 0));
  if (!given) return false;
  CombineRgn(given.get(), outline_.get(), nullptr, RGN_COPY);
  // Recorded before SetWindowRgn: the redraw it causes comes back here and must find the
  // outline applied, or every repaint would set the region again.
  CombineRgn(appliedRegion.get(), outline_.get(), nullptr, RGN_COPY);
  if (!SetWindowRgn(window, given.get(), TRUE)) return false;
  given.release();  // the window's now
  return true;
}

#include "skin/Classgraphicsengine.h"

#include "skin/FrameStrip.h"
#include "skin/Windowshapeunit.h"

classGraphiceEngine::classGraphiceEngine() : outline_(CreateRectRgn(0, 0, 0, 0)) {}

void classGraphiceEngine::CopyFrame(ui::TBitmap& destination, const ui::TBitmap& strip,
                                    int frameCount, int frameIndex) {
  skin::CutFrame(destination, strip, frameCount, frameIndex);
}

bool classGraphiceEngine::ShapeWindow(HWND window, ui::win::unique_hrgn& appliedRegion,
                                      const skin::PixelGrid& canvas) {
  outline_ = skin::OutlineRegion(canvas);
  if (!outline_) return false;
  if (!appliedRegion) appliedRegion.reset(CreateRectRgn(0, 0, 0, 0));
  if (!appliedRegion || EqualRgn(outline_.get(), appliedRegion.get())) return false;
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

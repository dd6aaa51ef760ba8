#pragma once
// The window outline on Windows: the outline rule's rectangles as a GDI region, the main window
// shaped after its background picture, and a skinned control reshaped after each frame it draws.
#include <vector>

#include "skin/OutlineRule.h"
#include "ui/Controls.h"
#include "ui/win/Gdi.h"

namespace skin {

// A region of banded rectangles (as OutlineRects gives them), built in one ExtCreateRegion call;
// an empty region for none. Null only when GDI refuses.
ui::win::unique_hrgn RegionFromRects(const std::vector<ui::TRect>& rects);
// The outline of the grid's pixels as a region.
ui::win::unique_hrgn OutlineRegion(const PixelGrid& grid);

// Gives `window` the outline of the picture in `image` (scanned over the image control's size),
// with a redraw. The window owns the region afterwards. An image without a picture, or whose
// outline holds no pixel, leaves the window its full rectangle.
void ShapeWindowFromImage(ui::NativeHandle window, const ui::TImage& image);

// Gives a window the outline of what was just drawn for it, only when that outline changed: a
// skinned button asks after every frame, and most frames keep the outline.
class OutlineShaper {
 public:
  OutlineShaper();
  OutlineShaper(const OutlineShaper&) = delete;
  OutlineShaper& operator=(const OutlineShaper&) = delete;

  // Computes the outline of `canvas` (the pixels just drawn for `window`) and, when it differs
  // from `appliedRegion` (the caller's copy of what the window got last, empty at first), gives
  // the window a copy and updates appliedRegion. Returns whether the window's region changed.
  // An outline without a pixel (a frame of one colour) is never applied: the window has its full
  // rectangle then, and appliedRegion is empty, as at the start.
  bool ShapeWindow(HWND window, ui::win::unique_hrgn& appliedRegion, const PixelGrid& canvas);

 private:
  // The outline just computed. The rectangles arrive as one banded list, so no scratch region
  // per span is needed.
  ui::win::unique_hrgn outline_;
};

}  // namespace skin

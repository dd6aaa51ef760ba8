#pragma once
// The window outline on Windows: the outline rule's rectangles as a GDI region, and the main
// window shaped after its background picture.
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

}  // namespace skin

// Gives `window` the outline of the picture in `image` (scanned over the image control's size),
// with a redraw. The window owns the region afterwards. An image without a picture, or whose
// outline holds no pixel, leaves the window its full rectangle.
void ShapeWindowFromImage(ui::NativeHandle window, const ui::TImage& image);

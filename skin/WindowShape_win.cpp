#include "skin/WindowShape_win.h"

#include <algorithm>

namespace skin {

ui::win::unique_hrgn RegionFromRects(const std::vector<ui::TRect>& rects) {
  if (rects.empty()) return ui::win::unique_hrgn(CreateRectRgn(0, 0, 0, 0));
  // Header and rectangles in one RECT-aligned buffer; the byte count is exact.
  static_assert(sizeof(RGNDATAHEADER) % sizeof(RECT) == 0);
  constexpr size_t kHeaderRects = sizeof(RGNDATAHEADER) / sizeof(RECT);
  std::vector<RECT> buffer(kHeaderRects + rects.size());
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  const ui::TRect bounds = BoundsOf(rects);
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(rects.size());
  data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  data->rdh.rcBound = RECT{bounds.Left, bounds.Top, bounds.Right, bounds.Bottom};
  std::transform(rects.begin(), rects.end(), buffer.begin() + kHeaderRects, [](const ui::TRect& r) {
    return RECT{r.Left, r.Top, r.Right, r.Bottom};
  });
  const DWORD bytes = static_cast<DWORD>(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  return ui::win::unique_hrgn(ExtCreateRegion(nullptr, bytes, data));
}

ui::win::unique_hrgn OutlineRegion(const PixelGrid& grid) {
  return RegionFromRects(OutlineRects(grid));
}

void ShapeWindowFromImage(ui::NativeHandle window, const ui::TImage& image) {
  // Without a picture, or with one whose outline holds no pixel (one colour, or a single pixel),
  // the window would be invisible with nothing left to close it by: it keeps its full rectangle.
  const ui::TBitmap& picture = image.Picture();
  if (picture.Empty()) return;
  const std::vector<ui::TRect> outline =
      OutlineRects(PixelGrid(picture, image.Width(), image.Height()));
  if (outline.empty()) return;
  ui::win::unique_hrgn region = RegionFromRects(outline);
  if (!region) return;
  // A window that has this outline already keeps it: setting it again would redraw the window.
  if (ui::win::unique_hrgn current(CreateRectRgn(0, 0, 0, 0));
      current && GetWindowRgn(static_cast<HWND>(window), current.get()) != ERROR &&
      EqualRgn(current.get(), region.get()))
    return;
  // The window owns the region once it has taken it.
  if (SetWindowRgn(static_cast<HWND>(window), region.get(), TRUE)) region.release();
}

OutlineShaper::OutlineShaper() : outline_(CreateRectRgn(0, 0, 0, 0)) {}

bool OutlineShaper::ShapeWindow(HWND window, ui::win::unique_hrgn& appliedRegion,
                                const PixelGrid& canvas) {
  const std::vector<ui::TRect> rects = OutlineRects(canvas);
  outline_ = RegionFromRects(rects);
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

}  // namespace skin

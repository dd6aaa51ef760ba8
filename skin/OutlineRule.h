#pragma once
// The outline of a skin bitmap: a pixel belongs to the window when it lies between the first and
// the last pixel of a colour other than the key colour (the colour of pixel (0, 0)) both along its
// row and along its column. Key-coloured areas open to an edge are cut away; enclosed ones stay.
// Portable, so the rule is tested natively; the Windows side turns the rectangles into a region.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/Bitmap.h"
#include "ui/Graphics.h"

namespace skin {

// A view of 32-bit pixels, rows top-down, `stride` pixels apart (a 32-bit DIB has no padding, so
// the stride is the width unless the view is a part of a wider picture). Colours are compared on
// the low 24 bits: the fourth byte of a DIB pixel carries no colour.
struct PixelGrid {
  const uint32_t* pixels = nullptr;
  int width = 0, height = 0;
  ptrdiff_t stride = 0;

  PixelGrid() = default;
  PixelGrid(const uint32_t* p, int w, int h, ptrdiff_t s)
      : pixels(p), width(w), height(h), stride(s) {}
  PixelGrid(const uint32_t* p, int w, int h) : PixelGrid(p, w, h, w) {}
  explicit PixelGrid(const ui::TBitmap& b) : PixelGrid(b.Pixels().data(), b.Width(), b.Height()) {}
  // The top-left w x h part of b (clipped to b).
  PixelGrid(const ui::TBitmap& b, int w, int h);

  bool Empty() const { return width <= 0 || height <= 0 || !pixels; }
  const uint32_t* Row(int y) const { return pixels + y * stride; }
  uint32_t At(int x, int y) const { return Row(y)[x] & kColourMask; }
  static constexpr uint32_t kColourMask = 0xFFFFFF;
};

// The outline as a banded list of rectangles, ready for a platform region: bands sorted by top,
// rectangles within a band sorted by left and apart from each other, and vertically adjacent rows
// with the same spans merged into one band. Right and bottom edges are exclusive. Empty when the
// grid is empty or of one colour.
std::vector<ui::TRect> OutlineRects(const PixelGrid& grid);

// The bounding box of banded rectangles (all zero when there are none).
ui::TRect BoundsOf(const std::vector<ui::TRect>& rects);

}  // namespace skin

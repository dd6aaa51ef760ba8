#pragma once
// The outline rule spelt out word for word, for tests and benchmarks to hold the launcher's
// outline against: every pixel read through a per-pixel accessor, row spans and column spans kept
// as pixel masks and intersected pixel by pixel. One byte per pixel (1 inside), rows top-down.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "skin/OutlineRule.h"
#include "ui/Bitmap.h"

namespace skin::reference {

inline std::vector<uint8_t> ReferenceOutlineMask(const ui::TBitmap& b) {
  const int w = b.Width(), h = b.Height();
  std::vector<uint8_t> rows(static_cast<size_t>(w) * h, 0), cols(rows.size(), 0);
  if (b.Empty()) return rows;
  const ui::TColor key = b.PixelColor(0, 0);
  for (int y = 0; y < h; ++y) {
    int x1 = 0;
    while (x1 < w && b.PixelColor(x1, y) == key) ++x1;
    if (x1 == w) continue;
    int x2 = w - 1;
    while (x2 > x1 && b.PixelColor(x2, y) == key) --x2;
    for (int x = x1; x <= x2; ++x) rows[static_cast<size_t>(y) * w + x] = 1;
  }
  for (int x = 0; x < w; ++x) {
    int y1 = 0;
    while (y1 < h && b.PixelColor(x, y1) == key) ++y1;
    if (y1 == h) continue;
    int y2 = h - 1;
    while (y2 > y1 && b.PixelColor(x, y2) == key) --y2;
    for (int y = y1; y <= y2; ++y) cols[static_cast<size_t>(y) * w + x] = 1;
  }
  for (size_t i = 0; i < rows.size(); ++i) rows[i] &= cols[i];
  return rows;
}

inline std::vector<uint8_t> MaskOfRects(const std::vector<ui::TRect>& rects, int width,
                                        int height) {
  std::vector<uint8_t> mask(static_cast<size_t>(std::max(width, 0)) * std::max(height, 0), 0);
  for (const ui::TRect& r : rects) {
    for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, height); ++y)
      for (int x = std::max(r.Left, 0); x < std::min(r.Right, width); ++x)
        mask[static_cast<size_t>(y) * width + x] = 1;
  }
  return mask;
}

}  // namespace skin::reference

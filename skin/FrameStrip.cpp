#include "skin/FrameStrip.h"

#include <algorithm>

namespace skin {

int FrameWidth(int stripWidth, int frameCount) {
  return frameCount < 1 ? 0 : stripWidth / frameCount;
}

bool UsableStrip(const ui::TBitmap& strip, int frameCount) {
  return !strip.Empty() && FrameWidth(strip.Width(), frameCount) >= 1;
}

void CutFrame(ui::TBitmap& frame, const ui::TBitmap& strip, int frameCount, int index) {
  const int w = FrameWidth(strip.Width(), frameCount), h = strip.Height();
  if (frame.Width() != w || frame.Height() != h) frame = ui::TBitmap(w, h);
  const int left = index * w;
  const int from = std::clamp(left, 0, strip.Width()), to = std::clamp(left + w, 0, strip.Width());
  for (int y = 0; y < h; ++y) {
    uint32_t* dst = frame.Scanline(y);
    std::fill_n(dst, w, 0u);
    if (to > from) std::copy(strip.Scanline(y) + from, strip.Scanline(y) + to, dst + (from - left));
  }
}

}  // namespace skin

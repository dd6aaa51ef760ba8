#include "skin/FocusMark.h"

#include <algorithm>

namespace skin {

namespace {

constexpr uint32_t kColour = 0xFFFFFF;
constexpr uint32_t kDark = 0x1B2A40;
constexpr uint32_t kWhite = 0xFFFFFF;

// Perceived brightness, 0 to 255 (ITU-R BT.601 weights).
int Brightness(uint32_t p) {
  const int r = static_cast<int>((p >> 16) & 0xFF), g = static_cast<int>((p >> 8) & 0xFF),
            b = static_cast<int>(p & 0xFF);
  return (r * 299 + g * 587 + b * 114) / 1000;
}

}  // namespace

int FocusMark::Inset(int width, int height) {
  // Round frames (the close button) lose more to their corners than the feature buttons' strips.
  return std::min(width, height) < 24 ? 4 : 3;
}

int FocusMark::Draw(uint32_t* pixels, int width, int height) {
  if (!pixels || width <= 0 || height <= 0) return 0;
  const int inset = Inset(width, height);
  const int left = inset, top = inset, right = width - 1 - inset, bottom = height - 1 - inset;
  if (right - left < 2 || bottom - top < 2) return 0;
  const uint32_t key = pixels[0] & kColour;
  int changed = 0;
  const auto dot = [&](int x, int y) {
    // Every other pixel, counted from the corner, as the platform's dotted focus rectangle.
    if ((x + y) % 2 != 0) return;
    uint32_t& p = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x];
    if ((p & kColour) == key) return;
    uint32_t ink = Brightness(p) >= 150 ? kDark : kWhite;
    if (ink == key) ink ^= 1;  // a key-coloured dot would be cut out of the button
    if ((p & kColour) == ink) return;
    p = (p & ~kColour) | ink;
    ++changed;
  };
  for (int x = left; x <= right; ++x) {
    dot(x, top);
    dot(x, bottom);
  }
  for (int y = top + 1; y < bottom; ++y) {
    dot(left, y);
    dot(right, y);
  }
  return changed;
}

}  // namespace skin

#pragma once
// The keyboard focus on a skinned button: a dotted rectangle inset in its frame, as a standard
// button draws one, but drawn into the frame's pixels so that it stays inside the skin's shape.
#include <cstdint>

namespace skin {

class FocusMark {
 public:
  // Pixels between the frame's edge and the mark: clear of a frame's anti-aliased border.
  static int Inset(int width, int height);

  // Draws the mark into a frame of 32-bit pixels (rows top-down, no padding) whose key colour is
  // its top-left pixel. Dots fall on every other pixel of the inset rectangle, and only on
  // pixels of the skin, never on the key colour, so the frame's outline does not change. Each
  // dot is dark on a light pixel and white on a dark one, and never the key colour. Returns the
  // number of pixels changed (0 for a frame too small to hold a mark).
  static int Draw(uint32_t* pixels, int width, int height);
};

}  // namespace skin

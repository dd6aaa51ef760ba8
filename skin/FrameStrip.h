#pragma once
// Frame strips: the looks of a skinned button side by side in one bitmap, frame 0 at the left.
#include "ui/Bitmap.h"

namespace skin {

// The width of one of `frameCount` frames of a strip `stripWidth` wide; columns right of
// frameCount * width belong to no frame. 0 for a frame count below 1.
int FrameWidth(int stripWidth, int frameCount);

// A strip that gives every one of `frameCount` frames at least one pixel. A narrower strip would
// make a button of no width, which nobody can see or click: it is treated as no strip.
bool UsableStrip(const ui::TBitmap& strip, int frameCount);

// Makes `frame` the size of one frame and copies frame `index` of `strip` into it. A frame index
// outside the strip leaves the uncovered pixels black.
void CutFrame(ui::TBitmap& frame, const ui::TBitmap& strip, int frameCount, int index);

}  // namespace skin

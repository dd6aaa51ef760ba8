#pragma once
// The two bitmap operations of a skinned button: cutting a frame out of a strip, and giving a
// window the outline of what was just drawn for it, only when that outline changed.
#include "skin/OutlineRule.h"
#include "ui/Bitmap.h"
#include "ui/win/Gdi.h"

class classGraphiceEngine {
 public:
  classGraphiceEngine();
  classGraphiceEngine(const classGraphiceEngine&) = delete;
  classGraphiceEngine& operator=(const classGraphiceEngine&) = delete;

  // Makes `destination` one frame of `strip` (strip width / frameCount wide, strip height high)
  // and copies frame `frameIndex` (from 0) into it.
  void CopyFrame(ui::TBitmap& destination, const ui::TBitmap& strip, int frameCount,
                 int frameIndex);

  // Computes the outline of `canvas` (the pixels just drawn for `window`) and, when it differs
  // from `appliedRegion` (the caller's copy of what the window got last, empty at first), gives
  // the window a copy and updates appliedRegion. Returns whether the window's region changed.
  // An outline without a pixel (a frame of one colour) is never applied: the window has its full
  // rectangle then, and appliedRegion is empty, as at the start.
  bool ShapeWindow(HWND window, ui::win::unique_hrgn& appliedRegion, const skin::PixelGrid& canvas);

 private:
  // The outline just computed. The rectangles arrive as one banded list, so no scratch region
  // per span is needed.
  ui::win::unique_hrgn outline_;
};

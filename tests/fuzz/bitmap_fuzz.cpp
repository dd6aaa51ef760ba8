// The ".bmp" decoder with the window outline and the button frames on any bytes. Checked:
// - a file either decodes to a picture of its declared size, the unused byte of every pixel
//   clear, or raises EInvalidGraphic, never anything else;
// - the outline of the picture and of each of its four frames is a list of banded rectangles
//   inside the picture, and, for pictures small enough, exactly the rule spelt out pixel by pixel;
// - each frame is its quarter of the strip, and a strip is usable exactly when a frame has a pixel.
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "skin/FrameStrip.h"
#include "skin/OutlineRule.h"
#include "tests/fuzz/Check.h"
#include "tests/skin/OutlineReference.h"
#include "ui/Bitmap.h"
#include "ui/Exception.h"

namespace {

// Outlines are compared with the rule spelt out up to this many pixels, and computed at all up to
// the next bound: beyond it one input would take longer than a thousand small ones.
constexpr size_t kCompared = 1 << 14, kOutlined = 1 << 20;

void CheckOutline(const ui::TBitmap& picture) {
  const skin::PixelGrid grid(picture);
  const std::vector<ui::TRect> rects = skin::OutlineRects(grid);
  for (size_t i = 0; i < rects.size(); ++i) {
    const ui::TRect& r = rects[i];
    FUZZ_CHECK(r.Left >= 0 && r.Left < r.Right && r.Right <= picture.Width());
    FUZZ_CHECK(r.Top >= 0 && r.Top < r.Bottom && r.Bottom <= picture.Height());
    if (i == 0) continue;
    // Banded: sorted by band, and within a band by left, apart from each other.
    const ui::TRect& p = rects[i - 1];
    FUZZ_CHECK(p.Top < r.Top || (p.Top == r.Top && p.Bottom == r.Bottom && p.Right < r.Left));
    FUZZ_CHECK(p.Top == r.Top || p.Bottom <= r.Top);
  }
  if (picture.Pixels().size() <= kCompared)
    FUZZ_CHECK(skin::reference::MaskOfRects(rects, picture.Width(), picture.Height()) ==
               skin::reference::ReferenceOutlineMask(picture));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ui::TBitmap picture;
  try {
    picture = ui::TBitmap::LoadFromMemory(std::span<const uint8_t>(data, size));
  } catch (const ui::EInvalidGraphic& e) {
    FUZZ_CHECK(e.Message() == u"Bitmap image is not valid");
    return 0;
  }
  FUZZ_CHECK(!picture.Empty());
  FUZZ_CHECK(static_cast<int64_t>(picture.Width()) * picture.Height() <= ui::TBitmap::kMaxPixels);
  FUZZ_CHECK(picture.Pixels().size() == static_cast<size_t>(picture.Width()) * picture.Height());
  for (uint32_t p : picture.Pixels()) FUZZ_CHECK(p >> 24 == 0);
  if (picture.Pixels().size() > kOutlined) return 0;
  CheckOutline(picture);

  // The picture as a button strip.
  const int w = skin::FrameWidth(picture.Width(), 4);
  FUZZ_CHECK(skin::UsableStrip(picture, 4) == (w >= 1));
  ui::TBitmap frame;
  for (int index = 0; index < 4; ++index) {
    skin::CutFrame(frame, picture, 4, index);
    FUZZ_CHECK(frame.Width() == w && frame.Height() == picture.Height());
    for (int y = 0; y < frame.Height(); ++y)
      FUZZ_CHECK(
          std::equal(frame.Scanline(y), frame.Scanline(y) + w, picture.Scanline(y) + index * w));
    if (w >= 1) CheckOutline(frame);
  }
  return 0;
}

// Frames cut out of a strip: equal widths by truncating division, the extra columns unused.
#include <gtest/gtest.h>

#include "skin/FrameStrip.h"

namespace {

// Every column holds its own x, so a frame shows where it was cut from.
ui::TBitmap Strip(int w, int h) {
  ui::TBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetPixel(x, y, static_cast<uint32_t>(x * 1000 + y));
  return b;
}

TEST(FrameStrip, FramesAreAQuarterOfTheStripTruncated) {
  EXPECT_EQ(skin::FrameWidth(528, 4), 132);
  EXPECT_EQ(skin::FrameWidth(402, 4), 100);
  EXPECT_EQ(skin::FrameWidth(3, 4), 0);
  EXPECT_EQ(skin::FrameWidth(400, 0), 0);
}

TEST(FrameStrip, AStripIsUsableFromOnePixelPerFrame) {
  for (int w = 0; w <= 9; ++w) {
    const bool usable = skin::UsableStrip(ui::TBitmap(w, w == 0 ? 0 : 5), 4);
    EXPECT_EQ(usable, w >= 4) << w;
    if (usable) {
      EXPECT_GE(skin::FrameWidth(w, 4), 1);
    }
  }
  EXPECT_FALSE(skin::UsableStrip(ui::TBitmap(400, 0), 4));
  EXPECT_FALSE(skin::UsableStrip(ui::TBitmap(400, 5), 0));
}

TEST(FrameStrip, TheLastFrameComesFromItsOwnColumnsAndTheRemainderIsNeverShown) {
  for (int stripWidth : {400, 402}) {
    const ui::TBitmap strip = Strip(stripWidth, 3);
    ui::TBitmap frame;
    skin::CutFrame(frame, strip, 4, 3);
    ASSERT_EQ(frame.Width(), 100);
    ASSERT_EQ(frame.Height(), 3);
    EXPECT_EQ(frame.Pixel(0, 0), 300u * 1000);
    EXPECT_EQ(frame.Pixel(99, 2), 399u * 1000 + 2);
    skin::CutFrame(frame, strip, 4, 0);
    EXPECT_EQ(frame.Pixel(0, 1), 1u);
    EXPECT_EQ(frame.Pixel(99, 1), 99u * 1000 + 1);
  }
}

TEST(FrameStrip, AFrameOutsideTheStripIsBlankAndAnEmptyStripGivesAnEmptyFrame) {
  const ui::TBitmap strip = Strip(40, 2);
  ui::TBitmap frame;
  skin::CutFrame(frame, strip, 4, 4);
  ASSERT_EQ(frame.Width(), 10);
  EXPECT_EQ(frame.Pixel(0, 0), 0u);
  skin::CutFrame(frame, strip, 4, -1);
  EXPECT_EQ(frame.Pixel(9, 1), 0u);
  skin::CutFrame(frame, ui::TBitmap(), 4, 0);
  EXPECT_TRUE(frame.Empty());
}

}  // namespace

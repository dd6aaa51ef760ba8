// The outline rule against the rule spelt out pixel by pixel, on the edge cases of the rule and on
// random pictures; and the banded form of its rectangles that a platform region needs.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "skin/OutlineRule.h"
#include "tests/skin/OutlineReference.h"

namespace {

constexpr uint32_t kKey = 0xFF00FF, kOpaque = 0x3060A0, kOther = 0xE0E0E0;

// '.' is the key colour, '#' and 'o' two other colours; every string one row.
ui::TBitmap Picture(const std::vector<std::string>& rows) {
  ui::TBitmap b(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const char c = rows[y][x];
      b.SetPixel(x, y, c == '.' ? kKey : c == '#' ? kOpaque : kOther);
    }
  return b;
}

std::vector<std::string> Art(const std::vector<uint8_t>& mask, int w, int h) {
  std::vector<std::string> rows;
  for (int y = 0; y < h; ++y) {
    std::string row;
    for (int x = 0; x < w; ++x) row += mask[static_cast<size_t>(y) * w + x] ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::string> OutlineArt(const ui::TBitmap& b) {
  return Art(
      skin::reference::MaskOfRects(skin::OutlineRects(skin::PixelGrid(b)), b.Width(), b.Height()),
      b.Width(), b.Height());
}

// Bands by top, sorted and apart within a band, and no two touching bands with the same spans.
void ExpectBanded(const std::vector<ui::TRect>& rects) {
  for (size_t i = 0; i < rects.size(); ++i) {
    const ui::TRect& r = rects[i];
    ASSERT_LT(r.Left, r.Right);
    ASSERT_LT(r.Top, r.Bottom);
    if (i == 0) continue;
    const ui::TRect& p = rects[i - 1];
    if (p.Top == r.Top) {
      ASSERT_EQ(p.Bottom, r.Bottom) << "rectangle " << i;
      ASSERT_LT(p.Right, r.Left) << "rectangle " << i;
    } else {
      ASSERT_LE(p.Bottom, r.Top) << "rectangle " << i;
    }
  }
  // Spans per band, to compare neighbours.
  std::vector<std::pair<ui::TRect, std::vector<std::pair<int, int>>>> bands;
  for (const ui::TRect& r : rects) {
    if (bands.empty() || bands.back().first.Top != r.Top) bands.push_back({r, {}});
    bands.back().second.emplace_back(r.Left, r.Right);
  }
  for (size_t i = 1; i < bands.size(); ++i) {
    if (bands[i - 1].first.Bottom == bands[i].first.Top) {
      EXPECT_NE(bands[i - 1].second, bands[i].second) << "band at " << bands[i].first.Top;
    }
  }
}

TEST(OutlineRule, KeyBorderOfTwoPixelsGivesExactlyTheInnerRectangle) {
  ui::TBitmap b(12, 9, kKey);
  for (int y = 2; y < 7; ++y)
    for (int x = 2; x < 10; ++x) b.SetPixel(x, y, kOpaque);
  EXPECT_EQ(skin::OutlineRects(skin::PixelGrid(b)), (std::vector<ui::TRect>{{2, 2, 10, 7}}));
}

TEST(OutlineRule, PixelZeroZeroAloneIsCutFromAnOtherwiseOpaquePicture) {
  ui::TBitmap b(5, 4, kOpaque);
  b.SetPixel(0, 0, kOther);  // defines the key colour
  EXPECT_EQ(skin::OutlineRects(skin::PixelGrid(b)),
            (std::vector<ui::TRect>{{1, 0, 5, 1}, {0, 1, 5, 4}}));
}

TEST(OutlineRule, EnclosedKeyAreasStayAndOpenOnesGo) {
  // A ring keeps its centre.
  EXPECT_EQ(
      OutlineArt(Picture({"........", "..####..", "..#..#..", "..#..#..", "..####..", "........"})),
      (std::vector<std::string>{"........", "..####..", "..####..", "..####..", "..####..",
                                "........"}));
  // An L loses its notch: the notch reaches the right edge along its rows.
  EXPECT_EQ(OutlineArt(Picture({"......", ".##...", ".##...", ".#####", ".#####"})),
            (std::vector<std::string>{"......", ".##...", ".##...", ".#####", ".#####"}));
  // A key-coloured stripe through the whole picture opens to two edges and is cut.
  EXPECT_EQ(OutlineArt(Picture({".......", ".##.##.", ".##.##.", "......."})),
            (std::vector<std::string>{".......", ".##.##.", ".##.##.", "......."}));
  // A notch that reaches an edge only diagonally stays, being enclosed along both axes.
  EXPECT_EQ(OutlineArt(Picture({"......", ".#####", ".#o..#", ".#.o.#", ".#####"})),
            (std::vector<std::string>{"......", ".#####", ".#####", ".#####", ".#####"}));
}

TEST(OutlineRule, SingleOpaquePixelsGiveOnePixelSpans) {
  EXPECT_EQ(OutlineArt(Picture({".....", "...#.", ".....", ".#..."})),
            (std::vector<std::string>{".....", "...#.", ".....", ".#..."}));
}

TEST(OutlineRule, DegeneratePicturesGiveNothingOrTheirOpaqueRun) {
  EXPECT_TRUE(skin::OutlineRects(skin::PixelGrid(ui::TBitmap(40, 30, kOpaque))).empty());
  EXPECT_TRUE(skin::OutlineRects(skin::PixelGrid(ui::TBitmap(1, 1, kOpaque))).empty());
  EXPECT_TRUE(skin::OutlineRects(skin::PixelGrid(ui::TBitmap())).empty());
  EXPECT_TRUE(skin::OutlineRects(skin::PixelGrid()).empty());
  // One row: a key pixel inside the row's span is still cut, its column being all key.
  EXPECT_EQ(skin::OutlineRects(skin::PixelGrid(Picture({"..##.#o.."}))),
            (std::vector<ui::TRect>{{2, 0, 4, 1}, {5, 0, 7, 1}}));
  EXPECT_EQ(skin::OutlineRects(skin::PixelGrid(Picture({".", "#", "#", ".", "o"}))),
            (std::vector<ui::TRect>{{0, 1, 1, 3}, {0, 4, 1, 5}}));
}

TEST(OutlineRule, TheFourthByteOfAPixelCarriesNoColour) {
  ui::TBitmap b(6, 6, kKey | 0xFF000000u);
  b.SetPixel(0, 0, kKey);
  for (int y = 1; y < 5; ++y)
    for (int x = 1; x < 5; ++x) b.SetPixel(x, y, kOpaque | (y == 2 ? 0x80000000u : 0u));
  EXPECT_EQ(skin::OutlineRects(skin::PixelGrid(b)), (std::vector<ui::TRect>{{1, 1, 5, 5}}));
  EXPECT_EQ(skin::reference::MaskOfRects(skin::OutlineRects(skin::PixelGrid(b)), 6, 6),
            skin::reference::ReferenceOutlineMask(b));
}

TEST(OutlineRule, APartOfAWiderPictureIsScannedWithItsStride) {
  std::mt19937 rng(7);
  ui::TBitmap wide(23, 17);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 23; ++x) wide.SetPixel(x, y, rng() % 3 ? kKey : kOpaque);
  ui::TBitmap part(11, 9);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 11; ++x) part.SetPixel(x, y, wide.Pixel(x, y));
  EXPECT_EQ(skin::OutlineRects(skin::PixelGrid(wide, 11, 9)),
            skin::OutlineRects(skin::PixelGrid(part)));
  // Larger than the picture: clipped to it.
  EXPECT_EQ(skin::OutlineRects(skin::PixelGrid(part, 100, 100)),
            skin::OutlineRects(skin::PixelGrid(part)));
}

// Random pictures: noise with more or less key colour, and blobs (a rounded body with random
// bites taken out of it and random key holes), compared with the rule spelt out as a pixel set.
TEST(OutlineRule, RandomPicturesMatchTheRuleAsAPixelSet) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 600; ++round) {
    const int w = 1 + static_cast<int>(rng() % 48), h = 1 + static_cast<int>(rng() % 48);
    ui::TBitmap b(w, h, kKey);
    if (round % 2 == 0) {
      const unsigned keyShare = 1 + rng() % 9;  // out of 10
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          b.SetPixel(x, y, rng() % 10 < keyShare ? kKey : (rng() % 2 ? kOpaque : kOther));
    } else {
      const int inset = static_cast<int>(rng() % 4);
      for (int y = inset; y < h - inset; ++y)
        for (int x = inset; x < w - inset; ++x) b.SetPixel(x, y, kOpaque);
      for (int bite = static_cast<int>(rng() % 6); bite > 0; --bite) {
        const int bx = static_cast<int>(rng() % w), by = static_cast<int>(rng() % h);
        const int bw = 1 + static_cast<int>(rng() % 8), bh = 1 + static_cast<int>(rng() % 8);
        for (int y = by; y < std::min(h, by + bh); ++y)
          for (int x = bx; x < std::min(w, bx + bw); ++x) b.SetPixel(x, y, kKey);
      }
    }
    const std::vector<ui::TRect> rects = skin::OutlineRects(skin::PixelGrid(b));
    ASSERT_EQ(Art(skin::reference::MaskOfRects(rects, w, h), w, h),
              Art(skin::reference::ReferenceOutlineMask(b), w, h))
        << "round " << round << ", " << w << " x " << h;
    ExpectBanded(rects);
    if (HasFatalFailure()) FAIL() << "round " << round;
  }
}

}  // namespace

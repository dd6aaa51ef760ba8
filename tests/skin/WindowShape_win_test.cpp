// The window outline under Wine: the region a window gets is the outline rule's, built in one
// call; a window without a background picture keeps its full rectangle.
#include <gtest/gtest.h>

#include <string>

#include "skin/WindowShape_win.h"
#include "tests/skin/OutlineReference.h"
#include "tests/skin/SkinTestSupport_win.h"
#include "ui/Controls.h"

namespace {

constexpr uint32_t kKey = 0xFF00FF, kBody = 0x4070A0, kInk = 0xFFFFFF;

// A shaped picture: cut corners, a notch open to the right edge, an enclosed key-coloured hole.
ui::TBitmap ShapedPicture(int w, int h) {
  ui::TBitmap b(w, h, kBody);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int cx = std::min(x, w - 1 - x), cy = std::min(y, h - 1 - y);
      if (cx + cy < 5) b.SetPixel(x, y, kKey);                              // corners
      if (x > w * 2 / 3 && y > h / 3 && y < h / 2) b.SetPixel(x, y, kKey);  // notch
      if (x > 10 && x < 16 && y > 10 && y < 14) b.SetPixel(x, y, kKey);     // hole
      if (x > 20 && x < 24 && y > 20 && y < 30) b.SetPixel(x, y, kInk);
    }
  return b;
}

// Compares a region with the rule spelt out, pixel by pixel.
void ExpectRegionIsOutline(HRGN region, const ui::TBitmap& picture) {
  const auto mask = skin::reference::ReferenceOutlineMask(picture);
  int wrong = 0;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      wrong += (PtInRegion(region, x, y) != FALSE) != (mask[y * picture.Width() + x] != 0);
  EXPECT_EQ(wrong, 0);
  RECT box;
  GetRgnBox(region, &box);
  EXPECT_LE(box.right, picture.Width());
  EXPECT_LE(box.bottom, picture.Height());
}

struct MainLikeForm : ::testing::Test {
  ui::TForm form{nullptr, u"Main"};
  ui::TImage* background = new ui::TImage(&form, u"im_BackgroundImage");
  void SetUp() override {
    background->SetParent(&form);
    background->SetBounds(0, 0, 375, 345);  // the design size, until a picture comes
  }
  HWND Show(int w, int h) {
    form.SetBounds(40, 40, w, h);
    form.Show();
    return static_cast<HWND>(form.Handle());
  }
};

TEST_F(MainLikeForm, TheWindowRegionIsTheOutlineOfItsBackground) {
  const ui::TBitmap picture = ShapedPicture(90, 60);
  background->SetPicture(picture);
  ASSERT_EQ(background->Width(), 90);
  HWND hwnd = Show(90, 60);
  skin::ShapeWindowFromImage(hwnd, *background);
  ui::win::unique_hrgn region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(hwnd, region.get()), ERROR);
  ExpectRegionIsOutline(region.get(), picture);
  // What the screen shows: the body inside, the desktop (not the key colour) where it was cut.
  skintest::PumpMessages();
  EXPECT_EQ(skintest::ShownPixel(hwnd, 45, 5), kBody);
  EXPECT_EQ(skintest::ShownPixel(hwnd, 12, 12), kKey);  // enclosed: kept, shows the picture
}

TEST_F(MainLikeForm, TheDefaultBackgroundShapesTheWindowByTheRule) {
  const std::string unixPath =
      std::string(TANDREL_SKIN_DIR) + "/English/MultiPairMain_Background.bmp";
  const std::u16string path = u"Z:" + std::u16string(unixPath.begin(), unixPath.end());
  if (GetFileAttributesW(ui::win::Wide(path)) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "the default skin has not been generated";
  background->LoadPicture(path);
  HWND hwnd = Show(background->Width(), background->Height());
  skin::ShapeWindowFromImage(hwnd, *background);
  ui::win::unique_hrgn region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(hwnd, region.get()), ERROR);
  ExpectRegionIsOutline(region.get(), background->Picture());
}

TEST_F(MainLikeForm, WithoutABackgroundPictureTheWindowKeepsItsFullRectangle) {
  HWND hwnd = Show(375, 345);
  skin::ShapeWindowFromImage(hwnd, *background);
  ui::win::unique_hrgn region(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(GetWindowRgn(hwnd, region.get()), ERROR);  // no region: the whole window
  EXPECT_TRUE(IsWindowVisible(hwnd));
}

TEST_F(MainLikeForm, ABackgroundWhoseOutlineHoldsNoPixelLeavesTheFullRectangle) {
  // One colour throughout, and a single pixel (the key colour itself): no outline at all.
  for (const ui::TBitmap& picture : {ui::TBitmap(375, 345, kBody), ui::TBitmap(1, 1, kBody)}) {
    background->SetPicture(picture);
    HWND hwnd = Show(375, 345);
    skin::ShapeWindowFromImage(hwnd, *background);
    ui::win::unique_hrgn region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(hwnd, region.get()), ERROR) << picture.Width();
    EXPECT_TRUE(IsWindowVisible(hwnd));
  }
  // One opaque pixel is an outline: the window is cut to it.
  ui::TBitmap dot(20, 20, kKey);
  dot.SetPixel(7, 9, kBody);
  background->SetPicture(dot);
  HWND hwnd = Show(20, 20);
  skin::ShapeWindowFromImage(hwnd, *background);
  ui::win::unique_hrgn region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(hwnd, region.get()), ERROR);
  ExpectRegionIsOutline(region.get(), dot);
}

TEST(OutlineRegion, OneCallGivesTheSameShapeAsUnitingEveryRectangle) {
  const ui::TBitmap picture = ShapedPicture(64, 48);
  const auto rects = skin::OutlineRects(skin::PixelGrid(picture));
  ASSERT_GT(rects.size(), 3u);
  ui::win::unique_hrgn fast = skin::RegionFromRects(rects);
  ASSERT_TRUE(fast);
  ui::win::unique_hrgn slow(CreateRectRgn(0, 0, 0, 0)), one(CreateRectRgn(0, 0, 0, 0));
  for (const ui::TRect& r : rects) {
    SetRectRgn(one.get(), r.Left, r.Top, r.Right, r.Bottom);
    CombineRgn(slow.get(), slow.get(), one.get(), RGN_OR);
  }
  EXPECT_TRUE(EqualRgn(fast.get(), slow.get()));
  ExpectRegionIsOutline(fast.get(), picture);
  // No rectangles: an empty region, not a failure.
  ui::win::unique_hrgn empty = skin::RegionFromRects({});
  ASSERT_TRUE(empty);
  RECT box;
  EXPECT_EQ(GetRgnBox(empty.get(), &box), NULLREGION);
}

// The shaper on a plain window: the region is set when the outline changes, and only then.
TEST(OutlineShaper, SetsTheWindowRegionOnlyWhenTheOutlineChanges) {
  ui::TForm form{nullptr, u"F"};
  form.SetBounds(10, 10, 64, 48);
  form.Show();
  HWND hwnd = static_cast<HWND>(form.Handle());
  skin::OutlineShaper shaper;
  ui::win::unique_hrgn applied(CreateRectRgn(0, 0, 0, 0));
  ui::win::unique_hrgn shown(CreateRectRgn(0, 0, 0, 0));

  // One colour first: an empty outline equals the empty start; the window keeps its rectangle.
  const ui::TBitmap plain(64, 48, kBody);
  EXPECT_FALSE(shaper.ShapeWindow(hwnd, applied, skin::PixelGrid(plain)));
  EXPECT_EQ(GetWindowRgn(hwnd, shown.get()), ERROR);

  const ui::TBitmap picture = ShapedPicture(64, 48);
  EXPECT_TRUE(shaper.ShapeWindow(hwnd, applied, skin::PixelGrid(picture)));
  EXPECT_FALSE(shaper.ShapeWindow(hwnd, applied, skin::PixelGrid(picture)));
  ASSERT_NE(GetWindowRgn(hwnd, shown.get()), ERROR);
  EXPECT_TRUE(EqualRgn(shown.get(), applied.get()));
  ExpectRegionIsOutline(shown.get(), picture);

  // A different outline is applied again; so is the first one after it.
  ui::TBitmap other = picture;
  for (int x = 0; x < 64; ++x) other.SetPixel(x, 47, kKey);
  EXPECT_TRUE(shaper.ShapeWindow(hwnd, applied, skin::PixelGrid(other)));
  EXPECT_TRUE(shaper.ShapeWindow(hwnd, applied, skin::PixelGrid(picture)));

  // A frame of one colour after a shaped one gives the window its full rectangle back, once.
  EXPECT_TRUE(shaper.ShapeWindow(hwnd, applied, skin::PixelGrid(plain)));
  EXPECT_EQ(GetWindowRgn(hwnd, shown.get()), ERROR);
  RECT box;
  EXPECT_EQ(GetRgnBox(applied.get(), &box), NULLREGION);
  EXPECT_FALSE(shaper.ShapeWindow(hwnd, applied, skin::PixelGrid(plain)));
  EXPECT_TRUE(shaper.ShapeWindow(hwnd, applied, skin::PixelGrid(picture)));
  ASSERT_NE(GetWindowRgn(hwnd, shown.get()), ERROR);
  ExpectRegionIsOutline(shown.get(), picture);
}

}  // namespace

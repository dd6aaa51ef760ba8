// The default skin the build generates, against the outline rule: every key-coloured pixel is cut
// away and every other pixel kept (no key colour shows, no fringe), corners are cut, frames differ.
#include <gtest/gtest.h>

#include <string>

#include "base/File.h"
#include "skin/FrameStrip.h"
#include "base/Platform.h"
#include "skin/OutlineRule.h"
#include "tests/skin/OutlineReference.h"

namespace {

std::u16string SkinFile(const std::string& language, const std::string& name) {
  std::string path = std::string(TANDREL_SKIN_DIR) + "/" + language + "/" + name;
  if (base::PathSeparator() == u'\\') path = "Z:" + path;  // the build folder as Wine sees it
  return std::u16string(path.begin(), path.end());
}

// The number of pixels where the outline and "not the key colour" disagree.
int Disagreements(const ui::TBitmap& b) {
  const auto mask =
      skin::reference::MaskOfRects(skin::OutlineRects(skin::PixelGrid(b)), b.Width(), b.Height());
  const uint32_t key = b.Pixel(0, 0) & 0xFFFFFF;
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      n += mask[static_cast<size_t>(y) * b.Width() + x] != ((b.Pixel(x, y) & 0xFFFFFF) != key);
  return n;
}

bool CornersCut(const ui::TBitmap& b) {
  const uint32_t key = b.Pixel(0, 0);
  return b.Pixel(b.Width() - 1, 0) == key && b.Pixel(0, b.Height() - 1) == key &&
         b.Pixel(b.Width() - 1, b.Height() - 1) == key;
}

int Differences(const ui::TBitmap& a, const ui::TBitmap& b) {
  int n = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) n += a.Pixel(x, y) != b.Pixel(x, y);
  return n;
}

class DefaultSkin : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!base::FileExists(SkinFile("English", "MultiPairMain_Background.bmp")))
      GTEST_SKIP() << "the default skin has not been generated";
  }
};

TEST_F(DefaultSkin, TheBackgroundIsShapedExactlyByItsKeyColour) {
  const auto b = ui::TBitmap::LoadFromFile(SkinFile("English", "MultiPairMain_Background.bmp"));
  EXPECT_EQ(b.Width(), 375);
  EXPECT_EQ(b.Height(), 345);
  EXPECT_TRUE(CornersCut(b));
  EXPECT_EQ(Disagreements(b), 0);
  // Shaped, not merely rounded: more than the four corners goes.
  const auto rects = skin::OutlineRects(skin::PixelGrid(b));
  const auto mask = skin::reference::MaskOfRects(rects, b.Width(), b.Height());
  int cut = 0;
  for (uint8_t m : mask) cut += !m;
  EXPECT_GT(cut, 2000);
  EXPECT_GT(rects.size(), 20u);
}

TEST_F(DefaultSkin, EveryStripHasFourDistinctFramesWithCutCorners) {
  struct Case {
    const char* language;
    const char* file;
    int width, height;
  };
  for (const Case& c : {Case{"English", "WindowClose.bmp", 80, 20},
                        Case{"English", "NewMultiPairProc.bmp", 528, 33},
                        Case{"English", "RSSIDisplay.bmp", 528, 33},
                        Case{"German", "NewMultiPairProc.bmp", 528, 33},
                        Case{"German", "RSSIDisplay.bmp", 528, 33}}) {
    SCOPED_TRACE(std::string(c.language) + "/" + c.file);
    const auto strip = ui::TBitmap::LoadFromFile(SkinFile(c.language, c.file));
    ASSERT_EQ(strip.Width(), c.width);
    ASSERT_EQ(strip.Height(), c.height);
    ui::TBitmap frames[4];
    for (int i = 0; i < 4; ++i) {
      skin::CutFrame(frames[i], strip, 4, i);
      EXPECT_TRUE(CornersCut(frames[i])) << "frame " << i;
      EXPECT_EQ(Disagreements(frames[i]), 0) << "frame " << i;
    }
    for (int i = 0; i < 4; ++i)
      for (int j = i + 1; j < 4; ++j)
        EXPECT_GT(Differences(frames[i], frames[j]), frames[0].Width() * frames[0].Height() / 4)
            << "frames " << i << " and " << j;
  }
}

TEST_F(DefaultSkin, OtherLanguagesHaveTheirOwnFeatureStripsAndBorrowTheRestFromEnglish) {
  EXPECT_TRUE(base::FileExists(SkinFile("English", "Application.ico")));
  EXPECT_FALSE(base::FileExists(SkinFile("German", "WindowClose.bmp")));
  EXPECT_FALSE(base::FileExists(SkinFile("German", "MultiPairMain_Background.bmp")));
  const auto english = ui::TBitmap::LoadFromFile(SkinFile("English", "NewMultiPairProc.bmp"));
  const auto german = ui::TBitmap::LoadFromFile(SkinFile("German", "NewMultiPairProc.bmp"));
  EXPECT_GT(Differences(english, german), 50);  // the words differ
}

}  // namespace

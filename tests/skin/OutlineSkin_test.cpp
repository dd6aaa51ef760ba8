// The default skin the build generates, against the outline rule: every key-coloured pixel is cut
// away and every other pixel kept (no key colour shows, no fringe), corners are cut, frames differ.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/File.h"
#include "skin/FocusMark.h"
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

// Every language the launcher ships: each has strips with its own words.
constexpr const char* kLanguages[] = {"English",  "German",      "FrenchF", "Spanish", "Italian",
                                      "Dutch",    "PortugueseP", "Russian", "Turkish", "ChineseT",
                                      "ChineseS", "Japanese",    "Korean"};

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
  std::vector<Case> cases{{"English", "WindowClose.bmp", 80, 20}};
  for (const char* language : kLanguages) {
    cases.push_back({language, "NewMultiPairProc.bmp", 528, 33});
    cases.push_back({language, "RSSIDisplay.bmp", 528, 33});
  }
  for (const Case& c : cases) {
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
  std::vector<ui::TBitmap> pair;
  for (const char* language : kLanguages) {
    SCOPED_TRACE(language);
    if (std::string(language) != "English") {
      EXPECT_FALSE(base::FileExists(SkinFile(language, "WindowClose.bmp")));
      EXPECT_FALSE(base::FileExists(SkinFile(language, "MultiPairMain_Background.bmp")));
    }
    pair.push_back(ui::TBitmap::LoadFromFile(SkinFile(language, "NewMultiPairProc.bmp")));
  }
  // Every language's pairing words differ, and so do its pictures.
  for (size_t i = 0; i < pair.size(); ++i)
    for (size_t j = i + 1; j < pair.size(); ++j)
      EXPECT_GT(Differences(pair[i], pair[j]), 50) << kLanguages[i] << " / " << kLanguages[j];
}

// The focus mark on every frame of every shipped strip: it shows (pixels change, on the inset
// rectangle only), and it never touches the key colour, so the button keeps its outline.
TEST_F(DefaultSkin, TheFocusMarkShowsOnEveryFrameAndKeepsItsOutline) {
  std::vector<std::pair<std::string, std::string>> strips{{"English", "WindowClose.bmp"}};
  for (const char* language : kLanguages) {
    strips.emplace_back(language, "NewMultiPairProc.bmp");
    strips.emplace_back(language, "RSSIDisplay.bmp");
  }
  for (const auto& [language, file] : strips) {
    const auto strip = ui::TBitmap::LoadFromFile(SkinFile(language, file));
    for (int i = 0; i < 4; ++i) {
      SCOPED_TRACE(language + "/" + file + " frame " + std::to_string(i));
      ui::TBitmap frame;
      skin::CutFrame(frame, strip, 4, i);
      const std::vector<uint32_t> before(frame.Pixels().begin(), frame.Pixels().end());
      std::vector<uint32_t> marked = before;
      const int w = frame.Width(), h = frame.Height();
      const int changed = skin::FocusMark::Draw(marked.data(), w, h);
      const int inset = skin::FocusMark::Inset(w, h);
      int differing = 0;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const size_t at = static_cast<size_t>(y) * w + x;
          if (marked[at] == before[at]) continue;
          ++differing;
          const bool onRect =
              (x == inset || x == w - 1 - inset || y == inset || y == h - 1 - inset) &&
              x >= inset && x <= w - 1 - inset && y >= inset && y <= h - 1 - inset;
          EXPECT_TRUE(onRect) << x << "," << y;
        }
      EXPECT_EQ(differing, changed);
      // A mark of a few dots would not be seen: most of the rectangle's dots land.
      EXPECT_GT(changed, (w + h - 4 * inset) / 2);
      EXPECT_EQ(skin::OutlineRects(skin::PixelGrid(marked.data(), w, h)),
                skin::OutlineRects(skin::PixelGrid(before.data(), w, h)));
    }
  }
  // Nothing to mark on frames too small for it; no crash on none at all.
  uint32_t tiny[4] = {1, 2, 3, 4};
  EXPECT_EQ(skin::FocusMark::Draw(tiny, 2, 2), 0);
  EXPECT_EQ(skin::FocusMark::Draw(nullptr, 10, 10), 0);
}

}  // namespace

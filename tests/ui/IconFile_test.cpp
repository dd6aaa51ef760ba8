#include "ui/IconFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

void Put16(std::vector<uint8_t>& d, size_t at, uint16_t v) {
  d[at] = static_cast<uint8_t>(v);
  d[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& d, size_t at, uint32_t v) {
  Put16(d, at, static_cast<uint16_t>(v));
  Put16(d, at + 2, static_cast<uint16_t>(v >> 16));
}

// An icon file's header and directory with images of the given byte counts laid out after it
// (the image bytes are filler: the directory is all that is read here).
std::vector<uint8_t> IconFile(const std::vector<uint32_t>& imageBytes) {
  const size_t n = imageBytes.size();
  std::vector<uint8_t> d(6 + 16 * n);
  Put16(d, 2, 1);
  Put16(d, 4, static_cast<uint16_t>(n));
  uint32_t offset = static_cast<uint32_t>(d.size());
  for (size_t i = 0; i < n; ++i) {
    const size_t e = 6 + 16 * i;
    d[e] = d[e + 1] = static_cast<uint8_t>(16 * (i + 1));  // width, height
    Put16(d, e + 4, 1);                                    // planes
    Put16(d, e + 6, 32);                                   // bits
    Put32(d, e + 8, imageBytes[i]);
    Put32(d, e + 12, offset);
    offset += imageBytes[i];
  }
  d.resize(offset, 0xAB);
  // Each image long enough for one starts with a bitmap header of a 16 x 16 icon (height doubled
  // for the mask); the rest is filler.
  uint32_t at = static_cast<uint32_t>(6 + 16 * n);
  for (const uint32_t bytes : imageBytes) {
    if (bytes >= 40) {
      Put32(d, at, 40);
      Put32(d, at + 4, 16);
      Put32(d, at + 8, 32);
    }
    at += bytes;
  }
  return d;
}

// A PNG's first bytes: signature, then the IHDR chunk with width and height (big-endian).
std::vector<uint8_t> PngHeader(uint32_t width, uint32_t height) {
  std::vector<uint8_t> d = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A,
                            0,    0,   0,   13,  'I',  'H',  'D',  'R'};
  for (const uint32_t v : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8) d.push_back(static_cast<uint8_t>(v >> shift));
  d.resize(33, 0);
  return d;
}

std::vector<uint8_t> BitmapHeader(uint32_t headerSize, int32_t width, int32_t height) {
  std::vector<uint8_t> d(std::max<uint32_t>(headerSize, 12) + 8, 0);
  Put32(d, 0, headerSize);
  if (headerSize == 12) {
    Put16(d, 4, static_cast<uint16_t>(width));
    Put16(d, 6, static_cast<uint16_t>(height));
  } else {
    Put32(d, 4, static_cast<uint32_t>(width));
    Put32(d, 8, static_cast<uint32_t>(height));
  }
  return d;
}

// An icon file holding exactly these images.
std::vector<uint8_t> IconFileOf(const std::vector<std::vector<uint8_t>>& images) {
  std::vector<uint32_t> sizes;
  for (const auto& image : images) sizes.push_back(static_cast<uint32_t>(image.size()));
  std::vector<uint8_t> d = IconFile(sizes);
  size_t at = 6 + 16 * images.size();
  for (const auto& image : images) {
    std::copy(image.begin(), image.end(), d.begin() + static_cast<long>(at));
    at += image.size();
  }
  return d;
}

TEST(IconDirectory, ListsEachImageAsAResourceEntryNumberedFromOneWithItsBytes) {
  const std::vector<uint8_t> file = IconFile({100, 300, 7});
  const auto dir = ui::ReadIconDirectory(file);
  ASSERT_TRUE(dir);
  ASSERT_EQ(dir->resource.size(), 6u + 3 * 14);
  EXPECT_TRUE(std::equal(file.begin(), file.begin() + 6, dir->resource.begin()));
  size_t offset = 6 + 3 * 16;
  for (size_t i = 0; i < 3; ++i) {
    const uint8_t* entry = dir->resource.data() + 6 + 14 * i;
    EXPECT_TRUE(std::equal(entry, entry + 12, file.begin() + 6 + 16 * static_cast<long>(i)));
    EXPECT_EQ(entry[12] | entry[13] << 8, static_cast<int>(i + 1));
    EXPECT_EQ(dir->images[i].data(), file.data() + offset);
    offset += dir->images[i].size();
  }
  EXPECT_EQ(offset, file.size());
}

TEST(IconDirectory, AFileThatIsNoIconOrWhoseDirectoryDoesNotFitIsRefused) {
  std::vector<uint8_t> file = IconFile({40});
  EXPECT_FALSE(ui::ReadIconDirectory(std::span(file).first(5)));
  EXPECT_FALSE(ui::ReadIconDirectory(std::span(file).first(6 + 15)));  // directory cut short
  std::vector<uint8_t> cursor = file;
  Put16(cursor, 2, 2);
  EXPECT_FALSE(ui::ReadIconDirectory(cursor));
  std::vector<uint8_t> none = file;
  Put16(none, 4, 0);
  EXPECT_FALSE(ui::ReadIconDirectory(none));
  std::vector<uint8_t> reserved = file;
  Put16(reserved, 0, 1);
  EXPECT_FALSE(ui::ReadIconDirectory(reserved));
}

TEST(IconDirectory, AnEntryOutsideTheFileEmptiesOnlyItsOwnImage) {
  std::vector<uint8_t> file = IconFile({40, 40});
  Put32(file, 6 + 16 + 12, static_cast<uint32_t>(file.size()) - 39);  // one byte too far
  auto dir = ui::ReadIconDirectory(file);
  ASSERT_TRUE(dir);
  EXPECT_EQ(dir->images[0].size(), 40u);
  EXPECT_TRUE(dir->images[1].empty());
  Put32(file, 6 + 16 + 12, 0xFFFFFFF0u);  // an offset whose sum with the size wraps
  dir = ui::ReadIconDirectory(file);
  ASSERT_TRUE(dir);
  EXPECT_TRUE(dir->images[1].empty());
}

// Damaged files at random: whatever is read stays inside the file, and the directory handed to
// the system is exactly as long as its header says.
TEST(IconDirectory, RandomDamageNeverReadsOutsideTheFile) {
  std::mt19937 random(12);
  const std::vector<uint8_t> good = IconFile({64, 128, 32, 9});
  for (int round = 0; round < 20000; ++round) {
    std::vector<uint8_t> file = good;
    const int changes = 1 + static_cast<int>(random() % 6);
    for (int c = 0; c < changes; ++c) file[random() % 70] = static_cast<uint8_t>(random());
    file.resize(random() % (file.size() + 1));
    const auto dir = ui::ReadIconDirectory(file);
    if (!dir) continue;
    const size_t count = dir->resource[4] | dir->resource[5] << 8;
    ASSERT_EQ(dir->resource.size(), 6 + 14 * count);
    ASSERT_EQ(dir->images.size(), count);
    for (const auto image : dir->images) {
      if (image.empty()) continue;
      ASSERT_GE(image.data(), file.data());
      ASSERT_LE(image.data() + image.size(), file.data() + file.size());
    }
  }
}

// Sides around the cap, by PNG header and by both bitmap headers: an image is left out exactly
// when a side is over 256 pixels (a bitmap's height counting its mask rows too), and the images
// that stay are numbered from 1 again with their own bytes.
TEST(IconDirectory, AnImageOverTheSizeCapIsLeftOutBeforeAnythingDecodesIt) {
  for (const int64_t side : {1, 16, 255, 256, 257, 300, 16384, 65535}) {
    for (int header = 0; header < 3; ++header) {
      for (const bool wide : {true, false}) {
        const int64_t w = wide ? side : 16, h = wide ? 16 : side;
        std::vector<uint8_t> image;
        if (header == 0)
          image = PngHeader(static_cast<uint32_t>(w), static_cast<uint32_t>(h));
        else if (header == 1 && side < 32768)
          image = BitmapHeader(12, static_cast<int32_t>(w), static_cast<int32_t>(2 * h));
        else
          image = BitmapHeader(40, static_cast<int32_t>(w), static_cast<int32_t>(2 * h));
        const std::vector<uint8_t> small = PngHeader(32, 32);
        const std::vector<uint8_t> file = IconFileOf({image, small});
        const auto dir = ui::ReadIconDirectory(file);
        ASSERT_TRUE(dir);
        const bool over = side > 256;
        EXPECT_EQ(ui::IconImageTooLarge(image), over) << side << " header " << header;
        ASSERT_EQ(dir->images.size(), over ? 1u : 2u) << side << " header " << header;
        ASSERT_EQ(dir->resource.size(), 6 + 14 * dir->images.size());
        EXPECT_EQ(dir->resource[4] | dir->resource[5] << 8, static_cast<int>(dir->images.size()));
        // The last image is the small one, numbered as the last entry.
        EXPECT_EQ(dir->images.back().size(), small.size());
        EXPECT_TRUE(std::equal(small.begin(), small.end(), dir->images.back().begin()));
        const uint8_t* last = dir->resource.data() + dir->resource.size() - 14;
        EXPECT_EQ(last[12] | last[13] << 8, static_cast<int>(dir->images.size()));
      }
    }
  }
  // A negative bitmap width is as large as its size; a header of another size says nothing.
  EXPECT_TRUE(ui::IconImageTooLarge(BitmapHeader(40, -1000, 32)));
  EXPECT_FALSE(ui::IconImageTooLarge(BitmapHeader(20, 100000, 100000)));
  // Every image over the cap: a directory that lists none.
  const auto none = ui::ReadIconDirectory(IconFileOf({PngHeader(16384, 16384)}));
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->images.empty());
  EXPECT_EQ(none->resource.size(), 6u);
}

}  // namespace

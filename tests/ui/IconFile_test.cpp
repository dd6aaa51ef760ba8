#include "ui/IconFile.h"

#include <gtest/gtest.h>

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

}  // namespace

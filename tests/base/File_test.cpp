#include "base/File.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct TempFile {
  explicit TempFile(const std::string& bytes)
      : path(fs::temp_directory_path() / ("tandrel_file_test_" + std::to_string(++count))) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  ~TempFile() { fs::remove(path); }
  std::u16string Name() const { return path.u16string(); }
  fs::path path;
  static inline int count = 0;
};

TEST(FileBytes, HoldsWhatReadFileReadsAtAndAroundPageSizes) {
  for (const int size : {1, 4095, 4096, 4097, 100000, (1 << 20) + 3}) {
    std::string bytes;
    for (int i = 0; i < size; ++i) bytes += static_cast<char>(i * 7 + i / 4096);
    const TempFile file(bytes);
    const base::FileBytes held(file.Name());
    ASSERT_TRUE(held.Opened()) << size;
    const auto read = base::ReadFile(file.Name());
    ASSERT_TRUE(read) << size;
    EXPECT_EQ(std::vector<uint8_t>(held.Bytes().begin(), held.Bytes().end()), *read) << size;
  }
}

TEST(FileBytes, AnEmptyFileOpensWithNoBytesAMissingOneOrAFolderDoesNotOpen) {
  const TempFile empty("");
  const base::FileBytes held(empty.Name());
  EXPECT_TRUE(held.Opened());
  EXPECT_TRUE(held.Bytes().empty());

  EXPECT_FALSE(base::FileBytes(u"no such folder/none.bin").Opened());
  EXPECT_FALSE(base::FileBytes(fs::temp_directory_path().u16string()).Opened());
}

// A file over the cap is refused by its size before anything is read, and FileBytes says so; a
// file at the cap is read whole.
TEST(FileBytes, AFileOverTheCapIsNotReadAndSaysItIsTooLarge) {
  const TempFile file(std::string(5000, 'x'));
  for (const uint64_t cap : {0ull, 1ull, 4999ull, 5000ull, 5001ull, 1ull << 40}) {
    const bool fits = cap >= 5000;
    const base::FileBytes held(file.Name(), cap);
    EXPECT_EQ(held.Opened(), fits) << cap;
    EXPECT_EQ(held.TooLarge(), !fits) << cap;
    EXPECT_EQ(held.Bytes().size(), fits ? 5000u : 0u) << cap;
    const auto read = base::ReadFile(file.Name(), cap);
    EXPECT_EQ(read.has_value(), fits) << cap;
    if (read) EXPECT_EQ(read->size(), 5000u);
  }
  EXPECT_FALSE(base::FileBytes(u"no such folder/none.bin", 10).TooLarge());
}

// A sparse file of 1 GiB over a 16-byte cap: refused at once, nothing allocated for it.
TEST(FileBytes, AHugeSparseFileIsRefusedWithoutReadingIt) {
  const TempFile file("");
  fs::resize_file(file.path, uint64_t{1} << 30);
  EXPECT_FALSE(base::ReadFile(file.Name(), 16));
  const base::FileBytes held(file.Name(), 16);
  EXPECT_FALSE(held.Opened());
  EXPECT_TRUE(held.TooLarge());
}

}  // namespace

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

TEST(MappedFile, HoldsWhatReadFileReads) {
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes += static_cast<char>(i * 7);
  const TempFile file(bytes);
  const base::MappedFile mapped(file.Name());
  ASSERT_TRUE(mapped.Opened());
  const auto read = base::ReadFile(file.Name());
  ASSERT_TRUE(read);
  EXPECT_EQ(std::vector<uint8_t>(mapped.Bytes().begin(), mapped.Bytes().end()), *read);
}

TEST(MappedFile, AnEmptyFileOpensWithNoBytesAMissingOneOrAFolderDoesNotOpen) {
  const TempFile empty("");
  const base::MappedFile mapped(empty.Name());
  EXPECT_TRUE(mapped.Opened());
  EXPECT_TRUE(mapped.Bytes().empty());

  EXPECT_FALSE(base::MappedFile(u"no such folder/none.bin").Opened());
  EXPECT_FALSE(base::MappedFile(fs::temp_directory_path().u16string()).Opened());
}

}  // namespace

#pragma once
// A fresh folder per test, with a "DLL" sub-folder into which a built library is copied under
// the name the loader looks for; the loader is pointed at it and restored afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "device/輸出入_dll核心程式.h"

namespace testing_support {

namespace fs = std::filesystem;

// A build path as this program sees it: under Wine the Unix root is drive Z:.
inline fs::path HostPath(const std::string& built) {
#ifdef _WIN32
  if (!built.empty() && built[0] == '/') return fs::path("Z:" + built).make_preferred();
#endif
  return fs::path(built);
}

class TestFolder {
 public:
  explicit TestFolder(const std::string& tag) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = fs::temp_directory_path() /
            ("tandrel-" + tag + "-" + info->test_suite_name() + "-" + info->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "DLL");
  }
  ~TestFolder() {
    device::FreeDeviceLibrary();
    device::SetDeviceLibraryBaseFolder({});
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  // The base folder as the loader wants it: with its trailing separator.
  std::u16string Base() const {
    return root_.u16string() + char16_t(fs::path::preferred_separator);
  }
  fs::path Dll() const { return root_ / "DLL"; }
  void UseAsBase() const { device::SetDeviceLibraryBaseFolder(Base()); }

  void Install(const std::string& built) const {
    const fs::path target = root_ / fs::path(device::DeviceLibraryRelativePath()).make_preferred();
    fs::copy_file(HostPath(built), target, fs::copy_options::overwrite_existing);
  }

  void WriteFile(const std::string& name, const std::string& text) const {
    std::ofstream(Dll() / name, std::ios::binary) << text;
  }

  std::vector<std::string> Lines(const std::string& name) const {
    std::ifstream in(Dll() / name);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }

 private:
  fs::path root_;
};

}  // namespace testing_support

#pragma once
// A fresh folder per test, with a "DLL" sub-folder into which a built library is copied under
// the name the loader looks for, and a device library object that loads from there.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/Platform.h"
#include "device/DeviceLibrary.h"
#include "sdk/tandrel_sdk.h"

namespace testing_support {

namespace fs = std::filesystem;

// A build path as this program sees it: under Wine the Unix root is drive Z:.
inline fs::path HostPath(const std::string& built) {
  if (base::PathSeparator() == u'\\' && !built.empty() && built[0] == '/')
    return fs::path("Z:" + built).make_preferred();
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
    library_ = std::make_unique<device::DeviceLibrary>(
        std::make_unique<device::FileLibrarySource>(LibraryPath()));
  }
  ~TestFolder() {
    library_.reset();
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  // The base folder as the loader wants it: with its trailing separator.
  std::u16string Base() const {
    return root_.u16string() + char16_t(fs::path::preferred_separator);
  }
  fs::path Dll() const { return root_ / "DLL"; }
  // Where the launcher would look for the library if its executable lay in this folder.
  std::u16string LibraryPath() const {
    return Base() + base::NativeLibraryPath(TANDREL_U16(TANDREL_DM_LIBRARY_FILE));
  }
  device::DeviceLibrary& Library() const { return *library_; }

  void Install(const std::string& built) const {
    fs::copy_file(HostPath(built), fs::path(LibraryPath()), fs::copy_options::overwrite_existing);
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
  std::unique_ptr<device::DeviceLibrary> library_;
};

}  // namespace testing_support

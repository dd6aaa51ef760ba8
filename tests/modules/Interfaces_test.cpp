// Load-call-free of the feature modules, against fake modules that report what they received.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "modules/ModuleCall.h"
#include "modules/ModuleRecords.h"
#include "modules/ModuleLibrary.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> FromHex(const std::string& hex) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

std::string Hex(const void* p, size_t n) {
  std::string s;
  char buf[3];
  for (size_t i = 0; i < n; ++i) {
    std::snprintf(buf, sizeof buf, "%02x", static_cast<const uint8_t*>(p)[i]);
    s += buf;
  }
  return s;
}

// What one call of a fake module reported.
struct Call {
  std::vector<uint8_t> record;
  std::vector<std::string> strings;  // "<offset> <header hex> <chars hex>" or "<offset> null"
};

// A forms folder of its own per test, with the fake modules copied in under the launcher's names.
class ModuleFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = fs::temp_directory_path() /
            (std::string("tandrel-modules-") + info->test_suite_name() + "-" + info->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
    report_ = root_ / "report.txt";
    setenv("TANDREL_FAKE_MODULE_REPORT", report_.c_str(), 1);
    forms_ = root_.u16string() + u"/";
  }
  void TearDown() override {
    unsetenv("TANDREL_FAKE_MODULE_REPORT");
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  std::u16string Install(const char* built, const std::u16string& relative) {
    const fs::path target = root_ / fs::path(relative);
    fs::create_directories(target.parent_path());
    fs::copy_file(built, target, fs::copy_options::overwrite_existing);
    return target.u16string();
  }

  std::vector<Call> Calls() const {
    std::vector<Call> calls;
    std::ifstream in(report_);
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("record ", 0) == 0)
        calls.push_back({FromHex(line.substr(7)), {}});
      else if (line.rfind("string ", 0) == 0 && !calls.empty())
        calls.back().strings.push_back(line.substr(7));
    }
    return calls;
  }

  static bool StillLoaded(const std::u16string& path) {
    void* h = dlopen(fs::path(path).c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (h) dlclose(h);
    return h != nullptr;
  }

  fs::path root_, report_;
  std::u16string forms_;
  modules::ModuleContext context_{0, u"", reinterpret_cast<void*>(uintptr_t{0xABCD}), u""};
};

// The string line a fake module writes for text at a field.
std::string StringLine(size_t offset, std::u16string_view text) {
  if (text.empty()) return std::to_string(offset) + " null";
  const modules::ModuleStringHeader h {
#if UINTPTR_MAX > 0xFFFFFFFFu
    0,
#endif
        1200, 2, 1, static_cast<int32_t>(text.size())
  };
  const std::u16string chars(text);
  return std::to_string(offset) + " " + Hex(&h, sizeof h) + " " +
         Hex(chars.c_str(), (chars.size() + 1) * 2);
}

template <typename T>
T At(const std::vector<uint8_t>& b, size_t offset) {
  T v;
  std::memcpy(&v, b.data() + offset, sizeof v);
  return v;
}

TEST_F(ModuleFolder, MessageConfirmReceivesRecordAndStringsOnce) {
  const auto path = Install(FAKE_MESSAGE_CONFIRM, modules::MessageConfirmLibraryPath());
  // The launcher's forms folder keeps the doubled separator its joining produces.
  context_.FormsFolder = forms_ + u"/Data/";
  modules::ModuleStrings strings;
  modules::ShowMessageConfirm(
      modules::MakeMessageConfirmRecord(strings, context_, u"No receiver @@ ok"), forms_);

  const auto calls = Calls();
  ASSERT_EQ(calls.size(), 1u);
  const auto& r = calls[0].record;
  ASSERT_EQ(r.size(), 48u);
  EXPECT_EQ(At<uint16_t>(r, 0), 0);
  EXPECT_EQ(At<uint64_t>(r, 8), 0u);  // empty section path: null
  EXPECT_EQ(At<uint64_t>(r, 16), 0xABCDu);
  EXPECT_NE(At<uint64_t>(r, 24), 0u);
  EXPECT_NE(At<uint64_t>(r, 32), 0u);
  EXPECT_EQ(At<int32_t>(r, 40), 0);
  EXPECT_EQ(calls[0].strings,
            (std::vector<std::string>{StringLine(8, u""), StringLine(24, context_.FormsFolder),
                                      StringLine(32, u"No receiver @@ ok")}));
  EXPECT_FALSE(StillLoaded(path));
}

TEST_F(ModuleFolder, MultiPairFormReturnsModuleResultAndIsFreedWithItsObject) {
  const auto path = Install(FAKE_MULTI_PAIR, modules::MultiPairFormLibraryPath());
  context_.LanguageId = 0x0407;
  context_.SectionPath = u"x.y";
  modules::ModuleStrings strings;
  auto record = modules::MakeMultiPairFormRecord(strings, context_);
  {
    modules::ModuleCall<modules::MultiPairFormRecord> module(forms_ +
                                                             modules::MultiPairFormLibraryPath());
    EXPECT_TRUE(StillLoaded(path));
    EXPECT_EQ(module.Invoke(&record), 4242);
    EXPECT_TRUE(StillLoaded(path));  // freed with the object, not by the call
  }
  EXPECT_FALSE(StillLoaded(path));

  const auto calls = Calls();
  ASSERT_EQ(calls.size(), 1u);
  const auto& r = calls[0].record;
  ASSERT_EQ(r.size(), 56u);
  EXPECT_EQ(At<uint16_t>(r, 0), 0x0407);
  EXPECT_EQ(At<int32_t>(r, 32), 0);
  EXPECT_EQ(At<int32_t>(r, 36), 0);
  EXPECT_EQ(At<int32_t>(r, 40), 1);
  EXPECT_EQ(At<uint64_t>(r, 48), 0u);
  EXPECT_EQ(calls[0].strings[0], StringLine(8, u"x.y"));
  EXPECT_EQ(calls[0].strings[2], StringLine(48, u""));
}

TEST_F(ModuleFolder, RssiDisplayReceivesCheckResult) {
  Install(FAKE_RSSI, modules::RSSIDisplayLibraryPath());
  modules::ModuleStrings strings;
  auto record = modules::MakeRSSIDisplayRecord(strings, context_, true);
  modules::ModuleCall<modules::RSSIDisplayRecord> module(forms_ +
                                                         modules::RSSIDisplayLibraryPath());
  module.Invoke(&record);
  const auto calls = Calls();
  ASSERT_EQ(calls.size(), 1u);
  ASSERT_EQ(calls[0].record.size(), 40u);
  EXPECT_EQ(At<uint8_t>(calls[0].record, 32), 1);
}

TEST_F(ModuleFolder, EachUseLoadsAnew) {
  const auto path = Install(FAKE_RSSI, modules::RSSIDisplayLibraryPath());
  modules::ModuleStrings strings;
  auto record = modules::MakeRSSIDisplayRecord(strings, context_, true);
  for (int i = 0; i < 2; ++i) {
    modules::ModuleCall<modules::RSSIDisplayRecord> module(forms_ +
                                                           modules::RSSIDisplayLibraryPath());
    module.Invoke(&record);
  }
  EXPECT_EQ(Calls().size(), 2u);
  EXPECT_FALSE(StillLoaded(path));
}

TEST_F(ModuleFolder, MissingFileCallsNothing) {
  modules::ModuleStrings strings;
  auto record = modules::MakeMultiPairFormRecord(strings, context_);
  modules::ModuleCall<modules::MultiPairFormRecord> module(forms_ +
                                                           modules::MultiPairFormLibraryPath());
  EXPECT_EQ(module.Invoke(&record), 0);
  modules::ShowMessageConfirm(modules::MakeMessageConfirmRecord(strings, context_, u"text"),
                              forms_);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(ModuleFolder, MissingExportGivesZero) {
  // The library loads, but exports the wrong name.
  Install(FAKE_MULTI_PAIR_MISNAMED, modules::MultiPairFormLibraryPath());
  modules::ModuleStrings strings;
  auto record = modules::MakeMultiPairFormRecord(strings, context_);
  modules::ModuleCall<modules::MultiPairFormRecord> module(forms_ +
                                                           modules::MultiPairFormLibraryPath());
  EXPECT_EQ(module.Invoke(&record), 0);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(ModuleFolder, UnloadableFileIsSilent) {
  const fs::path target = root_ / fs::path(modules::MultiPairFormLibraryPath());
  fs::create_directories(target.parent_path());
  std::ofstream(target) << "not a library";
  modules::ModuleStrings strings;
  auto record = modules::MakeMultiPairFormRecord(strings, context_);
  modules::ModuleCall<modules::MultiPairFormRecord> module(target.u16string());
  EXPECT_EQ(module.Invoke(&record), 0);
}

TEST_F(ModuleFolder, ModuleOfAnotherKindIsNotCalledUnderTheWrongExport) {
  // The RSSI fake has no "return_MultiPairForm": the export is looked up by name.
  Install(FAKE_RSSI, modules::MultiPairFormLibraryPath());
  modules::ModuleStrings strings;
  auto record = modules::MakeMultiPairFormRecord(strings, context_);
  modules::ModuleCall<modules::MultiPairFormRecord> module(forms_ +
                                                           modules::MultiPairFormLibraryPath());
  EXPECT_EQ(module.Invoke(&record), 0);
  EXPECT_TRUE(Calls().empty());
}

class SkinFiles : public ModuleFolder {
 protected:
  std::u16string Skin() const { return root_.u16string() + u"/"; }
  std::u16string Put(const std::string& language, const std::string& file) {
    fs::create_directories(root_ / language);
    std::ofstream(root_ / language / file) << "BM";
    return (root_ / language / file).u16string();
  }
};

TEST_F(SkinFiles, LanguageFolderFirst) {
  const auto german = Put("German", "Application.ico");
  Put("English", "Application.ico");
  EXPECT_EQ(modules::ResolveSkinFile(Skin(), u"German", u"Application.ico"), german);
}

TEST_F(SkinFiles, EnglishWhenTheLanguageLacksTheFile) {
  Put("German", "WindowClose.bmp");
  const auto english = Put("English", "Application.ico");
  EXPECT_EQ(modules::ResolveSkinFile(Skin(), u"German", u"Application.ico"), english);
}

TEST_F(SkinFiles, EmptyWhenNeitherHasIt) {
  Put("German", "WindowClose.bmp");
  EXPECT_EQ(modules::ResolveSkinFile(Skin(), u"English", u"Application.ico"), u"");
  EXPECT_EQ(modules::ResolveSkinFile(Skin(), u"German", u"Application.ico"), u"");
}

TEST_F(SkinFiles, FolderOfTheFileNameIsNoFile) {
  fs::create_directories(root_ / "German" / "Application.ico");
  const auto english = Put("English", "Application.ico");
  EXPECT_EQ(modules::ResolveSkinFile(Skin(), u"German", u"Application.ico"), english);
}

}  // namespace

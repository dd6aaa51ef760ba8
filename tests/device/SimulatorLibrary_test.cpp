// The receiver simulator as a real library, loaded from its file through the launcher's own
// binding: natively as a shared module, on Windows (under Wine) as the DLL.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "device/ReceiverCommands.h"
#include "device/TestFolder.h"
#include "device/DeviceLibrary.h"
#include "device/ReceiverSearch.h"

namespace {

using ::testing::ElementsAre;
using testing_support::TestFolder;

constexpr uint16_t kVendor = TANDREL_VENDOR_ID;
constexpr uint16_t kFamily1 = TANDREL_FAMILY1_PRODUCT_ID;
constexpr uint16_t kFamily1Alt = TANDREL_FAMILY1_ALT_PRODUCT_ID;
constexpr uint16_t kFamily2 = TANDREL_FAMILY2_PRODUCT_ID;

class SimulatorLibrary : public ::testing::Test {
 protected:
  SimulatorLibrary() : folder_("sim") { folder_.Install(SIM_DM); }

  int32_t Search(uint16_t product, std::u16string& path, int32_t& tag) {
    char16_t buffer[device::kDevicePathChars] = {};
    tag = 0;
    const int32_t n = folder_.Library().GetUsbDeviceFromHub(kVendor, product, 0, buffer, &tag);
    path = buffer;
    return n;
  }

  TestFolder folder_;
};

TEST_F(SimulatorLibrary, OneReceiverAnswersSearchCommandsAndTraces) {
  folder_.WriteFile(
      "DLL_MouseDeviceManager.scenario",
      "[library]\ninitial = 1\ntrace = trace.log\n"
      "[receiver]\nfamily = 1\npath = \\\\?\\hid#sim#1\ntag = 0x0102\nfirmware = 38\n");
  EXPECT_EQ(device::OpenDeviceAccess(folder_.Library(), reinterpret_cast<void*>(0xBEEF)), 1);

  std::u16string path;
  int32_t tag;
  EXPECT_EQ(Search(kFamily1, path, tag), 1);
  EXPECT_EQ(path, u"\\\\?\\hid#sim#1");
  EXPECT_EQ(tag, 0x0102);
  EXPECT_EQ(Search(kFamily2, path, tag), 0);

  EXPECT_TRUE(folder_.Library().Write(u"\\\\?\\hid#sim#1", 0x0102, 0xBF02, 1, 1));
  EXPECT_FALSE(folder_.Library().Write(u"", 0, 0xBF02, 1, 1));  // no receiver at an empty path
  uint8_t version[2] = {};
  EXPECT_TRUE(folder_.Library().Read(u"\\\\?\\hid#sim#1", 0x0102, 0xB501, 0x2701, 2, version));
  EXPECT_EQ(version[0], 0x38);
  EXPECT_EQ(version[1], 0xA4);
  device::CloseDeviceAccess(folder_.Library());

  EXPECT_THAT(
      folder_.Lines("trace.log"),
      ElementsAre(
          "Initial hwnd=0xbeef -> 1",
          "GetUsbDeviceFromHub vid=0x1D57 pid=0xFA60 index=0 -> 1 path=\"\\\\?\\hid#sim#1\" "
          "tag=0x0102",
          "GetUsbDeviceFromHub vid=0x1D57 pid=0xFA70 index=0 -> 0",
          "Write path=\"\\\\?\\hid#sim#1\" tag=0x0102 cmd=0xBF02 param=0x0001 count=1 -> 1",
          "Write path=\"\" tag=0x0000 cmd=0xBF02 param=0x0001 count=1 -> 0",
          "Read path=\"\\\\?\\hid#sim#1\" tag=0x0102 cmd=0xB501 param=0x2701 bytes=2 -> 1 "
          "data=38 A4",
          "CloseQuery", "Unload freed"));
}

TEST_F(SimulatorLibrary, CountsReceiversPerProductIdentifier) {
  folder_.WriteFile("DLL_MouseDeviceManager.scenario",
                    "[receiver]\nfamily = 1\n[receiver]\nfamily = 1\n[receiver]\nfamily = 1alt\n");
  folder_.Library().Load();
  std::u16string path;
  int32_t tag;
  EXPECT_EQ(Search(kFamily1, path, tag), 2);
  EXPECT_EQ(Search(kFamily1Alt, path, tag), 1);
  EXPECT_EQ(tag, 3);  // tags default to the position, from 1
  EXPECT_FALSE(path.empty());
  EXPECT_EQ(Search(kFamily2, path, tag), 0);
}

TEST_F(SimulatorLibrary, WithoutScenarioThereIsNoReceiverAndInitialGivesZero) {
  EXPECT_EQ(device::OpenDeviceAccess(folder_.Library(), nullptr), 0);
  EXPECT_TRUE(folder_.Library().Loaded());
  std::u16string path = u"x";
  int32_t tag;
  EXPECT_EQ(Search(kFamily1, path, tag), 0);
  EXPECT_EQ(path, u"");
  device::CloseDeviceAccess(folder_.Library());
  EXPECT_FALSE(folder_.Library().Loaded());
}

TEST_F(SimulatorLibrary, ReloadStartsFromTheScenarioAgain) {
  folder_.WriteFile("DLL_MouseDeviceManager.scenario",
                    "[library]\ntrace = trace.log\n[receiver]\npath = R\n");
  folder_.Library().Load();
  // Stage one word and commit it; the memory lives as long as the library stays loaded.
  EXPECT_TRUE(folder_.Library().Write(u"R", 1, 0xB502, 0x0100, 1));
  EXPECT_TRUE(folder_.Library().Write(u"R", 1, 0xB504, 0x3400, 1));
  EXPECT_TRUE(folder_.Library().Write(u"R", 1, 0xB504, 0x1201, 1));
  EXPECT_TRUE(folder_.Library().Write(u"R", 1, 0xB500, 0x8000 | 0x0100, 1));
  uint8_t word[2] = {};
  EXPECT_TRUE(folder_.Library().Read(u"R", 1, 0xB501, 0x0100, 2, word));
  EXPECT_EQ(word[0] | word[1] << 8, 0x1234);
  device::CloseDeviceAccess(folder_.Library());

  folder_.Library().Load();
  EXPECT_TRUE(folder_.Library().Read(u"R", 1, 0xB501, 0x0100, 2, word));
  EXPECT_EQ(word[0] | word[1] << 8, 0xFFFF);
  // The trace is appended to, across loads.
  const auto lines = folder_.Lines("trace.log");
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[5], "CloseQuery");
  EXPECT_EQ(lines[6], "Unload freed");
}

TEST_F(SimulatorLibrary, SearchFindsTheAlternateReceiverAndItsVersionIsRead) {
  folder_.WriteFile("DLL_MouseDeviceManager.scenario",
                    "[library]\ntrace = trace.log\n"
                    "[receiver]\nfamily = 1alt\npath = \\\\?\\hid#alt\ntag = 0x0203\n"
                    "firmware.0x058F = 41\n[receiver]\nfamily = 2\nfirmware = 38\n"
                    "[receiver]\nfamily = 2\nfirmware = 39\n");
  device::OpenDeviceAccess(folder_.Library(), nullptr);
  const device::ReceiverSearchResult found = device::FindReceiverFamily1(folder_.Library(), 0);
  EXPECT_EQ(found.count, 1);
  EXPECT_EQ(found.devicePath, u"\\\\?\\hid#alt");
  EXPECT_EQ(found.deviceTag, 0x0203);
  device::ReceiverCommands receiver(folder_.Library());
  receiver.SetDevice(found.devicePath, found.deviceTag);
  EXPECT_EQ(receiver.ReadFirmwareVersion(), 41);
  EXPECT_EQ(device::FindReceiverFamily2(folder_.Library(), 0).count, 2);
  device::CloseDeviceAccess(folder_.Library());

  const auto lines = folder_.Lines("trace.log");
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[1], "GetUsbDeviceFromHub vid=0x1D57 pid=0xFA60 index=0 -> 0");
  EXPECT_THAT(lines[2],
              ::testing::StartsWith("GetUsbDeviceFromHub vid=0x1D57 pid=0xFA61 index=0 -> 1"));
  EXPECT_EQ(lines[3],
            "Read path=\"\\\\?\\hid#alt\" tag=0x0203 cmd=0xB501 param=0x058F bytes=2 -> 1 "
            "data=41 A4");
}

TEST(SimulatorLibraryMissing, NoFileNoLoadAndEveryWrapperFails) {
  TestFolder empty("sim-missing");
  EXPECT_EQ(device::OpenDeviceAccess(empty.Library(), reinterpret_cast<void*>(0x10)), 0);
  EXPECT_FALSE(empty.Library().Loaded());
  char16_t buffer[device::kDevicePathChars] = {};
  int32_t tag = 0;
  EXPECT_EQ(empty.Library().GetUsbDeviceFromHub(kVendor, kFamily1, 0, buffer, &tag), -1);
  EXPECT_FALSE(empty.Library().Write(u"R", 1, 0xBF02, 1, 1));
  device::CloseDeviceAccess(empty.Library());
}

}  // namespace

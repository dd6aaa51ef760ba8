// The library binding against a recording fake: what reaches each export, and what a missing
// library or export gives.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

#include "device/TestFolder.h"
#include "device/DeviceLibrary.h"
#include "device/ReceiverSearch.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing_support::TestFolder;

class DeviceLibrary : public ::testing::Test {
 protected:
  DeviceLibrary() : folder_("fake") {}
  std::vector<std::string> Calls() const { return folder_.Lines("calls.log"); }

  TestFolder folder_;
};

TEST_F(DeviceLibrary, MissingFileLeavesEveryWrapperAtItsFailureValue) {
  EXPECT_EQ(device::OpenDeviceAccess(folder_.Library(), reinterpret_cast<void*>(0x1234)), 0);
  EXPECT_FALSE(folder_.Library().Loaded());

  uint8_t buffer[8];
  std::memset(buffer, 0x5A, sizeof buffer);
  EXPECT_FALSE(folder_.Library().Write(u"P", 1, 0xBF02, 1, 1));
  EXPECT_FALSE(folder_.Library().Read(u"P", 1, 0xB501, 0x2701, 2, buffer));
  EXPECT_EQ(buffer[0], 0x5A);
  char16_t path[device::kDevicePathChars] = {u'x'};
  int32_t tag = 99;
  EXPECT_EQ(folder_.Library().GetUsbDeviceFromHub(0x1D57, 0xFA60, 0, path, &tag), -1);
  EXPECT_EQ(path[0], u'x');
  EXPECT_EQ(tag, 99);
  device::CloseDeviceAccess(folder_.Library());
  EXPECT_FALSE(folder_.Library().Loaded());
}

TEST_F(DeviceLibrary, OpenLoadsOnceAndCallsInitialEachTime) {
  folder_.Install(FAKE_DM);
  folder_.WriteFile("fake.cfg", "initial=42\n");
  EXPECT_EQ(device::OpenDeviceAccess(folder_.Library(), reinterpret_cast<void*>(0x1234)), 42);
  EXPECT_TRUE(folder_.Library().Loaded());
  EXPECT_EQ(device::OpenDeviceAccess(folder_.Library(), reinterpret_cast<void*>(0x5678)), 42);
  EXPECT_THAT(Calls(), ElementsAre("load", "Initial hwnd=0x1234", "Initial hwnd=0x5678"));
}

TEST_F(DeviceLibrary, CloseCallsCloseQueryBeforeFreeing) {
  folder_.Install(FAKE_DM);
  device::OpenDeviceAccess(folder_.Library(), nullptr);
  device::CloseDeviceAccess(folder_.Library());
  EXPECT_FALSE(folder_.Library().Loaded());
  EXPECT_THAT(Calls(), ElementsAre("load", "Initial hwnd=(nil)", "CloseQuery", "unload"));
  // Closed: nothing is called any more.
  EXPECT_FALSE(folder_.Library().Write(u"P", 1, 0xBF02, 1, 1));
  device::CloseDeviceAccess(folder_.Library());
  EXPECT_EQ(Calls().size(), 4u);
}

TEST_F(DeviceLibrary, CloseWithNothingLoadedCallsNothing) {
  folder_.Install(FAKE_DM);
  device::CloseDeviceAccess(folder_.Library());
  EXPECT_FALSE(folder_.Library().Loaded());
  EXPECT_THAT(Calls(), IsEmpty());
}

TEST_F(DeviceLibrary, EmptyOrNullPathArrivesAsPointerToEmptyString) {
  folder_.Install(FAKE_DM);
  folder_.Library().Load();
  uint8_t buffer[2];
  EXPECT_TRUE(folder_.Library().Write(u"", 0, 0xBF02, 0, 1));
  EXPECT_TRUE(folder_.Library().Write(nullptr, 0, 0xBF02, 0, 1));
  EXPECT_TRUE(folder_.Library().Read(nullptr, 0, 0xB501, 0x058F, 2, buffer));
  const auto calls = Calls();
  ASSERT_EQ(calls.size(), 4u);
  for (size_t i = 1; i < 4; ++i) EXPECT_THAT(calls[i], ::testing::HasSubstr(" ptr path=\"\" "));
}

TEST_F(DeviceLibrary, SixteenBitArgumentsArriveZeroExtendedAndReadFillsTheBuffer) {
  folder_.Install(FAKE_DM);
  folder_.Library().Load();
  EXPECT_TRUE(folder_.Library().Write(u"\\\\?\\hid#1", 0xFFFF, 0xBF02, 0x8001, 1));
  uint8_t buffer[8] = {};
  EXPECT_TRUE(folder_.Library().Read(u"R", 0xABCD, 0xB600, 6, 8, buffer));
  EXPECT_EQ(buffer[0], 0xA0);
  EXPECT_EQ(buffer[7], 0xA7);
  EXPECT_THAT(Calls(), ElementsAre("load",
                                   "Write ptr path=\"\\\\?\\hid#1\" tag=0x0000FFFF cmd=0x0000BF02 "
                                   "param=0x00008001 count=1",
                                   "Read ptr path=\"R\" tag=0x0000ABCD cmd=0x0000B600 "
                                   "param=0x00000006 bytes=8"));
}

TEST_F(DeviceLibrary, OnlyTheLowByteOfABooleanResultCounts) {
  folder_.Install(FAKE_DM);
  folder_.Library().Load();
  uint8_t buffer[2];
  folder_.WriteFile("fake.cfg", "write=0x100\nread=0xFFFFFF00\n");
  EXPECT_FALSE(folder_.Library().Write(u"P", 1, 0xBF02, 1, 1));
  EXPECT_FALSE(folder_.Library().Read(u"P", 1, 0xB501, 0, 2, buffer));
  folder_.WriteFile("fake.cfg", "write=0x101\nread=0x80\n");
  EXPECT_TRUE(folder_.Library().Write(u"P", 1, 0xBF02, 1, 1));
  EXPECT_TRUE(folder_.Library().Read(u"P", 1, 0xB501, 0, 2, buffer));
  folder_.WriteFile("fake.cfg", "write=0\n");
  EXPECT_FALSE(folder_.Library().Write(u"P", 1, 0xBF02, 1, 1));
}

TEST_F(DeviceLibrary, SearchHandsBackCountPathAndTagAsTheLibraryGaveThem) {
  folder_.Install(FAKE_DM);
  folder_.Library().Load();
  char16_t path[device::kDevicePathChars] = {};
  int32_t tag = 0;
  folder_.WriteFile("fake.cfg", "count=2\n");
  EXPECT_EQ(folder_.Library().GetUsbDeviceFromHub(0x1D57, 0xFA61, 0, path, &tag), 2);
  EXPECT_EQ(std::u16string(path), u"FAKE\\PATH");
  EXPECT_EQ(tag, 0x12345678);
  folder_.WriteFile("fake.cfg", "count=0xFFFFFFFF\n");
  EXPECT_EQ(folder_.Library().GetUsbDeviceFromHub(0xFFFF, 0x0001, 3, path, &tag), -1);
  EXPECT_THAT(Calls(),
              ElementsAre("load", "GetUsbDeviceFromHub vid=0x00001D57 pid=0x0000FA61 index=0",
                          "GetUsbDeviceFromHub vid=0x0000FFFF pid=0x00000001 index=3"));
}

TEST_F(DeviceLibrary, ExportsAreLookedUpAgainAfterTheLibraryIsReplaced) {
  folder_.Install(FAKE_DM);
  folder_.Library().Load();
  uint8_t buffer[2];
  EXPECT_TRUE(folder_.Library().Read(u"A", 1, 0xB501, 0x058F, 2, buffer));
  folder_.Library().Free();
  EXPECT_FALSE(folder_.Library().Write(u"A", 1, 0xBF02, 1, 1));

  // Another build in the same place: a kept export address would call into the freed copy.
  folder_.Install(FAKE_DM_WITHOUT_READ);
  folder_.Library().Load();
  EXPECT_TRUE(folder_.Library().Write(u"B", 2, 0xBF02, 0, 1));
  EXPECT_FALSE(folder_.Library().Read(u"B", 2, 0xB501, 0x058F, 2, buffer));
  folder_.Library().Free();
  EXPECT_THAT(Calls(),
              ElementsAre("load", ::testing::StartsWith("Read ptr path=\"A\""), "unload", "load",
                          ::testing::StartsWith("Write ptr path=\"B\""), "unload"));
}

TEST_F(DeviceLibrary, MissingExportFailsOnlyItsOwnWrapper) {
  folder_.Install(FAKE_DM_WITHOUT_READ);
  EXPECT_EQ(device::OpenDeviceAccess(folder_.Library(), nullptr), 7);
  uint8_t buffer[2] = {0x11, 0x22};
  EXPECT_FALSE(folder_.Library().Read(u"P", 1, 0xB501, 0x058F, 2, buffer));
  EXPECT_EQ(buffer[0], 0x11);
  EXPECT_TRUE(folder_.Library().Write(u"P", 1, 0xBF02, 1, 1));
  device::CloseDeviceAccess(folder_.Library());
  EXPECT_THAT(Calls(), ElementsAre("load", "Initial hwnd=(nil)", ::testing::StartsWith("Write "),
                                   "CloseQuery", "unload"));
}

}  // namespace

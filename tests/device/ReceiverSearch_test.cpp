// The receiver search through a scripted library, and the registered-message vocabulary.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "device/InProcessLibrary.h"
#include "device/ReceiverSearch.h"
#include "device/RegisteredMessages.h"

namespace {

using ::testing::ElementsAre;
using testing_support::Exports;
using testing_support::InProcessLibrary;

// What the library answers per product identifier, and the searches it saw.
struct Answer {
  int32_t count;
  std::u16string path;  // written only when not empty
  int32_t tag;
};

class ReceiverSearch : public ::testing::Test {
 protected:
  Exports MakeExports() {
    Exports e;
    e.search = [this](uint32_t vid, uint32_t pid, int32_t index, char16_t* buffer, int32_t* tag) {
      searches_.push_back(pid);
      EXPECT_EQ(vid, device::kVendorId);
      EXPECT_EQ(index, index_);
      // The caller hands over a cleared buffer of 128 code units (ASan checks the size).
      EXPECT_TRUE(std::all_of(buffer, buffer + device::kDevicePathChars,
                              [](char16_t c) { return c == 0; }) ||
                  searches_.size() > 1);
      const auto it = answers_.find(pid);
      if (it == answers_.end()) return 0;
      if (!it->second.path.empty())
        std::copy_n(it->second.path.data(),
                    std::min<size_t>(it->second.path.size(), device::kDevicePathChars), buffer);
      *tag = it->second.tag;
      return it->second.count;
    };
    return e;
  }

  std::map<uint32_t, Answer> answers_;
  std::vector<uint32_t> searches_;
  int32_t index_ = 0;
  // A search, with the path and tag it found kept for the checks.
  int32_t Find1(const device::DeviceLibrary& library, int32_t index) {
    return Keep(device::FindReceiverFamily1(library, index));
  }
  int32_t Find2(const device::DeviceLibrary& library, int32_t index) {
    return Keep(device::FindReceiverFamily2(library, index));
  }
  int32_t Keep(const device::ReceiverSearchResult& found) {
    path_ = found.devicePath;
    tag_ = found.deviceTag;
    return found.count;
  }

  std::u16string path_ = u"stale";
  uint16_t tag_ = 0x7777;
};

TEST_F(ReceiverSearch, NoPrimaryAndOneAlternateGivesTheAlternate) {
  answers_[device::kFamily1AltProductId] = {1, u"\\\\?\\hid#alt", 0x5A5A0003};
  InProcessLibrary library(MakeExports());
  EXPECT_EQ(Find1(library.Devices(), 0), 1);
  EXPECT_EQ(path_, u"\\\\?\\hid#alt");
  EXPECT_EQ(tag_, 0x0003);  // the low 16 bits
  EXPECT_THAT(searches_, ElementsAre(device::kFamily1ProductId, device::kFamily1AltProductId));
}

TEST_F(ReceiverSearch, AnyPrimaryCountButZeroEndsTheSearch) {
  for (const int32_t count : {1, 2, 5, -1, -7}) {
    searches_.clear();
    answers_[device::kFamily1ProductId] = {count, u"P", 0x10001};
    answers_[device::kFamily1AltProductId] = {1, u"A", 2};
    InProcessLibrary library(MakeExports());
    EXPECT_EQ(Find1(library.Devices(), 0), count);
    EXPECT_THAT(searches_, ElementsAre(device::kFamily1ProductId)) << count;
    // Handed back whatever the count; only 1 makes them meaningful.
    EXPECT_EQ(path_, u"P");
    EXPECT_EQ(tag_, 1);
  }
}

TEST_F(ReceiverSearch, NeitherPrimaryNorAlternateGivesZeroAndAnEmptyPath) {
  InProcessLibrary library(MakeExports());
  EXPECT_EQ(Find1(library.Devices(), 0), 0);
  EXPECT_EQ(path_, u"");
  EXPECT_EQ(tag_, 0);
  EXPECT_EQ(searches_.size(), 2u);
}

TEST_F(ReceiverSearch, SecondFamilyIsOneSearchWithItsOwnIdentifierAndTheIndex) {
  index_ = 3;
  answers_[device::kFamily2ProductId] = {2, u"X", 9};
  InProcessLibrary library(MakeExports());
  EXPECT_EQ(Find2(library.Devices(), 3), 2);
  EXPECT_THAT(searches_, ElementsAre(device::kFamily2ProductId));
  EXPECT_EQ(path_, u"X");
  EXPECT_EQ(tag_, 9);
}

TEST_F(ReceiverSearch, PathWithoutTerminatorIsReadAtMost128CodeUnits) {
  answers_[device::kFamily2ProductId] = {1, std::u16string(200, u'p'), 1};
  InProcessLibrary library(MakeExports());
  EXPECT_EQ(Find2(library.Devices(), 0), 1);
  EXPECT_EQ(path_, std::u16string(128, u'p'));
}

TEST_F(ReceiverSearch, MissingLibraryOrExportGivesMinusOneAndAnEmptyPath) {
  // No library at all.
  const testing_support::NoLibrary none;
  EXPECT_EQ(Find1(none, 0), -1);
  EXPECT_EQ(path_, u"");
  path_ = u"stale";
  EXPECT_EQ(Find2(none, 0), -1);
  EXPECT_EQ(path_, u"");

  Exports noSearch = MakeExports();
  noSearch.search = nullptr;
  InProcessLibrary library(std::move(noSearch));
  path_ = u"stale";
  EXPECT_EQ(Find1(library.Devices(), 0), -1);
  EXPECT_EQ(path_, u"");
  EXPECT_EQ(library.Lookups().at("GetUsbDeviceFromHub"), 1);
}

TEST_F(ReceiverSearch, AgainstTheSimulatedHub) {
  devicemanager::Simulator sim(devicemanager::ParseScenario(
      "[receiver]\nfamily = 2\npath = B\ntag = 8\n[receiver]\nfamily = 1alt\npath = A\ntag = 7\n"
      "[receiver]\nfamily = 2\npath = C\n"));
  InProcessLibrary library(testing_support::ExportsOf(sim));
  EXPECT_EQ(Find1(library.Devices(), 0), 1);
  EXPECT_EQ(path_, u"A");
  EXPECT_EQ(tag_, 7);
  EXPECT_EQ(Find2(library.Devices(), 0), 2);
}

TEST(RegisteredMessages, ANameTheSystemRefusesMatchesNothingNotEvenWmNull) {
  // The stand-in refuses an empty name, as the system refuses one when its table is full.
  if (device::RegisteredMessage(u"") != 0) GTEST_SKIP() << "this system takes empty names";
  EXPECT_FALSE(device::IsRegisteredMessage(0, u""));  // WM_NULL, the hung-window probe
  EXPECT_TRUE(device::IsRegisteredMessage(device::RegisteredMessage(device::kAmPairStart),
                                          device::kAmPairStart));
}

TEST(RegisteredMessages, SameNameSameIdentifierAtAnyTimeDistinctNamesDistinct) {
  const char16_t* names[] = {device::kAmPairStart,
                             device::kAmPairGetId,
                             device::kAmPairReturnId,
                             device::kAmPairStop,
                             device::kAmChannelSettingExRequestRfInfo,
                             device::kAmChannelSettingExRfInfo,
                             device::kAmDeviceRemove};
  std::vector<uint32_t> ids;
  for (const char16_t* n : names) {
    const uint32_t id = device::RegisteredMessage(n);
    EXPECT_GE(id, 0xC000u);
    EXPECT_LE(id, 0xFFFFu);
    ids.push_back(id);
  }
  std::vector<uint32_t> sorted = ids;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end());
  // A module registering the same name (here as its own copy, in another case) later.
  const std::u16string copy = u"am_pair_get_id";
  EXPECT_EQ(device::RegisteredMessage(copy.c_str()), ids[1]);
  EXPECT_EQ(device::RegisteredMessage(device::kAmPairStart), ids[0]);
}

TEST(RegisteredMessages, AMessageOutsideTheRegisteredRangeIsAnsweredWithoutAskingTheSystem) {
  // Every message to the main window is compared with four names; the standard ones (below
  // 0xC000) must not cost a request each. Shown with the stand-in, which numbers names in the
  // order it is first asked for them.
#ifdef _WIN32
  GTEST_SKIP() << "the system's identifiers do not show the order of requests";
#endif
  EXPECT_FALSE(device::IsRegisteredMessage(0x000F, u"TANDREL_TEST_NEVER_ASKED_1"));  // WM_PAINT
  EXPECT_FALSE(device::IsRegisteredMessage(0xBFFF, u"TANDREL_TEST_NEVER_ASKED_1"));
  EXPECT_FALSE(device::IsRegisteredMessage(0x10000, u"TANDREL_TEST_NEVER_ASKED_1"));
  const uint32_t before = device::RegisteredMessage(u"TANDREL_TEST_ASKED_FIRST");
  EXPECT_EQ(device::RegisteredMessage(u"TANDREL_TEST_NEVER_ASKED_1"), before + 1);
  // Inside the range the name is asked for, and matches its own identifier only.
  EXPECT_TRUE(device::IsRegisteredMessage(before, u"TANDREL_TEST_ASKED_FIRST"));
  EXPECT_FALSE(device::IsRegisteredMessage(before + 1, u"TANDREL_TEST_ASKED_FIRST"));
}

}  // namespace

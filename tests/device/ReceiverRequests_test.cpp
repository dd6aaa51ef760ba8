// The receiver requests against the simulated receiver, in-process: what reaches the receiver,
// what the request reports, and above all that a store never reports a table it did not write.
#include "device/ReceiverRequests.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/InProcessLibrary.h"
#include "device/RequestsRig.h"

namespace {

using device::ReceiverFound;
using testing_support::CountingClock;
using testing_support::kPairedReceiver;
using testing_support::Rig;

device::ReceiverCommands::Block Edited(device::ReceiverCommands::Block block) {
  device::EditKind1(block, 0x51234, 0x85, 0x3C);
  return block;
}

TEST(ReceiverCheck, OneNoneSeveralOrTooOld) {
  struct Case {
    std::string scenario;
    ReceiverFound found;
    int32_t firmware;
  };
  const std::vector<Case> cases = {
      {"[receiver]\nfamily = 1\nfirmware = 38\n", ReceiverFound::One, 38},
      {"[receiver]\nfamily = 1\nfirmware = 37\n", ReceiverFound::FirmwareTooOld, 37},
      {"", ReceiverFound::None, 0},
      {"[receiver]\nfamily = 2\n[receiver]\nfamily = 2\n", ReceiverFound::Several, 0},
      // Two of the first family: the second family's single receiver is taken.
      {"[receiver]\nfamily = 1\n[receiver]\nfamily = 1\n[receiver]\nfamily = 2\nfirmware = 40\n",
       ReceiverFound::One, 40},
      // A failed version read counts as version 0.
      {"[receiver]\nfamily = 1\nfirmware = 38\nfail.0xB501.0x058F = 1\n",
       ReceiverFound::FirmwareTooOld, 0},
  };
  for (const Case& c : cases) {
    Rig rig(c.scenario);
    const device::ReceiverCheck check = rig.requests.CheckReceiver();
    EXPECT_EQ(check.found, c.found) << c.scenario;
    EXPECT_EQ(check.firmware, c.firmware) << c.scenario;
  }
  // Without a library: no receiver, nothing called.
  testing_support::NoLibrary none;
  device::ReceiverCommands receiver(none);
  CountingClock clock;
  EXPECT_EQ(device::ReceiverRequests(none, receiver, clock).CheckReceiver().found,
            ReceiverFound::None);
}

TEST(PairStart, WalksTheParameterTableAndAFailedStartStillUsesItsEntry) {
  Rig rig("[receiver]\npath = R1\ntag = 1\nfail.0xBE01 = 3\n");
  std::vector<bool> results;
  for (int i = 0; i < 12; ++i) results.push_back(rig.requests.DoPairStart());
  std::vector<std::string> params;
  for (const auto& line : rig.trace)
    if (const size_t at = line.find("cmd=0xBE01 param="); at != std::string::npos)
      params.push_back(line.substr(at + 17, 6));
  const std::vector<std::string> expected = {"0x0006", "0x0007", "0x0008", "0x000C",
                                             "0x000E", "0x0010", "0x0014", "0x0018",
                                             "0x001C", "0x001D", "0x0002", "0x0006"};
  EXPECT_EQ(params, expected);
  EXPECT_FALSE(results[2]);
  EXPECT_TRUE(results[3]);
  // No pause and no pairing start after the failed parameter.
  EXPECT_EQ(rig.Count("cmd=0xBF02 param=0x0001"), 11u);
  EXPECT_EQ(rig.clock.pauses, std::vector<uint32_t>(11, 20));
  EXPECT_TRUE(rig.requests.DoPairStop());
  EXPECT_EQ(rig.Count("cmd=0xBF02 param=0x0000"), 1u);
}

TEST(NewDevice, NoDeviceOrAFailedReadIsKindMinusOneWithoutTouchingTheBlock) {
  Rig none("[receiver]\npath = R1\ntag = 1\ninfo.6 = 0D 12 34 00 00 00 80 85\n");
  device::NewDevice device{1, 5};
  EXPECT_TRUE(none.requests.ReadNewDeviceId(device));
  EXPECT_EQ(device.kind, -1);
  EXPECT_EQ(device.identifier, 0u);
  EXPECT_EQ(none.Count("cmd=0xB501") + none.Count("cmd=0xB502"), 0u);

  Rig failed(std::string(kPairedReceiver) + "fail.0xB600.0x0004 = 1\n");
  device = {1, 5};
  EXPECT_FALSE(failed.requests.ReadNewDeviceId(device));
  EXPECT_EQ(device.kind, -1);
  EXPECT_EQ(device.identifier, 0u);
}

TEST(Store, AKindOneDeviceLandsInTheTableBetweenModeWritesWithTheirPauses) {
  Rig rig(kPairedReceiver);
  const device::ReceiverCommands::Block before = rig.Table();
  device::NewDevice device;
  ASSERT_TRUE(rig.requests.ReadNewDeviceId(device));
  EXPECT_EQ(device.kind, 1);
  EXPECT_EQ(device.identifier, 0x51234u);
  EXPECT_EQ(rig.Table(), Edited(before));
  EXPECT_EQ(rig.Table()[120], 0x5AA4);
  EXPECT_EQ(rig.Table()[117], 0xBEEF);  // the other device stays
  EXPECT_EQ(rig.Count("cmd=0xB502"), 1u);
  EXPECT_EQ(rig.Count("cmd=0xBF01 param=0x0001"), 1u);
  EXPECT_EQ(rig.Count("cmd=0xBF01 param=0x0002"), 1u);
  EXPECT_EQ(rig.clock.pauses, (std::vector<uint32_t>{100, 100}));
}

TEST(Store, OneVerifyDifferenceIsMendedByOneRewrite) {
  Rig rig(kPairedReceiver);
  const device::ReceiverCommands::Block before = rig.Table();
  // The first read-back of word 0x2725 (chunk 1) answers with one bit flipped.
  bool flipped = false;
  rig.fault = [&](size_t, bool write, uint32_t command, uint32_t parameter, uint8_t* buffer) {
    if (!write && command == 0xB501 && parameter == 0x2725 && !flipped &&
        rig.Count("cmd=0xB502") > 0) {
      flipped = true;
      buffer[0] ^= 0x01;
    }
    return true;
  };
  device::NewDevice device;
  EXPECT_TRUE(rig.requests.ReadNewDeviceId(device));
  EXPECT_TRUE(flipped);
  EXPECT_EQ(device.kind, 1);
  EXPECT_EQ(rig.Count("cmd=0xB502"), 2u);  // one rewrite, begin command included
  EXPECT_EQ(rig.Table(), Edited(before));
  EXPECT_EQ(rig.Count("cmd=0xBF01 param=0x0002"), 1u);
}

TEST(Store, ADifferenceAtEveryCommitGivesUpAfterThreeAttemptsAndSaysNoDevice) {
  Rig rig(std::string(kPairedReceiver) + "corrupt.0x2725 = 0x0001\n");
  device::NewDevice device;
  EXPECT_FALSE(rig.requests.ReadNewDeviceId(device));
  EXPECT_EQ(device.kind, -1);
  EXPECT_EQ(device.identifier, 0u);
  EXPECT_EQ(rig.Count("cmd=0xB502"), 3u);
  // The mode is set back and waited for all the same, after the last attempt.
  EXPECT_EQ(rig.Count("cmd=0xBF01 param=0x0002"), 1u);
  EXPECT_NE(rig.trace.back().find("cmd=0xBF01 param=0x0002"), std::string::npos);
  EXPECT_EQ(rig.clock.pauses, (std::vector<uint32_t>{100, 100}));
}

TEST(Radio, AnUnreadablePageIsTriedThreeTimesTwentyMillisecondsApart) {
  Rig once(
      "[receiver]\npath = R1\ntag = 1\ninfo.4 = 00 2A E7\ndrift = 0\nfail.0xB600.0x0004 = 1\n");
  const auto radio = once.requests.ReadRadioInfo();
  ASSERT_TRUE(radio.has_value());
  EXPECT_EQ(radio->channel, 7u);
  EXPECT_EQ(radio->level, 42u);
  EXPECT_EQ(once.clock.pauses, std::vector<uint32_t>{20});

  Rig gone("[receiver]\npath = R1\ntag = 1\nfail.0xB600.0x0004 = 1 2 3\n");
  EXPECT_FALSE(gone.requests.ReadRadioInfo().has_value());
  EXPECT_EQ(gone.Count("cmd=0xB600 param=0x0004"), 3u);
  EXPECT_EQ(gone.clock.pauses, (std::vector<uint32_t>{20, 20}));
}

// A library that dispatches messages while it waits lets the next request in, inside one of its
// calls. At every call of a store, each request arriving so is refused with its failure value and
// sends nothing to the receiver; the store goes on and leaves the table a single store writes.
TEST(Reentry, ARequestInsideAnotherRequestsLibraryCallIsRefusedAndTouchesNothing) {
  Rig single(kPairedReceiver);
  device::NewDevice stored;
  ASSERT_TRUE(single.requests.ReadNewDeviceId(stored));
  const size_t storeCalls = single.calls;
  ASSERT_GT(storeCalls, 100u);

  for (size_t at = 0; at < storeCalls; at += 7) {
    Rig rig(kPairedReceiver);
    int refused = 0;
    rig.fault = [&](size_t index, bool, uint32_t, uint32_t, uint8_t*) {
      if (index != at) return true;
      EXPECT_TRUE(rig.requests.Busy());
      const size_t before = rig.calls;
      const size_t traced = rig.trace.size();
      device::NewDevice nested;
      nested.kind = 7;
      refused += !rig.requests.ReadNewDeviceId(nested);
      EXPECT_EQ(nested.kind, -1);
      EXPECT_EQ(nested.identifier, 0u);
      refused += !rig.requests.DoPairStart();
      refused += !rig.requests.DoPairStop();
      refused += !rig.requests.StoreKind2Id(0x12345);
      refused += !rig.requests.ReadRadioInfo().has_value();
      refused += rig.requests.CheckReceiver().found == ReceiverFound::None;
      EXPECT_EQ(rig.calls, before) << "a refused request called the library";
      EXPECT_EQ(rig.trace.size(), traced) << "a refused request reached the receiver";
      return true;
    };
    device::NewDevice device;
    EXPECT_TRUE(rig.requests.ReadNewDeviceId(device)) << at;
    EXPECT_EQ(refused, 6) << at;
    EXPECT_EQ(device.kind, stored.kind);
    EXPECT_EQ(rig.Table(), single.Table()) << "call " << at;
    EXPECT_FALSE(rig.requests.Busy());
  }
  // The first call after the store is a request of its own again.
  Rig rig(kPairedReceiver);
  device::NewDevice device;
  ASSERT_TRUE(rig.requests.ReadNewDeviceId(device));
  EXPECT_TRUE(rig.requests.DoPairStop());
}

// A close inside a library call frees the library only once that call has returned: never under
// its own code, and once however often it is asked for. A load meanwhile calls the free off.
TEST(Reentry, AFreeInsideALibraryCallWaitsForTheCallToReturn) {
  Rig rig(kPairedReceiver);
  device::DeviceLibrary& library = rig.Devices();
  bool insideFreed = false;
  rig.fault = [&](size_t index, bool, uint32_t, uint32_t, uint8_t*) {
    if (index != 0) return true;
    library.Free();
    library.Free();
    EXPECT_TRUE(library.InCall());
    insideFreed = !library.Loaded();
    return true;
  };
  device::ReceiverCommands::InfoPage page{};
  EXPECT_TRUE(rig.receiver.ReadInfo(4, page));  // the call itself completes
  EXPECT_FALSE(insideFreed) << "freed under the library's own code";
  EXPECT_FALSE(library.InCall());
  EXPECT_FALSE(library.Loaded()) << "not freed once the call returned";
  EXPECT_FALSE(rig.receiver.ReadInfo(4, page));

  library.Load();
  rig.fault = [&](size_t, bool, uint32_t, uint32_t, uint8_t*) {
    library.Free();
    library.Load();
    return true;
  };
  EXPECT_TRUE(rig.receiver.ReadInfo(4, page));
  EXPECT_TRUE(library.Loaded()) << "a load after the free calls it off";
}

}  // namespace

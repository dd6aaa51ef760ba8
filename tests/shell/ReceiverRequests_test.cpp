// The receiver requests against the simulated receiver, in-process: what reaches the receiver,
// what the request reports, and above all that a store never reports a table it did not write.
#include "shell/ReceiverRequests.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/InProcessLibrary.h"
#include "outside/devicemanager/Simulator.h"

namespace {

using requests::ReceiverFound;
using testing_support::Exports;
using testing_support::InProcessLibrary;

// Pauses advance the simulator's clock instead of the wall clock.
struct CountingClock : requests::PauseClock {
  void Pause(uint32_t ms) override {
    pauses.push_back(ms);
    now += ms;
  }
  std::vector<uint32_t> pauses;
  uint64_t now = 0;
};

// A device reported on info page 6 (kind 1, identifier 0x51234, attribute 0x85), a radio page
// with extra byte 0x3C, and a pairing block already holding a kind-2 device (words 116/117).
constexpr char kPairedReceiver[] =
    "[receiver]\npath = R1\ntag = 1\nfirmware = 38\ndrift = 0\n"
    "info.6 = 0D 12 34 00 00 00 20 85\ninfo.4 = 00 2A E7 00 00 3C\n"
    "word.0x2774 = 0x0003\nword.0x2775 = 0xBEEF\nword.0x2778 = 0x5A00\n";

// The simulator behind a library whose calls a test may tamper with: `fault` sees each Write and
// Read by its position from 0 in the test's sequence and may fail it (the receiver never sees
// it) or, for a read, change what the receiver answered.
class Rig {
 public:
  // Return false to fail the call; `buffer` is the read's data after the receiver answered.
  using Fault = std::function<bool(size_t index, bool write, uint32_t command, uint32_t parameter,
                                   uint8_t* buffer)>;

  explicit Rig(const std::string& scenario)
      : sim_(
            devicemanager::ParseScenario(scenario),
            [this](std::string_view line) { trace.emplace_back(line); },
            [this] { return clock.now; }),
        library_(Wrap(testing_support::ExportsOf(sim_))),
        receiver(library_.Devices()),
        requests(library_.Devices(), receiver, clock) {
    receiver.SetDevice(u"R1", 1);
  }

  TBRIMAC::Block Table() {
    const auto& memory = sim_.Find(u"R1")->memory;
    TBRIMAC::Block block;
    for (size_t i = 0; i < block.size(); ++i) block[i] = memory[0x2700 + i];
    return block;
  }
  size_t Count(const std::string& needle) const {
    size_t n = 0;
    for (const auto& line : trace) n += line.find(needle) != std::string::npos;
    return n;
  }

  Fault fault;
  size_t calls = 0;
  std::vector<std::string> trace;
  CountingClock clock;

 private:
  Exports Wrap(Exports e) {
    auto write = e.write;
    auto read = e.read;
    e.write = [this, write](const char16_t* p, uint32_t t, uint32_t c, uint32_t v, uint32_t n) {
      const size_t index = calls++;
      if (fault && !fault(index, true, c, v, nullptr)) return false;
      return write(p, t, c, v, n);
    };
    e.read = [this, read](const char16_t* p, uint32_t t, uint32_t c, uint32_t v, uint32_t n,
                          void* b) {
      const size_t index = calls++;
      if (!read(p, t, c, v, n, b)) return false;
      return !fault || fault(index, false, c, v, static_cast<uint8_t*>(b));
    };
    return e;
  }

  devicemanager::Simulator sim_;
  InProcessLibrary library_;

 public:
  TBRIMAC receiver;
  requests::ReceiverRequests requests;
};

TBRIMAC::Block Edited(TBRIMAC::Block block) {
  pairing::EditKind1(block, 0x51234, 0x85, 0x3C);
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
    const requests::ReceiverCheck check = rig.requests.CheckReceiver();
    EXPECT_EQ(check.found, c.found) << c.scenario;
    EXPECT_EQ(check.firmware, c.firmware) << c.scenario;
  }
  // Without a library: no receiver, nothing called.
  testing_support::NoLibrary none;
  TBRIMAC receiver(none);
  CountingClock clock;
  EXPECT_EQ(requests::ReceiverRequests(none, receiver, clock).CheckReceiver().found,
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
  pairing::NewDevice device{1, 5};
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
  const TBRIMAC::Block before = rig.Table();
  pairing::NewDevice device;
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
  const TBRIMAC::Block before = rig.Table();
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
  pairing::NewDevice device;
  EXPECT_TRUE(rig.requests.ReadNewDeviceId(device));
  EXPECT_TRUE(flipped);
  EXPECT_EQ(device.kind, 1);
  EXPECT_EQ(rig.Count("cmd=0xB502"), 2u);  // one rewrite, begin command included
  EXPECT_EQ(rig.Table(), Edited(before));
  EXPECT_EQ(rig.Count("cmd=0xBF01 param=0x0002"), 1u);
}

TEST(Store, ADifferenceAtEveryCommitGivesUpAfterThreeAttemptsAndSaysNoDevice) {
  Rig rig(std::string(kPairedReceiver) + "corrupt.0x2725 = 0x0001\n");
  pairing::NewDevice device;
  EXPECT_FALSE(rig.requests.ReadNewDeviceId(device));
  EXPECT_EQ(device.kind, -1);
  EXPECT_EQ(device.identifier, 0u);
  EXPECT_EQ(rig.Count("cmd=0xB502"), 3u);
  // The mode is set back and waited for all the same, after the last attempt.
  EXPECT_EQ(rig.Count("cmd=0xBF01 param=0x0002"), 1u);
  EXPECT_NE(rig.trace.back().find("cmd=0xBF01 param=0x0002"), std::string::npos);
  EXPECT_EQ(rig.clock.pauses, (std::vector<uint32_t>{100, 100}));
}

TEST(Store, FailingAnyOneCallNeverReportsATableTheReceiverDoesNotHold) {
  // The clean store gives the number of calls; then each of them fails once in turn, and then
  // each is the last the receiver answers before it is pulled out.
  Rig clean(kPairedReceiver);
  const TBRIMAC::Block edited = Edited(clean.Table());
  pairing::NewDevice device;
  ASSERT_TRUE(clean.requests.ReadNewDeviceId(device));
  const size_t total = clean.calls;
  ASSERT_GT(total, 389u + 32u);

  size_t falseSuccesses = 0, successes = 0;
  for (const bool unplug : {false, true}) {
    for (size_t k = 0; k < total; ++k) {
      Rig rig(kPairedReceiver);
      rig.fault = [&](size_t index, bool, uint32_t, uint32_t, uint8_t*) {
        return unplug ? index <= k : index != k;
      };
      const bool ok = rig.requests.ReadNewDeviceId(device);
      const bool holds = rig.Table() == edited;
      if (ok) ++successes;
      if (ok && !holds) ++falseSuccesses;
      EXPECT_EQ(device.kind, ok ? 1 : -1) << k;
    }
  }
  EXPECT_EQ(falseSuccesses, 0u);
  // A single failure is mended by a rewrite; most sequences still succeed.
  EXPECT_GT(successes, total / 2);
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

}  // namespace

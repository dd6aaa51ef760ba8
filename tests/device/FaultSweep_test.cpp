// Every receiver sequence of the main window with every call failed once in turn, and with the
// receiver pulled out after every call in turn: no crash, no hang, and no success that the
// receiver does not bear out.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "device/RequestsRig.h"

namespace {

using device::ReceiverFound;
using testing_support::kPairedReceiver;
using testing_support::Rig;

struct Sequence {
  std::string name;
  std::string scenario;
  // Runs the sequence; true when it reports success.
  std::function<bool(Rig&)> run;
  // Whether the receiver (and what the sequence handed back) bears a reported success out.
  std::function<bool(Rig&)> borneOut;
};

device::ReceiverCommands::Block Table(
    const std::string& scenario,
    const std::function<void(device::ReceiverCommands::Block&)>& edit) {
  Rig rig(scenario);
  device::ReceiverCommands::Block block = rig.Table();
  edit(block);
  return block;
}

std::vector<Sequence> Sequences() {
  std::vector<Sequence> all;
  const auto check = [&](std::string name, std::string scenario, ReceiverFound expected) {
    all.push_back({std::move(name), std::move(scenario),
                   [](Rig& r) { return r.requests.CheckReceiver().found == ReceiverFound::One; },
                   [expected](Rig& r) {
                     return expected == ReceiverFound::One && r.receiver.DevicePath() == u"R1";
                   }});
  };
  check("check: one receiver", "[receiver]\nfamily = 1\npath = R1\nfirmware = 38\n",
        ReceiverFound::One);
  check("check: the alternate identifier", "[receiver]\nfamily = 1alt\npath = R1\nfirmware = 40\n",
        ReceiverFound::One);
  check("check: firmware too old", "[receiver]\nfamily = 1\npath = R1\nfirmware = 37\n",
        ReceiverFound::FirmwareTooOld);
  check("check: older version word", "[receiver]\nfamily = 1\npath = R1\nfirmware.0x058F = 39\n",
        ReceiverFound::One);
  check("check: no receiver", "", ReceiverFound::None);
  check("check: two of the second family", "[receiver]\nfamily = 2\n[receiver]\nfamily = 2\n",
        ReceiverFound::Several);
  check("check: two first, one second",
        "[receiver]\nfamily = 1\n[receiver]\nfamily = 1\n[receiver]\nfamily = 2\npath = R1\n"
        "firmware = 38\n",
        ReceiverFound::One);

  all.push_back({"pair start", "[receiver]\npath = R1\ntag = 1\n",
                 [](Rig& r) { return r.requests.DoPairStart(); },
                 [](Rig& r) { return r.State().pairing && r.State().parameters[1] == 6; }});
  all.push_back({"pair stop", "[receiver]\npath = R1\ntag = 1\n",
                 [](Rig& r) {
                   r.State().pairing = true;
                   return r.requests.DoPairStop();
                 },
                 [](Rig& r) { return !r.State().pairing; }});

  const std::string kind2 = std::string(kPairedReceiver) + "info.6 = 00 00 00 04 56 78 40 00\n";
  const device::ReceiverCommands::Block kind1Table =
      Table(kPairedReceiver,
            [](device::ReceiverCommands::Block& b) { device::EditKind1(b, 0x51234, 0x85, 0x3C); });
  const device::ReceiverCommands::Block kind2Table =
      Table(kind2, [](device::ReceiverCommands::Block& b) { device::EditKind2(b, 0x45678); });
  const auto store = [&](std::string name, std::string scenario,
                         device::ReceiverCommands::Block table, device::NewDevice expected) {
    auto device = std::make_shared<device::NewDevice>();
    all.push_back({std::move(name), std::move(scenario),
                   [device](Rig& r) { return r.requests.ReadNewDeviceId(*device); },
                   [device, table, expected](Rig& r) {
                     return r.Table() == table && device->kind == expected.kind &&
                            device->identifier == expected.identifier;
                   }});
  };
  store("new device: kind 1", kPairedReceiver, kind1Table, {1, 0x51234});
  store("new device: kind 2", kind2, kind2Table, {2, 0x45678});
  store("new device: none", std::string(kPairedReceiver) + "info.6 = 00 00 00 00 00 00 80 00\n",
        Table(kPairedReceiver, [](device::ReceiverCommands::Block&) {}), {-1, 0});

  auto radio = std::make_shared<std::optional<device::RadioInfo>>();
  all.push_back({"radio", "[receiver]\npath = R1\ntag = 1\ninfo.4 = 00 2A E7\ndrift = 0\n",
                 [radio](Rig& r) { return (*radio = r.requests.ReadRadioInfo()).has_value(); },
                 [radio](Rig&) { return (*radio)->channel == 7 && (*radio)->level == 42; }});
  return all;
}

TEST(FaultSweep, NoSequenceReportsASuccessTheReceiverDoesNotBearOut) {
  size_t sequences = 0, failedCalls = 0, falseSuccesses = 0;
  for (const Sequence& s : Sequences()) {
    Rig clean(s.scenario);
    const bool cleanOk = s.run(clean);
    EXPECT_EQ(cleanOk, s.borneOut(clean)) << s.name << " without faults";
    const size_t total = clean.calls;
    ASSERT_GT(total, 0u) << s.name;
    for (const bool unplug : {false, true}) {
      for (size_t k = 0; k < total; ++k) {
        Rig rig(s.scenario);
        // Failed once, or the last call the receiver answers before it is pulled out.
        rig.fault = [&](size_t index, bool, uint32_t, uint32_t, uint8_t*) {
          return unplug ? index <= k : index != k;
        };
        const bool ok = s.run(rig);
        ++sequences;
        failedCalls += unplug ? rig.calls - std::min(rig.calls, k + 1) : 1;
        if (ok && !s.borneOut(rig)) {
          ++falseSuccesses;
          ADD_FAILURE() << s.name << ": call " << k << (unplug ? " then unplugged" : " failed");
        }
        // Bounded: at most three block writes and three radio reads more than the clean run.
        EXPECT_LE(rig.calls, total + 2 * 389 + 2) << s.name;
      }
    }
  }
  std::printf("fault sweep: %zu sequences, %zu calls failed, %zu false successes\n", sequences,
              failedCalls, falseSuccesses);
  EXPECT_EQ(falseSuccesses, 0u);
}

}  // namespace

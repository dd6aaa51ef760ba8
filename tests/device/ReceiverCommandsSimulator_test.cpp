// The receiver command set against the simulator's core, in-process: whole blocks through the
// receiver's staging, commit and read-back, and every single failure on the way is reported.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "device/ReceiverCommands.h"
#include "device/InProcessLibrary.h"

namespace {

using devicemanager::ParseScenario;
using devicemanager::Simulator;
using testing_support::ExportsOf;
using testing_support::InProcessLibrary;

// Every byte differs from the erased 0xFF, from the zeroed staging area and from the same
// position of the neighbouring chunks, so a byte that does not arrive shows.
device::ReceiverCommands::Block Pattern() {
  device::ReceiverCommands::Block b;
  for (size_t i = 0; i < b.size(); ++i) b[i] = static_cast<uint16_t>((i + 0x40) << 8 | (i + 1));
  return b;
}

struct Outcome {
  bool written = false, read = false;
  device::ReceiverCommands::Block back{};
  std::vector<std::string> trace;
};

Outcome WriteAndReadBack(const std::string& faults) {
  Outcome run;
  uint64_t now = 0;
  Simulator sim(
      ParseScenario("[receiver]\npath = R\ntag = 3\n" + faults),
      [&run](std::string_view line) { run.trace.emplace_back(line); }, [&now] { return now; });
  InProcessLibrary library(ExportsOf(sim));
  device::ReceiverCommands receiver(library.Devices());
  receiver.SetDevice(u"R", 3);
  run.written = receiver.WriteBlock(0x2700, Pattern());
  run.read = receiver.ReadBlock(0x2700, run.back);
  return run;
}

TEST(BrimacOnSimulator, BlockWrittenReadsBackTheSame) {
  const Outcome run = WriteAndReadBack("");
  EXPECT_TRUE(run.written);
  EXPECT_TRUE(run.read);
  EXPECT_EQ(run.back, Pattern());
  EXPECT_EQ(run.trace.size(), 389u + 32u);
}

TEST(BrimacOnSimulator, AFaultInAnySingleCallIsReported) {
  // The clean run gives the sequence of calls; then each call in turn is made to fail, named as
  // a scenario names it: the n-th occurrence of its command and parameter.
  const Outcome clean = WriteAndReadBack("");
  std::map<std::pair<unsigned, unsigned>, unsigned> seen;
  for (size_t i = 0; i < clean.trace.size(); ++i) {
    unsigned cmd = 0, param = 0;
    ASSERT_EQ(std::sscanf(clean.trace[i].c_str(), "%*s path=\"R\" tag=0x0003 cmd=0x%X param=0x%X",
                          &cmd, &param),
              2)
        << clean.trace[i];
    const unsigned n = ++seen[{cmd, param}];
    char rule[64];
    std::snprintf(rule, sizeof rule, "fail.0x%04X.0x%04X = %u\n", cmd, param, n);
    const Outcome run = WriteAndReadBack(rule);
    // Exactly the chosen call failed, and the sequence did not report a success.
    size_t failed = 0;
    for (const auto& line : run.trace) failed += line.find("(fault)") != std::string::npos;
    EXPECT_EQ(failed, 1u) << rule;
    EXPECT_FALSE(run.written && run.read) << "call " << i << ": " << rule;
  }
}

TEST(BrimacOnSimulator, CorruptedWordFailsTheVerifyOfItsChunk) {
  const Outcome run = WriteAndReadBack("corrupt.0x2745 = 0x0004\n");
  EXPECT_FALSE(run.written);
  // Chunks 0 to 2 were written; the rest of the block stays erased.
  EXPECT_TRUE(run.read);
  EXPECT_EQ(run.back[0x45], Pattern()[0x45] ^ 0x0004);
  EXPECT_EQ(run.back[0x5F], Pattern()[0x5F]);
  EXPECT_EQ(run.back[0x60], 0xFFFF);
}

TEST(BrimacOnSimulator, UnpluggedReceiverFailsEverythingFromThenOn) {
  const Outcome run = WriteAndReadBack("unplug.calls = 100\n");
  EXPECT_FALSE(run.written);
  EXPECT_FALSE(run.read);
  EXPECT_THAT(run.trace.back(), ::testing::EndsWith("-> 0 (unplugged)"));
}

TEST(BrimacOnSimulator, FirmwareVersionsOfTheScenario) {
  const struct {
    const char* receiver;
    int32_t version;
  } cases[] = {
      {"firmware = 38\n", 38},
      {"firmware = 37\n", 37},
      {"firmware.0x058F = 41\nfirmware = 12\n", 41},
      {"", -1},
      {"word.0x2701 = 0xA538\n", -1},
      {"firmware = 40\nfail.0xB501.0x058F = 1\n", 0},
  };
  for (const auto& c : cases) {
    Simulator sim(ParseScenario(std::string("[receiver]\npath = R\n") + c.receiver));
    InProcessLibrary library(ExportsOf(sim));
    device::ReceiverCommands receiver(library.Devices());
    receiver.SetDevice(u"R", 1);
    EXPECT_EQ(receiver.ReadFirmwareVersion(), c.version) << c.receiver;
  }
}

TEST(BrimacOnSimulator, PairingReportsTheScheduledDevicesOnceEach) {
  uint64_t now = 1000;
  Simulator sim(ParseScenario("[receiver]\npath = R\nchannel = 9\nsignal = 80\n"
                              "pair = 3000 1 0x51234 0x85 0x3C\npair = 6000 2 0x2ABCD\n"),
                {}, [&now] { return now; });
  InProcessLibrary library(ExportsOf(sim));
  device::ReceiverCommands receiver(library.Devices());
  receiver.SetDevice(u"R", 1);
  device::ReceiverCommands::InfoPage a{}, b{};

  ASSERT_TRUE(receiver.SetParameter(1, 6));
  ASSERT_TRUE(receiver.StartPairing());
  now += 2999;
  ASSERT_TRUE(receiver.ReadInfo(6, a));
  EXPECT_EQ(a[6] & 0x60, 0);
  now += 1;
  ASSERT_TRUE(receiver.ReadInfo(6, a));
  ASSERT_TRUE(receiver.ReadInfo(4, b));
  EXPECT_THAT(a, ::testing::ElementsAre(0x05, 0x12, 0x34, 0, 0, 0, 0x20, 0x85));
  EXPECT_EQ(b[5], 0x3C);
  ASSERT_TRUE(receiver.ReadInfo(6, a));  // reported once
  EXPECT_EQ(a[6] & 0x60, 0);
  now += 3000;
  ASSERT_TRUE(receiver.ReadInfo(6, a));
  EXPECT_THAT(a, ::testing::ElementsAre(0, 0, 0, 0x02, 0xAB, 0xCD, 0x40, 0));
  ASSERT_TRUE(receiver.StopPairing());
}

}  // namespace

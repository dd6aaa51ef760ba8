// The receiver simulator's core, in-process: the scenario format and what each command does to
// a receiver, with the trace it leaves.
#include "outside/devicemanager/Simulator.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <set>
#include <sstream>

namespace {

using devicemanager::ParseScenario;
using devicemanager::Scenario;
using devicemanager::Simulator;
using ::testing::ElementsAre;

TEST(Scenario, ReadsLibrarySettingsAndReceiversWithDefaults) {
  const Scenario sc = ParseScenario(
      "\xEF\xBB\xBF# comment\r\n[Library]\r\ninitial = -5\r\ntrace = \"out trace.log\"\r\n"
      "[receiver]\r\nfamily = 2\r\nfirmware = 41\r\nword.0x058F = 0xA426\r\ninfo.6 = 01 02 03\r\n"
      "; another comment\n[receiver]\nvendor = 0x1234\nproduct = 0x5678\npath = P#2\ntag = 9\n");
  EXPECT_THAT(sc.problems, ::testing::IsEmpty());
  EXPECT_EQ(sc.initialResult, -5);
  EXPECT_EQ(sc.traceFile, u"out trace.log");
  ASSERT_EQ(sc.receivers.size(), 2u);
  const auto& a = sc.receivers[0];
  EXPECT_EQ(a.vendorId, devicemanager::kVendorId);
  EXPECT_EQ(a.productId, devicemanager::kFamily2ProductId);
  EXPECT_EQ(a.tag, 1);  // position + 1
  EXPECT_FALSE(a.path.empty());
  EXPECT_EQ(a.words.at(0x2701), 0xA441);
  EXPECT_EQ(a.words.at(0x058F), 0xA426);
  EXPECT_THAT(a.infoPages.at(6), ElementsAre(1, 2, 3, 0, 0, 0, 0, 0));
  const auto& b = sc.receivers[1];
  EXPECT_EQ(b.vendorId, 0x1234);
  EXPECT_EQ(b.productId, 0x5678);
  EXPECT_EQ(b.path, u"P#2");  // '#' inside a value is no comment
  EXPECT_EQ(b.tag, 9);
}

TEST(Scenario, DefaultPathsDifferPerReceiver) {
  const Scenario sc = ParseScenario("[receiver]\n[receiver]\nfamily = 1alt\n");
  ASSERT_EQ(sc.receivers.size(), 2u);
  EXPECT_NE(sc.receivers[0].path, sc.receivers[1].path);
  EXPECT_EQ(sc.receivers[1].productId, devicemanager::kFamily1AltProductId);
  EXPECT_LT(sc.receivers[0].path.size(), 128u);
}

TEST(Scenario, ListsWhatItDoesNotUnderstandAndKeepsTheRest) {
  const Scenario sc = ParseScenario(
      "stray = 1\n[library]\ninitial = x\ncolour = red\n[receiver]\nfamily = 3\ntag = 0x10000\n"
      "word.0x8000 = 1\ninfo.4 = 0102030405060708090A\nfirmware = 38\nno equals sign\n[other]\n");
  EXPECT_THAT(sc.problems,
              ElementsAre("line 1: key outside a known section", "line 3: bad value for 'initial'",
                          "line 4: unknown key 'colour'", "line 6: bad value for 'family'",
                          "line 7: bad value for 'tag'", "line 8: bad value for 'word.0x8000'",
                          "line 9: bad value for 'info.4'", "line 11: not a key = value line",
                          "line 12: unknown section [other]"));
  ASSERT_EQ(sc.receivers.size(), 1u);
  EXPECT_EQ(sc.receivers[0].words.at(0x2701), 0xA438);
}

TEST(Scenario, LongPathIsCutToWhatTheCallerCanHold) {
  const Scenario sc = ParseScenario("[receiver]\npath = " + std::string(200, 'p') + "\n");
  EXPECT_EQ(sc.receivers[0].path.size(), 127u);
}

class Receiver : public ::testing::Test {
 protected:
  Receiver()
      : sim_(
            ParseScenario("[receiver]\npath = R\ntag = 5\nword.0x058F = 0x1234\n"
                          "info.4 = 10 21 32\n"),
            [this](std::string_view line) { trace_.emplace_back(line); }, [this] { return now_; }) {
  }

  uint16_t WordAt(uint16_t address) {
    uint8_t b[2] = {};
    EXPECT_TRUE(sim_.Read(u"R", 5, 0xB501, address, 2, b));
    return static_cast<uint16_t>(b[0] | b[1] << 8);
  }

  uint64_t now_ = 0;
  Simulator sim_;
  std::vector<std::string> trace_;
};

TEST_F(Receiver, StagedBytesCommitAsLittleEndianWords) {
  EXPECT_TRUE(sim_.Write(u"R", 5, 0xB502, 0x2700, 1));
  // Word 3 = 0x12AB: low byte at offset 6, high byte at offset 7.
  EXPECT_TRUE(sim_.Write(u"R", 5, 0xB504, 0xAB06, 1));
  EXPECT_TRUE(sim_.Write(u"R", 5, 0xB504, 0x1207, 1));
  EXPECT_TRUE(sim_.Write(u"R", 5, 0xB500, 0xA720, 1));
  EXPECT_EQ(WordAt(0x2723), 0x12AB);
  // The other 31 words of the chunk come from the untouched (zero) staging area.
  EXPECT_EQ(WordAt(0x2720), 0x0000);
  EXPECT_EQ(WordAt(0x273F), 0x0000);
  EXPECT_EQ(WordAt(0x2740), 0xFFFF);
}

TEST_F(Receiver, RejectsStagingOutsideTheAreaCommitWithoutFlagAndUnknownCommands) {
  EXPECT_FALSE(sim_.Write(u"R", 5, 0xB504, 0x0040, 1));
  EXPECT_TRUE(sim_.Write(u"R", 5, 0xB504, 0x003F, 1));
  EXPECT_FALSE(sim_.Write(u"R", 5, 0xB500, 0x2720, 1));
  EXPECT_EQ(WordAt(0x2720), 0xFFFF);
  EXPECT_FALSE(sim_.Write(u"R", 5, 0x1234, 0, 1));
  uint8_t b[2] = {7, 7};
  EXPECT_FALSE(sim_.Read(u"R", 5, 0xBF02, 0, 2, b));
  EXPECT_EQ(b[0], 7);
}

TEST_F(Receiver, ModeParametersAndPairingAreKept) {
  EXPECT_TRUE(sim_.Write(u"R", 5, 0xBE01, 6, 1));
  EXPECT_TRUE(sim_.Write(u"R", 5, 0xBF01, 2, 1));
  EXPECT_TRUE(sim_.Write(u"R", 5, 0xBF02, 1, 1));
  EXPECT_TRUE(sim_.Write(u"R", 5, 0xB502, 0x2700, 1));
  const auto& r = sim_.Receivers()[0];
  EXPECT_EQ(r.parameters[1], 6);
  EXPECT_EQ(r.mode, 2);
  EXPECT_TRUE(r.pairing);
  EXPECT_EQ(r.blockAddress, 0x2700);
  EXPECT_TRUE(sim_.Write(u"R", 5, 0xBF02, 0, 1));
  EXPECT_FALSE(sim_.Receivers()[0].pairing);
}

TEST_F(Receiver, OnlyTheLowSixteenBitsOfEachSlotCount) {
  EXPECT_TRUE(sim_.Write(u"R", 0xFFFF0005, 0xABCDBF02, 0x00010001, 0xFFFF0001));
  EXPECT_TRUE(sim_.Receivers()[0].pairing);
  EXPECT_EQ(trace_.back(), "Write path=\"R\" tag=0x0005 cmd=0xBF02 param=0x0001 count=1 -> 1");
}

TEST_F(Receiver, ReadsInfoPagesAndMemoryWordsIntoTheBuffer) {
  uint8_t page[8];
  EXPECT_TRUE(sim_.Read(u"R", 5, 0xB600, 4, 8, page));
  EXPECT_THAT(page, ElementsAre(0x10, 0x21, 0x32, 0, 0, 0, 0, 0));
  EXPECT_TRUE(sim_.Read(u"R", 5, 0xB600, 6, 8, page));
  EXPECT_THAT(page, ElementsAre(0, 0, 0, 0, 0, 0, 0, 0));
  uint8_t words[4];
  EXPECT_TRUE(sim_.Read(u"R", 5, 0xB501, 0x058F, 4, words));
  EXPECT_THAT(words, ElementsAre(0x34, 0x12, 0xFF, 0xFF));
  EXPECT_EQ(trace_.back(),
            "Read path=\"R\" tag=0x0005 cmd=0xB501 param=0x058F bytes=4 -> 1 data=34 12 FF FF");
}

TEST_F(Receiver, UnknownOrNullPathReachesNoReceiver) {
  uint8_t b[2] = {7, 7};
  EXPECT_FALSE(sim_.Write(u"r", 5, 0xBF02, 1, 1));
  EXPECT_FALSE(sim_.Write(nullptr, 5, 0xBF02, 1, 1));
  EXPECT_FALSE(sim_.Read(u"", 5, 0xB501, 0, 2, b));
  EXPECT_EQ(b[0], 7);
  EXPECT_FALSE(sim_.Receivers()[0].pairing);
  EXPECT_THAT(trace_,
              ElementsAre(::testing::StartsWith("Write path=\"r\" "),
                          "Write path=(null) tag=0x0005 cmd=0xBF02 param=0x0001 count=1 -> 0",
                          "Read path=\"\" tag=0x0005 cmd=0xB501 param=0x0000 bytes=2 -> 0"));
}

TEST(Hub, SearchCountsMatchesAndHandsBackTheIndexedOne) {
  std::vector<std::string> trace;
  Simulator sim(
      ParseScenario("[library]\ninitial = 3\n[receiver]\npath = A\ntag = 0x11\n"
                    "[receiver]\nfamily = 2\npath = X\n[receiver]\npath = B\ntag = 0x22\n"),
      [&](std::string_view line) { trace.emplace_back(line); });
  char16_t path[128] = {u'z', 0};
  int32_t tag = -7;
  EXPECT_EQ(sim.GetUsbDeviceFromHub(0x1D57, 0xFA60, 1, path, &tag), 2);
  EXPECT_EQ(std::u16string(path), u"B");
  EXPECT_EQ(tag, 0x22);
  // No receiver at the index: nothing written.
  path[0] = u'z';
  EXPECT_EQ(sim.GetUsbDeviceFromHub(0x1D57, 0xFA60, 2, path, &tag), 2);
  EXPECT_EQ(path[0], u'z');
  EXPECT_EQ(sim.GetUsbDeviceFromHub(0x1D57 + 1, 0xFA70, 0, path, &tag), 0);
  EXPECT_EQ(sim.Initial(reinterpret_cast<void*>(0x10)), 3);
  sim.CloseQuery();
  EXPECT_THAT(trace, ElementsAre("GetUsbDeviceFromHub vid=0x1D57 pid=0xFA60 index=1 -> 2 "
                                 "path=\"B\" tag=0x0022",
                                 "GetUsbDeviceFromHub vid=0x1D57 pid=0xFA60 index=2 -> 2",
                                 "GetUsbDeviceFromHub vid=0x1D58 pid=0xFA70 index=0 -> 0",
                                 "Initial hwnd=0x10 -> 3", "CloseQuery"));
}

TEST(Hub, ScenarioProblemsOpenTheTrace) {
  std::vector<std::string> trace;
  Simulator sim(ParseScenario("[library]\nbogus = 1\n"),
                [&](std::string_view line) { trace.emplace_back(line); });
  EXPECT_THAT(trace, ElementsAre("# scenario line 2: unknown key 'bogus'"));
}

// The scenarios shipped beside the simulator parse cleanly and hold what their names say.
Scenario LoadShipped(const char* name) {
  std::ifstream in(std::string(SCENARIO_DIR) + "/" + name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_FALSE(text.str().empty()) << name;
  const Scenario sc = ParseScenario(text.str());
  EXPECT_THAT(sc.problems, ::testing::IsEmpty()) << name;
  return sc;
}

TEST(ShippedScenarios, ParseWithoutProblemsAndHoldWhatTheirNamesSay) {
  EXPECT_EQ(LoadShipped("no-receiver.scenario").receivers.size(), 0u);
  EXPECT_EQ(LoadShipped("one-receiver.scenario").receivers.size(), 1u);
  EXPECT_EQ(LoadShipped("two-receivers.scenario").receivers.size(), 2u);
  const Scenario old = LoadShipped("old-firmware.scenario");
  ASSERT_EQ(old.receivers.size(), 1u);
  EXPECT_EQ(old.receivers[0].words.at(0x2701), 0xA437);
  const Scenario alt = LoadShipped("alternate-receiver.scenario");
  ASSERT_EQ(alt.receivers.size(), 1u);
  EXPECT_EQ(alt.receivers[0].productId, devicemanager::kFamily1AltProductId);
  EXPECT_EQ(alt.receivers[0].words.at(0x058F), 0xA438);
  const Scenario flaky = LoadShipped("flaky-receiver.scenario");
  ASSERT_EQ(flaky.receivers.size(), 1u);
  EXPECT_EQ(flaky.receivers[0].failures.size(), 3u);
  EXPECT_EQ(flaky.receivers[0].corrupt.size(), 1u);
  const Scenario demo = LoadShipped("pairing-demo.scenario");
  ASSERT_EQ(demo.receivers.size(), 1u);
  ASSERT_EQ(demo.receivers[0].pairing.size(), 2u);
  EXPECT_EQ(demo.receivers[0].pairing[0].kind, 1);
  EXPECT_EQ(demo.receivers[0].pairing[1].kind, 2);
  const Scenario gone = LoadShipped("unplugged.scenario");
  ASSERT_EQ(gone.receivers.size(), 1u);
  EXPECT_EQ(gone.receivers[0].unplugAfterMs, 20000u);
}

TEST(Scenario, ReadsPairingRadioFaultAndUnplugKeys) {
  const Scenario sc = ParseScenario(
      "[receiver]\nfirmware.0x058F = 26\nsignal = 200\nchannel = 31\ndrift = 0\nseed = 9\n"
      "pair = 3000 1 0x51234 0x85 0x3C\npair = 6000, 2, 0x7FFFF\n"
      "fail.0xB501.0x058F = 1\nfail.0xB504 = 3 5\ncorrupt.0x2772 = 0x0004\n"
      "unplug.calls = 10\nunplug.ms = 2500\n");
  EXPECT_THAT(sc.problems, ::testing::IsEmpty());
  const auto& r = sc.receivers.at(0);
  EXPECT_EQ(r.words.at(0x058F), 0xA426);
  EXPECT_EQ(r.signal, 200);
  EXPECT_EQ(r.channel, 31);
  EXPECT_EQ(r.driftMs, 0u);
  EXPECT_EQ(r.seed, 9u);
  ASSERT_EQ(r.pairing.size(), 2u);
  EXPECT_EQ(r.pairing[0].afterMs, 3000u);
  EXPECT_EQ(r.pairing[0].identifier, 0x51234u);
  EXPECT_EQ(r.pairing[0].attribute, 0x85);
  EXPECT_EQ(r.pairing[0].extra, 0x3C);
  EXPECT_EQ(r.pairing[1].kind, 2);
  EXPECT_EQ(r.pairing[1].attribute, 0);
  ASSERT_EQ(r.failures.size(), 2u);
  EXPECT_EQ(r.failures[0].command, 0xB501);
  EXPECT_EQ(r.failures[0].parameter, 0x058F);
  EXPECT_FALSE(r.failures[1].parameter.has_value());
  EXPECT_THAT(r.failures[1].occurrences, ElementsAre(3u, 5u));
  EXPECT_EQ(r.corrupt.at(0x2772), 0x0004);
  EXPECT_EQ(r.unplugAfterCalls, 10u);
  EXPECT_EQ(r.unplugAfterMs, 2500u);
}

TEST(Scenario, RadioStartsFromInfoPageFourUnlessGiven) {
  const Scenario sc = ParseScenario(
      "[receiver]\ninfo.4 = 00 5A EC\n[receiver]\ninfo.4 = 00 5A EC\nsignal = 3\nchannel = 4\n");
  EXPECT_EQ(sc.receivers[0].signal, 0x5A);
  EXPECT_EQ(sc.receivers[0].channel, 0x0C);
  EXPECT_EQ(sc.receivers[1].signal, 3);
  EXPECT_EQ(sc.receivers[1].channel, 4);
}

TEST(Scenario, RejectsMalformedFaultAndPairingValues) {
  const Scenario sc = ParseScenario(
      "[receiver]\npair = 100 3 1\npair = 100 1\npair = 100 1 0x80000\nfail.0xB501 = 0\n"
      "fail.x = 1\nfail.0xB501.y = 1\ncorrupt.0x8000 = 1\nchannel = 32\nfirmware.0x1234 = 38\n"
      "unplug.ms = -1\n");
  EXPECT_EQ(sc.problems.size(), 10u);
  EXPECT_TRUE(sc.receivers.at(0).pairing.empty());
  EXPECT_TRUE(sc.receivers.at(0).failures.empty());
}

// A receiver driven straight through the core, with a clock the test moves.
class Device : public ::testing::Test {
 protected:
  void Load(const std::string& receiver) {
    sim_ = std::make_unique<Simulator>(
        ParseScenario("[receiver]\npath = R\n" + receiver),
        [this](std::string_view line) { trace_.emplace_back(line); }, [this] { return now_; });
  }
  bool W(uint16_t cmd, uint16_t param) { return sim_->Write(u"R", 1, cmd, param, 1); }
  bool Page(uint16_t page, devicemanager::InfoPage& bytes) {
    return sim_->Read(u"R", 1, 0xB600, page, 8, bytes.data());
  }
  uint16_t WordAt(uint16_t address) {
    uint8_t b[2] = {};
    EXPECT_TRUE(sim_->Read(u"R", 1, 0xB501, address, 2, b));
    return static_cast<uint16_t>(b[0] | b[1] << 8);
  }
  int32_t Count() {
    char16_t path[128] = {};
    int32_t tag = 0;
    return sim_->GetUsbDeviceFromHub(devicemanager::kVendorId, devicemanager::kFamily1ProductId, 0,
                                     path, &tag);
  }

  uint64_t now_ = 5000;
  std::unique_ptr<Simulator> sim_;
  std::vector<std::string> trace_;
};

TEST_F(Device, CommitsLandOnlyInsideTheBlockBegunLast) {
  Load("word.0x2700 = 0x1111\nword.0x2780 = 0x2222\n");
  EXPECT_FALSE(W(0xB500, 0xA700));  // nothing begun
  EXPECT_EQ(WordAt(0x2700), 0x1111);
  EXPECT_TRUE(W(0xB502, 0x2700));
  EXPECT_EQ(WordAt(0x2700), 0xFFFF);  // begun blocks are erased
  EXPECT_EQ(WordAt(0x2780), 0x2222);  // and only they
  EXPECT_TRUE(W(0xB500, 0xA760));
  EXPECT_FALSE(W(0xB500, 0xA761));  // would run past the block
  EXPECT_FALSE(W(0xB500, 0xA6E0));  // before it
  EXPECT_FALSE(W(0xB502, 0x7F81));  // a block must fit in memory
  uint8_t b[2] = {9, 9};
  EXPECT_FALSE(sim_->Read(u"R", 1, 0xB501, 0x7FFF, 4, b));  // past the end of memory
  EXPECT_EQ(b[0], 9);
}

TEST_F(Device, FailsTheNamedOccurrencesOfACommandOnly) {
  Load("fail.0xBF02.0x0001 = 2\nfail.0xB501 = 1 3\n");
  EXPECT_TRUE(W(0xBF02, 1));
  EXPECT_TRUE(W(0xBF02, 0));  // another parameter: not counted
  EXPECT_FALSE(W(0xBF02, 1));
  EXPECT_FALSE(sim_->Receivers()[0].pairing);  // a failed call does nothing
  EXPECT_TRUE(W(0xBF02, 1));
  uint8_t b[2] = {7, 7};
  EXPECT_FALSE(sim_->Read(u"R", 1, 0xB501, 0x0100, 2, b));
  EXPECT_EQ(b[0], 7);
  EXPECT_TRUE(sim_->Read(u"R", 1, 0xB501, 0x0100, 2, b));
  EXPECT_FALSE(sim_->Read(u"R", 1, 0xB501, 0x0200, 2, b));
  EXPECT_TRUE(sim_->Read(u"R", 1, 0xB501, 0x0200, 2, b));
  EXPECT_EQ(trace_[2], "Write path=\"R\" tag=0x0001 cmd=0xBF02 param=0x0001 count=1 -> 0 (fault)");
}

TEST_F(Device, CorruptedWordIsStoredWithItsBitsFlippedAtEveryCommit) {
  Load("corrupt.0x2705 = 0x8001\n");
  EXPECT_TRUE(W(0xB502, 0x2700));
  EXPECT_TRUE(W(0xB504, 0x340A));  // word 5 low byte
  EXPECT_TRUE(W(0xB504, 0x120B));  // word 5 high byte
  EXPECT_TRUE(W(0xB500, 0xA700));
  EXPECT_EQ(WordAt(0x2705), 0x1234 ^ 0x8001);
  EXPECT_EQ(WordAt(0x2704), 0x0000);
}

TEST_F(Device, UnpluggedAfterSomeCallsFailsEverythingAndLeavesTheSearch) {
  Load("unplug.calls = 2\n");
  EXPECT_EQ(Count(), 1);
  EXPECT_TRUE(W(0xBF01, 1));
  EXPECT_TRUE(W(0xBF01, 2));
  EXPECT_FALSE(W(0xBF01, 3));
  EXPECT_EQ(sim_->Receivers()[0].mode, 2);
  EXPECT_EQ(Count(), 0);
  uint8_t b[2] = {};
  EXPECT_FALSE(sim_->Read(u"R", 1, 0xB501, 0x2701, 2, b));
  EXPECT_THAT(trace_.back(), ::testing::EndsWith("-> 0 (unplugged)"));
}

TEST_F(Device, UnpluggedAfterSomeTime) {
  Load("unplug.ms = 1000\n");
  now_ += 999;
  EXPECT_TRUE(W(0xBF01, 1));
  EXPECT_EQ(Count(), 1);
  now_ += 1;
  EXPECT_EQ(Count(), 0);
  EXPECT_FALSE(W(0xBF01, 1));
}

TEST_F(Device, PairingOnlyReportsWhilePairingAndRestartsWithEachStart) {
  Load("pair = 1000 2 0x12345\ninfo.6 = 11 22 33 44 55 66 80 77\n");
  devicemanager::InfoPage page;
  now_ += 5000;
  ASSERT_TRUE(Page(6, page));  // not pairing: the scenario's page as it is
  EXPECT_THAT(page, ElementsAre(0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x80, 0x77));
  EXPECT_TRUE(W(0xBF02, 1));
  now_ += 500;
  EXPECT_TRUE(W(0xBF02, 0));
  now_ += 5000;
  ASSERT_TRUE(Page(6, page));  // stopped before the device paired
  EXPECT_EQ(page[6], 0x80);
  EXPECT_TRUE(W(0xBF02, 1));
  now_ += 1000;
  ASSERT_TRUE(Page(6, page));
  EXPECT_THAT(page, ElementsAre(0x11, 0x22, 0x33, 0x01, 0x23, 0x45, 0xC0, 0x77));
  ASSERT_TRUE(Page(6, page));
  EXPECT_EQ(page[6], 0x80);
  // A new start runs the schedule again.
  EXPECT_TRUE(W(0xBF02, 1));
  now_ += 1000;
  ASSERT_TRUE(Page(6, page));
  EXPECT_EQ(page[6], 0xC0);
}

TEST_F(Device, RadioPageDriftsWithinBoundsAndRepeatsForTheSameSeed) {
  const std::string receiver = "info.4 = 01 50 E4 02 03 04 05 06\ndrift = 100\nseed = 3\n";
  Load(receiver);
  devicemanager::InfoPage page;
  ASSERT_TRUE(Page(4, page));
  EXPECT_THAT(page, ElementsAre(0x01, 0x50, 0xE4, 2, 3, 4, 5, 6));  // no time passed
  std::vector<std::pair<int, int>> seen;
  std::set<int> channels, levels;
  for (int i = 0; i < 400; ++i) {
    now_ += 100;
    ASSERT_TRUE(Page(4, page));
    EXPECT_EQ(page[2] & 0xE0, 0xE0);  // the page's own bits stay
    EXPECT_GE(page[1], 0x50 - 20);
    EXPECT_LE(page[1], 0x50 + 20);
    EXPECT_THAT(page[0], 1);
    EXPECT_THAT(page[3], 2);
    seen.emplace_back(page[1], page[2] & 0x1F);
    levels.insert(page[1]);
    channels.insert(page[2] & 0x1F);
  }
  EXPECT_GT(levels.size(), 5u);
  EXPECT_GT(channels.size(), 2u);

  // The same scenario and clock give the same radio, however often it is read.
  now_ = 5000;
  Load(receiver);
  now_ += 400 * 100;
  ASSERT_TRUE(Page(4, page));
  EXPECT_EQ(std::make_pair(int{page[1]}, page[2] & 0x1F), seen.back());
}

TEST_F(Device, SteadyRadioWithoutDrift) {
  Load("signal = 77\nchannel = 5\ndrift = 0\n");
  devicemanager::InfoPage page;
  now_ += 1'000'000;
  ASSERT_TRUE(Page(4, page));
  EXPECT_EQ(page[1], 77);
  EXPECT_EQ(page[2], 5);
}

}  // namespace

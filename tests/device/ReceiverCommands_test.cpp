// The receiver command set against a recording fake: the command words, parameters and counts
// that reach the library, and how each operation judges the results.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "device/ReceiverCommands.h"
#include "device/InProcessLibrary.h"

namespace {

using testing_support::Call;
using testing_support::InProcessLibrary;
using testing_support::RecordingFake;

// Command, parameter and count (or byte count) of each call.
using Wire = std::vector<std::array<uint32_t, 3>>;

class Brimac : public ::testing::Test {
 protected:
  Brimac() : library_(fake_.MakeExports()), receiver_(library_.Devices()) {
    receiver_.SetDevice(u"\\\\?\\hid#R", 0x0042);
  }

  Wire Traffic() const {
    Wire out;
    for (const Call& c : fake_.calls) out.push_back({c.command, c.parameter, c.count});
    return out;
  }

  // Fills the fake's memory so that a block written at address reads back as written.
  void Echo(uint16_t address, const device::ReceiverCommands::Block& block) {
    for (size_t i = 0; i < block.size(); ++i)
      fake_.memory[static_cast<uint16_t>(address + i)] = block[i];
  }

  static device::ReceiverCommands::Block Pattern() {
    device::ReceiverCommands::Block b;
    for (size_t i = 0; i < b.size(); ++i) b[i] = static_cast<uint16_t>(0x4000 + i * 0x0101);
    return b;
  }

  RecordingFake fake_;
  InProcessLibrary library_;
  device::ReceiverCommands receiver_;
};

TEST_F(Brimac, StagesAWordAsLowByteAtTheEvenOffsetThenHighByte) {
  EXPECT_TRUE(receiver_.StageWord(3, 0x12AB));
  EXPECT_EQ(Traffic(), (Wire{{0xB504, 0xAB06, 1}, {0xB504, 0x1207, 1}}));
  for (const Call& c : fake_.calls) {
    EXPECT_TRUE(c.write);
    EXPECT_EQ(c.path, u"\\\\?\\hid#R");
    EXPECT_EQ(c.tag, 0x0042u);
  }
  // The last word of the area: offsets 62 and 63.
  fake_.calls.clear();
  EXPECT_TRUE(receiver_.StageWord(31, 0xFF01));
  EXPECT_EQ(Traffic(), (Wire{{0xB504, 0x013E, 1}, {0xB504, 0xFF3F, 1}}));
}

TEST_F(Brimac, FailedLowByteSendsNoHighByteAndAFailedHighByteFailsTheWord) {
  fake_.fail = [](size_t i, const Call&) { return i == 0; };
  EXPECT_FALSE(receiver_.StageWord(3, 0x12AB));
  EXPECT_EQ(Traffic(), (Wire{{0xB504, 0xAB06, 1}}));

  fake_.calls.clear();
  fake_.fail = [](size_t i, const Call&) { return i == 1; };
  EXPECT_FALSE(receiver_.StageWord(3, 0x12AB));
  EXPECT_EQ(fake_.calls.size(), 2u);
}

TEST_F(Brimac, SingleCommandsCarryTheirWordsParametersAndCounts) {
  EXPECT_TRUE(receiver_.CommitChunk(0x2720));
  EXPECT_TRUE(receiver_.BeginBlockWrite(0x2700));
  EXPECT_TRUE(receiver_.SetParameter(1, 6));
  EXPECT_TRUE(receiver_.SetParameter(255, 0xBEEF));
  EXPECT_TRUE(receiver_.SetMode(1));
  EXPECT_TRUE(receiver_.StartPairing());
  EXPECT_TRUE(receiver_.StopPairing());
  device::ReceiverCommands::InfoPage page;
  fake_.pages[6] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_TRUE(receiver_.ReadInfo(6, page));
  EXPECT_THAT(page, ::testing::ElementsAre(1, 2, 3, 4, 5, 6, 7, 8));
  EXPECT_EQ(Traffic(), (Wire{{0xB500, 0xA720, 1},
                             {0xB502, 0x2700, 1},
                             {0xBE01, 6, 1},
                             {0xBEFF, 0xBEEF, 1},
                             {0xBF01, 1, 1},
                             {0xBF02, 1, 1},
                             {0xBF02, 0, 1},
                             {0xB600, 6, 8}}));
  EXPECT_FALSE(fake_.calls.back().write);
}

TEST_F(Brimac, CommitKeepsTheFlagWithinSixteenBits) {
  EXPECT_TRUE(receiver_.CommitChunk(0x8123));  // the flag is already set: still 0x8123
  EXPECT_EQ(fake_.calls.at(0).parameter, 0x8123u);
}

TEST_F(Brimac, ReadsWordsLittleEndianAndLeavesThemOnFailure) {
  fake_.memory[0x2701] = 0xA438;
  fake_.memory[0x2702] = 0x1234;
  uint16_t words[2] = {};
  EXPECT_TRUE(receiver_.ReadWords(0x2701, 2, words));
  EXPECT_EQ(words[0], 0xA438);
  EXPECT_EQ(words[1], 0x1234);
  EXPECT_EQ(Traffic(), (Wire{{0xB501, 0x2701, 4}}));

  fake_.fail = [](size_t, const Call&) { return true; };
  uint16_t word = 0x5555;
  EXPECT_FALSE(receiver_.ReadWords(0x2701, 1, &word));
  EXPECT_EQ(word, 0x5555);
  EXPECT_EQ(fake_.calls.back().count, 2u);
}

TEST_F(Brimac, BlockReadIsThirtyTwoReadsOfEightBytes) {
  const device::ReceiverCommands::Block expected = Pattern();
  Echo(0x2700, expected);
  device::ReceiverCommands::Block block{};
  EXPECT_TRUE(receiver_.ReadBlock(0x2700, block));
  EXPECT_EQ(block, expected);
  Wire want;
  for (uint32_t a = 0x2700; a <= 0x277C; a += 4) want.push_back({0xB501, a, 8});
  EXPECT_EQ(Traffic(), want);
}

TEST_F(Brimac, BlockReadStopsAtTheFirstFailedRead) {
  fake_.fail = [](size_t i, const Call&) { return i == 5; };
  device::ReceiverCommands::Block block{};
  EXPECT_FALSE(receiver_.ReadBlock(0x2700, block));
  EXPECT_EQ(fake_.calls.size(), 6u);
  EXPECT_EQ(fake_.calls.back().parameter, 0x2714u);
}

TEST_F(Brimac, BlockWriteIs389CallsInChunkOrder) {
  const device::ReceiverCommands::Block block = Pattern();
  Echo(0x2700, block);
  EXPECT_TRUE(receiver_.WriteBlock(0x2700, block));
  const Wire t = Traffic();
  ASSERT_EQ(t.size(), 389u);
  EXPECT_EQ(t[0], (std::array<uint32_t, 3>{0xB502, 0x2700, 1}));
  for (uint32_t k = 0; k < 4; ++k) {
    const size_t base = 1 + 97 * k;
    for (uint32_t i = 0; i < 32; ++i) {
      const uint16_t w = block[32 * k + i];
      EXPECT_EQ(t[base + 2 * i], (std::array<uint32_t, 3>{0xB504, (w & 0xFFu) * 256 + 2 * i, 1}));
      EXPECT_EQ(t[base + 2 * i + 1],
                (std::array<uint32_t, 3>{0xB504, (w & 0xFF00u) + 2 * i + 1, 1}));
    }
    EXPECT_EQ(t[base + 64], (std::array<uint32_t, 3>{0xB500, 0xA700 + 32 * k, 1}));
    for (uint32_t i = 0; i < 32; ++i)
      EXPECT_EQ(t[base + 65 + i], (std::array<uint32_t, 3>{0xB501, 0x2700 + 32 * k + i, 2}));
  }
}

TEST_F(Brimac, ARefusedStagingCommitOrBeginFailsTheWriteThoughItReadsBack) {
  const device::ReceiverCommands::Block block = Pattern();
  Echo(0x2700, block);  // whatever happens, the receiver reads back the block
  // Every low byte refused: no high byte is sent, the chunk is still committed and verified.
  fake_.fail = [](size_t, const Call& c) { return c.command == 0xB504; };
  EXPECT_FALSE(receiver_.WriteBlock(0x2700, block));
  EXPECT_EQ(fake_.calls.size(), 1u + 32 + 1 + 32);
  for (const uint32_t refused : {0xB500u, 0xB502u}) {
    fake_.calls.clear();
    fake_.fail = [refused](size_t, const Call& c) { return c.command == refused; };
    EXPECT_FALSE(receiver_.WriteBlock(0x2700, block)) << std::hex << refused;
  }
  fake_.fail = [](size_t, const Call&) { return false; };
  EXPECT_TRUE(receiver_.WriteBlock(0x2700, block));
}

TEST_F(Brimac, VerifyDifferenceInChunkKStopsAfterChunkK) {
  for (uint32_t k = 0; k < 4; ++k) {
    fake_.calls.clear();
    const device::ReceiverCommands::Block block = Pattern();
    Echo(0x2700, block);
    const uint16_t bad = static_cast<uint16_t>(32 * k + 7);
    fake_.memory[static_cast<uint16_t>(0x2700 + bad)] ^= 0x0100;
    EXPECT_FALSE(receiver_.WriteBlock(0x2700, block)) << k;
    ASSERT_EQ(fake_.calls.size(), 1 + 97 * k + 64 + 1 + 8) << k;
    EXPECT_EQ(fake_.calls.back().parameter, 0x2700u + bad);
    for (const Call& c : fake_.calls) {
      if (c.command == 0xB501 || c.command == 0xB500) {
        EXPECT_LT(c.parameter & 0x7FFF, 0x2700u + 32 * (k + 1));
      }
    }
  }
}

TEST_F(Brimac, FailedVerifyReadFailsTheChunkEvenForAnErasedWord) {
  // The buffer starts as 0xFFFF: a failed read must not pass for a written 0xFFFF.
  device::ReceiverCommands::Chunk chunk;
  chunk.fill(0xFFFF);
  for (size_t i = 0; i < chunk.size(); ++i)
    fake_.memory[static_cast<uint16_t>(0x2740 + i)] = 0xFFFF;
  fake_.fail = [](size_t, const Call& c) { return c.command == 0xB501 && c.parameter == 0x2745; };
  EXPECT_FALSE(receiver_.WriteChunk(0x2740, chunk));
  EXPECT_EQ(fake_.calls.size(), 64u + 1 + 6);
  fake_.fail = [](size_t, const Call&) { return false; };
  EXPECT_TRUE(receiver_.WriteChunk(0x2740, chunk));
}

TEST_F(Brimac, FirmwareVersionFromEitherWord) {
  // The newer word: 0xA438 at 0x2701, no marker at 0x058F.
  fake_.memory[0x058F] = 0x1238;
  fake_.memory[0x2701] = 0xA438;
  EXPECT_EQ(receiver_.ReadFirmwareVersion(), 38);
  EXPECT_EQ(Traffic(), (Wire{{0xB501, 0x058F, 2}, {0xB501, 0x2701, 2}}));

  // The older word, decoded alike; the newer one is not read.
  fake_.calls.clear();
  fake_.memory[0x058F] = 0xA426;
  EXPECT_EQ(receiver_.ReadFirmwareVersion(), 26);
  EXPECT_EQ(fake_.calls.size(), 1u);

  fake_.memory[0x058F] = 0xA499;
  EXPECT_EQ(receiver_.ReadFirmwareVersion(), 99);
}

TEST_F(Brimac, FirmwareVersionZeroWhenTheFirstReadFailsMinusOneWithoutMarker) {
  fake_.memory[0x2701] = 0xA438;
  fake_.fail = [](size_t i, const Call&) { return i == 0; };
  EXPECT_EQ(receiver_.ReadFirmwareVersion(), 0);
  EXPECT_EQ(fake_.calls.size(), 1u);

  fake_.fail = [](size_t, const Call&) { return false; };
  fake_.memory[0x2701] = 0xA538;
  EXPECT_EQ(receiver_.ReadFirmwareVersion(), -1);

  // A failed second read is judged by the word the first one left: no marker there either.
  fake_.memory[0x2701] = 0xA438;
  fake_.fail = [](size_t, const Call& c) { return c.parameter == 0x2701; };
  EXPECT_EQ(receiver_.ReadFirmwareVersion(), -1);
}

class BrimacUnset : public ::testing::Test {
 protected:
  RecordingFake fake_;
};

TEST_F(BrimacUnset, AFreshObjectSendsAPointerToAnEmptyPathAndTagZero) {
  InProcessLibrary library(fake_.MakeExports());
  device::ReceiverCommands receiver(library.Devices());
  EXPECT_TRUE(receiver.StartPairing());
  uint16_t word;
  EXPECT_TRUE(receiver.ReadWords(0x058F, 1, &word));
  ASSERT_EQ(fake_.calls.size(), 2u);
  for (const Call& c : fake_.calls) {
    EXPECT_TRUE(c.pathGiven);
    EXPECT_EQ(c.path, u"");
    EXPECT_EQ(c.tag, 0u);
  }
  // Exports are asked for by name at every call.
  EXPECT_EQ(library.Lookups().at("Write"), 1);
  EXPECT_EQ(library.Lookups().at("Read"), 1);
}

TEST_F(BrimacUnset, WithoutLibraryEveryOperationFails) {
  // No library: the failure values.
  testing_support::NoLibrary none;
  device::ReceiverCommands receiver(none);
  receiver.SetDevice(u"P", 1);
  device::ReceiverCommands::Block block{};
  device::ReceiverCommands::InfoPage page{};
  EXPECT_FALSE(receiver.StartPairing());
  EXPECT_FALSE(receiver.SetParameter(1, 6));
  EXPECT_FALSE(receiver.ReadInfo(4, page));
  EXPECT_FALSE(receiver.ReadBlock(0x2700, block));
  EXPECT_FALSE(receiver.WriteBlock(0x2700, block));
  EXPECT_EQ(receiver.ReadFirmwareVersion(), 0);
}

TEST_F(BrimacUnset, MissingReadExportFailsReadsOnly) {
  testing_support::Exports exports = fake_.MakeExports();
  exports.read = nullptr;
  InProcessLibrary library(std::move(exports));
  device::ReceiverCommands receiver(library.Devices());
  EXPECT_TRUE(receiver.SetMode(2));
  EXPECT_EQ(receiver.ReadFirmwareVersion(), 0);
  device::ReceiverCommands::Chunk chunk{};
  EXPECT_FALSE(receiver.WriteChunk(0x2700, chunk));
  EXPECT_EQ(fake_.calls.size(), 1u + 65);
}

}  // namespace

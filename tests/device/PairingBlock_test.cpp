#include "device/PairingBlock.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

device::ReceiverCommands::Block Numbered() {
  device::ReceiverCommands::Block b;
  std::iota(b.begin(), b.end(), uint16_t{0x1000});
  return b;
}

TEST(PairingParameters, AdvanceBeforeUseAndWrapAfterTheEleventh) {
  int32_t index = 0;
  std::vector<uint16_t> seen;
  for (int i = 0; i < 12; ++i) seen.push_back(device::NextParameter(index));
  EXPECT_EQ(seen.front(), 6);
  EXPECT_EQ(seen[9], 29);
  EXPECT_EQ(seen[10], 2);
  EXPECT_EQ(seen[11], 6);
}

TEST(NewDevice, KindBitsOfByteSixDecideKindOneFirst) {
  device::ReceiverCommands::InfoPage a{0x0D, 0x12, 0x34, 0xFA, 0xBC, 0xDE, 0x20, 0x85};
  EXPECT_EQ(device::DecodeNewDevice(a).kind, 1);
  EXPECT_EQ(device::DecodeNewDevice(a).identifier, 0x51234u);  // only 3 bits of A0 count
  a[6] = 0x60;                                                 // both bits: kind 1 wins
  EXPECT_EQ(device::DecodeNewDevice(a).kind, 1);
  a[6] = 0x40;
  EXPECT_EQ(device::DecodeNewDevice(a).kind, 2);
  EXPECT_EQ(device::DecodeNewDevice(a).identifier, 0x2BCDEu);
  for (uint8_t none : {0x00, 0x80, 0x1F}) {
    a[6] = none;
    EXPECT_EQ(device::DecodeNewDevice(a).kind, -1);
    EXPECT_EQ(device::DecodeNewDevice(a).identifier, 0u);
  }
}

TEST(PairingBlock, KindOneFillsItsFirstSlotAndClearsItsOtherFour) {
  device::ReceiverCommands::Block b = Numbered();
  const device::ReceiverCommands::Block before = b;
  device::EditKind1(b, 0x51234, 0x85, 0x3C);
  EXPECT_EQ(b[114], 0x0005);
  EXPECT_EQ(b[115], 0x1234);
  EXPECT_EQ(b[118], 0x0500);
  EXPECT_EQ(b[119], 0x003C);
  EXPECT_EQ(b[120], (before[120] & 0xFF00) | 0xA4);
  for (size_t start : {32, 40, 48, 56}) {
    for (size_t o : {0, 1, 4, 5}) EXPECT_EQ(b[start + o], 0xFFFF) << start + o;
    for (size_t o : {2, 3, 6, 7}) EXPECT_EQ(b[start + o], before[start + o]) << start + o;
  }
  // Nothing else changes.
  for (size_t i = 0; i < b.size(); ++i) {
    const bool edited =
        (i >= 32 && i < 64 && (i % 4) < 2) || i == 114 || i == 115 || (i >= 118 && i <= 120);
    if (!edited) {
      EXPECT_EQ(b[i], before[i]) << i;
    }
  }
  device::EditKind1(b, 0x51234, 0x05, 0);
  EXPECT_EQ(b[120] & 0xFF, 0xFF);  // attribute without bit 7
  EXPECT_EQ(b[120] & 0xFF00, before[120] & 0xFF00);
}

TEST(PairingBlock, KindTwoTouchesOnlyItsOwnSlots) {
  device::ReceiverCommands::Block b = Numbered();
  const device::ReceiverCommands::Block before = b;
  device::EditKind2(b, 0x7ABCD);
  EXPECT_EQ(b[116], 0x0007);
  EXPECT_EQ(b[117], 0xABCD);
  for (size_t i = 0; i < b.size(); ++i) {
    const bool edited = i == 116 || i == 117 || (i >= 64 && i < 96 && (i % 8) < 2);
    if (edited && i != 116 && i != 117) {
      EXPECT_EQ(b[i], 0xFFFF) << i;
    } else if (!edited) {
      EXPECT_EQ(b[i], before[i]) << i;
    }
  }
}

TEST(RadioInfo, ChannelIsTheLowFiveBitsOfByteTwoAndLevelByteOne) {
  const device::ReceiverCommands::InfoPage b{0, 0x2A, 0xE7, 0, 0, 0, 0, 0};
  EXPECT_EQ(device::DecodeRadio(b).channel, 7u);
  EXPECT_EQ(device::DecodeRadio(b).level, 42u);
}

}  // namespace

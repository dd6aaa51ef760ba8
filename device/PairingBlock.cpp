#include "device/PairingBlock.h"

namespace device {

uint16_t NextParameter(int32_t& index) {
  index = (index + 1) % static_cast<int32_t>(kParameterTable.size());
  return kParameterTable[static_cast<size_t>(index)];
}

NewDevice DecodeNewDevice(const device::ReceiverCommands::InfoPage& a) {
  if (a[6] & 0x20) return {1, (static_cast<uint32_t>(a[0] & 7) << 16) | (a[1] << 8) | a[2]};
  if (a[6] & 0x40) return {2, (static_cast<uint32_t>(a[3] & 7) << 16) | (a[4] << 8) | a[5]};
  return {};
}

namespace {

// A slot spans the words at these offsets from its start.
constexpr std::array<size_t, 4> kKind1SlotWords = {0, 1, 4, 5};
constexpr std::array<size_t, 2> kKind2SlotWords = {0, 1};

template <size_t N>
void ClearSlot(device::ReceiverCommands::Block& block, size_t start,
               const std::array<size_t, N>& offsets) {
  for (size_t o : offsets) block[start + o] = 0xFFFF;
}

}  // namespace

void EditKind1(device::ReceiverCommands::Block& block, uint32_t identifier, uint8_t attribute,
               uint8_t extra) {
  block[114] = static_cast<uint16_t>((identifier >> 16) & 0xFF);
  block[115] = static_cast<uint16_t>(identifier & 0xFFFF);
  block[118] = static_cast<uint16_t>((attribute & 0x3F) * 256);
  block[119] = extra;
  for (size_t start : {32, 40, 48, 56}) ClearSlot(block, start, kKind1SlotWords);
  // The high byte of word 120 belongs to someone else; only its low byte marks the device.
  block[120] = static_cast<uint16_t>((block[120] & 0xFF00) | ((attribute & 0x80) ? 0xA4 : 0xFF));
}

void EditKind2(device::ReceiverCommands::Block& block, uint32_t identifier) {
  block[116] = static_cast<uint16_t>((identifier >> 16) & 0xFF);
  block[117] = static_cast<uint16_t>(identifier & 0xFFFF);
  for (size_t start : {64, 72, 80, 88}) ClearSlot(block, start, kKind2SlotWords);
}

}  // namespace device

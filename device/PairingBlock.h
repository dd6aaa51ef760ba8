#pragma once
// What the main window does to the receiver's pairing block and info pages when a feature module
// asks for a newly paired device: portable, so the word edits are tested without a receiver.
#include <array>
#include <cstdint>

#include "device/ReceiverCommands.h"

namespace device {

// Parameter 1 for each pairing start, in turn; the index advances before use, so the first start
// after launch uses 6 and after 29 the table starts again at 2.
inline constexpr std::array<uint16_t, 11> kParameterTable = {2,  6,  7,  8,  12, 14,
                                                             16, 20, 24, 28, 29};
uint16_t NextParameter(int32_t& index);

inline constexpr uint16_t kBlockAddress = 0x2700;
inline constexpr uint16_t kInfoNewDevice = 6;
inline constexpr uint16_t kInfoRadio = 4;

// The device a receiver reports on info page 6. Kind 1 wins when both kind bits are set; kind -1
// (identifier 0) when neither is.
struct NewDevice {
  int32_t kind = -1;
  uint32_t identifier = 0;  // 19 bits: 3 high, 16 low
};
NewDevice DecodeNewDevice(const device::ReceiverCommands::InfoPage& page6);

// A kind-1 device in its five slots: the identifier, attribute and extra byte in the first (words
// 114, 115, 118, 119, and the low byte of 120), 0xFFFF in the slots at 32, 40, 48 and 56.
void EditKind1(device::ReceiverCommands::Block& block, uint32_t identifier, uint8_t attribute,
               uint8_t extra);
// A kind-2 device: the identifier in words 116 and 117, 0xFFFF in the slots at 64, 72, 80, 88.
void EditKind2(device::ReceiverCommands::Block& block, uint32_t identifier);

// The radio answer from info page 4: channel (byte 2, low five bits) and signal level (byte 1).
struct RadioInfo {
  uint32_t channel;
  uint32_t level;
};
inline RadioInfo DecodeRadio(const device::ReceiverCommands::InfoPage& page4) {
  return {static_cast<uint32_t>(page4[2] & 0x1F), page4[1]};
}

}  // namespace device

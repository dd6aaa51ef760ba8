#include "device/ReceiverCommands.h"

#include <algorithm>
#include <vector>

namespace device {

using namespace cmd;

namespace {

// Address and parameter arithmetic is 16-bit, as the receiver sees it.
uint16_t U16(unsigned value) {
  return static_cast<uint16_t>(value & 0xFFFF);
}

// Two BCD digits in the low byte of a version word.
int32_t DecodeVersion(uint16_t word) {
  return ((word >> 4) & 0x0F) * 10 + (word & 0x0F);
}

}  // namespace

void ReceiverCommands::SetDevice(std::u16string devicePath, uint16_t deviceTag) {
  devicePath_ = std::move(devicePath);
  deviceTag_ = deviceTag;
}

bool ReceiverCommands::WriteCommand(uint16_t command, uint16_t parameter, uint16_t count) {
  // c_str() of an empty string is a pointer to an empty string, never null.
  return library_.Write(devicePath_.c_str(), deviceTag_, command, parameter, count);
}

bool ReceiverCommands::ReadCommand(uint16_t command, uint16_t parameter, uint16_t byteCount,
                                   void* buffer) {
  return library_.Read(devicePath_.c_str(), deviceTag_, command, parameter, byteCount, buffer);
}

bool ReceiverCommands::CommitChunk(uint16_t address) {
  return WriteCommand(kCommitChunk, U16(address | kCommitFlag), 1);
}

bool ReceiverCommands::ReadWords(uint16_t address, uint16_t n, uint16_t* words) {
  // Read into bytes and assemble: the wire order is little-endian whatever the host's.
  std::vector<uint8_t> bytes(2 * size_t{n});
  if (!ReadCommand(kReadWords, address, U16(2u * n), bytes.data())) return false;
  for (size_t i = 0; i < n; ++i)
    words[i] = static_cast<uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  return true;
}

bool ReceiverCommands::BeginBlockWrite(uint16_t address) {
  return WriteCommand(kBeginBlockWrite, address, 1);
}

bool ReceiverCommands::StageWord(uint16_t index, uint16_t value) {
  const unsigned offset = 2u * index;
  if (!WriteCommand(kStageByte, U16((value & 0x00FFu) * 256u + offset), 1)) return false;
  return WriteCommand(kStageByte, U16((value & 0xFF00u) + offset + 1u), 1);
}

bool ReceiverCommands::WriteChunk(uint16_t address, const Chunk& words) {
  // Every word is staged and the chunk committed whatever the receiver answers, so a write keeps
  // its shape; but a refused command means the receiver may hold something else than the
  // read-back suggests, so it fails the chunk as a difference does.
  bool accepted = true;
  for (size_t i = 0; i < kChunkWords; ++i)
    accepted = StageWord(static_cast<uint16_t>(i), words[i]) && accepted;
  accepted = CommitChunk(address) && accepted;
  for (size_t i = 0; i < kChunkWords; ++i) {
    uint16_t word = 0xFFFF;
    // A failed read verifies nothing, even when the word expected is the buffer's 0xFFFF.
    if (!ReadWords(U16(address + i), 1, &word)) return false;
    if (word != words[i]) return false;
  }
  return accepted;
}

bool ReceiverCommands::WriteBlock(uint16_t address, const Block& words) {
  const bool begun = BeginBlockWrite(address);
  for (size_t k = 0; k < kBlockWords / kChunkWords; ++k) {
    Chunk chunk;
    std::copy_n(words.begin() + static_cast<std::ptrdiff_t>(k * kChunkWords), kChunkWords,
                chunk.begin());
    if (!WriteChunk(U16(address + k * kChunkWords), chunk)) return false;
  }
  return begun;
}

bool ReceiverCommands::ReadBlock(uint16_t address, Block& words) {
  for (size_t offset = 0; offset < kBlockWords; offset += 4)
    if (!ReadWords(U16(address + offset), 4, &words[offset])) return false;
  return true;
}

bool ReceiverCommands::ReadInfo(uint16_t page, InfoPage& bytes) {
  return ReadCommand(kReadInfo, page, kInfoBytes, bytes.data());
}

bool ReceiverCommands::SetParameter(uint8_t n, uint16_t value) {
  return WriteCommand(U16(kSetParameter + n), value, 1);
}

bool ReceiverCommands::SetMode(uint16_t value) {
  return WriteCommand(kSetMode, value, 1);
}

bool ReceiverCommands::StartPairing() {
  return WriteCommand(kPairing, 1, 1);
}

bool ReceiverCommands::StopPairing() {
  return WriteCommand(kPairing, 0, 1);
}

int32_t ReceiverCommands::ReadFirmwareVersion() {
  uint16_t word = 0;
  if (!ReadWords(kFirmwareWordA, 1, &word)) return 0;
  // The older version word carries the same marker and BCD digits as the newer one.
  if ((word & 0xFF00) == kVersionMarker) return DecodeVersion(word);
  // A failed read leaves the word as read above, which has no marker: -1.
  ReadWords(kFirmwareWordB, 1, &word);
  if ((word & 0xFF00) == kVersionMarker) return DecodeVersion(word);
  return -1;
}

}  // namespace device

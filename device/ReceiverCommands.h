#pragma once
// The receiver command set: the launcher's only way to talk to the receiver. Each operation turns
// into one or more command words sent through the device-manager library's Write and Read.
// Receiver memory is addressed in 16-bit words; words travel little-endian (low byte first).
#include <array>
#include <cstdint>
#include <string>

#include "device/DeviceLibrary.h"

// Command words.
namespace device::cmd {
inline constexpr uint16_t kCommitChunk = 0xB500;      // parameter: word address | 0x8000
inline constexpr uint16_t kReadWords = 0xB501;        // parameter: first word; byte count 2n
inline constexpr uint16_t kBeginBlockWrite = 0xB502;  // parameter: block address
inline constexpr uint16_t kStageByte = 0xB504;        // parameter: data byte * 256 + byte offset
inline constexpr uint16_t kReadInfo = 0xB600;         // parameter: info page; byte count 8
inline constexpr uint16_t kSetParameter = 0xBE00;     // + n; parameter: value
inline constexpr uint16_t kSetMode = 0xBF01;          // parameter: mode
inline constexpr uint16_t kPairing = 0xBF02;          // parameter: 1 start, 0 stop

inline constexpr uint16_t kCommitFlag = 0x8000;
inline constexpr uint16_t kFirmwareWordA = 0x058F;
inline constexpr uint16_t kFirmwareWordB = 0x2701;
inline constexpr uint16_t kVersionMarker = 0xA400;  // high byte of a version word

inline constexpr size_t kChunkWords = 32;
inline constexpr size_t kBlockWords = 128;
inline constexpr size_t kInfoBytes = 8;
}  // namespace device::cmd

namespace device {

class ReceiverCommands {
 public:
  using Chunk = std::array<uint16_t, cmd::kChunkWords>;
  using Block = std::array<uint16_t, cmd::kBlockWords>;
  using InfoPage = std::array<uint8_t, cmd::kInfoBytes>;

  // Addresses no receiver until SetDevice: an empty path and tag 0. Every command goes through
  // `library`, which must outlive the object.
  explicit ReceiverCommands(const device::DeviceLibrary& library) : library_(library) {}

  // The receiver to address from now on. Sends nothing.
  void SetDevice(std::u16string devicePath, uint16_t deviceTag);

  // One command through the library; false when the library, the export or the receiver fails.
  bool WriteCommand(uint16_t command, uint16_t parameter, uint16_t count);
  bool ReadCommand(uint16_t command, uint16_t parameter, uint16_t byteCount, void* buffer);

  bool CommitChunk(uint16_t address);
  // n words from address into words[0..n-1]; the words are left as they were when the read fails.
  bool ReadWords(uint16_t address, uint16_t n, uint16_t* words);
  bool BeginBlockWrite(uint16_t address);
  // Two byte writes into the staging area; the high byte is not sent when the low byte failed.
  bool StageWord(uint16_t index, uint16_t value);
  // Stages, commits and reads back 32 words. False when a staging write or the commit was
  // refused, or at the first word that does not read back.
  bool WriteChunk(uint16_t address, const Chunk& words);
  // Begin, then four verified chunks; stops after the first chunk that fails. False too when the
  // receiver refused the begin command.
  bool WriteBlock(uint16_t address, const Block& words);
  // 32 reads of 4 words; false at the first failed read.
  bool ReadBlock(uint16_t address, Block& words);
  bool ReadInfo(uint16_t page, InfoPage& bytes);
  bool SetParameter(uint8_t n, uint16_t value);
  bool SetMode(uint16_t value);
  bool StartPairing();
  bool StopPairing();
  // The version as a decimal number (0x38 in the low byte gives 38); 0 when the first read
  // fails, -1 when neither version word carries the marker.
  int32_t ReadFirmwareVersion();

  // The receiver SetDevice chose last.
  const std::u16string& DevicePath() const { return devicePath_; }
  uint16_t DeviceTag() const { return deviceTag_; }

 private:
  const device::DeviceLibrary& library_;
  // Handed unchanged to every Write and Read.
  std::u16string devicePath_;
  uint16_t deviceTag_ = 0;
};

}  // namespace device

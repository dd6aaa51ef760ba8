#pragma once
// What the simulated hub holds: the receivers attached, their memory and info pages, and how the
// library itself behaves. Read from "DLL_MouseDeviceManager.scenario" beside the library; the
// format is described in README.md.
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace devicemanager {

// Receiver identifiers of the build (the launcher searches for the same ones).
inline constexpr uint16_t kVendorId = TANDREL_VENDOR_ID;
inline constexpr uint16_t kFamily1ProductId = TANDREL_FAMILY1_PRODUCT_ID;
inline constexpr uint16_t kFamily1AltProductId = TANDREL_FAMILY1_ALT_PRODUCT_ID;
inline constexpr uint16_t kFamily2ProductId = TANDREL_FAMILY2_PRODUCT_ID;

// Receiver memory addresses of the firmware version words.
inline constexpr uint16_t kFirmwareWordA = 0x058F;
inline constexpr uint16_t kFirmwareWordB = 0x2701;

using InfoPage = std::array<uint8_t, 8>;

// A device that pairs while pairing is on: reported once on info page 6, afterMs after the
// pairing start.
struct PairingEvent {
  uint32_t afterMs = 0;
  uint8_t kind = 1;         // 1 or 2
  uint32_t identifier = 0;  // 19 bits
  uint8_t attribute = 0;    // byte 7 of info page 6 (kind 1)
  uint8_t extra = 0;        // byte 5 of info page 4 once reported
};

// Fail the listed occurrences (from 1) of a command, or of a command with one parameter.
struct FailRule {
  uint16_t command = 0;
  std::optional<uint16_t> parameter;
  std::vector<uint32_t> occurrences;
};

struct ReceiverSetup {
  uint16_t vendorId = kVendorId;
  uint16_t productId = kFamily1ProductId;
  std::u16string path;                 // generated from the identifiers and position when not given
  uint16_t tag = 0;                    // position + 1 when not given
  std::map<uint16_t, uint16_t> words;  // initial memory; every other word is 0xFFFF
  std::map<uint16_t, InfoPage> infoPages;  // every other page reads as zeros

  // Radio state on info page 4: signal level (byte 1) and channel (low five bits of byte 2),
  // taken from info.4 when the scenario gives that page and not these keys.
  uint8_t signal = 90;
  uint8_t channel = 12;
  uint32_t driftMs = 500;  // one drift step per period; 0: steady
  uint32_t seed = 1;       // of the drift's pseudo-random steps

  std::vector<PairingEvent> pairing;
  std::vector<FailRule> failures;
  std::map<uint16_t, uint16_t> corrupt;  // word address -> bits flipped whenever it is committed
  std::optional<uint32_t> unplugAfterCalls;  // Write/Read calls that still work
  std::optional<uint32_t> unplugAfterMs;     // since the library was loaded
};

// A library that waits for its transfers with a message loop: Write and Read with one of these
// commands dispatch the calling thread's messages for that long before they act (Windows only).
struct PumpRule {
  uint32_t milliseconds = 0;
  std::vector<uint16_t> commands;
};

struct Scenario {
  int32_t initialResult = 0;
  std::u16string traceFile;  // empty: no trace; relative names are beside the library
  std::optional<PumpRule> pump;
  std::vector<ReceiverSetup> receivers;
  // Lines that were not understood ("line 7: unknown key 'x'"); they are ignored otherwise.
  std::vector<std::string> problems;
};

// Never fails: what is not understood is listed in problems and skipped.
Scenario ParseScenario(std::string_view text);

// "38" -> 0xA438: the marker in the high byte, two BCD digits in the low byte.
uint16_t FirmwareWord(int version);

}  // namespace devicemanager

#pragma once
// The simulated hub and its receivers, behind the five exports. Portable and in-process: the
// export shell owns one instance per load of the library, tests drive one directly with a clock
// of their own.
//
// Each receiver has 0x8000 words of memory, a 32-word staging area filled byte by byte, a block
// write window, info pages, 256 parameter words, a mode word and a pairing switch; a pairing
// schedule and a drifting radio state from the scenario; and the faults the scenario injects.
// Arguments arrive in 32-bit slots; only the low 16 bits of tag, command, parameter and counts
// are used.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "outside/devicemanager/Scenario.h"

namespace devicemanager {

// Command words the receiver understands.
enum Command : uint16_t {
  kCommit = 0xB500,      // parameter: address | 0x8000; staging -> memory (32 words)
  kReadWords = 0xB501,   // parameter: first word address; byte count 2n
  kBeginBlock = 0xB502,  // parameter: block address; erases and opens 128 words for commits
  kStageByte = 0xB504,   // parameter: data byte << 8 | byte offset (0..63)
  kReadInfo = 0xB600,    // parameter: page number; byte count 8
  kParameter = 0xBE00,   // + n (0..255); parameter: value
  kSetMode = 0xBF01,     // parameter: mode
  kPairing = 0xBF02,     // parameter: 1 start, 0 stop
};

inline constexpr size_t kMemoryWords = 0x8000;
inline constexpr size_t kStagingWords = 32;
inline constexpr size_t kBlockWords = 128;
// Room of the caller's path buffer, terminator included.
inline constexpr size_t kPathChars = 128;
// Info pages with a life of their own.
inline constexpr uint16_t kRadioPage = 4;
inline constexpr uint16_t kPairingPage = 6;

struct Receiver {
  explicit Receiver(const ReceiverSetup& setup);

  ReceiverSetup setup;
  std::vector<uint16_t> memory;
  std::map<uint16_t, InfoPage> infoPages;
  std::array<uint8_t, 2 * kStagingWords> staging{};
  bool blockOpen = false;  // commits land only inside the block begun last
  uint16_t blockAddress = 0;
  std::array<uint16_t, 256> parameters{};
  uint16_t mode = 0;

  bool pairing = false;
  uint64_t pairingSince = 0;  // clock at the last pairing start
  size_t nextPairing = 0;     // first event of the schedule not yet reported
  bool extraKnown = false;    // a reported device gave byte 5 of the radio page
  uint8_t extra = 0;

  uint8_t signal;
  uint8_t channel;
  uint64_t driftSteps = 0;
  uint32_t random;

  uint32_t calls = 0;                // Write and Read calls that reached it while attached
  std::vector<uint32_t> failCounts;  // per rule of setup.failures
  bool unplugged = false;
};

class Simulator {
 public:
  // One trace line per call, without the line end; empty: no trace.
  using TraceSink = std::function<void(std::string_view line)>;
  // Milliseconds, never going back. Empty: the system's steady clock.
  using Clock = std::function<uint64_t()>;

  explicit Simulator(const Scenario& scenario, TraceSink trace = {}, Clock clock = {});

  int32_t Initial(void* windowHandle);
  void CloseQuery();
  bool Write(const char16_t* path, uint32_t tag, uint32_t command, uint32_t parameter,
             uint32_t count);
  bool Read(const char16_t* path, uint32_t tag, uint32_t command, uint32_t parameter,
            uint32_t byteCount, void* buffer);
  int32_t GetUsbDeviceFromHub(uint32_t vendorId, uint32_t productId, int32_t index,
                              char16_t* pathBuffer, int32_t* tag);

  // For tests and the trace: the receiver a path names (attached or not), null when none.
  Receiver* Find(const char16_t* path);
  const std::vector<Receiver>& Receivers() const { return receivers_; }

 private:
  // Why a call to an attached receiver failed before reaching it; empty when it goes through.
  const char* Admit(Receiver& r, uint16_t command, uint16_t parameter);
  bool Attached(Receiver& r);
  bool Execute(Receiver& r, uint16_t command, uint16_t parameter);
  bool Fetch(Receiver& r, uint16_t command, uint16_t parameter, uint16_t byteCount,
             uint8_t* buffer);
  InfoPage PairingPage(Receiver& r);
  InfoPage RadioPage(Receiver& r);
  void Drift(Receiver& r);
  void Trace(const std::string& line) const;

  int32_t initialResult_;
  std::vector<Receiver> receivers_;
  TraceSink trace_;
  Clock clock_;
  uint64_t loadedAt_;
};

// "Write path=\"...\" tag=0x0001 cmd=0xBF02 param=0x0001 count=1" and the like: the trace's own
// rendering of a device path ("(null)" for a null pointer).
std::string QuotedPath(const char16_t* path);

}  // namespace devicemanager

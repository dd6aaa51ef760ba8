#pragma once
// What the main window does to the receiver: the receiver check before a feature starts, and the
// four requests of the feature modules (pairing start and stop, the newly paired device, the
// radio information). Portable, with the pauses the receiver needs going through an injected
// clock, so the whole path runs natively against the simulator.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "device/ReceiverCommands.h"
#include "device/DeviceLibrary.h"
#include "device/PairingBlock.h"

namespace device {

// Waits between receiver commands. The launcher's clock blocks the GUI thread, as the receiver
// expects nothing else to happen meanwhile; tests count the pauses instead.
class PauseClock {
 public:
  virtual ~PauseClock() = default;
  virtual void Pause(uint32_t milliseconds) = 0;
};

class SleepingClock final : public PauseClock {
 public:
  void Pause(uint32_t milliseconds) override;
};

inline constexpr int32_t kMinimumFirmware = 38;
// Pauses the receiver needs: after a pairing parameter, around a block store, between radio reads.
inline constexpr uint32_t kPairStartPauseMs = 20;
inline constexpr uint32_t kModePauseMs = 100;
inline constexpr uint32_t kRadioRetryPauseMs = 20;
// A block store writes the whole edited block at most this often before it gives up.
inline constexpr int kStoreAttempts = 3;
// A radio read is tried this often before the receiver counts as removed.
inline constexpr int kRadioReadAttempts = 3;

enum class ReceiverFound {
  One,             // the receiver object now addresses it, firmware 38 or above
  None,            // no receiver, or no device-manager library
  Several,         // more than one receiver of the family searched last
  FirmwareTooOld,  // exactly one, below firmware 38 (or its version unreadable)
};

struct ReceiverCheck {
  ReceiverFound found = ReceiverFound::None;
  int32_t firmware = 0;  // as read, when exactly one receiver was found
};

class ReceiverRequests {
 public:
  // All three must outlive the object; the receiver object is the one the requests address.
  ReceiverRequests(const device::DeviceLibrary& library, device::ReceiverCommands& receiver,
                   PauseClock& clock)
      : library_(library), receiver_(receiver), clock_(clock) {}

  // The first family's search, else the second's; exactly one receiver is pointed at and its
  // firmware read. A failed check leaves the receiver object as the search left it.
  ReceiverCheck CheckReceiver();

  // The next pairing parameter (the index advances even when the write fails), then pairing on.
  bool DoPairStart();
  bool DoPairStop();
  // Info pages 6 and 4; a reported device is stored in the pairing block. On failure, and when
  // no device is reported, `device` says so: kind -1, identifier 0.
  bool ReadNewDeviceId(device::NewDevice& device);
  bool StoreKind1Id(uint32_t identifier, uint8_t attribute, uint8_t extra);
  bool StoreKind2Id(uint32_t identifier);
  // Channel and signal level from info page 4; nothing when the receiver stays unreadable.
  std::optional<device::RadioInfo> ReadRadioInfo();

  // A request (or the check) is in progress. One that arrives meanwhile (a library that dispatches
  // messages while it waits lets the next request in) is not started: it fails at once, with
  // nothing sent to the receiver, so two command sequences never interleave on it.
  bool Busy() const { return busy_; }

 private:
  // Runs `request` unless another is in progress; `refused` otherwise.
  template <typename Result, typename Request>
  Result Exclusively(Result refused, Request request);

  ReceiverCheck FindOneReceiver();
  bool StoreKind1(uint32_t identifier, uint8_t attribute, uint8_t extra);
  bool StoreKind2(uint32_t identifier);
  // Reads the block, edits it between mode writes 1 and 2 and writes it back until one write
  // verifies. True only then: the receiver holds the edited block.
  bool StorePairingBlock(const std::function<void(device::ReceiverCommands::Block&)>& edit);

  const device::DeviceLibrary& library_;
  device::ReceiverCommands& receiver_;
  PauseClock& clock_;
  // Advances with every pairing start for the life of the main window, which is the process's.
  int32_t pairingParameterIndex_ = 0;
  bool busy_ = false;
};

}  // namespace device

#include "device/ReceiverRequests.h"

#include <chrono>
#include <thread>

#include "device/ReceiverSearch.h"

namespace device {

void SleepingClock::Pause(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

template <typename Result, typename Request>
Result ReceiverRequests::Exclusively(Result refused, Request request) {
  if (busy_) return refused;
  struct Hold {
    bool& busy;
    explicit Hold(bool& b) : busy(b) { busy = true; }
    ~Hold() { busy = false; }
  } hold(busy_);
  return request();
}

ReceiverCheck ReceiverRequests::CheckReceiver() {
  return Exclusively(ReceiverCheck{ReceiverFound::None, 0}, [this] { return FindOneReceiver(); });
}

ReceiverCheck ReceiverRequests::FindOneReceiver() {
  // Only the first family's count decides whether the second family is asked at all.
  ReceiverSearchResult found = device::FindReceiverFamily1(library_, 0);
  if (found.count != 1) found = device::FindReceiverFamily2(library_, 0);
  // Without the device-manager library (a negative count) no receiver can be reached either.
  if (found.count < 1) return {ReceiverFound::None, 0};
  if (found.count > 1) return {ReceiverFound::Several, 0};
  receiver_.SetDevice(std::move(found.devicePath), found.deviceTag);
  const int32_t firmware = receiver_.ReadFirmwareVersion();
  return {firmware >= kMinimumFirmware ? ReceiverFound::One : ReceiverFound::FirmwareTooOld,
          firmware};
}

bool ReceiverRequests::DoPairStart() {
  return Exclusively(false, [this] {
    if (!receiver_.SetParameter(1, device::NextParameter(pairingParameterIndex_))) return false;
    clock_.Pause(kPairStartPauseMs);
    return receiver_.StartPairing();
  });
}

bool ReceiverRequests::DoPairStop() {
  return Exclusively(false, [this] { return receiver_.StopPairing(); });
}

bool ReceiverRequests::ReadNewDeviceId(device::NewDevice& device) {
  device = {};
  return Exclusively(false, [&] {
    device::ReceiverCommands::InfoPage a{}, b{};
    if (!receiver_.ReadInfo(device::kInfoNewDevice, a)) return false;
    if (!receiver_.ReadInfo(device::kInfoRadio, b)) return false;
    const device::NewDevice found = device::DecodeNewDevice(a);
    if (found.kind == 1 && !StoreKind1(found.identifier, a[7], b[5])) return false;
    if (found.kind == 2 && !StoreKind2(found.identifier)) return false;
    device = found;
    return true;
  });
}

bool ReceiverRequests::StoreKind1Id(uint32_t identifier, uint8_t attribute, uint8_t extra) {
  return Exclusively(false, [&] { return StoreKind1(identifier, attribute, extra); });
}

bool ReceiverRequests::StoreKind2Id(uint32_t identifier) {
  return Exclusively(false, [&] { return StoreKind2(identifier); });
}

bool ReceiverRequests::StoreKind1(uint32_t identifier, uint8_t attribute, uint8_t extra) {
  return StorePairingBlock([&](device::ReceiverCommands::Block& block) {
    device::EditKind1(block, identifier, attribute, extra);
  });
}

bool ReceiverRequests::StoreKind2(uint32_t identifier) {
  return StorePairingBlock(
      [&](device::ReceiverCommands::Block& block) { device::EditKind2(block, identifier); });
}

bool ReceiverRequests::StorePairingBlock(
    const std::function<void(device::ReceiverCommands::Block&)>& edit) {
  device::ReceiverCommands::Block block{};
  // Nothing has been written yet: a failed read leaves the table as it was.
  if (!receiver_.ReadBlock(device::kBlockAddress, block)) return false;
  receiver_.SetMode(1);
  clock_.Pause(kModePauseMs);
  edit(block);
  // The begin command erases the block: after a failed write the receiver may hold part of the
  // table, the other devices' identifiers included. Each attempt writes the whole edited copy
  // again, begin command first.
  bool stored = false;
  for (int attempt = 0; attempt < kStoreAttempts && !stored; ++attempt)
    stored = receiver_.WriteBlock(device::kBlockAddress, block);
  receiver_.SetMode(2);
  clock_.Pause(kModePauseMs);
  return stored;
}

std::optional<device::RadioInfo> ReceiverRequests::ReadRadioInfo() {
  return Exclusively(std::optional<device::RadioInfo>(), [this] {
    // One failed read is not a removed receiver: only one that stays unreadable is.
    for (int attempt = 0; attempt < kRadioReadAttempts; ++attempt) {
      if (attempt > 0) clock_.Pause(kRadioRetryPauseMs);
      device::ReceiverCommands::InfoPage b{};
      if (receiver_.ReadInfo(device::kInfoRadio, b)) return std::optional(device::DecodeRadio(b));
    }
    return std::optional<device::RadioInfo>();
  });
}

}  // namespace device

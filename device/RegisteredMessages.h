#pragma once
// The registered messages by which the feature modules ask the main window for receiver
// operations, and the main window answers. One definition in the SDK; the system gives each
// name its identifier (RegisteredMessages_win.cpp, or a portable stand-in).
#include <cstdint>

#include "sdk/tandrel_sdk.h"

namespace device {

// Names of the registered messages shared with the feature modules (the SDK's).
inline constexpr char16_t kAmPairStart[] = TANDREL_U16(TANDREL_MSG_NAME_PAIR_START);
inline constexpr char16_t kAmPairGetId[] = TANDREL_U16(TANDREL_MSG_NAME_PAIR_GET_ID);
inline constexpr char16_t kAmPairReturnId[] = TANDREL_U16(TANDREL_MSG_NAME_PAIR_RETURN_ID);
inline constexpr char16_t kAmPairStop[] = TANDREL_U16(TANDREL_MSG_NAME_PAIR_STOP);
inline constexpr char16_t kAmChannelSettingExRequestRfInfo[] =
    TANDREL_U16(TANDREL_MSG_NAME_REQUEST_RFINFO);
inline constexpr char16_t kAmChannelSettingExRfInfo[] = TANDREL_U16(TANDREL_MSG_NAME_RFINFO);
inline constexpr char16_t kAmDeviceRemove[] = TANDREL_U16(TANDREL_MSG_NAME_DEVICE_REMOVE);

// The identifier the system gives a message name. Asked for at every use and never kept, so a
// module that registers the same name at any time gets the same identifier. 0 when the system
// refuses the name. On Windows RegisterWindowMessageW; elsewhere a process-wide stand-in with the
// same contract (same name, case ignored, same identifier; 0xC000 and above).
uint32_t RegisteredMessage(const char16_t* name);

// The system gives registered messages identifiers from this range only.
inline constexpr uint32_t kFirstRegisteredMessage = 0xC000;
inline constexpr uint32_t kLastRegisteredMessage = 0xFFFF;

// Whether an incoming message is the registered message of that name. A name the system refused
// (identifier 0) matches nothing: 0 is WM_NULL, which other programs send to probe for hung
// windows. A message outside the registered range is no registered message, and the system is
// not asked: every message to the main window passes here, and each request is a round trip to
// the window system.
inline bool IsRegisteredMessage(uint32_t message, const char16_t* name) {
  if (message < kFirstRegisteredMessage || message > kLastRegisteredMessage) return false;
  const uint32_t id = RegisteredMessage(name);
  return id != 0 && id == message;
}

}  // namespace device

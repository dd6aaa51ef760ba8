#pragma once
// Device access as the main form sees it: opened once the window exists, closed when it is asked
// to close. Also the receiver search and the registered messages by which the feature modules ask
// the main window for receiver operations.
#include <cstdint>
#include <string>

#include "device/DeviceLibrary.h"
#include "sdk/tandrel_sdk.h"

namespace device {

// Loads the device-manager library and hands it the main window's handle through Initial.
// Returns Initial's result; 0 when the library or the export is missing.
int32_t OpenDeviceAccess(DeviceLibrary& library, void* windowHandle);
// Tells the library through CloseQuery, then frees it. Calls nothing when nothing is loaded.
void CloseDeviceAccess(DeviceLibrary& library);

// Receiver identifiers the search asks the library for (build settings).
inline constexpr uint16_t kVendorId = TANDREL_VENDOR_ID;
inline constexpr uint16_t kFamily1ProductId = TANDREL_FAMILY1_PRODUCT_ID;
inline constexpr uint16_t kFamily1AltProductId = TANDREL_FAMILY1_ALT_PRODUCT_ID;
inline constexpr uint16_t kFamily2ProductId = TANDREL_FAMILY2_PRODUCT_ID;

// The number of receivers of the first family: the primary product identifier, and the alternate
// one only when no primary receiver is attached. -1 when the library or its export is missing.
// Path and tag are what the library left (an empty path when it wrote nothing); they describe a
// receiver only when the count is 1.
int32_t FindReceiverFamily1(const DeviceLibrary& library, int32_t index, std::u16string& devicePath,
                            uint16_t& deviceTag);
// The same for the second family (one product identifier).
int32_t FindReceiverFamily2(const DeviceLibrary& library, int32_t index, std::u16string& devicePath,
                            uint16_t& deviceTag);

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

#pragma once
// Device access as the main form sees it: opened once the window exists, closed when it is asked
// to close. Also the receiver search and the registered messages by which the feature modules ask
// the main window for receiver operations.
#include <cstdint>
#include <string>

namespace device {

// Loads the device-manager library and hands it the main window's handle through Initial.
// Returns Initial's result; 0 when the library or the export is missing.
int32_t OpenDeviceAccess(void* windowHandle);
// Tells the library through CloseQuery, then frees it. Calls nothing when nothing is loaded.
void CloseDeviceAccess();

// Receiver identifiers the search asks the library for (build settings).
inline constexpr uint16_t kVendorId = TANDREL_VENDOR_ID;
inline constexpr uint16_t kFamily1ProductId = TANDREL_FAMILY1_PRODUCT_ID;
inline constexpr uint16_t kFamily1AltProductId = TANDREL_FAMILY1_ALT_PRODUCT_ID;
inline constexpr uint16_t kFamily2ProductId = TANDREL_FAMILY2_PRODUCT_ID;

// The number of receivers of the first family: the primary product identifier, and the alternate
// one only when no primary receiver is attached. -1 when the library or its export is missing.
// Path and tag are what the library left (an empty path when it wrote nothing); they describe a
// receiver only when the count is 1.
int32_t FindReceiverFamily1(int32_t index, std::u16string& devicePath, uint16_t& deviceTag);
// The same for the second family (one product identifier).
int32_t FindReceiverFamily2(int32_t index, std::u16string& devicePath, uint16_t& deviceTag);

// Names of the registered messages shared with the feature modules.
inline constexpr char16_t kAmPairStart[] = u"AM_PAIR_START";
inline constexpr char16_t kAmPairGetId[] = u"AM_PAIR_GET_ID";
inline constexpr char16_t kAmPairReturnId[] = u"AM_PAIR_RETURN_ID";
inline constexpr char16_t kAmPairStop[] = u"AM_PAIR_STOP";
inline constexpr char16_t kAmChannelSettingExRequestRfInfo[] =
    u"AM_CHANNEL_SETTING_EX_REQUEST_RFINFO";
inline constexpr char16_t kAmChannelSettingExRfInfo[] = u"AM_CHANNEL_SETTING_EX_RFINFO";
inline constexpr char16_t kAmDeviceRemove[] = u"AM_DEVICE_REMOVE";

// The identifier the system gives a message name. Asked for at every use and never kept, so a
// module that registers the same name at any time gets the same identifier. 0 when the system
// refuses the name. On Windows RegisterWindowMessageW; elsewhere a process-wide stand-in with the
// same contract (same name, case ignored, same identifier; 0xC000 and above).
uint32_t RegisteredMessage(const char16_t* name);

}  // namespace device

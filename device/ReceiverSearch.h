#pragma once
// The receiver search: how many receivers of each family the device-manager library finds, and
// the path and tag that address the one found.
#include <cstdint>
#include <string>

#include "device/DeviceLibrary.h"
#include "sdk/tandrel_sdk.h"

namespace device {

// Receiver identifiers the search asks the library for (build settings).
inline constexpr uint16_t kVendorId = TANDREL_VENDOR_ID;
inline constexpr uint16_t kFamily1ProductId = TANDREL_FAMILY1_PRODUCT_ID;
inline constexpr uint16_t kFamily1AltProductId = TANDREL_FAMILY1_ALT_PRODUCT_ID;
inline constexpr uint16_t kFamily2ProductId = TANDREL_FAMILY2_PRODUCT_ID;

struct ReceiverSearchResult {
  // Receivers found; -1 when the library or its export is missing.
  int32_t count = -1;
  // What the library left (an empty path when it wrote nothing); they describe a receiver only
  // when the count is 1.
  std::u16string devicePath;
  uint16_t deviceTag = 0;
};

// The receivers of the first family: the primary product identifier, and the alternate one only
// when no primary receiver is attached.
ReceiverSearchResult FindReceiverFamily1(const DeviceLibrary& library, int32_t index);
// The same for the second family (one product identifier).
ReceiverSearchResult FindReceiverFamily2(const DeviceLibrary& library, int32_t index);

}  // namespace device

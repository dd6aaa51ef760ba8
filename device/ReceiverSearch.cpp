#include "device/ReceiverSearch.h"

#include <algorithm>

namespace device {
namespace {

int32_t Search(const DeviceLibrary& library, uint16_t productId, int32_t index,
               char16_t (&buffer)[kDevicePathChars], int32_t& tag) {
  return library.GetUsbDeviceFromHub(kVendorId, productId, index, buffer, &tag);
}

// At most the buffer's room: a library that leaves no terminator gives 128 code units.
std::u16string PathFrom(const char16_t (&buffer)[kDevicePathChars]) {
  const auto end = std::find(buffer, buffer + kDevicePathChars, u'\0');
  return std::u16string(buffer, end);
}

}  // namespace

ReceiverSearchResult FindReceiverFamily1(const DeviceLibrary& library, int32_t index) {
  // Cleared, so a library that writes nothing yields an empty path.
  char16_t buffer[kDevicePathChars] = {};
  int32_t tag = 0;
  int32_t count = Search(library, kFamily1ProductId, index, buffer, tag);
  // Only "none attached" sends us to the alternate identifier; a failed search or several
  // receivers are the answer as they are.
  if (count == 0) count = Search(library, kFamily1AltProductId, index, buffer, tag);
  return {count, PathFrom(buffer), static_cast<uint16_t>(tag & 0xFFFF)};
}

ReceiverSearchResult FindReceiverFamily2(const DeviceLibrary& library, int32_t index) {
  char16_t buffer[kDevicePathChars] = {};
  int32_t tag = 0;
  const int32_t count = Search(library, kFamily2ProductId, index, buffer, tag);
  return {count, PathFrom(buffer), static_cast<uint16_t>(tag & 0xFFFF)};
}

}  // namespace device

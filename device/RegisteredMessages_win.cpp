#include <windows.h>

#include "device/RegisteredMessages.h"

namespace device {

uint32_t RegisteredMessage(const char16_t* name) {
  return RegisterWindowMessageW(reinterpret_cast<const wchar_t*>(name));
}

}  // namespace device

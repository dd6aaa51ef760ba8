// Stand-in for the system's registered-message service where there is none: the first request
// for a name assigns the next identifier from 0xC000 up, later requests (any case) get it again.
#include <mutex>
#include <vector>

#include "base/Utf.h"
#include "device/RegisteredMessages.h"

namespace device {

uint32_t RegisteredMessage(const char16_t* name) {
  static std::mutex lock;
  static std::vector<std::u16string> names;
  if (!name || !*name) return 0;
  const std::lock_guard<std::mutex> guard(lock);
  for (size_t i = 0; i < names.size(); ++i)
    if (base::EqualsNoCase(names[i], name))
      return static_cast<uint32_t>(kFirstRegisteredMessage + i);
  // The range is used up, as on the system.
  if (names.size() > kLastRegisteredMessage - kFirstRegisteredMessage) return 0;
  names.emplace_back(name);
  return static_cast<uint32_t>(kFirstRegisteredMessage + names.size() - 1);
}

}  // namespace device

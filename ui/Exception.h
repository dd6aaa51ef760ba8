#pragma once
// Errors the framework raises: a failed conversion, an unreadable picture, a file that cannot be
// opened. The program's own code raises nothing; these reach the entry's exception message box.
#include <exception>
#include <stdexcept>
#include <string>

#include "base/Utf.h"

namespace ui {

class Exception : public std::runtime_error {
 public:
  explicit Exception(std::u16string message)
      : std::runtime_error(base::Utf16ToUtf8(message)), message_(std::move(message)) {}
  const std::u16string& Message() const { return message_; }

 private:
  std::u16string message_;
};

class EConvertError : public Exception {
  using Exception::Exception;
};
class EInvalidGraphic : public Exception {
  using Exception::Exception;
};
class EFOpenError : public Exception {
  using Exception::Exception;
};
class EOutOfMemory : public Exception {
 public:
  EOutOfMemory() : Exception(u"Out of memory") {}
};

// What the exception box shows for anything that escaped: a framework error as it is, a failed
// allocation as EOutOfMemory, anything else with its own description ("Unexpected error" when it
// has none). Never an empty message.
Exception AsFrameworkError(const std::exception_ptr& error);

}  // namespace ui

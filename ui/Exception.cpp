#include "ui/Exception.h"

#include <new>

namespace ui {

Exception AsFrameworkError(const std::exception_ptr& error) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const Exception& e) {
    if (!e.Message().empty()) return e;
  } catch (const std::bad_alloc&) {
    return EOutOfMemory();
  } catch (const std::exception& e) {
    if (*e.what()) return Exception(base::Utf8ToUtf16(e.what()));
  } catch (...) {
  }
  return Exception(u"Unexpected error");
}

}  // namespace ui

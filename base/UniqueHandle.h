#pragma once
// A move-only owner of one platform handle, with the close function in the type
// (after wil's unique_any): unique_handle<HMODULE, decltype(&FreeLibrary), FreeLibrary>.
#include <utility>

namespace base {

template <typename Handle, typename Close, Close CloseFn, Handle Invalid = Handle{}>
class unique_handle {
 public:
  unique_handle() = default;
  explicit unique_handle(Handle h) : h_(h) {}
  ~unique_handle() { reset(); }
  unique_handle(const unique_handle&) = delete;
  unique_handle& operator=(const unique_handle&) = delete;
  unique_handle(unique_handle&& o) noexcept : h_(o.release()) {}
  unique_handle& operator=(unique_handle&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }

  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != Invalid; }
  Handle release() { return std::exchange(h_, Invalid); }
  void reset(Handle h = Invalid) {
    Handle old = std::exchange(h_, h);
    if (old != Invalid) CloseFn(old);
  }

 private:
  Handle h_ = Invalid;
};

}  // namespace base

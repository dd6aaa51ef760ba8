#pragma once
// The owner of a kernel object's handle (file, mutex, process): CloseHandle with the scope.
// Functions that fail with INVALID_HANDLE_VALUE hand over null instead.
#include <windows.h>

#include "base/UniqueHandle.h"

namespace base {

inline void CloseKernelHandle(HANDLE h) {
  CloseHandle(h);
}
using unique_kernel_handle = unique_handle<HANDLE, void (*)(HANDLE), &CloseKernelHandle>;

}  // namespace base

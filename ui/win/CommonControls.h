#pragma once
// Version 6 of the common controls for code that makes windows of its own: the feature modules
// and the message boxes.
//
// The launcher's own window uses none of them, and under Wine the first window of a class the
// version-6 controls redirect (a push button) loads comctl32.dll: some 7 ms and 2.6 MiB of a start
// that should cost no more than a bare window's. So the executable's manifest (resource 1) does
// not ask for them; a second manifest (resource ISOLATIONAWARE_NOSTATICIMPORT_MANIFEST_RESOURCE_ID,
// which no loader reads on its own) does, and this scope makes it the thread's active activation
// context. Libraries loaded and windows made inside the scope see what a process whose manifest
// asks for common controls 6 sees.
#include <windows.h>

namespace ui::win {

class CommonControlsScope {
 public:
  // Activates the context, made from the executable's resource at the first scope. Without the
  // resource (test programs) or the context, the scope changes nothing.
  CommonControlsScope();
  ~CommonControlsScope();
  CommonControlsScope(const CommonControlsScope&) = delete;
  CommonControlsScope& operator=(const CommonControlsScope&) = delete;

  bool Active() const { return active_; }

 private:
  ULONG_PTR cookie_ = 0;
  bool active_ = false;
};

}  // namespace ui::win

#include <windows.h>

#include <cstdio>

#include "base/Platform.h"
#include "outside/devicemanager/ModuleFiles.h"

namespace devicemanager {

std::u16string ModuleFolder() {
  // The module that holds this very function: the library, wherever it was loaded from.
  const std::u16string path = base::ModuleFileName(reinterpret_cast<const void*>(&ModuleFolder));
  return path.substr(0, path.find_last_of(u"\\/") + 1);
}

bool IsAbsolutePath(const std::u16string& path) {
  return (path.size() >= 2 && path[1] == u':') ||
         (!path.empty() && (path[0] == u'\\' || path[0] == u'/'));
}

std::FILE* OpenForAppend(const std::u16string& path) {
  return _wfopen(reinterpret_cast<const wchar_t*>(path.c_str()), L"a");
}

void PumpMessages(uint32_t milliseconds) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < milliseconds) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {  // the caller's loop is to see it, as it would have
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void StateDestroyed() {}

}  // namespace devicemanager

// A null reserved pointer means the library was freed; otherwise the process is ending with the
// library still loaded.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_DETACH) devicemanager::NoteUnload(reserved ? "process-exit" : "freed");
  return TRUE;
}

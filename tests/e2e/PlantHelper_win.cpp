// A helper DLL for the library-search runs, built in two kinds under the same file name: the
// genuine helper that lies beside the module importing it, and a planted copy, which leaves
// "<its file name>.loaded" beside itself as soon as any process loads it.
#include <windows.h>

#include <string>

extern "C" __declspec(dllexport) const char* tandrel_helper_origin() {
  return TANDREL_HELPER_ORIGIN;
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
#ifdef TANDREL_HELPER_MARKER
  if (reason == DLL_PROCESS_ATTACH) {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
    const std::wstring marker = std::wstring(path, n) + L".loaded";
    HANDLE f = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
  }
#else
  (void)self;
  (void)reason;
#endif
  return TRUE;
}

// The program's entry: one instance at a time, then the main form and the message loop.
#include <windows.h>

#include "base/KernelHandle_win.h"
#include "base/StartupMarks.h"
#include "shell/MainForm.h"
#include "ui/Application.h"
#include "ui/Exception.h"

namespace {

// The current directory becomes the skin folder, which people edit by hand: libraries loaded from
// now on find their dependencies beside themselves and in the system's folders, never there.
// Looked up at run time, so the program still starts where the function is missing.
void RestrictLibrarySearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
    if (auto set = reinterpret_cast<SetDefaultDllDirectoriesFn>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories"))))
      set(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  }
  SetDllDirectoryW(L"");
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  startup::Mark("entry");
  RestrictLibrarySearch();
  // The mutex only marks a running instance; when it cannot be created at all the program
  // runs without the guard.
  base::unique_kernel_handle instance(CreateMutexW(nullptr, FALSE, L"TandrelProgramExe"));
  if (instance && GetLastError() == ERROR_ALREADY_EXISTS) return -1;

  ui::Application& app = ui::App();
  try {
    app.Initialize();
    shell::TandrelProgram = app.CreateForm<shell::MainForm>();
    startup::Mark("form created");
    app.Run();
  } catch (...) {
    // Whatever ends the construction or the loop is shown with a message: a failed allocation
    // (a huge picture or language file in a 32-bit process) as the framework's out-of-memory error.
    const ui::Exception error = ui::AsFrameworkError(std::current_exception());
    app.ShowException(&error);
  }
  app.DestroyForms();
  return 0;
}

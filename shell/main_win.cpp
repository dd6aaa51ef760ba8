// The program's entry: one instance at a time, then the main form and the message loop.
#include <windows.h>

#include "base/UniqueHandle.h"
#include "shell/MultiPairMainForm.h"
#include "ui/Application.h"
#include "ui/Exception.h"

namespace {
void CloseMutex(HANDLE h) {
  CloseHandle(h);
}
using unique_mutex = base::unique_handle<HANDLE, void (*)(HANDLE), &CloseMutex>;
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The mutex only marks a running instance; when it cannot be created at all the program
  // runs without the guard.
  unique_mutex instance(CreateMutexW(nullptr, FALSE, L"TandrelProgramExe"));
  if (instance && GetLastError() == ERROR_ALREADY_EXISTS) return -1;

  ui::Application& app = ui::App();
  try {
    app.Initialize();
    TandrelProgram = app.CreateForm<TTandrelProgram>();
    app.Run();
  } catch (const ui::Exception& e) {
    app.ShowException(&e);
  } catch (...) {
    // Anything else is shown as a framework error without a message.
    app.ShowException(nullptr);
  }
  app.DestroyForms();
  return 0;
}

// Where there are no windows (the native build), controls have no peer, the message loop has
// nothing to wait for and the screen is the design screen.
#include "ui/Application.h"

#include "base/File.h"
#include "ui/Exception.h"

namespace ui {

std::unique_ptr<WindowPeer> CreateFormPeer(TForm&) {
  return nullptr;
}
std::unique_ptr<WindowPeer> CreateButtonPeer(TWinControl&) {
  return nullptr;
}

void Application::Run() {
  if (mainForm_) mainForm_->Show();
}
void Application::ProcessMessages() {}
void Application::ShowException(const std::exception*) {}
// Natively there is nothing to show an icon on; only a missing file is an error, as on Windows.
void Application::LoadIconFromFile(const std::u16string& path) {
  if (!base::FileExists(path)) throw EFOpenError(u"Cannot open file \"" + path + u"\"");
}
void DestroyIconHandle(void*) {}

int Application::ScreenWidth() const {
  return 1024;
}
int Application::ScreenHeight() const {
  return 768;
}

}  // namespace ui

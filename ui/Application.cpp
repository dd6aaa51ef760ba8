#include "ui/Application.h"

namespace ui {

void Application::Initialize() {
  terminated_ = false;
}

void Application::DestroyForms() {
  while (!forms_.empty()) {
    if (forms_.back().get() == mainForm_) mainForm_ = nullptr;
    forms_.pop_back();
  }
}

void Application::Terminate() {
  terminated_ = true;
  if (wakeLoop_) wakeLoop_();
}

Application& App() {
  static Application app;
  return app;
}

}  // namespace ui

#pragma once
// The application object: creates the main form, runs the message loop until it closes,
// processes pending messages on request and shows escaped exceptions in a message box.
// The loop and the box are per platform (ui/win); natively they do nothing.
#include <exception>
#include <memory>

#include "base/UniqueHandle.h"
#include "ui/Controls.h"

namespace ui {

void DestroyIconHandle(void* icon);  // per platform
using unique_icon = base::unique_handle<void*, void (*)(void*), &DestroyIconHandle>;

class Application {
 public:
  void Initialize();

  // Constructs a form, fires its OnCreate once the constructor has finished, and makes the
  // first form created the main form. The application owns its forms.
  template <typename Form, typename... Args>
  Form* CreateForm(Args&&... args) {
    auto form = std::make_unique<Form>(std::forward<Args>(args)...);
    Form* raw = form.get();
    if (!mainForm_) mainForm_ = raw;
    forms_.push_back(std::move(form));
    raw->AfterConstruction();
    return raw;
  }
  // Destroys the forms, last created first.
  void DestroyForms();

  TForm* MainForm() const { return mainForm_; }
  // Shows the main form and dispatches messages until Terminate.
  void Run();
  // Dispatches every message waiting in the queue, then returns.
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return terminated_; }

  // The framework's exception message box with the exception's message (empty for anything that
  // is not a framework exception: callers pass what AsFrameworkError made of it).
  void ShowException(const std::exception* e);

  // The application's icon from an ".ico" file, on every form window from now on. Raises
  // EFOpenError when the file cannot be read and EInvalidGraphic when it holds no icon; until
  // then the icon built into the executable stays.
  void LoadIconFromFile(const std::u16string& path);
  // The loaded icon in the large or small size; null while none was loaded.
  NativeHandle Icon(bool small) const { return small ? smallIcon_.get() : largeIcon_.get(); }

  // Size of the primary screen in pixels.
  int ScreenWidth() const;
  int ScreenHeight() const;

 private:
  TForm* mainForm_ = nullptr;
  std::vector<std::unique_ptr<TForm>> forms_;
  bool terminated_ = false;
  unique_icon largeIcon_, smallIcon_;
  // Set by a running platform loop: wakes it when Terminate is called from a nested loop.
  void (*wakeLoop_)() = nullptr;
};

// The one application object of the process.
Application& App();

}  // namespace ui

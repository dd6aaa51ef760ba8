#pragma once
// Hints that show when the pointer rests on a window: one standard tooltip control (the common
// controls' "tooltips_class32") for the windows of a form, each registered as a tool by its
// handle, so the platform's accessibility layer also offers the hint as the window's help text.
//
// Nothing is loaded or made before the pointer first moves over one of the windows: the common
// controls cost a start under Wine 6 to 8 ms and 2.6 MiB, and most starts never need a hint. The
// owner feeds the windows' mouse messages to Relay, which makes the tooltip at the first move and
// hands it every mouse message from then on.
#include <windows.h>

#include <string>
#include <vector>

namespace ui::win {

class HoverHints {
 public:
  HoverHints() = default;
  // Destroys the tooltip window; the library stays loaded for the process.
  ~HoverHints();
  HoverHints(const HoverHints&) = delete;
  HoverHints& operator=(const HoverHints&) = delete;

  // `window`'s hint, shown for it in a tooltip owned by `owner`; line feeds break the hint into
  // lines. An empty text or a null window adds nothing.
  void Add(HWND owner, HWND window, std::u16string text);
  // A message `window` received; mouse messages of a window with a hint reach the tooltip.
  void Relay(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The tooltip window, null until it is made.
  HWND Window() const { return tip_; }

 private:
  struct Tool {
    HWND owner;
    HWND window;
    std::wstring text;
  };
  bool Make(HWND owner);
  void Register(const Tool& tool) const;

  std::vector<Tool> tools_;
  HWND tip_ = nullptr;
  bool tried_ = false;  // made or failed once: a failure is not retried on every move
};

}  // namespace ui::win

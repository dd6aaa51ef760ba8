// Times what a mouse move over a skinned button costs: WM_MOUSEMOVE through the button's whole
// chain (the button class's own handling, then the skin: frame cut, back buffer, block transfer,
// outline and equality test), against a plain BitBlt of the same size onto the same window, and
// the skin's Paint alone. Prints the times and the ratios measured in this run. Run under Wine.
// Usage: button_bench [strip.bmp]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "bench/Measure.h"
#include "skin/SkinnedButton_win.h"
#include "ui/Controls.h"

int main(int argc, char** argv) {
  std::string strip = argc > 1 ? argv[1] : "Z:" TANDREL_SKIN_DIR "/English/NewMultiPairProc.bmp";
  ui::TForm form(nullptr, u"Bench");
  form.SetBounds(100, 100, 375, 345);
  auto* button = new ui::TButton(&form, u"bt_NewMultiPairProcess");
  button->SetParent(&form);
  button->SetBounds(8, 232, 132, 33);
  form.Show();
  skin::SkinnedButton skin(button);
  skin.LoadSkin(std::u16string(strip.begin(), strip.end()));
  if (!skin.Hooked()) {
    std::printf("no strip at %s\n", strip.c_str());
    return 1;
  }
  HWND hwnd = static_cast<HWND>(button->Handle());
  const int w = button->Width(), h = button->Height();
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));  // the region is set once, here

  // The plain copy: a ready bitmap of the button's size to the button's window.
  HDC screen = GetDC(hwnd);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  PatBlt(memory, 0, 0, w, h, WHITENESS);
  ReleaseDC(hwnd, screen);

  // Drawing is queued: each batch pays for what it drew.
  const auto flush = [] { GdiFlush(); };
  const double move = bench::Measure(
      [&] { SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5 + rand() % 3, 5)); }, flush);
  const double paint = bench::Measure([&] { skin.Paint(); }, flush);
  const double blit = bench::Measure(
      [&] {
        HDC dc = GetDC(hwnd);
        BitBlt(dc, 0, 0, w, h, memory, 0, 0, SRCCOPY);
        ReleaseDC(hwnd, dc);
      },
      flush);
  std::printf("skinned button %d x %d\n", w, h);
  std::printf("  mouse move (button class + skin) %8.1f us   %.1f x a plain BitBlt\n", move,
              move / blit);
  std::printf("  skin Paint alone                 %8.1f us   %.1f x a plain BitBlt\n", paint,
              paint / blit);
  std::printf("  plain BitBlt (GetDC, BitBlt)     %8.1f us\n", blit);

  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return 0;
}

// Times the outline rule (banded rectangles) on the default background and on a 1920 x 1080
// picture, against the rule spelt out pixel by pixel through a per-pixel accessor with one fill
// per span (the reference the tests compare with), and against a single linear pass that reads
// every pixel once (the floor of any rule that must look at every pixel). Prints the times and
// the ratios, all measured in this run. Usage: outline_bench [background.bmp]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "base/Platform.h"
#include "bench/Measure.h"
#include "skin/OutlineRule.h"
#include "tests/skin/OutlineReference.h"
#include "ui/Exception.h"

namespace {

template <typename T>
void Keep(const T& value) {
  asm volatile("" : : "r,m"(value) : "memory");
}

// A window-like picture: rounded corners and a notch of key colour, a gradient body with text-like
// speckles (so no two rows are trivially alike).
ui::TBitmap ScreenPicture(int w, int h) {
  constexpr uint32_t kKey = 0xFF00FF;
  ui::TBitmap b(w, h, kKey);
  const double r = 40;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double dx = std::max({r - x, x - (w - 1 - r), 0.0});
      const double dy = std::max({r - y, y - (h - 1 - r), 0.0});
      if (dx * dx + dy * dy > r * r) continue;
      if (x > w - 200 && y > h - 120) continue;  // notch
      const uint32_t g = static_cast<uint32_t>(0x40 + 0x80 * y / h);
      b.SetPixel(x, y, (g << 16) | (g << 8) | 0xC0 | ((x * 7 + y * 13) % 29 == 0 ? 0x300000 : 0));
    }
  return b;
}

size_t LinearPass(const ui::TBitmap& b) {
  const uint32_t key = b.Pixel(0, 0) & 0xFFFFFF;
  size_t opaque = 0;
  for (uint32_t p : b.Pixels()) opaque += (p & 0xFFFFFF) != key;
  return opaque;
}

void Run(const char* name, const ui::TBitmap& b) {
  const skin::PixelGrid grid(b);
  const double project = bench::Measure([&] { Keep(skin::OutlineRects(grid).size()); });
  const double reference =
      bench::Measure([&] { Keep(skin::reference::ReferenceOutlineMask(b).size()); });
  const double linear = bench::Measure([&] { Keep(LinearPass(b)); });
  std::printf("%-28s %4d x %4d  %5zu rects\n", name, b.Width(), b.Height(),
              skin::OutlineRects(grid).size());
  std::printf("  outline rule      %10.1f us\n", project);
  std::printf("  per-pixel rule    %10.1f us   (%.1f x the outline rule)\n", reference,
              reference / project);
  std::printf("  linear pass       %10.1f us   outline rule / linear pass = %.2f\n", linear,
              project / linear);
}

}  // namespace

int main(int argc, char** argv) {
  std::string path = argc > 1 ? argv[1] : TANDREL_SKIN_DIR "/English/MultiPairMain_Background.bmp";
  // The build folder as Wine sees it.
  if (argc <= 1 && base::PathSeparator() == u'\\') path = "Z:" + path;
  try {
    Run("default background", ui::TBitmap::LoadFromFile(std::u16string(path.begin(), path.end())));
  } catch (const ui::Exception&) {
    std::printf("no default background at %s; build tandrel_skin_data first\n", path.c_str());
  }
  Run("1920 x 1080 shaped picture", ScreenPicture(1920, 1080));
  // The worst case for the rule: the key colour in every column, so no pass stops early.
  ui::TBitmap noise = ScreenPicture(1920, 1080);
  for (int x = 0; x < 1920; x += 3) noise.SetPixel(x, 540, 0xFF00FF);
  for (int y = 0; y < 1080; ++y) noise.SetPixel(960, y, 0xFF00FF);
  Run("1920 x 1080, key stripe", noise);
  return 0;
}

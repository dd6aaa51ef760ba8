// Coverage-guided fuzzing of the ".bmp" decoder (clang with -fsanitize=fuzzer): any input either
// decodes to a picture of its declared size or raises EInvalidGraphic.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "ui/Bitmap.h"
#include "ui/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const ui::TBitmap b = ui::TBitmap::LoadFromMemory(std::span<const uint8_t>(data, size));
    if (b.Pixels().size() != static_cast<size_t>(b.Width()) * b.Height()) std::abort();
    for (uint32_t p : b.Pixels())
      if (p >> 24) std::abort();  // the unused byte stays clear
  } catch (const ui::EInvalidGraphic&) {
  }
  return 0;
}

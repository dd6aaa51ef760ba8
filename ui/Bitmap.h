#pragma once
// A picture decoded from a ".bmp" file into 32-bit pixels, top-down, each pixel laid out as in a
// 32-bit top-down DIB: blue in the low byte, then green, red, and an unused byte. Portable, so the
// outline rule and the tests read the same pixels the Windows side draws.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ui/Graphics.h"

namespace ui {

class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(int width, int height, uint32_t fill = 0);

  // Larger sizes are taken for damage and refused before anything is allocated: no skin needs
  // more than 4096 x 4096 pixels, 64 MiB once decoded.
  static constexpr int kMaxDimension = 32768;
  static constexpr int64_t kMaxPixels = int64_t{1} << 24;

  // Raise EFOpenError when the file cannot be read, EInvalidGraphic when it is not a bitmap
  // this decoder understands (uncompressed or RLE, 1/4/8/16/24/32 bits per pixel). Run-length
  // pictures start as palette entry 0 where the stream skips pixels.
  static TBitmap LoadFromFile(const std::u16string& path);
  static TBitmap LoadFromMemory(std::span<const uint8_t> data);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }

  // DIB-order pixel (0x00RRGGBB as an integer); x, y must lie inside.
  uint32_t Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  void SetPixel(int x, int y, uint32_t p) { pixels_[static_cast<size_t>(y) * width_ + x] = p; }
  // The same pixel as a colour reference (red in the low byte).
  TColor PixelColor(int x, int y) const { return DibToColor(Pixel(x, y)); }

  const uint32_t* Scanline(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
  uint32_t* Scanline(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
  std::span<const uint32_t> Pixels() const { return pixels_; }

  static constexpr TColor DibToColor(uint32_t p) {
    return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
  }
  static constexpr uint32_t ColorToDib(TColor c) {
    return ((c >> 16) & 0xFF) | (c & 0xFF00) | ((c & 0xFF) << 16);
  }

 private:
  int width_ = 0, height_ = 0;
  std::vector<uint32_t> pixels_;
};

}  // namespace ui

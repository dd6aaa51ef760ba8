#pragma once
// Colours, fonts and rectangles as the framework models them.
#include <cstdint>
#include <string>

namespace ui {

// A colour reference: red in the low byte, then green, then blue. Values with 0xFF in the high
// byte name a system colour by its index (clBtnFace = 0xFF00000F), as the framework does.
using TColor = uint32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clSystemColor = 0xFF000000;
inline constexpr TColor clBtnFace = clSystemColor | 15;  // COLOR_BTNFACE
inline constexpr TColor clWindow = clSystemColor | 5;    // COLOR_WINDOW
inline constexpr TColor clWindowText = clSystemColor | 8;

inline constexpr TColor ColorRGB(uint8_t r, uint8_t g, uint8_t b) {
  return r | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
}

struct TFont {
  std::u16string Name = u"Tahoma";
  int Height = -11;  // negative: character height in pixels, as LOGFONT's lfHeight
  bool Bold = false;
  TColor Color = clBlack;
  bool operator==(const TFont&) const = default;
};

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const {
    return static_cast<int>(static_cast<unsigned>(Right) - static_cast<unsigned>(Left));
  }
  int Height() const {
    return static_cast<int>(static_cast<unsigned>(Bottom) - static_cast<unsigned>(Top));
  }
  bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  bool operator==(const TRect&) const = default;
};

}  // namespace ui

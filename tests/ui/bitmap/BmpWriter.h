#pragma once
// Builds ".bmp" byte images for the decoder tests: any header kind, depth, orientation, palette,
// bit-field masks, and a ready-made run-length stream. Pixel values are given top-down, as raw
// values of their depth (palette index, 16-bit word, 0xRRGGBB, 32-bit word).
#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace bmptest {

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;

struct BmpSpec {
  BmpSpec(int w, int h, int depth, uint32_t comp = kBiRgb)
      : width(w), height(h), bpp(depth), compression(comp) {}
  // Chained setters, so a sample reads as one expression.
  BmpSpec& Header(uint32_t size) { return headerSize = size, *this; }
  BmpSpec& Palette(std::vector<uint32_t> p) { return palette = std::move(p), *this; }
  BmpSpec& ColorsUsed(uint32_t n) { return colorsUsed = n, *this; }
  BmpSpec& Masks(uint32_t r, uint32_t g, uint32_t b) { return masks = {r, g, b}, *this; }
  BmpSpec& Values(std::vector<uint32_t> v) { return values = std::move(v), *this; }
  BmpSpec& Rle(std::vector<uint8_t> r) { return rle = std::move(r), *this; }

  int width = 0;
  int height = 0;  // negative: rows stored top-down
  int bpp = 24;
  uint32_t compression = kBiRgb;
  uint32_t headerSize = 40;         // 12, 40, 52, 56, 108 or 124
  std::vector<uint32_t> palette;    // 0x00RRGGBB, written as given
  uint32_t colorsUsed = 0;          // written as is into the info headers
  std::array<uint32_t, 3> masks{};  // red, green, blue for bit fields
  std::vector<uint32_t> values;     // width * |height| values, top row first
  std::vector<uint8_t> rle;         // the compressed stream instead of values
  uint32_t gap = 0;                 // junk bytes between palette and pixel data
  bool zeroOffset = false;          // write 0 as the pixel data offset
};

inline void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = v & 0xFF;
  b[at + 1] = (v >> 8) & 0xFF;
}
inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

inline std::vector<uint8_t> PackRows(const BmpSpec& s) {
  const int h = s.height < 0 ? -s.height : s.height;
  const size_t stride = (static_cast<size_t>(s.width) * s.bpp + 31) / 32 * 4;
  std::vector<uint8_t> bits(stride * h, 0);
  for (int y = 0; y < h; ++y) {
    const int fileRow = s.height < 0 ? y : h - 1 - y;
    uint8_t* row = bits.data() + stride * fileRow;
    for (int x = 0; x < s.width; ++x) {
      const uint32_t v = s.values[static_cast<size_t>(y) * s.width + x];
      switch (s.bpp) {
        case 1:
          row[x / 8] |= (v & 1) << (7 - x % 8);
          break;
        case 4:
          row[x / 2] |= (v & 0xF) << (x % 2 ? 0 : 4);
          break;
        case 8:
          row[x] = v & 0xFF;
          break;
        case 16:
          row[2 * x] = v & 0xFF;
          row[2 * x + 1] = (v >> 8) & 0xFF;
          break;
        case 24:
          for (int i = 0; i < 3; ++i) row[3 * x + i] = (v >> (8 * i)) & 0xFF;
          break;
        case 32:
          for (int i = 0; i < 4; ++i) row[4 * x + i] = (v >> (8 * i)) & 0xFF;
          break;
      }
    }
  }
  return bits;
}

inline std::vector<uint8_t> MakeBmp(const BmpSpec& s) {
  const bool core = s.headerSize == 12;
  const bool trailingMasks = s.headerSize == 40 && s.compression == kBiBitfields;
  const size_t entry = core ? 3 : 4;
  const size_t paletteAt = 14 + s.headerSize + (trailingMasks ? 12 : 0);
  const size_t bitsAt = paletteAt + s.palette.size() * entry + s.gap;
  const std::vector<uint8_t> bits =
      s.compression == kBiRle8 || s.compression == kBiRle4 ? s.rle : PackRows(s);
  std::vector<uint8_t> b(bitsAt + bits.size(), 0xCD);  // junk in the gap
  std::fill(b.begin(), b.begin() + paletteAt, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<uint32_t>(b.size()));
  Put32(b, 10, s.zeroOffset ? 0 : static_cast<uint32_t>(bitsAt));
  Put32(b, 14, s.headerSize);
  if (core) {
    Put16(b, 18, s.width);
    Put16(b, 20, s.height);
    Put16(b, 22, 1);
    Put16(b, 24, s.bpp);
  } else {
    Put32(b, 18, static_cast<uint32_t>(s.width));
    Put32(b, 22, static_cast<uint32_t>(s.height));
    Put16(b, 26, 1);
    Put16(b, 28, s.bpp);
    Put32(b, 30, s.compression);
    Put32(b, 34, static_cast<uint32_t>(bits.size()));
    Put32(b, 38, 2835);
    Put32(b, 42, 2835);
    Put32(b, 46, s.colorsUsed);
    // The plain header keeps its masks right after itself; the later headers at the same place.
    if (trailingMasks || s.headerSize > 40)
      for (int i = 0; i < 3; ++i) Put32(b, 14 + 40 + 4 * i, s.masks[i]);
    if (s.headerSize >= 108) Put32(b, 14 + 56, 0x73524742);  // 'sRGB' colour space
  }
  for (size_t i = 0; i < s.palette.size(); ++i)
    for (size_t c = 0; c < 3; ++c) b[paletteAt + i * entry + c] = (s.palette[i] >> (8 * c)) & 0xFF;
  std::copy(bits.begin(), bits.end(), b.begin() + bitsAt);
  return b;
}

// Samples shared by the decoder tests and the comparison with the platform.
inline const std::vector<uint32_t> kPalette16 = {
    0x336699, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x123456, 0x808080,
    0xC0C0C0, 0x800000, 0x008000, 0x000080, 0xFFFF00, 0x00FFFF, 0xFF00FF, 0xFEDCBA};

// Rows from the bottom: runs, an odd literal group (padded), a delta, lines ended early, a run
// past the right edge (dropped, not wrapped), an index beyond the palette.
inline std::vector<uint8_t> Rle8Sample() {
  BmpSpec s(6, 4, 8, kBiRle8);
  s.palette = {0x336699, 0xFF0000, 0x00FF00, 0x0000FF};
  s.colorsUsed = 4;
  s.rle = {0x03, 0x01, 0x00, 0x03, 0x02, 0x03, 0x02, 0x00, 0x00, 0x00,  // bottom row
           0x02, 0x03, 0x00, 0x02, 0x02, 0x01,                          // two pixels, delta
           0x02, 0x09, 0x00, 0x00,                                      // beyond the palette
           0x08, 0x01, 0x00, 0x01};                                     // too long; end
  return MakeBmp(s);
}

inline std::vector<uint8_t> Rle4Sample() {
  BmpSpec s(5, 3, 4, kBiRle4);
  s.palette = kPalette16;
  s.rle = {0x05, 0x12, 0x00, 0x00,              // bottom row: alternating nibbles
           0x00, 0x05, 0x34, 0x56, 0x70, 0x00,  // five literal nibbles, padded
           0x00, 0x00, 0x00, 0x02, 0x04, 0x00,  // next row; delta four to the right
           0x01, 0xF0, 0x00, 0x01};
  return MakeBmp(s);
}

}  // namespace bmptest

// The ".bmp" decoder. Every offset and size is checked against the buffer before it is read, and
// the picture's size is bounded before anything is allocated, so a damaged skin file raises
// EInvalidGraphic and nothing worse.
#include "ui/Bitmap.h"

#include <bit>
#include <cstddef>

#include "base/File.h"
#include "ui/Exception.h"
#include "ui/InputLimits.h"

namespace ui {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;

// Compression values of the info headers.
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;

[[noreturn]] void Invalid() {
  throw EInvalidGraphic(u"Bitmap image is not valid");
}

// Little-endian reads that refuse to leave the buffer.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> data) : data_(data) {}
  size_t Size() const { return data_.size(); }
  bool Has(uint64_t offset, uint64_t count) const {
    return offset <= data_.size() && count <= data_.size() - offset;
  }
  uint8_t U8(uint64_t offset) const {
    if (!Has(offset, 1)) Invalid();
    return data_[offset];
  }
  uint16_t U16(uint64_t offset) const {
    if (!Has(offset, 2)) Invalid();
    return static_cast<uint16_t>(data_[offset] | data_[offset + 1] << 8);
  }
  uint32_t U32(uint64_t offset) const {
    if (!Has(offset, 4)) Invalid();
    return static_cast<uint32_t>(data_[offset]) | static_cast<uint32_t>(data_[offset + 1]) << 8 |
           static_cast<uint32_t>(data_[offset + 2]) << 16 |
           static_cast<uint32_t>(data_[offset + 3]) << 24;
  }
  const uint8_t* At(uint64_t offset, uint64_t count) const {
    if (!Has(offset, count)) Invalid();
    return data_.data() + offset;
  }

 private:
  std::span<const uint8_t> data_;
};

// One colour channel of a bit-field pixel, widened or narrowed to 8 bits. Narrow fields repeat
// their bits downwards, so a full field gives 0xFF (5-bit 31 -> 255), as the platform converts.
class Channel {
 public:
  Channel() = default;
  explicit Channel(uint32_t mask) : mask_(mask) {
    if (mask == 0) return;
    shift_ = std::countr_zero(mask);
    bits_ = std::bit_width(mask >> shift_);
  }
  uint32_t Extract(uint32_t pixel) const {
    if (bits_ == 0) return 0;
    const uint32_t v = (pixel & mask_) >> shift_;
    if (bits_ >= 8) return (v >> (bits_ - 8)) & 0xFF;
    uint32_t out = 0;
    for (int pos = 8 - bits_; pos > -bits_; pos -= bits_) out |= pos >= 0 ? v << pos : v >> -pos;
    return out & 0xFF;
  }

 private:
  uint32_t mask_ = 0;
  int shift_ = 0, bits_ = 0;
};

struct Format {
  int width = 0, height = 0;  // height as stored rows, always positive
  bool topDown = false;
  int bpp = 0;
  uint32_t compression = kBiRgb;
  Channel red, green, blue;
  std::vector<uint32_t> palette;  // DIB-order colours
  uint64_t bitsOffset = 0;
  uint32_t sizeImage = 0;
};

Format ReadFormat(const Reader& in) {
  if (in.U8(0) != 'B' || in.U8(1) != 'M') Invalid();
  const uint32_t offBits = in.U32(10);
  const uint32_t headerSize = in.U32(kFileHeaderSize);
  const uint64_t h = kFileHeaderSize;
  Format f;
  int64_t width = 0, height = 0;
  uint64_t headersEnd = h + headerSize;
  uint32_t colorsUsed = 0;
  int paletteEntry = 4;
  if (headerSize == kCoreHeaderSize) {
    // The old header: 16-bit sizes, always bottom-up, three-byte palette entries.
    width = in.U16(h + 4);
    height = in.U16(h + 6);
    f.bpp = in.U16(h + 10);
    if (f.bpp != 1 && f.bpp != 4 && f.bpp != 8 && f.bpp != 24) Invalid();
    paletteEntry = 3;
  } else if (headerSize == kInfoHeaderSize || headerSize == 52 || headerSize == 56 ||
             headerSize == 108 || headerSize == 124) {
    if (!in.Has(h, headerSize)) Invalid();
    width = static_cast<int32_t>(in.U32(h + 4));
    height = static_cast<int32_t>(in.U32(h + 8));
    f.bpp = in.U16(h + 14);
    f.compression = in.U32(h + 16);
    f.sizeImage = in.U32(h + 20);
    colorsUsed = in.U32(h + 32);
    if (f.bpp != 1 && f.bpp != 4 && f.bpp != 8 && f.bpp != 16 && f.bpp != 24 && f.bpp != 32)
      Invalid();
    switch (f.compression) {
      case kBiRgb:
        break;
      case kBiRle8:
        if (f.bpp != 8) Invalid();
        break;
      case kBiRle4:
        if (f.bpp != 4) Invalid();
        break;
      case kBiBitfields: {
        if (f.bpp != 16 && f.bpp != 32) Invalid();
        // The plain info header keeps its three masks after itself; the later ones inside.
        const uint64_t masks = headerSize == kInfoHeaderSize ? h + headerSize : h + 40;
        f.red = Channel(in.U32(masks));
        f.green = Channel(in.U32(masks + 4));
        f.blue = Channel(in.U32(masks + 8));
        if (headerSize == kInfoHeaderSize) headersEnd += 12;
        break;
      }
      default:
        Invalid();  // embedded JPEG or PNG, and anything unknown
    }
  } else {
    Invalid();
  }

  // Bounded before anything is allocated: a skin is never this large.
  if (width <= 0 || height == 0) Invalid();
  f.topDown = height < 0;
  if (f.topDown) height = -height;
  if (width > TBitmap::kMaxDimension || height > TBitmap::kMaxDimension) Invalid();
  if (width * height > TBitmap::kMaxPixels) Invalid();
  // Compressed rows run from the bottom only.
  if (f.topDown && (f.compression == kBiRle8 || f.compression == kBiRle4)) Invalid();
  f.width = static_cast<int>(width);
  f.height = static_cast<int>(height);

  if (f.compression == kBiRgb && f.bpp == 16) {
    f.red = Channel(0x7C00);
    f.green = Channel(0x03E0);
    f.blue = Channel(0x001F);
  } else if (f.compression == kBiRgb && f.bpp == 32) {
    f.red = Channel(0xFF0000);
    f.green = Channel(0x00FF00);
    f.blue = Channel(0x0000FF);
  }

  if (f.bpp <= 8) {
    const uint32_t full = 1u << f.bpp;
    const uint32_t count = colorsUsed == 0 || colorsUsed > full ? full : colorsUsed;
    const uint8_t* p = in.At(headersEnd, uint64_t{count} * paletteEntry);
    f.palette.resize(count);
    for (uint32_t i = 0; i < count; ++i, p += paletteEntry)
      f.palette[i] = p[0] | p[1] << 8 | p[2] << 16;
    headersEnd += uint64_t{count} * paletteEntry;
  }

  // Zero means "right after the palette"; pointing into the headers is damage.
  if (offBits == 0) {
    f.bitsOffset = headersEnd;
  } else {
    if (offBits < h + headerSize) Invalid();
    f.bitsOffset = offBits;
  }
  return f;
}

uint32_t PaletteColor(const Format& f, uint32_t index) {
  return index < f.palette.size() ? f.palette[index] : 0;  // out of the palette: black
}

uint64_t RowBytes(const Format& f) {
  return (uint64_t{static_cast<uint32_t>(f.width)} * f.bpp + 31) / 32 * 4;
}

// One loop per depth, chosen once per picture: a start-up decodes a window-sized background.
template <typename Pixel>
void DecodeRowsWith(const Reader& in, const Format& f, TBitmap& out, Pixel pixel) {
  const uint64_t stride = RowBytes(f);
  const uint8_t* bits = in.At(f.bitsOffset, stride * f.height);
  for (int row = 0; row < f.height; ++row) {
    const uint8_t* src = bits + stride * row;
    uint32_t* dst = out.Scanline(f.topDown ? row : f.height - 1 - row);
    for (int x = 0; x < f.width; ++x) dst[x] = pixel(src, x);
  }
}

void DecodeRows(const Reader& in, const Format& f, TBitmap& out) {
  switch (f.bpp) {
    case 1:
      return DecodeRowsWith(in, f, out, [&f](const uint8_t* src, int x) {
        return PaletteColor(f, (src[x >> 3] >> (7 - (x & 7))) & 1);
      });
    case 4:
      return DecodeRowsWith(in, f, out, [&f](const uint8_t* src, int x) {
        return PaletteColor(f, (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF);
      });
    case 8:
      return DecodeRowsWith(in, f, out,
                            [&f](const uint8_t* src, int x) { return PaletteColor(f, src[x]); });
    case 16:
      return DecodeRowsWith(in, f, out, [&f](const uint8_t* src, int x) {
        const uint32_t v = src[2 * x] | src[2 * x + 1] << 8;
        return f.blue.Extract(v) | f.green.Extract(v) << 8 | f.red.Extract(v) << 16;
      });
    case 24:
      return DecodeRowsWith(in, f, out, [](const uint8_t* src, int x) {
        return static_cast<uint32_t>(src[3 * x] | src[3 * x + 1] << 8 | src[3 * x + 2] << 16);
      });
    default:  // 32
      return DecodeRowsWith(in, f, out, [&f](const uint8_t* src, int x) {
        const uint8_t* s = src + 4 * x;
        const uint32_t v = static_cast<uint32_t>(s[0]) | static_cast<uint32_t>(s[1]) << 8 |
                           static_cast<uint32_t>(s[2]) << 16 | static_cast<uint32_t>(s[3]) << 24;
        return f.blue.Extract(v) | f.green.Extract(v) << 8 | f.red.Extract(v) << 16;
      });
  }
}

// Run-length data: runs and literal groups, with end-of-line, delta and end-of-bitmap escapes.
// Pixels the stream never reaches keep palette entry 0, the value the platform's zero-filled
// section holds there. Pixels placed outside the picture are dropped. The stream must end with
// its end-of-bitmap mark; running out of data before it means the file was cut short.
// Without a picture to write to, the stream is only checked: that pass runs before the picture
// is allocated, so a cut or endless stream costs no memory.
void WalkRle(const Reader& in, const Format& f, TBitmap* out) {
  uint64_t end = in.Size();
  if (f.sizeImage != 0) {
    if (!in.Has(f.bitsOffset, f.sizeImage)) Invalid();
    end = f.bitsOffset + f.sizeImage;
  }
  const bool four = f.compression == kBiRle4;
  uint64_t pos = f.bitsOffset;
  uint64_t x = 0, row = 0;  // row counts from the bottom
  const auto put = [&](uint32_t index) {
    if (x < static_cast<uint64_t>(f.width) && row < static_cast<uint64_t>(f.height))
      out->Scanline(f.height - 1 - static_cast<int>(row))[x] = PaletteColor(f, index);
    ++x;
  };
  const auto next = [&]() -> uint8_t {
    if (pos >= end) Invalid();
    return in.U8(pos++);
  };
  for (;;) {
    const uint8_t count = next();
    const uint8_t value = next();
    if (count > 0) {
      if (!out)
        x += count;
      else
        for (int i = 0; i < count; ++i) put(four ? (i & 1 ? value & 0xF : value >> 4) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++row;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // delta: move right and up
      x += next();
      row += next();
    } else {  // literal pixels, padded to a 16-bit boundary
      const uint32_t bytes = four ? (value + 1) / 2 : value;
      const uint32_t padded = bytes + (bytes & 1);
      if (padded > end - pos) Invalid();
      const uint8_t* src = in.At(pos, padded);
      if (!out) {
        x += value;
      } else {
        for (uint32_t i = 0; i < value; ++i) {
          const uint8_t b = src[four ? i / 2 : i];
          put(four ? (i & 1 ? b & 0xF : b >> 4) : b);
        }
      }
      pos += padded;
    }
  }
}

}  // namespace

TBitmap::TBitmap(int width, int height, uint32_t fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

TBitmap TBitmap::LoadFromFile(const std::u16string& path) {
  // A file larger than any picture under the pixel cap needs is not read at all.
  const base::FileBytes file(path, kMaxPictureFileBytes);
  if (file.TooLarge()) Invalid();
  if (!file.Opened()) throw EFOpenError(u"Cannot open file \"" + path + u"\"");
  return LoadFromMemory(file.Bytes());
}

TBitmap TBitmap::LoadFromMemory(std::span<const uint8_t> data) {
  const Reader in(data);
  const Format f = ReadFormat(in);
  const bool rle = f.compression == kBiRle8 || f.compression == kBiRle4;
  // The file holds what its header announces before the pixels get any memory: all rows of an
  // uncompressed picture, a whole stream up to its end mark for a run-length one.
  if (rle)
    WalkRle(in, f, nullptr);
  else if (!in.Has(f.bitsOffset, RowBytes(f) * f.height))
    Invalid();
  TBitmap out(f.width, f.height, rle ? PaletteColor(f, 0) : 0);
  if (rle)
    WalkRle(in, f, &out);
  else
    DecodeRows(in, f, out);
  return out;
}

}  // namespace ui

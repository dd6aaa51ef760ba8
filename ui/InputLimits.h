#pragma once
// The largest data files and pictures the launcher reads. What is larger is refused by its size
// or its header before it is read or decoded: a hostile skin or translation can neither stall the
// start nor fill memory. The checker reports a file over its cap with these same numbers.
#include <cstdint>

namespace ui {

// Language files and the layout file (the shipped ones are a few KB). A larger file is not read:
// a language file is then missing, a layout file too.
inline constexpr uint64_t kMaxTextFileBytes = uint64_t{16} << 20;

// Pictures (.bmp): at most 4096 x 4096 pixels (see TBitmap::kMaxPixels), and a file no larger
// than such a picture needs (its rows at 32 bits per pixel, 64 MiB, and 1 MiB for headers and
// palette). A larger file is "Bitmap image is not valid" without being read.
inline constexpr uint64_t kMaxPictureFileBytes = (uint64_t{64} << 20) + (uint64_t{1} << 20);

// Icon files: one image is at most 256 x 256 pixels by its own header (PNG or bitmap), the
// largest size the system lists; a larger image is left out before the system decodes it. A file
// larger than this is "Icon image is not valid" without being read.
inline constexpr uint32_t kMaxIconImageSide = 256;
inline constexpr uint64_t kMaxIconFileBytes = uint64_t{16} << 20;

}  // namespace ui

#include "ui/IconFile.h"

#include <algorithm>
#include <cstdlib>

#include "ui/InputLimits.h"

namespace ui {
namespace {

constexpr size_t kHeaderSize = 6;
constexpr size_t kFileEntrySize = 16;      // ... bytes in the image (4), offset in the file (4)
constexpr size_t kResourceEntrySize = 14;  // ... bytes in the image (4), image number (2)
constexpr size_t kSharedEntryFields = 12;  // size, colours, planes, bits, bytes in the image

uint16_t U16(std::span<const uint8_t> d, size_t at) {
  return static_cast<uint16_t>(d[at] | d[at + 1] << 8);
}
uint32_t U32(std::span<const uint8_t> d, size_t at) {
  return static_cast<uint32_t>(U16(d, at)) | static_cast<uint32_t>(U16(d, at + 2)) << 16;
}
uint32_t BigEndian32(std::span<const uint8_t> d, size_t at) {
  return uint32_t{d[at]} << 24 | uint32_t{d[at + 1]} << 16 | uint32_t{d[at + 2]} << 8 | d[at + 3];
}

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

bool Over(int64_t side) {
  return std::llabs(side) > int64_t{kMaxIconImageSide};
}

}  // namespace

bool IconImageTooLarge(std::span<const uint8_t> image) {
  if (image.size() >= 8 && std::equal(image.begin(), image.begin() + 8, kPngSignature)) {
    // The first chunk is the header: length, "IHDR", width and height (big-endian). A PNG too
    // short to say its size cannot be decoded anyway.
    if (image.size() < 24) return false;
    return BigEndian32(image, 16) > kMaxIconImageSide || BigEndian32(image, 20) > kMaxIconImageSide;
  }
  if (image.size() < 12) return false;
  const uint32_t headerSize = U32(image, 0);
  // A bitmap's height counts its colour rows and its mask rows: twice the icon's.
  if (headerSize == 12) return Over(U16(image, 4)) || Over(U16(image, 6) / 2);
  if (headerSize >= 40)
    return Over(static_cast<int32_t>(U32(image, 4))) ||
           Over(static_cast<int32_t>(U32(image, 8)) / 2);
  return false;
}

std::optional<IconDirectory> ReadIconDirectory(std::span<const uint8_t> file) {
  if (file.size() < kHeaderSize || U16(file, 0) != 0 || U16(file, 2) != 1) return std::nullopt;
  const size_t count = U16(file, 4);
  if (count == 0 || file.size() < kHeaderSize + count * kFileEntrySize) return std::nullopt;
  IconDirectory out;
  out.resource.assign(file.begin(), file.begin() + kHeaderSize);
  out.resource.reserve(kHeaderSize + count * kResourceEntrySize);
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = kHeaderSize + i * kFileEntrySize;
    const uint64_t bytes = U32(file, entry + 8), offset = U32(file, entry + 12);
    const bool inside = bytes > 0 && offset <= file.size() && bytes <= file.size() - offset;
    const std::span<const uint8_t> image =
        inside ? file.subspan(static_cast<size_t>(offset), static_cast<size_t>(bytes))
               : std::span<const uint8_t>{};
    if (IconImageTooLarge(image)) continue;
    const auto fields = file.subspan(entry, kSharedEntryFields);
    out.resource.insert(out.resource.end(), fields.begin(), fields.end());
    const auto number = static_cast<uint16_t>(out.images.size() + 1);
    out.resource.push_back(static_cast<uint8_t>(number & 0xFF));
    out.resource.push_back(static_cast<uint8_t>(number >> 8));
    out.images.push_back(image);
  }
  // The header counts the images that are left.
  out.resource[4] = static_cast<uint8_t>(out.images.size() & 0xFF);
  out.resource[5] = static_cast<uint8_t>(out.images.size() >> 8);
  return out;
}

}  // namespace ui

#include "ui/IconFile.h"

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

}  // namespace

std::optional<IconDirectory> ReadIconDirectory(std::span<const uint8_t> file) {
  if (file.size() < kHeaderSize || U16(file, 0) != 0 || U16(file, 2) != 1) return std::nullopt;
  const size_t count = U16(file, 4);
  if (count == 0 || file.size() < kHeaderSize + count * kFileEntrySize) return std::nullopt;
  IconDirectory out;
  out.resource.assign(file.begin(), file.begin() + kHeaderSize);
  out.resource.reserve(kHeaderSize + count * kResourceEntrySize);
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = kHeaderSize + i * kFileEntrySize;
    const auto fields = file.subspan(entry, kSharedEntryFields);
    out.resource.insert(out.resource.end(), fields.begin(), fields.end());
    const auto number = static_cast<uint16_t>(i + 1);
    out.resource.push_back(static_cast<uint8_t>(number & 0xFF));
    out.resource.push_back(static_cast<uint8_t>(number >> 8));
    const uint64_t bytes = U32(file, entry + 8), offset = U32(file, entry + 12);
    const bool inside = bytes > 0 && offset <= file.size() && bytes <= file.size() - offset;
    out.images.push_back(inside
                             ? file.subspan(static_cast<size_t>(offset), static_cast<size_t>(bytes))
                             : std::span<const uint8_t>{});
  }
  return out;
}

}  // namespace ui

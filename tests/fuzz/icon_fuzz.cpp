// The icon directory reader on any bytes. Checked against the directory spelt out entry by entry:
// - a file is refused exactly when its header is not an icon file's, it lists no image, or its
//   directory does not fit in it;
// - otherwise the directory handed to the system holds the file's header with the count of the
//   images kept, then for each kept entry its first 12 bytes and its number (1, 2, ...);
// - an image is kept exactly when its own header is not over the size cap, read here byte by byte
//   (PNG big-endian, bitmap little-endian); its bytes are the file's at the entry's offset, or
//   none where the entry points outside the file.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "tests/fuzz/Check.h"
#include "ui/IconFile.h"
#include "ui/InputLimits.h"

namespace {

uint64_t Le(const uint8_t* p, int bytes) {
  uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

uint64_t Be(const uint8_t* p, int bytes) {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v = v << 8 | p[i];
  return v;
}

bool Over(int64_t side) {
  return side > int64_t{ui::kMaxIconImageSide} || -side > int64_t{ui::kMaxIconImageSide};
}

bool ReferenceTooLarge(const uint8_t* p, uint64_t n) {
  static const uint8_t png[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
  bool isPng = n >= 8;
  for (int i = 0; isPng && i < 8; ++i) isPng = p[i] == png[i];
  if (isPng) return n >= 24 && (Be(p + 16, 4) > 256 || Be(p + 20, 4) > 256);
  if (n < 12) return false;
  const uint64_t header = Le(p, 4);
  if (header == 12) return Over(int64_t(Le(p + 4, 2))) || Over(int64_t(Le(p + 6, 2)) / 2);
  if (header >= 40)
    return Over(int32_t(uint32_t(Le(p + 4, 4)))) || Over(int32_t(uint32_t(Le(p + 8, 4))) / 2);
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> file(data, size);
  const auto dir = ui::ReadIconDirectory(file);
  const uint64_t count = size >= 6 ? Le(data + 4, 2) : 0;
  const bool valid =
      size >= 6 && Le(data, 2) == 0 && Le(data + 2, 2) == 1 && count > 0 && size >= 6 + 16 * count;
  FUZZ_CHECK(dir.has_value() == valid);
  if (!valid) return 0;

  std::vector<uint8_t> resource(data, data + 6);
  std::vector<std::span<const uint8_t>> images;
  for (uint64_t i = 0; i < count; ++i) {
    const uint8_t* entry = data + 6 + 16 * i;
    const uint64_t bytes = Le(entry + 8, 4), offset = Le(entry + 12, 4);
    std::span<const uint8_t> image;
    if (bytes > 0 && offset + bytes <= size) image = file.subspan(offset, bytes);
    if (ReferenceTooLarge(image.data(), image.size())) continue;
    FUZZ_CHECK(!ui::IconImageTooLarge(image));
    resource.insert(resource.end(), entry, entry + 12);
    const uint64_t number = images.size() + 1;
    resource.push_back(uint8_t(number));
    resource.push_back(uint8_t(number >> 8));
    images.push_back(image);
  }
  resource[4] = uint8_t(images.size());
  resource[5] = uint8_t(images.size() >> 8);
  FUZZ_CHECK(dir->resource == resource);
  FUZZ_CHECK(dir->images.size() == images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    FUZZ_CHECK(dir->images[i].size() == images[i].size());
    FUZZ_CHECK(images[i].empty() || dir->images[i].data() == images[i].data());
  }
  return 0;
}

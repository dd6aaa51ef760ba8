#pragma once
// The directory of an ".ico" file: the images it holds and where their bytes lie. The system picks
// the image for a size from a directory laid out as an icon resource's, and makes the icon from
// that image's bytes; so the file is read once, whatever number of sizes is asked for.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ui {

struct IconDirectory {
  // The header, then one 14-byte entry per image numbered from 1, as in an icon resource.
  std::vector<uint8_t> resource;
  // Image n's bytes at [n - 1]; empty where the file's entry points outside the file.
  std::vector<std::span<const uint8_t>> images;
};

// Nothing when the header is not an icon file's, it lists no image, or the directory does not fit
// in the file. An entry pointing outside the file only makes its own image empty: the file is bad
// only if that image is the one wanted. An image whose own header (PNG, or a bitmap header of 12
// or at least 40 bytes) is wider or taller than kMaxIconImageSide is left out of the directory,
// so the system never decodes it; when that leaves no image the directory lists none.
std::optional<IconDirectory> ReadIconDirectory(std::span<const uint8_t> file);

// Whether an image's own header says it is larger than kMaxIconImageSide either way. An image
// whose header cannot be read is not: the system refuses it without decoding anything.
bool IconImageTooLarge(std::span<const uint8_t> image);

}  // namespace ui

// Placeholder: the decoder is being written.
#include "ui/Bitmap.h"

#include "ui/Exception.h"

namespace ui {
TBitmap::TBitmap(int width, int height, uint32_t fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}
TBitmap TBitmap::LoadFromFile(const std::u16string&) { throw EInvalidGraphic(u"Bitmap image is not valid"); }
TBitmap TBitmap::LoadFromMemory(std::span<const uint8_t>) { throw EInvalidGraphic(u"Bitmap image is not valid"); }
}  // namespace ui

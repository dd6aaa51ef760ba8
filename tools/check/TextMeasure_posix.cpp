// Natively the checker has no system to ask: the table stands in for it.
#include "tools/check/TextMeasure.h"

namespace check {

TextExtent MeasureLabelText(std::u16string_view text, int boxWidth, const ui::TFont& font) {
  return ApproximateLabelText(text, boxWidth, font);
}

std::optional<FontFace> LookUpFontFace(std::u16string_view) {
  return std::nullopt;
}

}  // namespace check

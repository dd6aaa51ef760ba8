#pragma once
// How a label of the main window lays its text out (word-wrapped, left-aligned, '&' marking an
// access key) at its font, so the checker can tell a text that its box cuts off.
//
// On Windows the system measures, with the font the launcher draws with. Natively the checker
// cannot ask the system: it adds up character widths taken once from the system's own Tahoma
// (TahomaWidths.inc, made and checked under Wine by tests/tools/TextMeasure_test.cpp) and wraps
// between words as the system does. That is an approximation: characters outside the table count
// as one em (Chinese, Japanese and Korean ones are) or as an 'n', every face is measured as
// Tahoma, and around digits and punctuation the system may break lines where the approximation
// does not (it follows fuller line-break rules; the approximation knows the common ones, such as
// after a hyphen), and a word wider than its box stays whole where the system may break it.
// Words of letters that fit their box, with spaces, access keys and line breaks, wrap exactly
// as under Wine (tests/tools/TextMeasure_test.cpp).
#include <optional>
#include <string>
#include <string_view>

#include "ui/Graphics.h"

namespace check {

struct TextExtent {
  int lines = 0;       // after wrapping; an empty text has none
  int lineHeight = 0;  // pixels
  int width = 0;       // of the widest line, pixels
};

// By the system on Windows; natively the approximation below.
TextExtent MeasureLabelText(std::u16string_view text, int boxWidth, const ui::TFont& font);
// The approximation from the table, on every platform (a test holds it to the system's answers).
TextExtent ApproximateLabelText(std::u16string_view text, int boxWidth, const ui::TFont& font);

// The characters of the table and the fonts it holds: the design's label fonts in Tahoma.
struct CharRange {
  char16_t first, last;
};
inline constexpr CharRange kTableRanges[] = {{0x20, 0x4FF}, {0x2000, 0x206F}};

// Whether the system has a font of that face, and the face it draws labels in when asked for it;
// nothing where the checker cannot tell (natively).
struct FontFace {
  bool installed = false;
  std::u16string drawnIn;
};
std::optional<FontFace> LookUpFontFace(std::u16string_view face);

// The face the native measurement stands for.
inline constexpr std::u16string_view kMeasuredFace = u"Tahoma";

}  // namespace check

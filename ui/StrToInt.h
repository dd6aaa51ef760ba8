#pragma once
// The framework's text-to-integer conversion, as layout values and other framework code read
// numbers: an optional sign, then decimal digits or hexadecimal digits after "$", "x" or "0x"
// (either case). Decimal values must fit 32 bits signed; hexadecimal ones 32 bits unsigned and
// wrap ("$FFFFFFFF" is -1). Nothing else is allowed, blanks included: callers trim first.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ui {

// The value, or nothing when text is not an integer.
std::optional<int32_t> TryStrToInt(std::u16string_view text);
// The value; raises EConvertError "'<text>' is not a valid integer value" otherwise.
int32_t StrToInt(std::u16string_view text);

}  // namespace ui

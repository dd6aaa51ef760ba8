#include "ui/StrToInt.h"

#include "ui/Exception.h"

namespace ui {

namespace {

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

}  // namespace

std::optional<int32_t> TryStrToInt(std::u16string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == u'+' || text.front() == u'-')) {
    negative = text.front() == u'-';
    text.remove_prefix(1);
  }
  // The magnitude is kept unsigned and negated in 32-bit two's complement at the end, which
  // gives both the decimal minimum and the hexadecimal wrap.
  uint64_t magnitude = 0;
  const bool hex = !text.empty() &&
                   (text.front() == u'$' || text.front() == u'x' || text.front() == u'X' ||
                    (text.size() >= 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')));
  if (hex) {
    text.remove_prefix(text.front() == u'0' ? 2 : 1);
    if (text.empty()) return std::nullopt;
    for (char16_t c : text) {
      const int d = HexDigit(c);
      if (d < 0) return std::nullopt;
      magnitude = magnitude * 16 + static_cast<unsigned>(d);
      if (magnitude > 0xFFFFFFFFu) return std::nullopt;  // leading zeros do not count
    }
  } else {
    if (text.empty()) return std::nullopt;
    const uint64_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    for (char16_t c : text) {
      if (c < u'0' || c > u'9') return std::nullopt;
      magnitude = magnitude * 10 + static_cast<unsigned>(c - u'0');
      if (magnitude > limit) return std::nullopt;
    }
  }
  uint32_t bits = static_cast<uint32_t>(magnitude);
  if (negative) bits = 0u - bits;
  return static_cast<int32_t>(bits);
}

int32_t StrToInt(std::u16string_view text) {
  if (auto value = TryStrToInt(text)) return *value;
  std::u16string message = u"'";
  message.append(text);
  message.append(u"' is not a valid integer value");
  throw EConvertError(std::move(message));
}

}  // namespace ui

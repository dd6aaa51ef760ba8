// The layout file and the framework's integer conversion on any bytes. The input is a layout
// file; its first byte chooses the system language. Checked:
// - ApplyLayout over a form of every class either finishes or raises the conversion error, whose
//   message names a field that is no integer;
// - every value of the file, read as a rectangle and as a colour, gives what its fields give
//   converted one by one, or the conversion error for the first field that is no integer;
// - the conversion agrees with its grammar read the slow way, digit by digit.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "skin/LayoutFile.h"
#include "tests/fuzz/Check.h"
#include "ui/Controls.h"
#include "ui/Exception.h"
#include "ui/StrToInt.h"

namespace {

using skin::LayoutFile;

// An optional sign, then decimal digits (at most 2^31 - 1, or 2^31 after a minus) or hexadecimal
// digits after "$", "x" or "0x" (at most 32 bits, wrapping into the sign).
std::optional<int32_t> Grammar(std::u16string_view t) {
  const bool minus = !t.empty() && t[0] == u'-';
  if (!t.empty() && (t[0] == u'-' || t[0] == u'+')) t.remove_prefix(1);
  int base = 10;
  if (t.starts_with(u"0x") || t.starts_with(u"0X")) {
    t.remove_prefix(2);
    base = 16;
  } else if (t.starts_with(u"$") || t.starts_with(u"x") || t.starts_with(u"X")) {
    t.remove_prefix(1);
    base = 16;
  }
  if (t.empty()) return std::nullopt;
  // Digits as a number of any size, kept to what decides the range.
  uint64_t value = 0;
  bool huge = false;
  for (char16_t c : t) {
    int d = -1;
    if (c >= u'0' && c <= u'9') d = c - u'0';
    if (base == 16 && c >= u'a' && c <= u'f') d = c - u'a' + 10;
    if (base == 16 && c >= u'A' && c <= u'F') d = c - u'A' + 10;
    if (d < 0) return std::nullopt;
    if (value > (uint64_t{1} << 40)) huge = true;
    value = huge ? value : value * base + d;
  }
  if (huge) return std::nullopt;
  if (base == 16) {
    if (value > 0xFFFFFFFFu) return std::nullopt;
  } else if (value > (minus ? 0x80000000u : 0x7FFFFFFFu)) {
    return std::nullopt;
  }
  const uint32_t bits = minus ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  return static_cast<int32_t>(bits);
}

void CheckConversion(std::u16string_view text) {
  const std::optional<int32_t> value = ui::TryStrToInt(text);
  FUZZ_CHECK(value == Grammar(text));
  try {
    FUZZ_CHECK(ui::StrToInt(text) == value.value());
  } catch (const ui::EConvertError& e) {
    FUZZ_CHECK(!value);
    FUZZ_CHECK(e.Message() == u"'" + std::u16string(text) + u"' is not a valid integer value");
  }
}

bool IsConversionErrorFor(const ui::EConvertError& e, std::u16string_view field) {
  // The error quotes the field as the parser saw it: the value in lower case, which changes no
  // character that decides whether a field is an integer.
  const std::u16string& m = e.Message();
  constexpr std::u16string_view tail = u"' is not a valid integer value";
  return m.size() == field.size() + 1 + tail.size() && m.starts_with(u"'") && m.ends_with(tail);
}

std::u16string AsciiLower(std::u16string_view s) {
  std::u16string out(s);
  for (char16_t& c : out)
    if (c >= u'A' && c <= u'Z') c += 32;
  return out;
}

// A value read as a rectangle and as a colour, against its fields one by one.
void CheckValue(std::u16string_view value) {
  std::vector<std::u16string> fields;
  std::vector<std::optional<int32_t>> numbers;
  for (size_t i = 0; i < 5; ++i) {
    fields.push_back(LayoutFile::ExtractField(value, u',', i));
    numbers.push_back(ui::TryStrToInt(fields.back()));
    CheckConversion(fields.back());
  }
  const std::u16string keyword = AsciiLower(fields[0]);
  const auto firstBad = [&](size_t last) -> std::optional<size_t> {
    for (size_t i = 1; i <= last; ++i)
      if (!numbers[i]) return i;
    return std::nullopt;
  };

  const bool rectangle = keyword == u"rectp" || keyword == u"rectwh";
  try {
    const ui::TRect r = LayoutFile::ParseRect(value);
    FUZZ_CHECK(!rectangle || !firstBad(4));
    if (keyword == u"rectp") {
      FUZZ_CHECK(r == (ui::TRect{*numbers[1], *numbers[2], *numbers[3], *numbers[4]}));
    } else if (keyword == u"rectwh") {
      const auto wrap = [](int32_t a, int32_t b) {
        return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b) - 1u);
      };
      FUZZ_CHECK(r == (ui::TRect{*numbers[1], *numbers[2], wrap(*numbers[1], *numbers[3]),
                                 wrap(*numbers[2], *numbers[4])}));
    } else {
      FUZZ_CHECK(r == ui::TRect{});
    }
  } catch (const ui::EConvertError& e) {
    FUZZ_CHECK(rectangle && firstBad(4));
    FUZZ_CHECK(IsConversionErrorFor(e, fields[*firstBad(4)]));
  }

  try {
    const ui::TColor c = LayoutFile::ParseColour(value);
    if (keyword == u"rgb") {
      FUZZ_CHECK(!firstBad(3));
      FUZZ_CHECK(c == ((static_cast<uint32_t>(*numbers[1]) & 0xFF) |
                       (static_cast<uint32_t>(*numbers[2]) & 0xFF) << 8 |
                       (static_cast<uint32_t>(*numbers[3]) & 0xFF) << 16));
    } else {
      FUZZ_CHECK(c == ui::clBlack);
    }
  } catch (const ui::EConvertError& e) {
    FUZZ_CHECK(keyword == u"rgb" && firstBad(3));
    FUZZ_CHECK(IsConversionErrorFor(e, fields[*firstBad(3)]));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::vector<uint8_t> bytes(data + 1, data + size);
  const uint16_t language = data[0] % 3 == 0 ? 0x0409 : data[0] % 3 == 1 ? 0x0407 : 0x0411;

  // Every value of the file, whatever its key.
  const ui::TIniFile file = ui::TIniFile::FromBytes(bytes, ui::DecodeWindows1252);
  int checked = 0;
  for (const std::u16string& section : file.SectionNames())
    for (const std::u16string& key : file.KeyNames(section))
      if (++checked <= 64) CheckValue(file.ReadString(section, key, u""));

  // The main window's controls, and one of every other class the file may set.
  ui::TForm form(nullptr, u"TandrelProgram");
  new ui::TLabel(&form, u"lb_Title");
  new ui::TImage(&form, u"im_BackgroundImage");
  new ui::TButton(&form, u"bt_Close");
  new ui::TCheckBox(&form, u"cb");
  new ui::TRadioButton(&form, u"rb");
  new ui::TEdit(&form, u"ed");
  new ui::TComboBox(&form, u"co");
  new ui::TMemo(&form, u"me");
  new ui::TRichEdit(&form, u"re");
  new ui::TShape(&form, u"sh");
  new ui::TMenuItem(&form, u"mi");
  new ui::TPanel(&form, u"pa");
  new ui::TWebBrowser(&form, u"wb");
  new ui::TCGauge(&form, u"ga");
  new ui::TLabeledEdit(&form, u"le");
  new ui::TGroupBox(&form, u"gb");
  try {
    skin::ApplyLayout(
        form, LayoutFile(file, skin::LayoutLanguage(language, [] { return uint16_t{0x0409}; }),
                         data[0] & 4 ? u"_X" : u""));
  } catch (const ui::EConvertError& e) {
    FUZZ_CHECK(e.Message().starts_with(u"'") &&
               e.Message().ends_with(u"' is not a valid integer value"));
  }
  return 0;
}

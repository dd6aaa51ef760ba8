#pragma once
// The 13 language names: each names the language files (<Name>.txt), a skin folder and a layout
// section. The identifier is the language's main one; the SDK's tandrel_language_name maps every
// identifier to these names, and a test holds the two together.
#include <array>
#include <cstdint>
#include <string_view>

namespace text {

struct LanguageEntry {
  std::u16string_view name;
  uint16_t languageId;
};

inline constexpr std::array<LanguageEntry, 13> kLanguageNames = {{
    {u"English", 0x0409},
    {u"ChineseT", 0x0404},
    {u"ChineseS", 0x0804},
    {u"Japanese", 0x0411},
    {u"Korean", 0x0412},
    {u"German", 0x0407},
    {u"FrenchF", 0x040C},
    {u"Italian", 0x0410},
    {u"Spanish", 0x0C0A},
    {u"Dutch", 0x0413},
    {u"Russian", 0x0419},
    {u"PortugueseP", 0x0816},
    {u"Turkish", 0x041F},
}};

// The language whose files hold texts every other language falls back to.
inline constexpr std::u16string_view kFallbackLanguage = u"English";

}  // namespace text

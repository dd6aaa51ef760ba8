#pragma once
// The layout file: per-language INI values for the bounds of a form's controls and the
// background colour, font face and text colour of its text controls, with English as the
// fallback section. ApplyLayout carries a file over to a form; a malformed number raises the
// framework's conversion error and ends the walk where it stands.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/Platform.h"

#include "ui/Graphics.h"
#include "ui/IniFile.h"

namespace ui {
class Component;
}

namespace skin {

// One layout file as read for one language; it does not change once made.
class LayoutFile {
 public:
  // No file: every value is missing, and applying it changes nothing.
  LayoutFile() = default;
  // Values come from the section named by the language and the suffix, else from "English" with
  // the suffix.
  LayoutFile(ui::TIniFile file, std::u16string_view languageName,
             std::u16string_view sectionSuffix);
  // The file at path; no file when there is none.
  static LayoutFile Read(const std::u16string& path, std::u16string_view languageName,
                         std::u16string_view sectionSuffix);

  bool HasFile() const { return file_.has_value(); }
  // The value of key from the primary section, else from the fallback one; an empty value
  // counts as missing. Empty text when there is no file.
  std::u16string ReadLayoutValue(std::u16string_view key) const;

  const std::u16string& PrimarySection() const { return primarySection_; }
  const std::u16string& FallbackSection() const { return fallbackSection_; }

  // "rgb,R,G,B" (low 8 bits of each) as a colour reference; any other keyword is black.
  static ui::TColor ParseColour(std::u16string_view text);
  // "rectp,L,T,R,B" or "rectwh,X,Y,W,H" (right and bottom inclusive); any other keyword gives
  // the empty rectangle.
  static ui::TRect ParseRect(std::u16string_view text);
  // Piece index of text cut at every separator, trimmed of characters of code 32 and below; a
  // piece past the last one is empty.
  static std::u16string ExtractField(std::u16string_view text, char16_t separator, size_t index);

 private:
  std::optional<ui::TIniFile> file_;
  std::u16string primarySection_;
  std::u16string fallbackSection_ = u"English";
};

// The language name a layout is read for: the layout follows the system's language (identifier
// 0, asked of systemLanguage) where the texts follow the user's; other identifiers as given.
std::u16string LayoutLanguage(
    uint16_t languageId, const std::function<uint16_t()>& systemLanguage = base::SystemLanguageId);

// Carries the layout over to every component the form owns, by exact class name. Raises
// ui::EConvertError for a malformed number; what was set before stays.
void ApplyLayout(ui::Component& form, const LayoutFile& layout);

}  // namespace skin

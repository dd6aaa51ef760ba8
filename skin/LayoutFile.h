#pragma once
// The layout file: per-language INI values for the bounds of a form's controls and the
// background colour, font face and text colour of its text controls, with English as the
// fallback section. ApplyLayout carries a file over to a form; a malformed number raises the
// framework's conversion error and ends the walk where it stands.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/Platform.h"

#include "ui/Graphics.h"
#include "ui/IniFile.h"

namespace ui {
class Component;
}

namespace skin {

class LayoutFile {
 public:
  // No file open; primary section empty, fallback "English".
  LayoutFile() = default;

  // Opens the file at path (nothing happens when there is none) and applies it to every
  // component the form owns, by exact class name. Identifier 0 stands for the system's default
  // language. Raises ui::EConvertError for a malformed number; what was set before stays.
  void ApplyLayout(ui::Component& form, const std::u16string& path,
                   const std::u16string& sectionSuffix, uint16_t languageId);
  // The same with the file read already by the caller, which keeps it while this manager reads.
  void ApplyLayout(ui::Component& form, const ui::TIniFile& file,
                   const std::u16string& sectionSuffix, uint16_t languageId);

  // The value of key from the primary section, else from the fallback one; an empty value
  // counts as missing. Empty text when no file is open.
  std::u16string ReadLayoutValue(std::u16string_view key) const;

  // "rgb,R,G,B" (low 8 bits of each) as a colour reference; any other keyword is black.
  static ui::TColor ParseColour(std::u16string_view text);
  // "rectp,L,T,R,B" or "rectwh,X,Y,W,H" (right and bottom inclusive); any other keyword gives
  // the empty rectangle.
  static ui::TRect ParseRect(std::u16string_view text);
  // Piece index of text cut at every separator, trimmed of characters of code 32 and below; a
  // piece past the last one is empty.
  static std::u16string ExtractField(std::u16string_view text, char16_t separator, size_t index);

  // The language name of the table the language files use; 0 is the system's default language.
  std::u16string LanguageName(uint16_t languageId) const;

  // Where identifier 0 takes its language from; tests set a fixed language here.
  std::function<uint16_t()> SystemLanguageSource = base::SystemLanguageId;

  const std::u16string& PrimarySection() const { return primarySection_; }
  const std::u16string& FallbackSection() const { return fallbackSection_; }

 private:
  std::unique_ptr<ui::TIniFile> ownFile_;  // a file this manager opened itself
  const ui::TIniFile* reader_ = nullptr;
  std::u16string primarySection_;
  std::u16string fallbackSection_ = u"English";
};

}  // namespace skin

#pragma once
// Language files: per-language INI texts for the captions and hints of labels and for the
// launcher's messages, looked up in up to four files (program and shared text folder, each with
// the chosen language and English as fallback). A missing text is "@@", never an error.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/Platform.h"
#include "ui/IniFile.h"

namespace ui {
class Component;
}

namespace text {

class LanguageFiles {
 public:
  // Marks a text that no file holds; also the default of every read, so a value "@@" is missing.
  static constexpr std::u16string_view kNotFound = u"@@";
  // A section holding this key is read as the section it names.
  static constexpr std::u16string_view kMappingKey = u"%Mapping%";
  // Four backslashes in a caption or hint stand for one line break.
  static constexpr std::u16string_view kLineBreakToken = u"\\\\\\\\";

  // All readers absent, section path empty.
  LanguageFiles() = default;

  // Opens the language files that exist and returns the language name (also when none exists).
  // Both folders end in a separator; file names are appended directly. Identifier 0 takes the
  // user's default language from UserLanguageSource.
  std::u16string Load(const std::u16string& programTextFolder,
                      const std::u16string& sharedTextFolder, const std::u16string& sectionPath,
                      uint16_t languageId);

  // The text of key in section, trying the section extended by the section path from the longest
  // to the shortest; "@@" when no file holds it. Line-break tokens are left in place.
  std::u16string GetText(const std::u16string& section, const std::u16string& key) const;

  // Captions and hints of the owner's components whose class name is exactly "TLabel"; a label
  // keeps its design text where no file has one.
  void ApplyTexts(ui::Component& owner, const std::u16string& section) const;
  // The names of the owner's components whose class name is exactly "TButton", from the keys
  // "<control>->AccessibleName" (owner-qualified first), as their captions: a skinned button
  // never draws its caption, but the platform's accessibility layer reads it as the button's
  // name. A button keeps its design name where no file has one. "->Caption" and "->Hint" keys
  // of a button are still never read.
  void ApplyAccessibleNames(ui::Component& owner, const std::u16string& section) const;

  // The language name of a whole 16-bit identifier; identifiers not in the table give "English".
  static std::u16string LanguageName(uint16_t languageId);

  // Where identifier 0 takes its language from; tests set a fixed language here.
  std::function<uint16_t()> UserLanguageSource = base::UserLanguageId;
  // Where Load reads a language file from: the parsed file, or null when there is none at the
  // path. Tests and the fuzzer hand in files from memory here.
  using File = std::shared_ptr<const ui::TIniFile>;
  std::function<File(const std::u16string& path)> FileSource = OpenLanguageFile;
  static File OpenLanguageFile(const std::u16string& path);

  // The key in the section the mapping chain leads to, from the first file that has it.
  std::optional<std::u16string> ReadFromSection(const std::u16string& section,
                                                const std::u16string& key) const;
  // Follows "%Mapping%" from section to section; each step asks the files from the first again.
  // A section's chain is followed once per Load; later lookups take the remembered end.
  std::u16string ResolveSection(const std::u16string& section) const;

 private:
  // The first value of key in section that is not "@@", in the fixed search order: program
  // language file, program English file, shared language file, shared English file.
  // "<owner>-><control>-><property>", else "<control>-><property>"; "@@" when neither is found.
  std::u16string ControlText(const ui::Component& owner, const ui::Component& control,
                             const std::u16string& section, std::u16string_view property) const;
  std::optional<std::u16string> FirstValue(std::u16string_view section,
                                           std::u16string_view key) const;

  // Shared: for English the program (shared) language and English readers are one file.
  File programEnglish_;
  File programLanguage_;
  File sharedEnglish_;
  File sharedLanguage_;
  std::u16string sectionPath_;
  // Where each section asked for so far leads, by its name as asked. The files do not change
  // after Load, so neither does the end of a chain.
  mutable std::unordered_map<std::u16string, std::u16string> resolved_;
};

}  // namespace text

#include "text/LanguageFiles.h"

#include <cstring>
#include <unordered_set>
#include <vector>

#include "base/Fields.h"
#include "base/File.h"
#include "sdk/tandrel_sdk.h"
#include "ui/Controls.h"

namespace text {

namespace {

// Section names as the reader matches them: outer spaces dropped, letter case folded.
std::u16string SectionIdentity(std::u16string_view name) {
  while (!name.empty() && name.front() == u' ') name.remove_prefix(1);
  while (!name.empty() && name.back() == u' ') name.remove_suffix(1);
  std::u16string folded(name);
  for (char16_t& c : folded) c = base::FoldCase(c);
  return folded;
}

std::u16string ReplaceLineBreaks(std::u16string text) {
  constexpr std::u16string_view token = LanguageFiles::kLineBreakToken;
  for (size_t at = text.find(token); at != std::u16string::npos; at = text.find(token, at + 1))
    text.replace(at, token.size(), 1, u'\n');
  return text;
}

}  // namespace

LanguageFiles::File LanguageFiles::OpenLanguageFile(const std::u16string& path) {
  if (!base::FileExists(path)) return nullptr;
  auto file = std::make_shared<const ui::TIniFile>(path);
  // A file that could not be read (one over ui::kMaxTextFileBytes) is a missing one.
  if (!file->Loaded()) return nullptr;
  return file;
}

std::u16string LanguageFiles::Load(const std::u16string& programTextFolder,
                                   const std::u16string& sharedTextFolder,
                                   const std::u16string& sectionPath, uint16_t languageId) {
  sectionPath_ = sectionPath;
  resolved_.clear();
  if (languageId == 0 && UserLanguageSource) languageId = UserLanguageSource();
  const std::u16string language = LanguageName(languageId);
  const std::u16string file = language + u".txt";

  const auto open = [&](const std::u16string& path) {
    return FileSource ? FileSource(path) : nullptr;
  };
  programEnglish_ = open(programTextFolder + u"English.txt");
  // For English both program readers read the same file, parsed once.
  programLanguage_ = language == u"English" ? programEnglish_ : open(programTextFolder + file);
  sharedEnglish_ = open(sharedTextFolder + u"English.txt");
  sharedLanguage_ = language == u"English" ? sharedEnglish_ : open(sharedTextFolder + file);
  return language;
}

std::optional<std::u16string> LanguageFiles::FirstValue(std::u16string_view section,
                                                        std::u16string_view key) const {
  for (const auto* reader :
       {&programLanguage_, &programEnglish_, &sharedLanguage_, &sharedEnglish_}) {
    if (!*reader) continue;
    std::u16string value = (*reader)->ReadString(section, key, kNotFound);
    if (value != kNotFound) return value;
  }
  return std::nullopt;
}

std::u16string LanguageFiles::ResolveSection(const std::u16string& section) const {
  if (const auto known = resolved_.find(section); known != resolved_.end()) return known->second;
  // A chain that returns to a section already visited would never end: it stops at the first
  // section seen twice, and that section is the one read.
  std::unordered_set<std::u16string> visited;
  std::u16string current = section;
  while (visited.insert(SectionIdentity(current)).second) {
    std::optional<std::u16string> mapped = FirstValue(current, kMappingKey);
    if (!mapped) break;
    current = std::move(*mapped);
  }
  resolved_.emplace(section, current);
  return current;
}

std::optional<std::u16string> LanguageFiles::ReadFromSection(const std::u16string& section,
                                                             const std::u16string& key) const {
  return FirstValue(ResolveSection(section), key);
}

std::u16string LanguageFiles::GetText(const std::u16string& section,
                                      const std::u16string& key) const {
  std::vector<std::u16string_view> segments;
  for (size_t i = 0;; ++i) {
    const std::u16string_view segment = base::ExtractField(sectionPath_, u'.', i);
    if (segment.empty()) break;
    segments.push_back(segment);
  }
  for (size_t k = segments.size() + 1; k-- > 0;) {
    std::u16string candidate = section;
    for (size_t i = 0; i < k; ++i) (candidate += u'.') += segments[i];
    if (auto text = ReadFromSection(candidate, key)) return std::move(*text);
  }
  return std::u16string(kNotFound);
}

std::u16string LanguageFiles::ControlText(const ui::Component& owner, const ui::Component& control,
                                          const std::u16string& section,
                                          std::u16string_view property) const {
  // The owner-qualified key first, then the control's own.
  const std::u16string own = control.Name() + u"->" + std::u16string(property);
  std::u16string found = GetText(section, owner.Name() + u"->" + own);
  if (found == kNotFound) found = GetText(section, own);
  return found;
}

void LanguageFiles::ApplyTexts(ui::Component& owner, const std::u16string& section) const {
  // The count is read again each round, as the component list is walked by index.
  for (size_t i = 0; i < owner.ComponentCount(); ++i) {
    ui::Component* component = owner.Components(i);
    // Exact class name: labels of a derived class, buttons and images keep their design texts.
    if (component->ClassName() != u"TLabel") continue;
    auto* label = dynamic_cast<ui::TControl*>(component);
    if (!label) continue;
    if (std::u16string caption = ControlText(owner, *component, section, u"Caption");
        caption != kNotFound)
      label->SetCaption(ReplaceLineBreaks(std::move(caption)));
    if (std::u16string hint = ControlText(owner, *component, section, u"Hint"); hint != kNotFound)
      label->SetHint(ReplaceLineBreaks(std::move(hint)));
  }
}

void LanguageFiles::ApplyAccessibleNames(ui::Component& owner,
                                         const std::u16string& section) const {
  for (size_t i = 0; i < owner.ComponentCount(); ++i) {
    ui::Component* component = owner.Components(i);
    if (component->ClassName() != u"TButton") continue;
    auto* button = dynamic_cast<ui::TControl*>(component);
    if (!button) continue;
    // A name is one line, as a reader speaks it: the line-break token stays as written.
    if (std::u16string name = ControlText(owner, *component, section, u"AccessibleName");
        name != kNotFound)
      button->SetCaption(std::move(name));
  }
}

std::u16string LanguageFiles::LanguageName(uint16_t languageId) {
  // The SDK's table, so a module opens the same language file as the launcher.
  const char* name = tandrel_language_name(languageId);
  return std::u16string(name, name + std::strlen(name));
}

}  // namespace text

#pragma once
// The INI reader written the plain way: a map of sections, each a map of keys to owned strings,
// as the reader was first built. It follows the same rules as ui::TIniFile and is kept as a model:
// the fuzzer checks that both read every file alike, and the text benchmark measures its memory
// and its chain lookups as the figures the compact reader is compared with.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ui/IniFile.h"

namespace ini_reference {

class Reader {
 public:
  explicit Reader(std::u16string_view text) { Parse(text); }

  std::u16string ReadString(std::u16string_view section, std::u16string_view key,
                            std::u16string_view def) const {
    if (const Section* s = Find(section)) {
      const auto it = s->find(Fold(TrimSpaces(key)));
      if (it != s->end() && it->second.hasValue) return it->second.value;
    }
    def = UpToNul(def);
    while (!def.empty() && def.back() == u' ') def.remove_suffix(1);
    return std::u16string(def.substr(0, ui::TIniFile::kMaxValueChars));
  }
  bool SectionExists(std::u16string_view section) const {
    const Section* s = Find(section);
    return s && !s->empty();
  }
  // Folded names: the spelling is not kept.
  std::vector<std::u16string> SectionIdentities() const {
    std::vector<std::u16string> names;
    for (const auto& [name, keys] : sections_)
      if (!keys.empty()) names.push_back(name);
    return names;
  }
  std::vector<std::u16string> KeyIdentities(std::u16string_view section) const {
    std::vector<std::u16string> names;
    if (const Section* s = Find(section))
      for (const auto& [name, entry] : *s)
        if (entry.hasValue) names.push_back(name);
    return names;
  }

  static std::u16string Fold(std::u16string_view s) {
    std::u16string out(s);
    for (char16_t& c : out) c = base::FoldCase(c);
    return out;
  }

 private:
  struct Entry {
    std::u16string value;
    bool hasValue = false;
  };
  using Section = std::unordered_map<std::u16string, Entry>;

  static bool IsBlank(char16_t c) { return c != 0 && c <= 0x20; }
  static std::u16string_view Trim(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
  }
  static std::u16string_view UpToNul(std::u16string_view s) { return s.substr(0, s.find(u'\0')); }
  static std::u16string_view TrimSpaces(std::u16string_view s) {
    s = UpToNul(s);
    while (!s.empty() && s.front() == u' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == u' ') s.remove_suffix(1);
    return s;
  }
  static std::u16string_view Unquote(std::u16string_view v) {
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
      return v.substr(1, v.size() - 2);
    return v;
  }

  const Section* Find(std::u16string_view section) const {
    const auto it = sections_.find(Fold(TrimSpaces(section)));
    return it == sections_.end() ? nullptr : &it->second;
  }

  void Parse(std::u16string_view text) {
    Section* current = nullptr;
    size_t pos = 0;
    while (pos < text.size()) {
      size_t end = text.find_first_of(u"\r\n", pos);
      if (end == std::u16string_view::npos) end = text.size();
      const std::u16string_view line = Trim(text.substr(pos, end - pos));
      pos = end + 1;
      if (line.empty() || line.front() == u';') continue;
      if (line.front() == u'[') {
        const std::u16string_view name = UpToNul(Trim(line.substr(1, line.find(u']') - 1)));
        auto [it, inserted] = sections_.try_emplace(Fold(name));
        current = inserted ? &it->second : nullptr;
        continue;
      }
      if (!current) continue;
      Entry entry;
      std::u16string_view name = line;
      const size_t eq = line.find(u'=');
      if (eq != std::u16string_view::npos) {
        name = Trim(line.substr(0, eq));
        entry.value = std::u16string(
            Unquote(UpToNul(Trim(line.substr(eq + 1)))).substr(0, ui::TIniFile::kMaxValueChars));
        entry.hasValue = true;
      }
      current->try_emplace(Fold(UpToNul(name)), std::move(entry));
    }
  }

  std::unordered_map<std::u16string, Section> sections_;
};

}  // namespace ini_reference

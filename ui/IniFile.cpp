#include "ui/IniFile.h"

#include "base/File.h"
#include "base/Platform.h"
#include "base/Utf.h"

namespace ui {
namespace {

using std::u16string_view;

// Blanks and control characters around lines, names and values. NUL is not one of them: it ends
// the name or value it stands in.
bool IsBlank(char16_t c) {
  return c != 0 && c <= 0x20;
}

u16string_view Trim(u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The platform hands names and values around as C strings.
u16string_view UpToNul(u16string_view s) {
  return s.substr(0, s.find(u'\0'));
}

// Looked-up names lose spaces only: a tab in a looked-up name is part of it.
u16string_view TrimSpaces(u16string_view s) {
  s = UpToNul(s);
  while (!s.empty() && s.front() == u' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == u' ') s.remove_suffix(1);
  return s;
}

u16string_view Unquote(u16string_view v) {
  if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

std::u16string Cut(u16string_view s) {
  return std::u16string(s.substr(0, TIniFile::kMaxValueChars));
}

std::u16string DecodeUtf16(std::span<const uint8_t> bytes, bool big_endian) {
  std::u16string out(bytes.size() / 2, u'\0');  // an odd last byte is no character
  for (size_t i = 0; i < out.size(); ++i) {
    const uint8_t lo = bytes[2 * i + (big_endian ? 1 : 0)];
    const uint8_t hi = bytes[2 * i + (big_endian ? 0 : 1)];
    out[i] = static_cast<char16_t>(lo | hi << 8);
  }
  return out;
}

std::u16string Decode(std::span<const uint8_t> b, const CodePageDecoder& decode) {
  if (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE) return DecodeUtf16(b.subspan(2), false);
  if (b.size() >= 2 && b[0] == 0xFE && b[1] == 0xFF) return DecodeUtf16(b.subspan(2), true);
  const auto* chars = reinterpret_cast<const char*>(b.data());
  if (b.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
    return base::Utf8ToUtf16(std::string_view(chars + 3, b.size() - 3));
  return decode(std::string_view(chars, b.size()));
}

}  // namespace

char16_t FoldNameChar(char16_t c) {
  if (c < 0x80) return c >= u'a' && c <= u'z' ? c - 0x20 : c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17E) {
    // Latin Extended-A pairs upper and lower case side by side; which of the two is odd changes
    // at the few letters without a partner.
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x178) return c;
    const bool lower_is_odd = c <= 0x137 || (c >= 0x14A && c <= 0x177);
    return ((c & 1) != 0) == lower_is_odd ? c - 1 : c;
  }
  if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return c - 0x20;
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;
  return c;
}

size_t TIniFile::NameHash::operator()(u16string_view s) const {
  uint64_t h = 14695981039346656037ull;  // FNV-1a
  for (char16_t c : s) {
    h ^= FoldNameChar(c);
    h *= 1099511628211ull;
  }
  return static_cast<size_t>(h);
}

bool TIniFile::NameEqual::operator()(u16string_view a, u16string_view b) const {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldNameChar(a[i]) != FoldNameChar(b[i])) return false;
  return true;
}

CodePageDecoder SystemCodePageDecoder() {
  return base::DecodeSystemCodePage;
}

TIniFile::TIniFile(const std::u16string& path, const CodePageDecoder& decode) {
  if (auto bytes = base::ReadFile(path)) *this = FromBytes(*bytes, decode);
}

TIniFile TIniFile::FromBytes(std::span<const uint8_t> bytes, const CodePageDecoder& decode) {
  TIniFile ini;
  ini.Parse(Decode(bytes, decode));
  ini.loaded_ = true;
  return ini;
}

void TIniFile::Parse(u16string_view text) {
  Section* current = nullptr;  // none before the first header, none in a repeated section
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of(u"\r\n", pos);
    if (end == u16string_view::npos) end = text.size();
    const u16string_view line = Trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line.front() == u';') continue;
    if (line.front() == u'[') {
      const u16string_view name = UpToNul(Trim(line.substr(1, line.find(u']') - 1)));
      auto [it, inserted] = sections_.try_emplace(std::u16string(name));
      current = inserted ? &it->second : nullptr;
      continue;
    }
    if (!current) continue;
    Entry entry;
    u16string_view name = line;
    const size_t eq = line.find(u'=');
    if (eq != u16string_view::npos) {
      name = Trim(line.substr(0, eq));
      entry.value = Cut(Unquote(UpToNul(Trim(line.substr(eq + 1)))));
      entry.has_value = true;
    }
    current->try_emplace(std::u16string(UpToNul(name)), std::move(entry));
  }
}

const TIniFile::Section* TIniFile::FindSection(u16string_view section) const {
  const auto it = sections_.find(TrimSpaces(section));
  return it == sections_.end() ? nullptr : &it->second;
}

std::u16string TIniFile::ReadString(u16string_view section, u16string_view key,
                                    u16string_view def) const {
  if (const Section* s = FindSection(section)) {
    const auto it = s->find(TrimSpaces(key));
    if (it != s->end() && it->second.has_value) return it->second.value;
  }
  def = UpToNul(def);
  while (!def.empty() && def.back() == u' ') def.remove_suffix(1);
  return Cut(def);
}

bool TIniFile::SectionExists(u16string_view section) const {
  const Section* s = FindSection(section);
  return s && !s->empty();
}

std::vector<std::u16string> TIniFile::SectionNames() const {
  std::vector<std::u16string> names;
  for (const auto& [name, keys] : sections_)
    if (!keys.empty()) names.push_back(name);
  return names;
}

std::vector<std::u16string> TIniFile::KeyNames(u16string_view section) const {
  std::vector<std::u16string> names;
  if (const Section* s = FindSection(section))
    for (const auto& [name, entry] : *s)
      if (entry.has_value) names.push_back(name);
  return names;
}

}  // namespace ui

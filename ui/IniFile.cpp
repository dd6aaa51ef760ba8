#include "ui/IniFile.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <optional>
#include <random>

#include "base/Fields.h"
#include "base/File.h"
#include "base/Platform.h"
#include "base/Utf.h"
#include "ui/InputLimits.h"

namespace ui {
namespace {

using std::u16string_view;

// Blanks and control characters around lines, names and values. NUL is not one of them: it ends
// the name or value it stands in.
u16string_view Trim(u16string_view s) {
  return base::TrimBlanks(s);
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

// Names are hashed with SipHash-1-3 under a key drawn once per process: a file cannot be made of
// names that all land in one place of the tables (which would make reading it quadratic), since
// where a name lands differs from run to run.
struct HashKey {
  uint64_t k0, k1;
};

HashKey DrawProcessKey() {
  // The clock and an address vary too, should the system have no source of randomness.
  uint64_t k0 = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  uint64_t k1 = reinterpret_cast<uintptr_t>(&k0) * 0x9E3779B97F4A7C15ull;
  try {
    std::random_device device;
    k0 ^= uint64_t{device()} << 32 | device();
    k1 ^= uint64_t{device()} << 32 | device();
  } catch (const std::exception&) {
  }
  return {k0, k1};
}

const HashKey& ProcessKey() {
  static const HashKey key = DrawProcessKey();
  return key;
}

// SipHash-1-3 of the names' UTF-16LE bytes, letter case folded, after an optional leading word.
class NameHasher {
 public:
  explicit NameHasher(const HashKey& k)
      : v0_(k.k0 ^ 0x736F6D6570736575ull),
        v1_(k.k1 ^ 0x646F72616E646F6Dull),
        v2_(k.k0 ^ 0x6C7967656E657261ull),
        v3_(k.k1 ^ 0x7465646279746573ull) {}

  void Word(uint64_t m) {
    v3_ ^= m;
    Round();
    v0_ ^= m;
    bytes_ += 8;
  }
  void Chars(u16string_view s) {
    for (char16_t c : s) {
      pending_ |= uint64_t{base::FoldCase(c)} << (16 * pendingChars_);
      if (++pendingChars_ == 4) {
        Word(pending_);
        pending_ = 0;
        pendingChars_ = 0;
      }
    }
  }
  uint64_t Finish() {
    const uint64_t total = bytes_ + 2 * pendingChars_;
    const uint64_t last = pending_ | total << 56;
    v3_ ^= last;
    Round();
    v0_ ^= last;
    v2_ ^= 0xFF;
    Round();
    Round();
    Round();
    return v0_ ^ v1_ ^ v2_ ^ v3_;
  }

 private:
  static uint64_t Rotl(uint64_t x, int b) { return x << b | x >> (64 - b); }
  void Round() {
    v0_ += v1_;
    v1_ = Rotl(v1_, 13) ^ v0_;
    v0_ = Rotl(v0_, 32);
    v2_ += v3_;
    v3_ = Rotl(v3_, 16) ^ v2_;
    v0_ += v3_;
    v3_ = Rotl(v3_, 21) ^ v0_;
    v2_ += v1_;
    v1_ = Rotl(v1_, 17) ^ v2_;
    v2_ = Rotl(v2_, 32);
  }

  uint64_t v0_, v1_, v2_, v3_;
  uint64_t pending_ = 0;
  uint64_t bytes_ = 0;
  unsigned pendingChars_ = 0;
};

uint64_t SectionHash(u16string_view name) {
  NameHasher h(ProcessKey());
  h.Chars(name);
  return h.Finish();
}

uint64_t KeyHash(uint32_t section, u16string_view name) {
  NameHasher h(ProcessKey());
  h.Word(section);
  h.Chars(name);
  return h.Finish();
}

// Open addressing with linear probing over any number of slots.
size_t Home(uint64_t hash, size_t slots) {
  return static_cast<size_t>(((hash >> 32) * slots) >> 32);
}

size_t Next(size_t slot, size_t slots) {
  return slot + 1 == slots ? 0 : slot + 1;
}

// The entry that `matches` accepts, or -1 when the probe reaches a free slot first.
template <typename Matches>
int64_t Probe(const std::vector<uint32_t>& slots, uint64_t hash, Matches matches) {
  if (slots.empty()) return -1;
  for (size_t i = Home(hash, slots.size());; i = Next(i, slots.size())) {
    if (slots[i] == 0) return -1;
    if (matches(slots[i] - 1)) return slots[i] - 1;
  }
}

void Place(std::vector<uint32_t>& slots, uint64_t hash, size_t entry) {
  size_t i = Home(hash, slots.size());
  while (slots[i] != 0) i = Next(i, slots.size());
  slots[i] = static_cast<uint32_t>(entry + 1);
}

// Slots for a table of `entries` at most 70 % full once a file is read.
size_t SlotsFor(size_t entries) {
  return entries + entries * 3 / 7 + 1;
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

IniDiagnostics::Encoding EncodingOf(std::span<const uint8_t> b) {
  using E = IniDiagnostics::Encoding;
  if (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE)
    return b.size() % 2 ? E::Utf16LeOddLength : E::Utf16Le;
  if (b.size() >= 2 && b[0] == 0xFE && b[1] == 0xFF) return E::Utf16Be;
  if (b.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) return E::Utf8;
  return std::any_of(b.begin(), b.end(), [](uint8_t c) { return c >= 0x80; })
             ? E::CodePageBeyondAscii
             : E::CodePage;
}

}  // namespace

std::u16string DecodeIniText(std::span<const uint8_t> b, const CodePageDecoder& decode) {
  if (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE) return DecodeUtf16(b.subspan(2), false);
  if (b.size() >= 2 && b[0] == 0xFE && b[1] == 0xFF) return DecodeUtf16(b.subspan(2), true);
  const auto* chars = reinterpret_cast<const char*>(b.data());
  if (b.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
    return base::Utf8ToUtf16(std::string_view(chars + 3, b.size() - 3));
  return decode(std::string_view(chars, b.size()));
}

CodePageDecoder SystemCodePageDecoder() {
  return base::DecodeSystemCodePage;
}

TIniFile::TIniFile(const std::u16string& path, const CodePageDecoder& decode,
                   IniDiagnostics* diagnostics) {
  // A file over the cap is not read: it reads as missing.
  std::optional<std::vector<uint8_t>> bytes = base::ReadFile(path, kMaxTextFileBytes);
  if (!bytes) return;
  if (diagnostics) diagnostics->encoding = EncodingOf(*bytes);
  std::u16string text = DecodeIniText(*bytes, decode);
  bytes.reset();  // the file's bytes are gone before the text is parsed
  Parse(std::move(text), diagnostics);
  loaded_ = true;
}

TIniFile TIniFile::FromBytes(std::span<const uint8_t> bytes, const CodePageDecoder& decode,
                             IniDiagnostics* diagnostics) {
  TIniFile ini;
  if (diagnostics) diagnostics->encoding = EncodingOf(bytes);
  ini.Parse(DecodeIniText(bytes, decode), diagnostics);
  ini.loaded_ = true;
  return ini;
}

void TIniFile::RehashSections(size_t slots) {
  std::vector<uint32_t>(slots, 0).swap(sectionSlots_);
  for (size_t i = 0; i < sections_.size(); ++i)
    Place(sectionSlots_, SectionHash(Name(sections_[i])), i);
}

void TIniFile::RehashKeys(size_t slots) {
  std::vector<uint32_t>(slots, 0).swap(keySlots_);
  for (size_t s = 0; s < sections_.size(); ++s) {
    const Section& section = sections_[s];
    for (uint32_t k = section.firstKey; k < section.firstKey + section.keyCount; ++k)
      Place(keySlots_, KeyHash(static_cast<uint32_t>(s), Name(keys_[k])), k);
  }
}

void TIniFile::Parse(std::u16string text, IniDiagnostics* diagnostics) {
  if (diagnostics) *diagnostics = IniDiagnostics{diagnostics->encoding};
  if (text.size() > kMaxTextChars) text.resize(kMaxTextChars);
  text_ = std::move(text);
  // What is kept moves forward inside the text itself: a line's name and value never lie before
  // the end of what was kept from earlier lines, so the text is its own store, and what was kept
  // stays where it is while later lines are read.
  char16_t* const store = text_.data();
  size_t kept = 0;
  const auto keep = [&](u16string_view s) {
    const auto at = static_cast<uint32_t>(kept);
    std::char_traits<char16_t>::move(store + kept, s.data(), s.size());
    kept += s.size();
    return at;
  };
  const u16string_view all(text_);
  int64_t current = -1;   // none before the first header, none in a repeated section
  bool repeated = false;  // current is -1 because the section was named before
  int number = 0;         // of the line
  size_t pos = 0;
  while (pos < all.size()) {
    size_t end = all.find_first_of(u"\r\n", pos);
    if (end == u16string_view::npos) end = all.size();
    const u16string_view line = Trim(all.substr(pos, end - pos));
    // CR LF ends one line; the empty line between them would be skipped anyway.
    pos = end + (end + 1 < all.size() && all[end] == u'\r' && all[end + 1] == u'\n' ? 2 : 1);
    ++number;
    if (line.empty() || line.front() == u';') continue;

    if (line.front() == u'[') {
      const u16string_view name = UpToNul(Trim(line.substr(1, line.find(u']') - 1)));
      if (const int64_t first = FindSection(name); first >= 0) {
        if (diagnostics) {
          const IniDiagnostics::Entry& f = diagnostics->sections[first];
          diagnostics->repeatedSections.push_back({std::u16string(name), {}, number, f.line});
        }
        current = -1;
        repeated = true;
        continue;
      }
      if ((sections_.size() + 1) * 2 > sectionSlots_.size())
        RehashSections(std::max<size_t>(16, sectionSlots_.size() * 2));
      // Hashed where it is kept: keeping may move the name over the text it was read from.
      const uint32_t at = keep(name);
      sections_.push_back(
          Section{at, static_cast<uint32_t>(name.size()), static_cast<uint32_t>(keys_.size()), 0});
      Place(sectionSlots_, SectionHash(Name(sections_.back())), sections_.size() - 1);
      current = static_cast<int64_t>(sections_.size()) - 1;
      if (diagnostics)
        diagnostics->sections.push_back(
            {std::u16string(Name(sections_.back())), {}, number, number});
      continue;
    }
    if (current < 0) {
      if (diagnostics && !repeated) diagnostics->linesBeforeFirstSection.push_back(number);
      continue;
    }

    u16string_view name = line, value;
    uint32_t valueLength = kNoValue;
    const size_t eq = line.find(u'=');
    if (eq != u16string_view::npos) {
      name = Trim(line.substr(0, eq));
      value = Unquote(UpToNul(Trim(line.substr(eq + 1)))).substr(0, kMaxValueChars);
      valueLength = static_cast<uint32_t>(value.size());
    }
    name = UpToNul(name);
    const auto section = static_cast<uint32_t>(current);
    if (const int64_t first = FindKey(section, name); first >= 0) {
      if (diagnostics)  // of keys of the same name the first counts
        diagnostics->repeatedKeys.push_back({diagnostics->sections[section].section,
                                             std::u16string(name), number,
                                             diagnostics->keys[first].line});
      continue;
    }
    if ((keys_.size() + 1) * 2 > keySlots_.size())
      RehashKeys(std::max<size_t>(16, keySlots_.size() * 2));
    const uint32_t at = keep(name);
    keep(value);  // right after its name
    keys_.push_back(Key{at, static_cast<uint32_t>(name.size()), valueLength});
    ++sections_[section].keyCount;
    Place(keySlots_, KeyHash(section, Name(keys_.back())), keys_.size() - 1);
    if (diagnostics)
      diagnostics->keys.push_back({diagnostics->sections[section].section,
                                   std::u16string(Name(keys_.back())), number, number,
                                   valueLength != kNoValue});
  }
  text_.resize(kept);
  text_.shrink_to_fit();
  sections_.shrink_to_fit();
  keys_.shrink_to_fit();
  RehashSections(SlotsFor(sections_.size()));
  RehashKeys(SlotsFor(keys_.size()));
}

int64_t TIniFile::FindSection(u16string_view name) const {
  return Probe(sectionSlots_, SectionHash(name),
               [&](uint32_t i) { return base::EqualsNoCase(Name(sections_[i]), name); });
}

int64_t TIniFile::FindKey(uint32_t section, u16string_view name) const {
  const Section& s = sections_[section];
  if (s.keyCount == 0) return -1;
  return Probe(keySlots_, KeyHash(section, name), [&](uint32_t i) {
    return i >= s.firstKey && i - s.firstKey < s.keyCount &&
           base::EqualsNoCase(Name(keys_[i]), name);
  });
}

std::u16string TIniFile::ReadString(u16string_view section, u16string_view key,
                                    u16string_view def) const {
  if (const int64_t s = FindSection(TrimSpaces(section)); s >= 0) {
    if (const int64_t k = FindKey(static_cast<uint32_t>(s), TrimSpaces(key)); k >= 0) {
      const Key& found = keys_[k];
      if (found.valueLength != kNoValue)
        return text_.substr(found.offset + found.nameLength, found.valueLength);
    }
  }
  def = UpToNul(def);
  while (!def.empty() && def.back() == u' ') def.remove_suffix(1);
  return Cut(def);
}

bool TIniFile::SectionExists(u16string_view section) const {
  const int64_t s = FindSection(TrimSpaces(section));
  return s >= 0 && sections_[s].keyCount > 0;
}

std::vector<std::u16string> TIniFile::SectionNames() const {
  std::vector<std::u16string> names;
  for (const Section& s : sections_)
    if (s.keyCount > 0) names.emplace_back(Name(s));
  return names;
}

std::vector<std::u16string> TIniFile::KeyNames(u16string_view section) const {
  std::vector<std::u16string> names;
  const int64_t s = FindSection(TrimSpaces(section));
  if (s < 0) return names;
  const Section& found = sections_[s];
  for (uint32_t k = found.firstKey; k < found.firstKey + found.keyCount; ++k)
    if (keys_[k].valueLength != kNoValue) names.emplace_back(Name(keys_[k]));
  return names;
}

}  // namespace ui

#include "tools/check/DataCheck.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <system_error>
#include <unordered_map>
#include <unordered_set>

#include "base/File.h"

#include "base/Fields.h"
#include "base/Utf.h"
#include "skin/LayoutFile.h"
#include "skin/MainWindowDesign.h"
#include "skin/FrameStrip.h"
#include "skin/OutlineRule.h"
#include "ui/Bitmap.h"
#include "ui/Exception.h"
#include "text/LanguageFiles.h"
#include "text/LanguageNames.h"
#include "tools/check/TextMeasure.h"
#include "ui/Controls.h"
#include "ui/IniFile.h"
#include "ui/InputLimits.h"

namespace check {
namespace fs = std::filesystem;

namespace {

using Design = skin::MainWindowDesign;
constexpr std::u16string_view kNotFound = text::LanguageFiles::kNotFound;
constexpr std::u16string_view kMappingKey = text::LanguageFiles::kMappingKey;

// The names of the design tables, for lookups that ignore letter case.
std::vector<std::u16string> LanguageNames() {
  std::vector<std::u16string> names;
  for (const text::LanguageEntry& l : text::kLanguageNames) names.emplace_back(l.name);
  return names;
}
const std::vector<std::u16string> kLanguages = LanguageNames();

std::vector<std::u16string> StripNames() {
  std::vector<std::u16string> names;
  for (const skin::ControlDesign& c : Design::kControls)
    if (!c.strip.empty()) names.emplace_back(c.strip);
  return names;
}
const std::vector<std::u16string> kStrips = StripNames();
constexpr std::u16string_view kBackground = Design::kBackground;
constexpr std::u16string_view kFormName = Design::kFormName;

std::u16string Fold(std::u16string_view s) {
  std::u16string out(s);
  for (char16_t& c : out) c = base::FoldCase(c);
  return out;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  return base::EqualsNoCase(a, b);
}
// The main window's control of that name in any letter case, or null.
const skin::ControlDesign* KnownControl(std::u16string_view name) {
  for (const skin::ControlDesign& c : Design::kControls)
    if (SameName(c.name, name)) return &c;
  return nullptr;
}

const std::u16string* Known(const std::vector<std::u16string>& names, std::u16string_view name) {
  for (const auto& n : names)
    if (SameName(n, name)) return &n;
  return nullptr;
}

std::string U8(std::u16string_view s) {
  return base::Utf16ToUtf8(s);
}

std::u16string Trim(std::u16string_view s) {
  return std::u16string(base::TrimBlanks(s));
}
// One INI file read by the launcher's reader, with the line of everything in it.
struct IniRead {
  ui::TIniFile ini;
  ui::IniDiagnostics found;
  // The line of a key the reader keeps; 0 when there is none.
  int Line(std::u16string_view section, std::u16string_view key) const {
    const auto at = lines.find(LineKey(section, key));
    return at == lines.end() ? 0 : at->second;
  }
  void IndexLines() {
    for (const auto& k : found.keys) lines.emplace(LineKey(k.section, k.key), k.line);
  }
  // A file of many keys is looked up through an index; names may hold any character but NUL.
  static std::u16string LineKey(std::u16string_view section, std::u16string_view key) {
    return Fold(Trim(section)) + u'\0' + Fold(Trim(key));
  }
  std::unordered_map<std::u16string, int> lines;
};

// The text files of one folder that are read, by language name as the table spells it.
struct TextFile {
  fs::path file;
  std::shared_ptr<const IniRead> read;
};
using TextFolder = std::map<std::u16string, TextFile>;

// The launcher's reader of a file, sharing the file's ownership.
text::LanguageFiles::File IniOf(const TextFile& text) {
  return {text.read, &text.read->ini};
}

// What a path is, without following a link: the checker reads only regular files and folders
// of the tree it was given.
enum class Kind { Missing, File, Folder, Link, Other };
Kind KindOf(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(path, ec);
  if (ec) return Kind::Missing;
  switch (status.type()) {
    case fs::file_type::regular:
      return Kind::File;
    case fs::file_type::directory:
      return Kind::Folder;
    case fs::file_type::symlink:
      return Kind::Link;
    case fs::file_type::not_found:
      return Kind::Missing;
    default:
      return Kind::Other;  // a FIFO, a socket, a device
  }
}

// A name the platform's UTF-16 can hold: natively, one that is valid UTF-8.
bool ReadableName(const fs::path& path) {
  try {
    (void)path.filename().u16string();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// A path as UTF-8 text: natively its bytes, each byte of an ill-formed sequence as "\xNN".
std::string ShownPath(const fs::path& path) {
#ifdef _WIN32
  return base::Utf16ToUtf8(path.u16string());
#else
  const std::string& raw = path.native();
  std::string out;
  for (size_t i = 0; i < raw.size();) {
    const auto b = static_cast<unsigned char>(raw[i]);
    const size_t length = b < 0x80         ? 1
                          : (b >> 5) == 6  ? 2
                          : (b >> 4) == 14 ? 3
                          : (b >> 3) == 30 ? 4
                                           : 0;
    bool valid = length > 0 && i + length <= raw.size();
    for (size_t k = 1; valid && k < length; ++k)
      valid = (static_cast<unsigned char>(raw[i + k]) & 0xC0) == 0x80;
    if (valid && length > 1) {
      // No overlong forms or surrogates: the round trip through UTF-16 keeps exactly these.
      const std::string piece = raw.substr(i, length);
      valid = base::Utf16ToUtf8(base::Utf8ToUtf16(piece)) == piece;
    }
    if (valid) {
      out.append(raw, i, length);
      i += length;
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", b);
      out += buf;
      ++i;
    }
  }
  return out;
#endif
}

// The entries of a folder in name order; what cannot be listed ends the list there.
std::vector<fs::path> Entries(const fs::path& folder, std::error_code& ec) {
  std::vector<fs::path> entries;
  fs::directory_iterator it(folder, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) entries.push_back(it->path());
  std::sort(entries.begin(), entries.end());
  return entries;
}

// "%1", "%2", ...: the numbers a module puts into its texts.
std::set<std::u16string> Placeholders(std::u16string_view text) {
  std::set<std::u16string> found;
  for (size_t at = 0; (at = text.find(u'%', at)) != std::u16string_view::npos;) {
    size_t end = at + 1;
    while (end < text.size() && text[end] >= u'0' && text[end] <= u'9') ++end;
    if (end > at + 1) found.emplace(text.substr(at, end - at));
    at = end;
  }
  return found;
}

// The character after the '&' that marks an access key ("&&" shows one '&'); 0 for none.
char16_t AccessKey(std::u16string_view text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'&') continue;
    if (text[i + 1] == u'&') {
      ++i;
      continue;
    }
    return text[i + 1] == u' ' ? 0 : text[i + 1];
  }
  return 0;
}

std::string Join(const std::set<std::u16string>& names) {
  std::string out;
  for (const auto& n : names) out += (out.empty() ? "" : " ") + U8(n);
  return out;
}

class Checker {
 public:
  Checker(fs::path forms, fs::path root) : forms_(std::move(forms)), root_(std::move(root)) {}

  std::vector<Finding> Run() {
    program_ = CheckTextFolder(forms_ / "Tandrel_Program" / "Texts", true);
    shared_ = CheckTextFolder(forms_ / "Texts", false);
    CheckLayout(forms_ / "Tandrel_Program" / "UI_Main.txt");
    CheckLabels();
    CheckSkin(forms_ / "Tandrel_Program");
    std::stable_sort(findings_.begin(), findings_.end(), [](const Finding& a, const Finding& b) {
      if (a.file != b.file) return a.file < b.file;
      return a.line < b.line;
    });
    return std::move(findings_);
  }

 private:
  void Report(const fs::path& file, int line, Severity severity, std::string message) {
    findings_.push_back({file.lexically_relative(root_), line, severity, std::move(message)});
  }
  void Note(const fs::path& file, int line, std::string message) {
    Report(file, line, Severity::Note, std::move(message));
  }
  void Warn(const fs::path& file, int line, std::string message) {
    Report(file, line, Severity::Warning, std::move(message));
  }
  void Fail(const fs::path& file, int line, std::string message) {
    Report(file, line, Severity::Error, std::move(message));
  }

  // Whether an entry of the tree is one the checker may read as `wanted`; anything else is
  // reported and left alone. Links are never followed: they may lead out of the tree.
  bool Usable(const fs::path& entry, Kind wanted) {
    if (!ReadableName(entry)) {
      Warn(entry, 0, "the name is not valid UTF-8: not checked");
      return false;
    }
    const Kind kind = KindOf(entry);
    if (kind == wanted) return true;
    if (kind == Kind::Link)
      Warn(entry, 0, "a symbolic link: not followed, so not checked");
    else if (kind == Kind::Other)
      Warn(entry, 0, "neither a file nor a folder (a FIFO or a device): not read");
    else if (kind != Kind::Missing)
      Fail(
          entry, 0,
          wanted == Kind::File ? "a folder where a file belongs" : "a file where a folder belongs");
    return false;
  }

  std::vector<fs::path> List(const fs::path& folder) {
    std::error_code ec;
    std::vector<fs::path> entries = Entries(folder, ec);
    if (ec) Fail(folder, 0, "cannot be listed (" + ec.message() + "): what is left is not checked");
    return entries;
  }

  // The file's bytes when it is a regular file within its cap.
  std::optional<std::vector<uint8_t>> Bytes(const fs::path& file, uint64_t cap, Severity severity,
                                            const std::string& overCap) {
    std::error_code ec;
    const uintmax_t size = fs::file_size(file, ec);
    if (!ec && size > cap) {
      Report(file, 0, severity,
             "larger than " + std::to_string(cap >> 20) + " MiB (" + std::to_string(size) +
                 " bytes): " + overCap);
      return std::nullopt;
    }
    auto bytes = base::ReadPlainFile(file.u16string(), cap);
    if (!bytes) Fail(file, 0, "cannot be read");
    return bytes;
  }

  // The file as the launcher reads it, with what the platform's own reader would misread and
  // what is never read; nothing when it cannot be read at all.
  std::optional<IniRead> Read(const fs::path& file, const std::string& overCap) {
    using Encoding = ui::IniDiagnostics::Encoding;
    const auto bytes = Bytes(file, ui::kMaxTextFileBytes, Severity::Warning, overCap);
    if (!bytes) return std::nullopt;
    IniRead read;
    read.ini = ui::TIniFile::FromBytes(*bytes, ui::SystemCodePageDecoder(), &read.found);
    read.IndexLines();
    const ui::IniDiagnostics& found = read.found;
    switch (found.encoding) {
      case Encoding::CodePage:
      case Encoding::Utf16Le:
        break;
      case Encoding::Utf16LeOddLength:
        Warn(file, 0, "UTF-16 with an odd number of bytes: the last one is lost");
        break;
      case Encoding::Utf16Be:
        Warn(file, 0,
             "UTF-16 big-endian: the launcher reads it, Windows' own reader takes it for the "
             "system code page; save it as UTF-16 LE with a byte-order mark");
        break;
      case Encoding::Utf8:
        Warn(file, 0,
             "UTF-8 with a byte-order mark: Windows' own reader takes it for the system "
             "code page; save it as UTF-16 LE with a byte-order mark");
        break;
      case Encoding::CodePageBeyondAscii:
        Warn(file, 0,
             "text beyond ASCII without a byte-order mark: it reads right only where the "
             "system code page is the one it was written in; save it as UTF-16 LE with a "
             "byte-order mark");
        break;
    }
    if (!found.linesBeforeFirstSection.empty())
      Warn(file, found.linesBeforeFirstSection.front(),
           "a line before the first section: it cannot be read");
    for (const auto& s : found.repeatedSections)
      Warn(file, s.line,
           "section [" + U8(s.section) + "] again (first at line " + std::to_string(s.firstLine) +
               "): only the first is read");
    for (const auto& k : found.repeatedKeys)
      Warn(file, k.line,
           "key " + U8(k.key) + " again in [" + U8(k.section) + "] (first at line " +
               std::to_string(k.firstLine) + "): this one is ignored");
    for (const auto& k : found.keys)
      if (k.hasValue && read.ini.ReadString(k.section, k.key, u"") == kNotFound)
        Warn(file, k.line, "the value @@ marks a missing text: the fallback is shown instead");
    return read;
  }

  // "%Mapping%" chains that come back to a section already on them; each loop reported once.
  // A mapping is followed as the launcher follows it: to the section it names, read or not.
  // Each section is walked once: a chain that reaches a section already walked ends there, so a
  // file of long chains stays linear.
  void CheckMappings(const fs::path& file, const IniRead& read) {
    std::unordered_set<std::u16string> walked;
    for (const auto& start : read.found.sections) {
      if (walked.count(Fold(start.section))) continue;
      std::vector<std::u16string> chain{Fold(start.section)};
      std::unordered_set<std::u16string> onChain{chain.back()};
      walked.insert(chain.back());
      std::u16string shown = Bracketed(start.section);
      std::u16string at = start.section;
      for (;;) {
        const std::u16string next = read.ini.ReadString(at, kMappingKey, kNotFound);
        if (next == kNotFound) break;
        shown += u" -> " + Bracketed(next);
        const std::u16string folded = Fold(next);
        if (onChain.count(folded)) {
          Warn(file, read.Line(at, kMappingKey),
               "%Mapping% loop " + U8(shown) + ": the launcher stops at [" + U8(next) + "]");
          break;
        }
        if (!walked.insert(folded).second) break;
        chain.push_back(folded);
        onChain.insert(folded);
        at = next;
      }
    }
  }
  static std::u16string Bracketed(std::u16string_view name) {
    return u"[" + std::u16string(name) + u"]";
  }

  TextFolder CheckTextFolder(const fs::path& folder, bool program) {
    TextFolder texts;
    if (KindOf(folder) == Kind::Missing) {
      Warn(folder, 0, "no text folder: every text is the design's or the marker @@");
      return texts;
    }
    if (!Usable(folder, Kind::Folder)) return texts;
    for (const fs::path& file : List(folder)) {
      if (ReadableName(file) && file.extension() != ".txt") continue;
      if (!Usable(file, Kind::File)) continue;
      const std::u16string stem = file.stem().u16string();
      const std::u16string* language = Known(kLanguages, stem);
      if (!language) {
        Warn(file, 0, "'" + U8(stem) + "' is not one of the 13 language names: never read");
        continue;
      }
      auto read = Read(file, "the launcher does not read it, as if it were missing");
      if (!read) continue;
      CheckMappings(file, *read);
      CheckAccessKeys(file, *read);
      if (program) CheckLabelKeys(file, *read);
      texts[*language] = {file, std::make_shared<const IniRead>(std::move(*read))};
    }
    const auto english = texts.find(std::u16string(text::kFallbackLanguage));
    if (english == texts.end()) {
      Warn(folder / "English.txt", 0, "missing: texts a language lacks have no fallback");
      return texts;
    }
    if (program) CheckButtonNames(english->second.file, *english->second.read);
    for (const auto& [language, text] : texts)
      if (text.read != english->second.read) CompareWithEnglish(english->second, text, language);
    return texts;
  }

  // The texts of the English file that the language file lacks, and those whose numbers ("%1")
  // differ. The launcher, looking a text up in this folder, follows the "%Mapping%" chain through
  // both files; a text is missing where the language file has no value at the chain's end. A
  // value "@@" is no text either, but has its own finding.
  void CompareWithEnglish(const TextFile& english, const TextFile& language,
                          const std::u16string& name) {
    const std::u16string kNone = u"\x01";  // no value can be this: values lose control characters
    text::LanguageFiles texts;
    texts.FileSource = [&](const std::u16string& path) -> text::LanguageFiles::File {
      if (path == u"English.txt") return IniOf(english);
      if (path == name + u".txt") return IniOf(language);
      return nullptr;
    };
    texts.Load(u"", u"\x01/", u"", LanguageId(name));
    const IniRead& en = *english.read;
    const IniRead& own = *language.read;
    for (const auto& k : en.found.keys) {
      if (!k.hasValue || SameName(k.key, kMappingKey)) continue;
      const std::u16string section = texts.ResolveSection(k.section);
      const std::u16string value = own.ini.ReadString(section, k.key, kNone);
      const std::string where = "(English.txt line " + std::to_string(k.line) + ")";
      if (value == kNone) {
        Warn(language.file, 0,
             "[" + U8(k.section) + "] " + U8(k.key) + " is missing " + where +
                 ": the English text is shown");
        continue;
      }
      const auto wanted = Placeholders(en.ini.ReadString(k.section, k.key, u""));
      const auto given = Placeholders(value);
      std::set<std::u16string> lacking, extra;
      std::set_difference(wanted.begin(), wanted.end(), given.begin(), given.end(),
                          std::inserter(lacking, lacking.end()));
      std::set_difference(given.begin(), given.end(), wanted.begin(), wanted.end(),
                          std::inserter(extra, extra.end()));
      const int line = own.Line(section, k.key);
      if (!lacking.empty())
        Warn(language.file, line,
             U8(k.key) + " lacks " + Join(lacking) + " of the English text " + where +
                 ": what it stands for is not shown");
      if (!extra.empty())
        Warn(language.file, line,
             U8(k.key) + " has " + Join(extra) + ", which the English text lacks " + where +
                 ": nothing fills it in");
    }
  }

  static uint16_t LanguageId(std::u16string_view name) {
    for (const text::LanguageEntry& l : text::kLanguageNames)
      if (l.name == name) return l.languageId;
    return 0;
  }

  // Each section holds the texts of one window: two of its controls with the same access key
  // ("&Start", "&Stop") leave Alt and that key to one of them.
  void CheckAccessKeys(const fs::path& file, const IniRead& read) {
    std::map<std::pair<std::u16string, char16_t>, const ui::IniDiagnostics::Entry*> first;
    for (const auto& k : read.found.keys) {
      if (!k.hasValue) continue;
      const std::vector<std::u16string> parts = Split(k.key);
      if (parts.size() > 1 &&
          (SameName(parts.back(), u"Hint") || SameName(parts.back(), u"AccessibleName")))
        continue;  // never drawn with an access key
      const std::u16string value = read.ini.ReadString(k.section, k.key, u"");
      const char16_t key = AccessKey(value);
      if (!key) continue;
      const auto [at, added] = first.emplace(std::pair(Fold(k.section), base::FoldCase(key)), &k);
      if (added) continue;
      const std::string shown = U8(std::u16string(1, key));
      Warn(file, k.line,
           "access key " + shown + " of " + U8(k.key) + " (" + U8(value) + ") is also " +
               U8(at->second->key) + "'s (line " + std::to_string(at->second->line) +
               "): in one window Alt+" + shown + " reaches only one of them");
    }
  }

  // Every button's name for screen readers; the other languages are held against English's.
  void CheckButtonNames(const fs::path& file, const IniRead& read) {
    const std::u16string kNone = u"\x01";  // no value can be this: values lose control characters
    for (const skin::ControlDesign& control : Design::kControls) {
      if (control.runtimeClass != u"TButton") continue;
      const std::u16string key = std::u16string(control.name) + u"->AccessibleName";
      if (read.ini.ReadString(u"MultiPairForm.dll", key, kNone) != kNone ||
          read.ini.ReadString(u"MultiPairForm.dll", std::u16string(kFormName) + u"->" + key,
                              kNone) != kNone)
        continue;
      Warn(file, 0,
           "[MultiPairForm.dll] " + U8(key) +
               " is missing: screen readers hear the built-in English name");
    }
  }

  // Captions and hints go on labels only; a key for anything else is never read.
  void CheckLabelKeys(const fs::path& file, const IniRead& read) {
    for (const auto& key : read.found.keys) {
      if (!key.hasValue) continue;  // reads as missing: no text
      std::vector<std::u16string> parts = Split(key.key);
      if (parts.size() < 2) continue;
      if (parts.size() == 3 && SameName(parts[0], kFormName)) parts.erase(parts.begin());
      // Labels take captions and hints; a button takes its accessible name, and nothing else.
      const skin::ControlDesign* control = KnownControl(parts[0]);
      const bool name = parts.size() == 2 && control && control->runtimeClass == u"TButton" &&
                        SameName(parts[1], u"AccessibleName");
      if (parts.size() == 2 && !name && (!control || control->runtimeClass != u"TLabel"))
        Warn(file, key.line,
             "the main window has no label named " + U8(parts[0]) + ": this text is never shown");
    }
  }

  static std::vector<std::u16string> Split(std::u16string_view key) {
    std::vector<std::u16string> parts;
    size_t at = 0;
    for (size_t next; (next = key.find(u"->", at)) != std::u16string_view::npos; at = next + 2)
      parts.push_back(Trim(key.substr(at, next - at)));
    parts.push_back(Trim(key.substr(at)));
    return parts;
  }

  void CheckLayout(const fs::path& file) {
    if (KindOf(file) == Kind::Missing) return;  // the design's bounds stay
    if (!Usable(file, Kind::File)) return;
    auto read = Read(file, "the launcher does not read it: the design's bounds and fonts stay");
    if (!read) return;
    for (const auto& section : read->found.sections)
      if (!Known(kLanguages, section.section))
        Warn(file, section.line,
             "[" + U8(section.section) + "] is not one of the 13 language names: never read");
    for (const auto& key : read->found.keys)
      if (key.hasValue) CheckLayoutKey(file, key, read->ini.ReadString(key.section, key.key, u""));
    layout_ = std::move(read);
    layoutFile_ = file;
  }

  void CheckLayoutKey(const fs::path& file, const ui::IniDiagnostics::Entry& key,
                      const std::u16string& value) {
    if (SameName(key.key, u"Version")) return;
    if (SameName(key.key, u"FontName")) {
      CheckFontName(file, key.line, value);
      return;
    }
    std::vector<std::u16string> parts = Split(key.key);
    if (parts.size() >= 3 && SameName(parts[0], kFormName)) parts.erase(parts.begin());
    if (parts.size() < 2) {
      Warn(file, key.line, "'" + U8(key.key) + "' is not a layout key: ignored");
      return;
    }
    if (!KnownControl(parts[0])) {
      Warn(file, key.line, "the main window has no control named " + U8(parts[0]) + ": ignored");
      return;
    }
    const bool position = parts.size() == 2 && SameName(parts[1], u"Position");
    const bool colour =
        (parts.size() == 2 && SameName(parts[1], u"Color")) ||
        (parts.size() == 3 && SameName(parts[1], u"Font") && SameName(parts[2], u"Color"));
    if (!position && !colour) {
      Warn(file, key.line, "'" + U8(key.key) + "' is not a layout key: ignored");
      return;
    }
    if (value.empty()) return;  // counts as missing
    const std::u16string keyword = Fold(skin::LayoutFile::ExtractField(value, u',', 0));
    try {
      if (position) {
        skin::LayoutFile::ParseRect(value);
        if (keyword != Fold(u"rectp") && keyword != Fold(u"rectwh"))
          Warn(file, key.line,
               "'" + U8(value) + "' is neither rectp nor rectwh: the control shrinks to nothing");
      } else {
        skin::LayoutFile::ParseColour(value);
        if (keyword != Fold(u"rgb"))
          Warn(file, key.line, "'" + U8(value) + "' is not rgb,R,G,B: the colour is black");
      }
    } catch (const ui::Exception& e) {
      Fail(file, key.line, U8(e.Message()) + " (the launcher stops at start-up)");
    }
  }

  // A face the system lacks is replaced by another without a word, and labels measured for one
  // face may not hold their text in another.
  void CheckFontName(const fs::path& file, int line, const std::u16string& face) {
    if (face.empty()) return;  // counts as missing
    const std::optional<FontFace> found = LookUpFontFace(face);
    if (!found) {
      if (!SameName(face, kMeasuredFace))
        Note(file, line,
             "cannot tell here whether the system has the font " + U8(face) +
                 ", and measured the labels in " + U8(kMeasuredFace) +
                 ": run tandrel-check.exe on Windows to know");
    } else if (!found->installed && !SameName(found->drawnIn, face)) {
      Warn(file, line,
           "the system has no font " + U8(face) + ": labels are drawn in " + U8(found->drawnIn) +
               " instead and may not fit their boxes");
    }
  }

  // Each label's text, in each language that has texts, as the launcher lays it out: the design,
  // then the language files, then the layout file of that language.
  void CheckLabels() {
    std::set<std::u16string> languages;
    for (const TextFolder* folder : {&program_, &shared_})
      for (const auto& entry : *folder) languages.insert(entry.first);
    for (const std::u16string& language : languages) {
      ui::TForm form(nullptr, std::u16string(kFormName));
      std::vector<ui::TLabel*> labels;
      for (const skin::ControlDesign& d : Design::kControls) {
        if (d.runtimeClass != u"TLabel") continue;
        auto* label = new ui::TLabel(&form, std::u16string(d.name));
        label->SetBounds(d.left, d.top, d.width, d.height);
        ui::TFont font;
        font.Height = d.fontHeight;
        font.Bold = d.bold;
        label->SetFont(font);
        label->SetCaption(std::u16string(d.caption));
        labels.push_back(label);
      }
      text::LanguageFiles texts;
      texts.FileSource = [&](const std::u16string& path) -> text::LanguageFiles::File {
        const TextFolder& folder = path.starts_with(u"P/") ? program_ : shared_;
        const auto at = folder.find(path.substr(2, path.size() - 6));
        return at == folder.end() ? nullptr : IniOf(at->second);
      };
      texts.Load(u"P/", u"S/", u"", LanguageId(language));
      texts.ApplyTexts(form, u"MultiPairForm.dll");
      if (layout_) {
        try {
          skin::ApplyLayout(form, skin::LayoutFile(layout_->ini, language, u""));
        } catch (const ui::Exception&) {
          continue;  // reported with the layout file's line
        }
      }
      for (const ui::TLabel* label : labels) CheckLabelText(*label, language, texts);
    }
  }

  void CheckLabelText(const ui::TLabel& label, const std::u16string& language,
                      const text::LanguageFiles& texts) {
    const std::u16string& caption = label.Caption();
    if (caption.empty() || label.Width() <= 0) return;
    const TextExtent extent = MeasureLabelText(caption, label.Width(), label.Font());
    const int room = extent.lineHeight > 0 ? label.Height() / extent.lineHeight : 0;
    std::string problem;
    if (extent.lines > room)
      problem = "needs " + std::to_string(extent.lines) + (extent.lines == 1 ? " line" : " lines") +
                ", its box (" + std::to_string(label.Width()) + " x " +
                std::to_string(label.Height()) + ") has room for " + std::to_string(room) +
                ": the rest is cut off";
    else if (extent.width > label.Width())
      problem = "has a line " + std::to_string(extent.width) + " pixels wide, its box " +
                std::to_string(label.Width()) + ": the line's end is cut off";
    if (problem.empty()) return;
    // Where the text comes from: the first file holding it, in the launcher's order.
    const std::u16string section = texts.ResolveSection(u"MultiPairForm.dll");
    const std::u16string plain = label.Name() + u"->Caption";
    for (const std::u16string& key : {std::u16string(kFormName) + u"->" + plain, plain}) {
      for (const TextFolder* folder : {&program_, &shared_}) {
        for (const std::u16string& from : {language, std::u16string(u"English")}) {
          const auto at = folder->find(from);
          if (at == folder->end()) continue;
          const IniRead& read = *at->second.read;
          const int line = read.Line(section, key);
          if (!line || read.ini.ReadString(section, key, kNotFound) == kNotFound) continue;
          Warn(at->second.file, line,
               "the text of " + U8(label.Name()) + " " + problem +
                   (from == language ? "" : " (in the " + U8(language) + " layout)"));
          return;
        }
      }
    }
    Warn(layoutFile_.empty() ? forms_ : layoutFile_, 0,
         "the design text of " + U8(label.Name()) + " " + problem + " (in the " + U8(language) +
             " layout)");
  }

  // One strip's look: the size of a frame and its key colour (pixel 0, 0: what the button's
  // outline cuts away).
  struct StripLook {
    int frameWidth, height;
    uint32_t key;
    bool operator==(const StripLook&) const = default;
  };

  void CheckSkin(const fs::path& skin) {
    if (KindOf(skin) == Kind::Missing) {
      Warn(skin, 0, "no skin folder: the window is plain and rectangular");
      return;
    }
    if (!Usable(skin, Kind::Folder)) return;
    std::map<std::u16string, std::pair<fs::path, std::map<std::u16string, StripLook>>> strips;
    for (const fs::path& folder : List(skin)) {
      // Files, the text folder and the layout file are checked on their own.
      if (folder.filename() == "Texts" || folder.filename() == "UI_Main.txt" ||
          KindOf(folder) == Kind::File)
        continue;
      if (!Usable(folder, Kind::Folder)) continue;
      const std::u16string name = folder.filename().u16string();
      const std::u16string* language = Known(kLanguages, name);
      if (!language) {
        Warn(folder, 0, "'" + U8(name) + "' is not one of the 13 language names: never read");
        continue;
      }
      if (*language != u"English" && !program_.count(*language) && !shared_.count(*language))
        Warn(folder, 0,
             "pictures for " + U8(name) +
                 " but no texts: its users see English "
                 "texts beside these pictures");
      auto& looks = strips[*language];
      looks.first = folder;
      for (const fs::path& picture : List(folder)) {
        if (ReadableName(picture) && picture.extension() != ".bmp") continue;
        if (!Usable(picture, Kind::File)) continue;
        if (auto look = CheckPicture(picture))
          looks.second[*Known(kStrips, picture.filename().u16string())] = *look;
      }
    }
    CompareStrips(strips);
  }

  // A language's strips stand in for English's: a skin restyled in English\ alone still shows
  // the old buttons to users of that language.
  void CompareStrips(
      const std::map<std::u16string, std::pair<fs::path, std::map<std::u16string, StripLook>>>&
          strips) {
    const auto english = strips.find(u"English");
    if (english == strips.end()) return;
    for (const auto& [language, looks] : strips) {
      if (language == u"English") continue;
      std::string differences;
      for (const auto& [strip, look] : looks.second) {
        const auto theirs = english->second.second.find(strip);
        if (theirs == english->second.second.end() || theirs->second == look) continue;
        const StripLook& en = theirs->second;
        std::string parts;
        if (look.frameWidth != en.frameWidth || look.height != en.height)
          parts += "frames " + std::to_string(look.frameWidth) + " x " +
                   std::to_string(look.height) + " (English's " + std::to_string(en.frameWidth) +
                   " x " + std::to_string(en.height) + ")";
        if (look.key != en.key)
          parts += (parts.empty() ? "" : ", ") + std::string("key colour ") + Hex(look.key) +
                   " (English's " + Hex(en.key) + ")";
        differences += (differences.empty() ? "" : "; ") + U8(strip) + ": " + parts;
      }
      if (!differences.empty())
        Warn(looks.first, 0,
             "its strips differ from English's (" + differences + "): users of " + U8(language) +
                 " see these buttons; restyle them as English's, or remove them to show "
                 "English's");
    }
  }
  static std::string Hex(uint32_t colour) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%06x", static_cast<unsigned>(colour & 0xFFFFFF));
    return buf;
  }

  // The picture's findings; the look of a strip that has frames.
  std::optional<StripLook> CheckPicture(const fs::path& file) {
    const auto bytes = Bytes(file, ui::kMaxPictureFileBytes, Severity::Error,
                             "Bitmap image is not valid (the launcher stops at start-up)");
    if (!bytes) return std::nullopt;
    ui::TBitmap bitmap;
    try {
      bitmap = ui::TBitmap::LoadFromMemory(*bytes);
    } catch (const ui::Exception& e) {
      Fail(file, 0, U8(e.Message()) + " (the launcher stops at start-up)");
      return std::nullopt;
    } catch (const std::exception&) {
      Fail(file, 0, "cannot be decoded");
      return std::nullopt;
    }
    const std::u16string name = file.filename().u16string();
    if (Known(kStrips, name)) {
      const int w = bitmap.Width();
      if (w < 4) {
        Warn(file, 0, "a strip narrower than 4 pixels has no frames: the button stays plain");
        return std::nullopt;
      }
      if (w % 4)
        Warn(file, 0,
             "strip width " + std::to_string(w) + " is not a multiple of 4: frames are " +
                 std::to_string(skin::FrameWidth(w, 4)) + " pixels wide and the last " +
                 std::to_string(w % 4) + " columns are never shown");
      return StripLook{skin::FrameWidth(w, 4), bitmap.Height(), bitmap.Pixel(0, 0) & 0xFFFFFFu};
    }
    if (SameName(name, kBackground) && skin::OutlineRects(skin::PixelGrid(bitmap)).empty())
      Warn(file, 0, "one colour only: the outline is empty and the window keeps its rectangle");
    return std::nullopt;
  }

  fs::path forms_, root_;
  TextFolder program_, shared_;
  std::optional<IniRead> layout_;
  fs::path layoutFile_;
  std::vector<Finding> findings_;
};

// The control characters of UTF-8 text (below 0x20, 0x7F and the C1 range U+0080-U+009F),
// written out by `escape`; everything else as it is.
template <typename Escape>
std::string EscapeControls(const std::string& s, Escape escape) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    const auto next = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
    if (c < 0x20 || c == 0x7F) {
      out += escape(c);
    } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
      out += escape(next);
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string Printable(const std::string& s) {
  return EscapeControls(s, [](unsigned c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, c < 0x80 ? "\\x%02x" : "\\u%04x", c);
    return std::string(buf);
  });
}

std::string JsonString(const std::string& s) {
  std::string quoted;
  for (const char c : s) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return "\"" +
         EscapeControls(quoted,
                        [](unsigned c) {
                          char buf[8];
                          std::snprintf(buf, sizeof buf, "\\u%04x", c);
                          return std::string(buf);
                        }) +
         "\"";
}

const char* SeverityName(Severity s) {
  return s == Severity::Error ? "error" : s == Severity::Warning ? "warning" : "note";
}

}  // namespace

fs::path FindFormsFolder(const fs::path& folder) {
  // Below the folder named, real folders only: a link there may lead out of the tree.
  const auto within = [&](const fs::path& below) {
    fs::path at = folder;
    for (const fs::path& part : below)
      if (KindOf(at /= part) != Kind::Folder) return false;
    return true;
  };
  for (const fs::path& candidate :
       {fs::path("Data/Tandrel_Program/Forms"), fs::path("Tandrel_Program/Forms"),
        fs::path("Forms"), fs::path()}) {
    if (within(candidate / "Tandrel_Program") || within(candidate / "Texts"))
      return candidate.empty() ? folder : folder / candidate;
  }
  return {};
}

std::vector<Finding> CheckFormsFolder(const fs::path& forms, const fs::path& root) {
  return Checker(forms, root).Run();
}

std::string FormatText(const std::vector<Finding>& findings) {
  std::string out;
  for (const Finding& f : findings) {
    out += Printable(ShownPath(f.file));
    if (f.line > 0) out += ":" + std::to_string(f.line);
    out += std::string(": ") + SeverityName(f.severity) + ": " + Printable(f.message) + "\n";
  }
  return out;
}

std::string FormatJson(const std::vector<Finding>& findings) {
  std::string out = "[";
  for (size_t i = 0; i < findings.size(); ++i) {
    const Finding& f = findings[i];
    out += i ? ",\n " : "\n ";
    out += "{\"file\": " + JsonString(ShownPath(f.file)) + ", \"line\": " + std::to_string(f.line) +
           ", \"severity\": \"" + SeverityName(f.severity) +
           "\", \"message\": " + JsonString(f.message) + "}";
  }
  return out + (findings.empty() ? "]\n" : "\n]\n");
}

int ExitStatus(const std::vector<Finding>& findings) {
  int status = 0;
  for (const Finding& f : findings)
    if (f.severity != Severity::Note)
      status = std::max(status, f.severity == Severity::Error ? 2 : 1);
  return status;
}

Run RunChecker(const std::vector<std::u16string>& args) {
  Run run;
  bool json = false;
  std::vector<std::u16string> folders;
  for (const auto& a : args) {
    if (a == u"--json")
      json = true;
    else
      folders.push_back(a);
  }
  if (folders.size() != 1) {
    run.err =
        "usage: tandrel-check [--json] FOLDER\n"
        "  FOLDER: the launcher's install folder, its Data folder or the forms folder.\n"
        "  Reports what the launcher would misread or refuse in the texts, the layout file and\n"
        "  the skin pictures. Exit status 0: clean, 1: warnings, 2: errors.\n";
    run.status = 2;
    return run;
  }
  const fs::path root(folders[0]);
  const fs::path forms = FindFormsFolder(root);
  if (forms.empty()) {
    run.err = "tandrel-check: no Data\\Tandrel_Program\\Forms folder in " +
              Printable(ShownPath(root)) + "\n";
    run.status = 2;
    return run;
  }
  const std::vector<Finding> findings = CheckFormsFolder(forms, root);
  run.out = json ? FormatJson(findings) : FormatText(findings);
  run.status = ExitStatus(findings);
  return run;
}

}  // namespace check

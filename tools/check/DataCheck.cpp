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
#include "ui/IniFile.h"

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
    for (const auto& k : found.keys)
      if (SameName(k.section, section) && SameName(k.key, key)) return k.line;
    return 0;
  }
};

class Checker {
 public:
  Checker(fs::path forms, fs::path root) : forms_(std::move(forms)), root_(std::move(root)) {}

  std::vector<Finding> Run() {
    CheckTextFolder(forms_ / "Tandrel_Program" / "Texts", true);
    CheckTextFolder(forms_ / "Texts", false);
    CheckLayout(forms_ / "Tandrel_Program" / "UI_Main.txt");
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
  void Warn(const fs::path& file, int line, std::string message) {
    Report(file, line, Severity::Warning, std::move(message));
  }
  void Fail(const fs::path& file, int line, std::string message) {
    Report(file, line, Severity::Error, std::move(message));
  }

  // The file as the launcher reads it, with what the platform's own reader would misread and
  // what is never read; nothing when it cannot be read at all.
  std::optional<IniRead> Read(const fs::path& file) {
    using Encoding = ui::IniDiagnostics::Encoding;
    IniRead read;
    read.ini = ui::TIniFile(file.u16string(), ui::SystemCodePageDecoder(), &read.found);
    if (!read.ini.Loaded()) {
      Fail(file, 0, "cannot be read");
      return std::nullopt;
    }
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
  void CheckMappings(const fs::path& file, const IniRead& read) {
    std::set<std::set<std::u16string>> reported;
    for (const auto& start : read.found.sections) {
      std::vector<std::u16string> chain{Fold(start.section)};
      std::u16string shown = U8Name(start.section);
      std::u16string at = start.section;
      for (;;) {
        const std::u16string next = read.ini.ReadString(at, kMappingKey, kNotFound);
        if (next == kNotFound) break;
        shown += u" -> " + U8Name(next);
        const auto seen = std::find(chain.begin(), chain.end(), Fold(next));
        if (seen != chain.end()) {
          if (reported.insert(std::set<std::u16string>(seen, chain.end())).second)
            Warn(file, read.Line(at, kMappingKey),
                 "%Mapping% loop " + U8(shown) + ": the launcher stops at [" + U8(next) + "]");
          break;
        }
        chain.push_back(Fold(next));
        at = next;
      }
    }
  }
  static std::u16string U8Name(std::u16string_view name) {
    return u"[" + std::u16string(name) + u"]";
  }

  void CheckTextFolder(const fs::path& folder, bool program) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
      Warn(folder, 0, "no text folder: every text is the design's or the marker @@");
      return;
    }
    std::map<std::u16string, std::shared_ptr<const IniRead>> reads;  // by name in the table
    std::map<std::u16string, fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
      const fs::path& file = entry.path();
      if (file.extension() != ".txt") continue;
      if (!entry.is_regular_file()) {
        Fail(file, 0, "a folder where a language file belongs");
        continue;
      }
      const std::u16string stem = file.stem().u16string();
      const std::u16string* language = Known(kLanguages, stem);
      if (!language) {
        Warn(file, 0, "'" + U8(stem) + "' is not one of the 13 language names: never read");
        continue;
      }
      auto read = Read(file);
      if (!read) continue;
      CheckMappings(file, *read);
      if (program) CheckLabelKeys(file, *read);
      files[*language] = file;
      reads[*language] = std::make_shared<const IniRead>(std::move(*read));
    }
    const auto english = reads.find(std::u16string(text::kFallbackLanguage));
    if (english == reads.end()) {
      Warn(folder / "English.txt", 0, "missing: texts a language lacks have no fallback");
      return;
    }
    if (program) CheckButtonNames(files[english->first], *english->second);
    for (const auto& [language, read] : reads) {
      if (read == english->second) continue;
      for (const auto& [section, key, line] : MissingTexts(*english->second, read, language))
        Warn(files[language], 0,
             "[" + U8(section) + "] " + U8(key) + " is missing (English.txt line " +
                 std::to_string(line) + "): the English text is shown");
    }
  }

  // The texts of the English file that the language file lacks: the launcher, looking a text up
  // in this folder, follows the "%Mapping%" chain through both files and finds no value in the
  // language file where the chain ends. A value "@@" is no text either, but has its own finding.
  struct Missing {
    std::u16string section, key;
    int line;
  };
  static std::vector<Missing> MissingTexts(const IniRead& english,
                                           const std::shared_ptr<const IniRead>& language,
                                           const std::u16string& name) {
    const std::u16string kNone = u"\x01";  // no value can be this: values lose control characters
    text::LanguageFiles texts;
    texts.FileSource = [&](const std::u16string& path) -> text::LanguageFiles::File {
      if (path == u"English.txt") return {&english.ini, [](const ui::TIniFile*) {}};
      if (path == name + u".txt") return {language, &language->ini};
      return nullptr;
    };
    texts.Load(u"", u"\x01/", u"", LanguageId(name));
    std::vector<Missing> missing;
    for (const auto& k : english.found.keys) {
      if (!k.hasValue || SameName(k.key, kMappingKey)) continue;
      if (language->ini.ReadString(texts.ResolveSection(k.section), k.key, kNone) == kNone)
        missing.push_back({k.section, k.key, k.line});
    }
    return missing;
  }

  static uint16_t LanguageId(std::u16string_view name) {
    for (const text::LanguageEntry& l : text::kLanguageNames)
      if (l.name == name) return l.languageId;
    return 0;
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
    std::error_code ec;
    if (!fs::exists(file, ec)) return;  // the design's bounds stay
    if (fs::is_directory(file, ec)) {
      Fail(file, 0, "a folder where the layout file belongs");
      return;
    }
    const auto read = Read(file);
    if (!read) return;
    for (const auto& section : read->found.sections)
      if (!Known(kLanguages, section.section))
        Warn(file, section.line,
             "[" + U8(section.section) + "] is not one of the 13 language names: never read");
    for (const auto& key : read->found.keys)
      if (key.hasValue) CheckLayoutKey(file, key, read->ini.ReadString(key.section, key.key, u""));
  }

  void CheckLayoutKey(const fs::path& file, const ui::IniDiagnostics::Entry& key,
                      const std::u16string& value) {
    if (SameName(key.key, u"FontName") || SameName(key.key, u"Version")) return;
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

  void CheckSkin(const fs::path& skin) {
    std::error_code ec;
    if (!fs::is_directory(skin, ec)) {
      Warn(skin, 0, "no skin folder: the window is plain and rectangular");
      return;
    }
    for (const auto& entry : fs::directory_iterator(skin, ec)) {
      if (!entry.is_directory() || entry.path().filename() == "Texts") continue;
      const fs::path& folder = entry.path();
      const std::u16string name = folder.filename().u16string();
      const std::u16string* language = Known(kLanguages, name);
      if (!language) {
        Warn(folder, 0, "'" + U8(name) + "' is not one of the 13 language names: never read");
        continue;
      }
      if (*language != u"English" &&
          !fs::exists(forms_ / "Tandrel_Program" / "Texts" / (*language + u".txt"), ec) &&
          !fs::exists(forms_ / "Texts" / (*language + u".txt"), ec))
        Warn(folder, 0,
             "pictures for " + U8(name) +
                 " but no texts: its users see English "
                 "texts beside these pictures");
      for (const auto& picture : fs::directory_iterator(folder, ec))
        if (picture.path().extension() == ".bmp") CheckPicture(picture.path());
    }
  }

  void CheckPicture(const fs::path& file) {
    ui::TBitmap bitmap;
    try {
      bitmap = ui::TBitmap::LoadFromFile(file.u16string());
    } catch (const ui::Exception& e) {
      Fail(file, 0, U8(e.Message()) + " (the launcher stops at start-up)");
      return;
    } catch (const std::exception&) {
      Fail(file, 0, "cannot be decoded");
      return;
    }
    const std::u16string name = file.filename().u16string();
    if (Known(kStrips, name)) {
      const int w = bitmap.Width();
      if (w < 4)
        Warn(file, 0, "a strip narrower than 4 pixels has no frames: the button stays plain");
      else if (w % 4)
        Warn(file, 0,
             "strip width " + std::to_string(w) + " is not a multiple of 4: frames are " +
                 std::to_string(skin::FrameWidth(w, 4)) + " pixels wide and the last " +
                 std::to_string(w % 4) + " columns are never shown");
    } else if (SameName(name, kBackground)) {
      if (skin::OutlineRects(skin::PixelGrid(bitmap)).empty())
        Warn(file, 0, "one colour only: the outline is empty and the window keeps its rectangle");
    }
  }

  fs::path forms_, root_;
  std::vector<Finding> findings_;
};

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (const char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

const char* SeverityName(Severity s) {
  return s == Severity::Error ? "error" : "warning";
}

}  // namespace

fs::path FindFormsFolder(const fs::path& folder) {
  std::error_code ec;
  for (const fs::path& candidate :
       {folder / "Data" / "Tandrel_Program" / "Forms", folder / "Tandrel_Program" / "Forms",
        folder / "Forms", folder}) {
    if (fs::is_directory(candidate / "Tandrel_Program", ec) ||
        fs::is_directory(candidate / "Texts", ec))
      return candidate;
  }
  return {};
}

std::vector<Finding> CheckFormsFolder(const fs::path& forms, const fs::path& root) {
  return Checker(forms, root).Run();
}

std::string FormatText(const std::vector<Finding>& findings) {
  std::string out;
  for (const Finding& f : findings) {
    out += base::Utf16ToUtf8(f.file.u16string());
    if (f.line > 0) out += ":" + std::to_string(f.line);
    out += std::string(": ") + SeverityName(f.severity) + ": " + f.message + "\n";
  }
  return out;
}

std::string FormatJson(const std::vector<Finding>& findings) {
  std::string out = "[";
  for (size_t i = 0; i < findings.size(); ++i) {
    const Finding& f = findings[i];
    out += i ? ",\n " : "\n ";
    out += "{\"file\": " + JsonString(base::Utf16ToUtf8(f.file.u16string())) +
           ", \"line\": " + std::to_string(f.line) + ", \"severity\": \"" +
           SeverityName(f.severity) + "\", \"message\": " + JsonString(f.message) + "}";
  }
  return out + (findings.empty() ? "]\n" : "\n]\n");
}

int ExitStatus(const std::vector<Finding>& findings) {
  int status = 0;
  for (const Finding& f : findings)
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
              base::Utf16ToUtf8(folders[0]) + "\n";
    run.status = 2;
    return run;
  }
  const std::vector<Finding> findings = CheckFormsFolder(forms, root);
  run.out = json ? FormatJson(findings) : FormatText(findings);
  run.status = ExitStatus(findings);
  return run;
}

}  // namespace check

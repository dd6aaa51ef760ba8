#include "tools/check/DataCheck.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <system_error>

#include "base/Utf.h"
#include "skin/LayoutFile.h"
#include "skin/FrameStrip.h"
#include "skin/OutlineRule.h"
#include "ui/Bitmap.h"
#include "ui/Exception.h"
#include "ui/IniFile.h"

namespace check {
namespace fs = std::filesystem;

namespace {

const std::vector<std::u16string> kLanguages = {
    u"English", u"ChineseT", u"ChineseS", u"Japanese", u"Korean",      u"German", u"FrenchF",
    u"Italian", u"Spanish",  u"Dutch",    u"Russian",  u"PortugueseP", u"Turkish"};

// The main window's controls, and which of them are labels (the only ones that take texts).
const std::vector<std::u16string> kControls = {u"im_BackgroundImage",
                                               u"lb_ForMeeting",
                                               u"lb_ForLife",
                                               u"lb_ForMeetingNotes",
                                               u"lb_ProgramTitle",
                                               u"im_Totem",
                                               u"lb_Title",
                                               u"lb_Version",
                                               u"lb_ForLifeNotes",
                                               u"bt_Close",
                                               u"bt_NewMultiPairProcess",
                                               u"bt_OpenRSSIDisplay"};

const std::vector<std::u16string> kStrips = {u"WindowClose.bmp", u"NewMultiPairProc.bmp",
                                             u"RSSIDisplay.bmp"};
constexpr char16_t kBackground[] = u"MultiPairMain_Background.bmp";
constexpr char16_t kFormName[] = u"TandrelProgram";

std::u16string Fold(std::u16string_view s) {
  std::u16string out(s);
  for (char16_t& c : out) c = ui::FoldNameChar(c);
  return out;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  return Fold(a) == Fold(b);
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
  size_t a = 0, b = s.size();
  while (a < b && s[a] <= 0x20) ++a;
  while (b > a && s[b - 1] <= 0x20) --b;
  return std::u16string(s.substr(a, b - a));
}

// One INI file as the platform's reader sees it, with the line of everything in it. Only the
// first section of a name and the first key of a name in it count, as for the reader.
struct IniScan {
  struct Key {
    std::u16string name, value;
    int line;
  };
  struct Section {
    std::u16string name;
    int line;
    std::vector<Key> keys;
    const Key* Find(std::u16string_view key) const {
      for (const Key& k : keys)
        if (SameName(k.name, key)) return &k;
      return nullptr;
    }
  };
  std::vector<Section> sections;
  const Section* Find(std::u16string_view name) const {
    for (const Section& s : sections)
      if (SameName(s.name, name)) return &s;
    return nullptr;
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

  static std::optional<std::vector<uint8_t>> Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }

  // The decoded text, or nothing when the platform cannot read it at all.
  std::optional<std::u16string> Decode(const fs::path& file, const std::vector<uint8_t>& b) {
    if (b.size() >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
      Fail(file, 0,
           "UTF-16 big-endian: the launcher cannot read it; save it as UTF-16 LE with a "
           "byte-order mark");
      return std::nullopt;
    }
    if (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
      if (b.size() % 2) Warn(file, 0, "UTF-16 with an odd number of bytes: the last one is lost");
      std::u16string text;
      for (size_t i = 2; i + 1 < b.size(); i += 2)
        text += static_cast<char16_t>(b[i] | b[i + 1] << 8);
      return text;
    }
    std::string_view bytes(reinterpret_cast<const char*>(b.data()), b.size());
    if (bytes.starts_with("\xEF\xBB\xBF")) {
      Warn(file, 0,
           "UTF-8 with a byte-order mark: Windows' own reader takes it for the system "
           "code page; save it as UTF-16 LE with a byte-order mark");
      return base::Utf8ToUtf16(bytes.substr(3));
    }
    if (std::any_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; }))
      Warn(file, 0,
           "text beyond ASCII without a byte-order mark: it reads right only where the "
           "system code page is the one it was written in; save it as UTF-16 LE with a "
           "byte-order mark");
    return ui::DecodeWindows1252(bytes);
  }

  std::optional<IniScan> Scan(const fs::path& file) {
    const auto bytes = Bytes(file);
    if (!bytes) {
      Fail(file, 0, "cannot be read");
      return std::nullopt;
    }
    const auto text = Decode(file, *bytes);
    if (!text) return std::nullopt;
    IniScan scan;
    std::map<std::u16string, int> sectionLines;  // every section seen, by folded name
    IniScan::Section* current = nullptr;
    bool inDuplicate = false, warnedBefore = false;
    int number = 0;
    for (size_t at = 0; at <= text->size();) {
      size_t end = text->find(u'\n', at);
      if (end == std::u16string::npos) end = text->size();
      const std::u16string line = Trim(std::u16string_view(*text).substr(at, end - at));
      at = end + 1;
      ++number;
      if (line.empty() || line[0] == u';') continue;
      if (line[0] == u'[') {
        const size_t close = line.find(u']');
        const std::u16string name =
            Trim(line.substr(1, close == std::u16string::npos ? std::u16string::npos : close - 1));
        const auto [it, fresh] = sectionLines.emplace(Fold(name), number);
        inDuplicate = !fresh;
        if (inDuplicate) {
          Warn(file, number,
               "section [" + U8(name) + "] again (first at line " + std::to_string(it->second) +
                   "): only the first is read");
          current = nullptr;
        } else {
          scan.sections.push_back({name, number, {}});
          current = &scan.sections.back();
        }
        continue;
      }
      const size_t eq = line.find(u'=');
      if (eq == std::u16string::npos) continue;
      if (!current) {
        if (!inDuplicate && !warnedBefore) {
          Warn(file, number, "a line before the first section: it cannot be read");
          warnedBefore = true;
        }
        continue;
      }
      std::u16string key = Trim(line.substr(0, eq)), value = Trim(line.substr(eq + 1));
      if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"')
        value = value.substr(1, value.size() - 2);
      if (const IniScan::Key* first = current->Find(key)) {
        Warn(file, number,
             "key " + U8(key) + " again in [" + U8(current->name) + "] (first at line " +
                 std::to_string(first->line) + "): this one is ignored");
        continue;
      }
      if (value == u"@@")
        Warn(file, number, "the value @@ marks a missing text: the fallback is shown instead");
      current->keys.push_back({key, value, number});
    }
    return scan;
  }

  // "%Mapping%" chains that come back to a section already on them; each loop reported once.
  void CheckMappings(const fs::path& file, const IniScan& scan) {
    std::set<std::set<std::u16string>> reported;
    for (const auto& start : scan.sections) {
      std::vector<std::u16string> chain{Fold(start.name)};
      std::u16string shown = U8Name(start.name);
      const IniScan::Section* s = &start;
      while (const IniScan::Key* map = s->Find(u"%Mapping%")) {
        const std::u16string next = Fold(map->value);
        shown += u" -> " + U8Name(map->value);
        if (std::find(chain.begin(), chain.end(), next) != chain.end()) {
          const std::set<std::u16string> loop(std::find(chain.begin(), chain.end(), next),
                                              chain.end());
          if (reported.insert(loop).second)
            Warn(
                file, map->line,
                "%Mapping% loop " + U8(shown) + ": the launcher stops at [" + U8(map->value) + "]");
          break;
        }
        chain.push_back(next);
        s = scan.Find(map->value);
        if (!s) break;
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
    std::map<std::u16string, IniScan> scans;  // by language name as spelt in the table
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
      auto scan = Scan(file);
      if (!scan) continue;
      CheckMappings(file, *scan);
      if (program) CheckLabelKeys(file, *scan);
      files[*language] = file;
      scans[*language] = std::move(*scan);
    }
    const auto english = scans.find(u"English");
    if (english == scans.end()) {
      Warn(folder / "English.txt", 0, "missing: texts a language lacks have no fallback");
      return;
    }
    if (program) CheckButtonNames(files[u"English"], english->second);
    for (const auto& [language, scan] : scans) {
      if (language == u"English") continue;
      for (const auto& section : english->second.sections) {
        for (const auto& key : section.keys) {
          if (key.name == u"%Mapping%" || Lookup(scan, section.name, key.name)) continue;
          Warn(files[language], 0,
               "[" + U8(section.name) + "] " + U8(key.name) + " is missing (English.txt line " +
                   std::to_string(key.line) + "): the English text is shown");
        }
      }
    }
  }

  // The key in the section the file's mapping chain leads to.
  static const IniScan::Key* Lookup(const IniScan& scan, std::u16string_view section,
                                    std::u16string_view key) {
    std::set<std::u16string> seen;
    const IniScan::Section* s = scan.Find(section);
    while (s && seen.insert(Fold(s->name)).second) {
      const IniScan::Key* map = s->Find(u"%Mapping%");
      if (!map) break;
      const IniScan::Section* next = scan.Find(map->value);
      if (!next) break;
      s = next;
    }
    return s ? s->Find(key) : nullptr;
  }

  // Every button's name for screen readers; the other languages are held against English's.
  void CheckButtonNames(const fs::path& file, const IniScan& scan) {
    for (const auto& control : kControls) {
      if (!control.starts_with(u"bt_")) continue;
      const std::u16string key = control + u"->AccessibleName";
      if (Lookup(scan, u"MultiPairForm.dll", key) ||
          Lookup(scan, u"MultiPairForm.dll", std::u16string(kFormName) + u"->" + key))
        continue;
      Warn(file, 0,
           "[MultiPairForm.dll] " + U8(key) +
               " is missing: screen readers hear the built-in "
               "English name");
    }
  }

  // Captions and hints go on labels only; a key for anything else is never read.
  void CheckLabelKeys(const fs::path& file, const IniScan& scan) {
    for (const auto& section : scan.sections) {
      for (const auto& key : section.keys) {
        std::vector<std::u16string> parts = Split(key.name);
        if (parts.size() < 2) continue;
        if (parts.size() == 3 && SameName(parts[0], kFormName)) parts.erase(parts.begin());
        const std::u16string* control = Known(kControls, parts[0]);
        // A button takes its accessible name, and nothing else, from the texts.
        const bool name = parts.size() == 2 && control && control->starts_with(u"bt_") &&
                          SameName(parts[1], u"AccessibleName");
        if (parts.size() == 2 && !name && (!control || !control->starts_with(u"lb_")))
          Warn(file, key.line,
               "the main window has no label named " + U8(parts[0]) + ": this text is never shown");
      }
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
    const auto scan = Scan(file);
    if (!scan) return;
    for (const auto& section : scan->sections) {
      if (!Known(kLanguages, section.name))
        Warn(file, section.line,
             "[" + U8(section.name) + "] is not one of the 13 language names: never read");
      for (const auto& key : section.keys) CheckLayoutKey(file, key);
    }
  }

  void CheckLayoutKey(const fs::path& file, const IniScan::Key& key) {
    if (SameName(key.name, u"FontName") || SameName(key.name, u"Version")) return;
    std::vector<std::u16string> parts = Split(key.name);
    if (parts.size() >= 3 && SameName(parts[0], kFormName)) parts.erase(parts.begin());
    if (parts.size() < 2) {
      Warn(file, key.line, "'" + U8(key.name) + "' is not a layout key: ignored");
      return;
    }
    if (!Known(kControls, parts[0])) {
      Warn(file, key.line, "the main window has no control named " + U8(parts[0]) + ": ignored");
      return;
    }
    const bool position = parts.size() == 2 && SameName(parts[1], u"Position");
    const bool colour =
        (parts.size() == 2 && SameName(parts[1], u"Color")) ||
        (parts.size() == 3 && SameName(parts[1], u"Font") && SameName(parts[2], u"Color"));
    if (!position && !colour) {
      Warn(file, key.line, "'" + U8(key.name) + "' is not a layout key: ignored");
      return;
    }
    if (key.value.empty()) return;  // counts as missing
    const std::u16string keyword = Fold(skin::LayoutFile::ExtractField(key.value, u',', 0));
    try {
      if (position) {
        skin::LayoutFile::ParseRect(key.value);
        if (keyword != Fold(u"rectp") && keyword != Fold(u"rectwh"))
          Warn(file, key.line,
               "'" + U8(key.value) +
                   "' is neither rectp nor rectwh: the control shrinks to nothing");
      } else {
        skin::LayoutFile::ParseColour(key.value);
        if (keyword != Fold(u"rgb"))
          Warn(file, key.line, "'" + U8(key.value) + "' is not rgb,R,G,B: the colour is black");
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

#pragma once
// Golden cases: data/<name>.ini with data/<name>.expected, one lookup a line:
// section TAB key TAB default TAB expected value, with \t \r \n \0 \\ and \uXXXX escapes.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "base/File.h"
#include "base/Utf.h"

namespace ini_golden {

struct Lookup {
  std::u16string section, key, def, expected;
  int line = 0;
};

inline std::u16string DataPath(const std::u16string& file) {
  return base::Utf8ToUtf16(TANDREL_INI_DATA) + u"/" + file;
}

inline std::u16string Unescape(const std::string& field) {
  std::u16string out;
  std::string plain;
  auto flush = [&] {
    out += base::Utf8ToUtf16(plain);
    plain.clear();
  };
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\' || i + 1 == field.size()) {
      plain += field[i];
      continue;
    }
    flush();
    const char c = field[++i];
    if (c == 'u' && i + 4 < field.size()) {
      out += static_cast<char16_t>(std::stoul(field.substr(i + 1, 4), nullptr, 16));
      i += 4;
    } else {
      out += c == 't' ? u'\t' : c == 'r' ? u'\r' : c == 'n' ? u'\n' : c == '0' ? u'\0' : c;
    }
  }
  flush();
  return out;
}

// The lookups of data/<name>.expected; empty when the file is missing.
inline std::vector<Lookup> ReadLookups(const std::string& name) {
  std::vector<Lookup> lookups;
  const auto bytes = base::ReadFile(DataPath(base::Utf8ToUtf16(name + ".expected")));
  if (!bytes) return lookups;
  const std::string text(bytes->begin(), bytes->end());
  size_t pos = 0;
  int line_no = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    ++line_no;
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    if (fields.size() != 4) continue;  // the test counts lookups, so a broken line shows
    lookups.push_back({Unescape(fields[0]), Unescape(fields[1]), Unescape(fields[2]),
                       Unescape(fields[3]), line_no});
  }
  return lookups;
}

inline size_t CountLines(const std::string& name) {
  const auto bytes = base::ReadFile(DataPath(base::Utf8ToUtf16(name + ".expected")));
  size_t n = 0;
  if (!bytes) return n;
  std::string line;
  for (uint8_t b : *bytes) {
    if (b != '\n') {
      line += static_cast<char>(b);
      continue;
    }
    if (!line.empty() && line[0] != '#') ++n;
    line.clear();
  }
  return n;
}

// Every data file and whether it holds code-page text (read with Windows-1252).
struct Case {
  const char* name;
  bool code_page;
};
inline void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}
inline constexpr Case kCases[] = {
    {"basic", false},   {"cr_only", false}, {"cp1252", true},       {"utf8_bom", false},
    {"utf16le", false}, {"utf16be", false}, {"utf16le_odd", false}, {"bom_only", false},
    {"empty", false},   {"nuls", false},
};

}  // namespace ini_golden

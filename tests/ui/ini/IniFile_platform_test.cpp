// The reader against the platform's own GetPrivateProfileStringW (2048-character buffer) on the
// golden files and on a generated corpus. Where the platform here (Wine) is known to read a file
// differently from Windows, the golden value (the Windows behaviour) is expected instead; those
// cases are listed in kWineDiffers with the reason.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/ui/ini/Golden.h"
#include "ui/IniFile.h"

namespace {

using ui::TIniFile;

const wchar_t* W(const std::u16string& s) {
  return reinterpret_cast<const wchar_t*>(s.c_str());
}

std::u16string TempFolder() {
  wchar_t buf[MAX_PATH];
  const DWORD n = GetTempPathW(MAX_PATH, buf);
  std::u16string dir(reinterpret_cast<const char16_t*>(buf), n);
  dir += u"tandrel_ini_" + base::Utf8ToUtf16(std::to_string(GetCurrentProcessId())) + u"\\";
  CreateDirectoryW(W(dir), nullptr);
  return dir;
}

// Every file gets a name of its own: the platform caches files by name and modification time.
std::u16string WriteTemp(const std::vector<uint8_t>& bytes) {
  static const std::u16string dir = TempFolder();
  static int serial = 0;
  const std::u16string path = dir + base::Utf8ToUtf16(std::to_string(++serial)) + u".ini";
  HANDLE h = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  return path;
}

std::u16string Platform(const std::u16string& path, const std::u16string& section,
                        const std::u16string& key, const std::u16string& def) {
  std::vector<wchar_t> buf(TIniFile::kBufferChars);
  const DWORD n = GetPrivateProfileStringW(W(section), W(key), W(def), buf.data(),
                                           static_cast<DWORD>(buf.size()), W(path));
  return std::u16string(reinterpret_cast<const char16_t*>(buf.data()), n);
}

std::string Show(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      snprintf(hex, sizeof hex, "\\u%04x", static_cast<unsigned>(c));
      out += hex;
    }
  }
  return out.size() > 120 ? out.substr(0, 60) + "..." + std::to_string(s.size()) + " chars" : out;
}

// Golden lookups (file, line of its .expected) where Wine's reader differs from Windows'.
struct Known {
  const char* file;
  int line;
  const char* why;
};
constexpr Known kWineDiffers[] = {
    // Wine strips tabs from the looked-up section and key; Windows strips spaces only.
    {"basic", 8, "tab in a looked-up key"},
    {"basic", 9, "tab in a looked-up section"},
    // Wine keeps lines starting with ';' as keys; Windows skips them as comments.
    {"basic", 16, "';key' finds a comment line"},
    {"basic", 19, "';key' finds an indented comment line"},
    // Wine trims white space only; Windows trims control characters too.
    {"basic", 20, "control characters around a value"},
    // Wine keeps one space of a default made of spaces only.
    {"basic", 36, "default of spaces only"},
    // Wine files lines before the first section under the section named "", which then also
    // hides a later [] section.
    {"basic", 39, "line before the first section"},
    {"basic", 46, "[] after lines outside any section"},
    // Wine ends a section name at the last ']' and reads a '[' line without ']' as a key line;
    // Windows ends it at the first ']', or at the end of the line.
    {"basic", 42, "'[' without ']'"},
    {"basic", 43, "name up to the first ']'"},
    {"basic", 44, "name up to the last ']'"},
    // Wine matches only ASCII letters without regard to case.
    {"cp1252", 3, "E acute in a section name"},
    {"cp1252", 5, "y diaeresis in a key"},
    {"cp1252", 6, "S caron in a key"},
    {"utf8_bom", 2, "U umlaut in names"},
    {"utf16le", 2, "Cyrillic names"},
    {"utf16le", 3, "Cyrillic names"},
    {"utf16le", 4, "ae ligature in a key"},
    {"utf16be", 2, "Cyrillic names"},
    {"utf16be", 3, "Cyrillic names"},
    {"utf16be", 4, "ae ligature in a key"},
    // Wine reads the odd last byte of a UTF-16 file as a character.
    {"utf16le_odd", 1, "odd byte at the end"},
};

const Known* WineDiffers(const std::string& file, int line) {
  for (const auto& k : kWineDiffers)
    if (file == k.file && line == k.line) return &k;
  return nullptr;
}

TEST(IniPlatform, GoldenFilesReadAsWindowsReadsThem) {
  const bool ansi_is_1252 = GetACP() == 1252;
  for (const auto& c : ini_golden::kCases) {
    if (c.code_page && !ansi_is_1252) continue;  // the expected values assume Windows-1252
    const auto bytes = base::ReadFile(ini_golden::DataPath(base::Utf8ToUtf16(c.name) + u".ini"));
    ASSERT_TRUE(bytes) << c.name;
    const std::u16string path = WriteTemp(*bytes);
    const TIniFile ini(path);
    const auto lookups = ini_golden::ReadLookups(c.name);
    ASSERT_FALSE(lookups.empty()) << c.name;
    for (const auto& l : lookups) {
      const std::u16string ours = ini.ReadString(l.section, l.key, l.def);
      const std::u16string wine = Platform(path, l.section, l.key, l.def);
      EXPECT_EQ(Show(ours), Show(l.expected)) << c.name << ".expected line " << l.line;
      if (const Known* k = WineDiffers(c.name, l.line)) {
        if (wine == l.expected)
          std::printf("note: %s line %d now agrees (%s)\n", c.name, l.line, k->why);
        continue;
      }
      EXPECT_EQ(Show(wine), Show(l.expected))
          << c.name << ".expected line " << l.line << ": platform differs";
    }
  }
}

// Hand-written cases beyond the golden files, each compared with the platform directly.
TEST(IniPlatform, LongValuesAndDefaultsAgree) {
  std::string text = "[S]\r\n";
  for (size_t n : {2046u, 2047u, 2048u, 2049u, 5000u}) {
    const std::string v(n, 'v');
    text += "k" + std::to_string(n) + "=" + v + "\r\n";
    text += "q" + std::to_string(n - 2) + "=\"" + std::string(n - 2, 'q') + "\"\r\n";
  }
  const std::u16string path = WriteTemp({text.begin(), text.end()});
  const TIniFile ini(path);
  for (size_t n : {2046u, 2047u, 2048u, 2049u, 5000u}) {
    const std::u16string k = u"k" + base::Utf8ToUtf16(std::to_string(n));
    EXPECT_EQ(Show(ini.ReadString(u"S", k, u"")), Show(Platform(path, u"S", k, u""))) << n;
    const std::u16string def(n, u'd');
    EXPECT_EQ(Show(ini.ReadString(u"S", u"missing", def + u"  ")),
              Show(Platform(path, u"S", u"missing", def + u"  ")))
        << n;
  }
  // A quoted value: the quotes go before the cut. Wine cuts first and then drops the last
  // character when the closing quote is exactly the 2048th, which Windows does not do.
  for (size_t n : {2044u, 2045u, 2046u, 2047u, 4998u}) {
    const std::u16string k = u"q" + base::Utf8ToUtf16(std::to_string(n));
    EXPECT_EQ(ini.ReadString(u"S", k, u""), std::u16string(std::min<size_t>(n, 2047), u'q'));
    if (n != 2047) {
      EXPECT_EQ(Show(ini.ReadString(u"S", k, u"")), Show(Platform(path, u"S", k, u""))) << n;
    }
  }
}

TEST(IniPlatform, DefaultKeepsItsQuotes) {
  const std::string text = "[S]\r\nk=v\r\n";
  const std::u16string path = WriteTemp({text.begin(), text.end()});
  // Wine strips a pair of quotes from the default as from a value; Windows copies the default
  // as given, less its trailing spaces.
  EXPECT_EQ(TIniFile(path).ReadString(u"S", u"missing", u"\"d\"  "), u"\"d\"");
  EXPECT_EQ(Platform(path, u"S", u"missing", u"\"d\"  "), u"d");
}

// A generated corpus of files built only from features on which Wine and Windows agree.
class Corpus {
 public:
  explicit Corpus(uint32_t seed) : rng_(seed) {}

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

  std::u16string Name(bool unicode) {
    static const char16_t* kAscii[] = {u"Alpha",
                                       u"beta",
                                       u"Gamma Ray",
                                       u"x",
                                       u"lb_Title->Caption",
                                       u"a.b",
                                       u"%Mapping%",
                                       u"Version",
                                       u"MultiPairForm.dll",
                                       u"k1",
                                       u"K2",
                                       u"two  spaces"};
    static const char16_t* kWide[] = {u"\u00C4\u00D6\u00DC", u"\u044F\u0437\u044B\u043A",
                                      u"\u03A9mega", u"\U0001F600"};
    if (unicode && Pick(4) == 0) return kWide[Pick(4)];
    return kAscii[Pick(12)];
  }

  std::u16string RandomCase(std::u16string s) {
    for (auto& c : s)
      if (Pick(3) == 0) c = c >= u'a' && c <= u'z' ? c - 32 : c >= u'A' && c <= u'Z' ? c + 32 : c;
    return s;
  }

  std::u16string Blanks() {
    static const char16_t* kBlanks[] = {u"", u"", u" ", u"  ", u"\t", u" \t "};
    return kBlanks[Pick(6)];
  }

  std::u16string Value() {
    static const char16_t* kValues[] = {
        u"plain",      u"two words",     u"\"quoted\"", u"'single'", u"\"mixed'",  u"\"",
        u"''",         u"a=b",           u"",           u";semi",    u"rgb,1,2,3", u"@@",
        u"x\\\\\\\\y", u"\"in \" side\""};
    const int i = Pick(16);
    if (i == 14) return std::u16string(2000 + Pick(100), u'L');
    if (i == 15) return std::u16string(5000, u'M');
    return kValues[i];
  }

  std::u16string File(bool unicode) {
    static const char16_t* kEnds[] = {u"\r\n", u"\n", u"\r"};
    const char16_t* end = kEnds[Pick(3)];
    std::u16string text;
    const int lines = 5 + Pick(40);
    for (int i = 0; i < lines; ++i) {
      const int kind = i == 0 ? 0 : Pick(10);
      if (kind == 0)
        text += Blanks() + u"[" + Blanks() + RandomCase(Name(unicode)) + Blanks() + u"]";
      else if (kind == 1)
        text += u"; comment " + Name(unicode);
      else if (kind == 2)
        text += Blanks();
      else if (kind == 3)
        text += RandomCase(Name(unicode)) + Blanks();
      else
        text +=
            Blanks() + RandomCase(Name(unicode)) + Blanks() + u"=" + Blanks() + Value() + Blanks();
      text += end;
    }
    return text;
  }

 private:
  std::mt19937 rng_;
};

TEST(IniPlatform, GeneratedCorpusAgrees) {
  Corpus corpus(20240611);
  int compared = 0;
  for (int file = 0; file < 300; ++file) {
    const bool unicode = file % 2 == 1;
    const std::u16string text = corpus.File(unicode);
    std::vector<uint8_t> bytes;
    if (unicode) {
      bytes = {0xFF, 0xFE};
      for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
      }
    } else {
      for (char16_t c : text) bytes.push_back(static_cast<uint8_t>(c));
    }
    const std::u16string path = WriteTemp(bytes);
    const TIniFile ini(path);
    for (int q = 0; q < 40; ++q) {
      const std::u16string section = std::u16string(corpus.Pick(2), u' ') +
                                     corpus.RandomCase(corpus.Name(unicode)) +
                                     std::u16string(corpus.Pick(2), u' ');
      const std::u16string key = corpus.RandomCase(corpus.Name(unicode));
      static const char16_t* kDefaults[] = {u"@@", u"", u"def", u"def  "};
      const std::u16string def = kDefaults[corpus.Pick(4)];
      ++compared;
      ASSERT_EQ(Show(ini.ReadString(section, key, def)), Show(Platform(path, section, key, def)))
          << "file " << file << " [" << Show(section) << "] " << Show(key) << "\n"
          << Show(text);
    }
  }
  EXPECT_EQ(compared, 300 * 40);
}

}  // namespace

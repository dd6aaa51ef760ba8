#include "ui/IniFile.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "tests/support/CollidingNames.h"
#include "tests/ui/ini/Golden.h"

namespace {

using ui::TIniFile;

std::vector<uint8_t> Bytes(std::string_view s) {
  return {s.begin(), s.end()};
}

TIniFile FromAscii(std::string_view s) {
  return TIniFile::FromBytes(Bytes(s), ui::DecodeWindows1252);
}

std::vector<uint8_t> Utf16Le(std::u16string_view s) {
  std::vector<uint8_t> out = {0xFF, 0xFE};
  for (char16_t c : s) {
    out.push_back(static_cast<uint8_t>(c & 0xFF));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  return out;
}

class Golden : public testing::TestWithParam<ini_golden::Case> {};

TEST_P(Golden, EveryLookupGivesTheExpectedValue) {
  const std::string name = GetParam().name;
  const auto lookups = ini_golden::ReadLookups(name);
  ASSERT_EQ(lookups.size(), ini_golden::CountLines(name)) << "malformed line in " << name;
  ASSERT_FALSE(lookups.empty());
  const TIniFile ini(ini_golden::DataPath(base::Utf8ToUtf16(name + ".ini")), ui::DecodeWindows1252);
  EXPECT_TRUE(ini.Loaded());
  for (const auto& l : lookups)
    EXPECT_EQ(base::Utf16ToUtf8(ini.ReadString(l.section, l.key, l.def)),
              base::Utf16ToUtf8(l.expected))
        << name << ".expected line " << l.line;
}

// Names as lookups match them: cut at a NUL, outer spaces dropped, letter case folded.
std::u16string Identity(std::u16string_view name) {
  name = name.substr(0, name.find(u'\0'));
  while (!name.empty() && name.front() == u' ') name.remove_prefix(1);
  while (!name.empty() && name.back() == u' ') name.remove_suffix(1);
  std::u16string folded(name);
  for (char16_t& c : folded) c = base::FoldCase(c);
  return folded;
}

TEST_P(Golden, NamesListEveryKeyThatReadsAndNothingElse) {
  const std::string name = GetParam().name;
  const TIniFile ini(ini_golden::DataPath(base::Utf8ToUtf16(name + ".ini")), ui::DecodeWindows1252);
  // No value can equal it: values lose control characters at their ends.
  const std::u16string none = u"\x01none";
  std::set<std::pair<std::u16string, std::u16string>> listed;
  std::set<std::u16string> sections;
  for (const std::u16string& section : ini.SectionNames()) {
    EXPECT_TRUE(ini.SectionExists(section)) << name;
    EXPECT_TRUE(sections.insert(Identity(section)).second) << name << ": listed twice";
    for (const std::u16string& key : ini.KeyNames(section)) {
      EXPECT_NE(ini.ReadString(section, key, none), none) << name;
      EXPECT_TRUE(listed.insert({Identity(section), Identity(key)}).second) << name;
    }
  }
  // Every golden lookup that finds a value names a listed key.
  for (const auto& l : ini_golden::ReadLookups(name)) {
    if (ini.ReadString(l.section, l.key, none) == none) continue;
    EXPECT_TRUE(listed.count({Identity(l.section), Identity(l.key)}))
        << name << ".expected line " << l.line;
  }
  EXPECT_TRUE(ini.KeyNames(u"no such section").empty());
}

INSTANTIATE_TEST_SUITE_P(Files, Golden, testing::ValuesIn(ini_golden::kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IniFile, ValuesAndDefaultsAreCutTo2047Characters) {
  for (size_t n : {2046u, 2047u, 2048u, 5000u}) {
    const std::string v(n, 'v');
    const TIniFile ini = FromAscii("[S]\r\nk=" + v + "\r\nq=\"" + v + "\"\r\n");
    const size_t want = std::min<size_t>(n, 2047);
    EXPECT_EQ(ini.ReadString(u"S", u"k", u""), std::u16string(want, u'v')) << n;
    // The quotes go before the cut, so a quoted value loses no character to them.
    EXPECT_EQ(ini.ReadString(u"S", u"q", u""), std::u16string(want, u'v')) << n;
    EXPECT_EQ(ini.ReadString(u"S", u"missing", std::u16string(n, u'd') + u"   "),
              std::u16string(want, u'd'))
        << n;
  }
}

// Names are kept packed over the text they were read from; a repeated section or key must still
// be known as repeated, however far the name has moved.
TEST(IniFile, TheFirstOfRepeatedSectionsAndKeysCountsWhereverTheNamesStand) {
  for (int pad = 0; pad < 8; ++pad) {
    for (const std::string name : {"S", "S.a", "Section", "a rather long section name"}) {
      const std::string blank(pad, ' ');
      const TIniFile ini =
          FromAscii(blank + "[" + name + "\r" + blank + "[" + name + "]\nk=never\r\n[" + blank +
                    "X]\r\n" + blank + name + "=1\r\n" + name + "=2\r\n[" + name + "]\r\nk=no\r\n");
      const std::u16string n = base::Utf8ToUtf16(name);
      EXPECT_FALSE(ini.SectionExists(n)) << pad << " " << name;
      EXPECT_EQ(ini.ReadString(n, u"k", u"-"), u"-") << pad << " " << name;
      EXPECT_EQ(ini.KeyNames(u"X").size(), 1u) << pad << " " << name;
      EXPECT_EQ(ini.ReadString(u"X", n, u""), u"1") << pad << " " << name;
      EXPECT_EQ(ini.SectionNames().size(), 1u) << pad << " " << name;
    }
  }
}

TEST(IniFile, LongNamesHaveNoLimit) {
  const std::string key(5000, 'K');
  const TIniFile ini = FromAscii("[" + key + "]\r\n" + key + "=v\r\n");
  const std::u16string k(5000, u'k');
  EXPECT_EQ(ini.ReadString(k, k, u""), u"v");
}

TEST(IniFile, Utf16KeepsSurrogatePairsAndCutsLikeThePlatform) {
  const std::u16string pair = u"\U0001F600";
  std::u16string text = u"[S" + pair + u"]\r\nk" + pair + u"=" + pair + u"x\r\n";
  text += u"long=" + std::u16string(2046, u'a') + pair + u"\r\n";
  const TIniFile ini = TIniFile::FromBytes(Utf16Le(text));
  EXPECT_EQ(ini.ReadString(u"s" + pair, u"K" + pair, u""), pair + u"x");
  // The cut counts code units; it may split a pair, as the platform's buffer does.
  const std::u16string cut = ini.ReadString(u"s" + pair, u"long", u"");
  ASSERT_EQ(cut.size(), 2047u);
  EXPECT_EQ(cut.back(), pair[0]);
}

TEST(IniFile, ByteOrderMarksChooseTheEncodingAndTheDecoderOnlyServesTextWithout) {
  int calls = 0;
  const ui::CodePageDecoder upper = [&](std::string_view b) {
    ++calls;
    std::u16string out;
    for (char c : b) out += static_cast<char16_t>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return out;
  };
  EXPECT_EQ(TIniFile::FromBytes(Bytes("[s]\nk=value"), upper).ReadString(u"S", u"K", u""),
            u"VALUE");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(TIniFile::FromBytes(Utf16Le(u"[s]\nk=value"), upper).ReadString(u"S", u"K", u""),
            u"value");
  EXPECT_EQ(
      TIniFile::FromBytes(Bytes("\xEF\xBB\xBF[s]\nk=value"), upper).ReadString(u"S", u"K", u""),
      u"value");
  EXPECT_EQ(calls, 1);
  // UTF-16 without a mark is code-page text with NULs in it, as the platform reads it.
  const std::vector<uint8_t> marked = Utf16Le(u"[s]\r\nk=v");
  const std::vector<uint8_t> unmarked(marked.begin() + 2, marked.end());
  EXPECT_EQ(TIniFile::FromBytes(unmarked, ui::DecodeWindows1252).ReadString(u"s", u"k", u"d"),
            u"d");
}

TEST(IniFile, MissingFileAndNoFileGiveTheDefault) {
  const TIniFile none;
  EXPECT_FALSE(none.Loaded());
  EXPECT_EQ(none.ReadString(u"S", u"k", u"def  "), u"def");
  const TIniFile missing(ini_golden::DataPath(u"no such file.ini"));
  EXPECT_FALSE(missing.Loaded());
  EXPECT_FALSE(missing.SectionExists(u""));
  EXPECT_EQ(missing.ReadString(u"", u"", u"@@"), u"@@");
  EXPECT_TRUE(TIniFile(ini_golden::DataPath(u"empty.ini")).Loaded());
}

TEST(IniFile, SectionExistsOnlyForTheFirstSectionWithKeys) {
  const TIniFile ini(ini_golden::DataPath(u"basic.ini"));
  EXPECT_TRUE(ini.SectionExists(u"main"));
  EXPECT_TRUE(ini.SectionExists(u" Spaced Section "));
  EXPECT_TRUE(ini.SectionExists(u"Unclosed"));
  EXPECT_TRUE(ini.SectionExists(u""));  // the one written []
  EXPECT_FALSE(ini.SectionExists(u"Keyless"));
  EXPECT_FALSE(ini.SectionExists(u"A]B"));
  EXPECT_FALSE(ini.SectionExists(u"Nowhere"));
}

TEST(IniFile, LookupsDoNotReadTheFileAgain) {
  const std::string path = testing::TempDir() + "ini_reread.ini";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("[S]\nk=before\n", f);
  std::fclose(f);
  const TIniFile ini(base::Utf8ToUtf16(path));
  ASSERT_EQ(std::remove(path.c_str()), 0);
  EXPECT_EQ(ini.ReadString(u"S", u"k", u""), u"before");
}

TEST(IniFile, NameFoldingIsCaseOnly) {
  const TIniFile ini = FromAscii("[a{]\r\nx@=1\r\n[\xC0]\r\nk=2\r\n");
  EXPECT_EQ(ini.ReadString(u"A{", u"X@", u""), u"1");
  EXPECT_EQ(ini.ReadString(u"A[", u"X@", u"-"), u"-");  // '[' is '{' - 32 but no letter
  EXPECT_EQ(ini.ReadString(u"a{", u"x`", u"-"), u"-");
  EXPECT_EQ(ini.ReadString(u"\u00E0", u"K", u""), u"2");
  EXPECT_EQ(base::FoldCase(u'\u00F7'), u'\u00F7');  // division sign, not a letter
  EXPECT_EQ(base::FoldCase(u'\u00FF'), u'\u0178');
  EXPECT_EQ(base::FoldCase(u'\u0101'), u'\u0100');
  EXPECT_EQ(base::FoldCase(u'\u013A'), u'\u0139');
  EXPECT_EQ(base::FoldCase(u'\u017E'), u'\u017D');
  EXPECT_EQ(base::FoldCase(u'\u03C9'), u'\u03A9');
  EXPECT_EQ(base::FoldCase(u'\u0451'), u'\u0401');
  EXPECT_EQ(base::FoldCase(u'\uFF5A'), u'\uFF3A');
  // Folding twice changes nothing, and an upper-case letter never folds.
  for (char32_t c = 0; c < 0x10000; ++c) {
    const char16_t f = base::FoldCase(static_cast<char16_t>(c));
    ASSERT_EQ(base::FoldCase(f), f) << std::hex << static_cast<unsigned>(c);
  }
}

TEST(IniFile, Windows1252DecodesTheHighHalf) {
  EXPECT_EQ(ui::DecodeWindows1252("\x80\x9F\xA0\xFF\x7F"), u"\u20AC\u0178\u00A0\u00FF\u007F");
  EXPECT_EQ(ui::DecodeWindows1252("\x81\x8D"), u"\u0081\u008D");
}

// Names that all collide under an unkeyed hash are each found, with their own value, and names
// that differ from them only in letter case are the same names.
TEST(Lookup, NamesCollidingUnderAnUnkeyedHashAreEachFound) {
  std::string text = testing_support::LanguageFileOfKeys(3000, true);
  const TIniFile ini = FromAscii(text);
  std::set<std::string> names;
  for (size_t at = text.find("\nK"); at != std::string::npos; at = text.find("\nK", at + 1))
    names.insert(text.substr(at + 1, 9));
  ASSERT_EQ(names.size(), 3000u);
  EXPECT_EQ(ini.KeyNames(u"MultiPairForm.dll").size(), 3000u);
  for (const std::string& name : names) {
    std::u16string lower;
    for (const char c : name) lower += static_cast<char16_t>(std::tolower(c));
    ASSERT_EQ(ini.ReadString(u"multipairform.DLL", lower, u"@@"), u"some value") << name;
  }
  EXPECT_EQ(ini.ReadString(u"MultiPairForm.dll", u"K0000000G", u"@@"), u"@@");
}

}  // namespace

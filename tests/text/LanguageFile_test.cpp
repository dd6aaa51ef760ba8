#include "text/LanguageFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/File.h"
#include "base/Utf.h"
#include "ui/Controls.h"
#include "ui/InputLimits.h"

namespace {

namespace fs = std::filesystem;
using text::LanguageFiles;

std::string U8(const std::u16string& s) {
  return base::Utf16ToUtf8(s);
}

std::u16string Folder(const fs::path& p) {
  return p.u16string() + static_cast<char16_t>(fs::path::preferred_separator);
}

// ---- Golden cases: data/<tree>/{Program,Shared}/<Language>.txt with data/<tree>.expected, one
// lookup a line: language id (hex) TAB section path TAB section TAB key TAB expected text.

struct Lookup {
  uint16_t language;
  std::u16string path, section, key, expected;
  int line;
};

fs::path DataDir() {
  return fs::path(TANDREL_TEXT_TEST_DATA);
}

std::vector<Lookup> ReadLookups(const std::string& tree, size_t& lines) {
  std::ifstream in(DataDir() / (tree + ".expected"));
  std::vector<Lookup> lookups;
  std::string line;
  lines = 0;
  for (int no = 1; std::getline(in, line); ++no) {
    if (line.empty() || line[0] == '#') continue;
    ++lines;
    std::vector<std::string> f;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      f.push_back(line.substr(start, tab - start));
    f.push_back(line.substr(start));
    if (f.size() != 5) continue;  // counted but not kept: the test reports it
    lookups.push_back({static_cast<uint16_t>(std::stoul(f[0], nullptr, 16)),
                       base::Utf8ToUtf16(f[1]), base::Utf8ToUtf16(f[2]), base::Utf8ToUtf16(f[3]),
                       base::Utf8ToUtf16(f[4]), no});
  }
  return lookups;
}

class Golden : public testing::TestWithParam<const char*> {};

TEST_P(Golden, EveryLookupGivesTheExpectedText) {
  const std::string tree = GetParam();
  size_t lines = 0;
  const auto lookups = ReadLookups(tree, lines);
  ASSERT_FALSE(lookups.empty()) << tree;
  ASSERT_EQ(lookups.size(), lines) << "malformed line in " << tree << ".expected";
  for (const Lookup& l : lookups) {
    LanguageFiles m;
    m.Load(Folder(DataDir() / tree / "Program"), Folder(DataDir() / tree / "Shared"), l.path,
           l.language);
    EXPECT_EQ(U8(m.GetText(l.section, l.key)), U8(l.expected))
        << tree << ".expected line " << l.line;
  }
}

INSTANTIATE_TEST_SUITE_P(Trees, Golden, testing::Values("order", "mapping", "paths"),
                         [](const auto& info) { return std::string(info.param); });

// ---- Files written by the test.

class TempTree : public testing::Test {
 protected:
  TempTree() {
    static std::atomic<int> counter{0};
    root_ = fs::temp_directory_path() / ("tandrel_text_" + std::to_string(std::random_device{}()) +
                                         "_" + std::to_string(counter++));
    fs::create_directories(root_ / "Program");
    fs::create_directories(root_ / "Shared");
  }
  ~TempTree() override {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  void Write(const char* folder, const char* file, const std::string& text) {
    std::ofstream(root_ / folder / file, std::ios::binary) << text;
  }
  std::u16string Program() const { return Folder(root_ / "Program"); }
  std::u16string Shared() const { return Folder(root_ / "Shared"); }

  fs::path root_;
};

using LoadTest = TempTree;

TEST_F(LoadTest, WithoutFilesStillNamesTheLanguageAndFindsNothing) {
  LanguageFiles m;
  EXPECT_EQ(U8(m.Load(Program(), Shared(), u"", 0x0411)), "Japanese");
  EXPECT_EQ(U8(m.GetText(u"MultiPairForm.dll", u"NoDongleExists")), "@@");
  ui::TForm form(nullptr, u"TandrelProgram");
  auto* label = new ui::TLabel(&form, u"lb_Title");
  label->SetCaption(u"lb_Title");
  label->SetHint(u"design hint");
  m.ApplyTexts(form, u"MultiPairForm.dll");
  EXPECT_EQ(U8(label->Caption()), "lb_Title");
  EXPECT_EQ(U8(label->Hint()), "design hint");
}

TEST_F(LoadTest, NothingIsReadBeforeLoad) {
  Write("Program", "English.txt", "[S]\r\nk=v\r\n");
  const LanguageFiles m;
  EXPECT_EQ(U8(m.GetText(u"S", u"k")), "@@");
}

TEST_F(LoadTest, IdentifierZeroTakesTheUserLanguageAndOnlyThen) {
  Write("Program", "German.txt", "[MultiPairForm.dll]\r\nlb_Title->Caption=Deutsch\r\n");
  Write("Program", "English.txt", "[MultiPairForm.dll]\r\nlb_Title->Caption=English\r\n");
  LanguageFiles m;
  int asked = 0;
  m.UserLanguageSource = [&] {
    ++asked;
    return uint16_t{0x0407};
  };
  EXPECT_EQ(U8(m.Load(Program(), Shared(), u"", 0)), "German");
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(U8(m.GetText(u"MultiPairForm.dll", u"lb_Title->Caption")), "Deutsch");
  EXPECT_EQ(U8(m.Load(Program(), Shared(), u"", 0x0409)), "English");
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(U8(m.GetText(u"MultiPairForm.dll", u"lb_Title->Caption")), "English");
}

// Files handed to the manager from memory, by the name Load asks for.
LanguageFiles::File Memory(const std::string& text) {
  return std::make_shared<const ui::TIniFile>(ui::TIniFile::FromBytes(
      std::vector<uint8_t>(text.begin(), text.end()), ui::DecodeWindows1252));
}

TEST(Mapping, ALongChainIsFollowedToItsEndAndALoopStopsWhereItCloses) {
  constexpr int kSteps = 16384;
  std::string file;
  for (int i = 0; i < kSteps; ++i)
    file += "[S" + std::to_string(i) + "]\r\n%Mapping%=s" + std::to_string(i + 1) + "\r\n";
  file += "[S" + std::to_string(kSteps) + "]\r\nk=end of the chain\r\n";
  // L0 -> L1 -> ... -> L999 -> L500: a loop entered from the side.
  for (int i = 0; i < 1000; ++i)
    file += "[L" + std::to_string(i) + "]\r\n%Mapping%=L" + std::to_string(i == 999 ? 500 : i + 1) +
            "\r\nk=from L" + std::to_string(i) + "\r\n";
  LanguageFiles m;
  m.FileSource = [&](const std::u16string& path) {
    return path.ends_with(u"English.txt") ? Memory(file) : nullptr;
  };
  m.Load(u"P/", u"S/", u"", 0x0409);
  EXPECT_EQ(U8(m.ResolveSection(u"S0")), "s16384");
  EXPECT_EQ(U8(m.GetText(u"S0", u"k")), "end of the chain");
  EXPECT_EQ(U8(m.GetText(u"S9000", u"k")), "end of the chain");
  // The walk stops at the first section it sees twice, and that section is read.
  EXPECT_EQ(U8(m.ResolveSection(u"L0")), "L500");
  EXPECT_EQ(U8(m.GetText(u"L0", u"k")), "from L500");
  EXPECT_EQ(U8(m.GetText(u"L700", u"k")), "from L700");
  EXPECT_EQ(U8(m.GetText(u"l999", u"k")), "from L999");
  // Asked again, the same answers.
  EXPECT_EQ(U8(m.ResolveSection(u"S0")), "s16384");
  EXPECT_EQ(U8(m.GetText(u"L0", u"k")), "from L500");
}

TEST(Mapping, AChainIsFollowedAgainAfterTheNextLoad) {
  std::string first =
      "[MultiPairForm.dll]\r\n%Mapping%=A\r\n[A]\r\nk=from A\r\n[B]\r\nk=from B\r\n";
  LanguageFiles m;
  m.FileSource = [&](const std::u16string& path) {
    return path.ends_with(u"English.txt") ? Memory(first) : nullptr;
  };
  m.Load(u"P/", u"S/", u"", 0x0409);
  EXPECT_EQ(U8(m.GetText(u"MultiPairForm.dll", u"k")), "from A");
  first.replace(first.find("=A"), 2, "=B");
  m.Load(u"P/", u"S/", u"", 0x0409);
  EXPECT_EQ(U8(m.GetText(u"MultiPairForm.dll", u"k")), "from B");
}

TEST_F(LoadTest, IdentifierZeroIsThePlatformsUserLanguage) {
  // US English natively; under Wine whatever the session's locale gives.
  LanguageFiles m;
  EXPECT_EQ(m.Load(Program(), Shared(), u"", 0),
            LanguageFiles::LanguageName(base::UserLanguageId()));
}

TEST_F(LoadTest, AbsentFilesAreSkipped) {
  Write("Shared", "English.txt", "[MultiPairForm.dll]\r\nMultipleDongle=shared English\r\n");
  LanguageFiles m;
  m.Load(Program(), Shared(), u"", 0x0407);
  EXPECT_EQ(U8(m.GetText(u"MultiPairForm.dll", u"MultipleDongle")), "shared English");
}

// A language file over the cap is not read, however it begins: the language is missing and the
// English text is shown. At the cap it is read.
TEST_F(LoadTest, AFileOverTheSizeCapIsAMissingFile) {
  Write("Program", "English.txt", "[MultiPairForm.dll]\r\nMultipleDongle=English\r\n");
  for (const uint64_t size : {ui::kMaxTextFileBytes, ui::kMaxTextFileBytes + 1}) {
    Write("Program", "German.txt", "[MultiPairForm.dll]\r\nMultipleDongle=German\r\n");
    fs::resize_file(root_ / "Program" / "German.txt", size);  // the rest reads as zeros
    LanguageFiles m;
    m.Load(Program(), Shared(), u"", 0x0407);
    EXPECT_EQ(U8(m.GetText(u"MultiPairForm.dll", u"MultipleDongle")),
              size > ui::kMaxTextFileBytes ? "English" : "German")
        << size;
  }
}

TEST_F(LoadTest, EnglishReadsItsProgramFileLikeOneFile) {
  Write("Program", "English.txt", "[S]\r\nk=program\r\n%Mapping%=T\r\n[T]\r\nk=mapped\r\n");
  LanguageFiles m;
  m.Load(Program(), Shared(), u"", 0x0409);
  EXPECT_EQ(U8(m.GetText(u"S", u"k")), "mapped");
  EXPECT_EQ(U8(m.ResolveSection(u"S")), "T");
  EXPECT_EQ(U8(m.GetText(u"T", u"missing")), "@@");
}

TEST_F(LoadTest, FilesAreReadInTheirEncodings) {
  // UTF-16 LE with byte-order mark, as the shipped files that need more than ASCII are.
  const std::u16string text = u"[S]\r\nk=Schlüssel 鍵\r\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  Write("Program", "ChineseT.txt", bytes);
  LanguageFiles m;
  m.Load(Program(), Shared(), u"", 0x1004);
  EXPECT_EQ(U8(m.GetText(u"S", u"k")), "Schlüssel 鍵");
}

TEST_F(LoadTest, GetTextKeepsTheLineBreakToken) {
  Write("Program", "English.txt", "[S]\r\nk=one\\\\\\\\two\r\n");
  LanguageFiles m;
  m.Load(Program(), Shared(), u"", 0x0409);
  EXPECT_EQ(U8(m.GetText(u"S", u"k")), "one\\\\\\\\two");
}

TEST_F(LoadTest, ReadFromSectionTellsFoundFromNotFound) {
  Write("Program", "English.txt", "[S]\r\nempty=\r\nmarker=@@\r\n");
  LanguageFiles m;
  m.Load(Program(), Shared(), u"", 0x0409);
  EXPECT_EQ(m.ReadFromSection(u"S", u"empty"), std::u16string());
  EXPECT_EQ(m.ReadFromSection(u"S", u"marker"), std::nullopt);
  EXPECT_EQ(m.ReadFromSection(u"S", u"missing"), std::nullopt);
}

// ---- ApplyTexts.

// A label class of its own: the texts are for labels only, by exact class name.
class TOwnLabel : public ui::TLabel {
 public:
  using TLabel::TLabel;
  std::u16string_view ClassName() const override { return u"TOwnLabel"; }
};
// A derived class that keeps the class name "TLabel" is a label to the texts.
class TPlainDerivedLabel : public ui::TLabel {
 public:
  using TLabel::TLabel;
};

class ApplyTextsTest : public TempTree {
 protected:
  ui::TLabel* Label(const char16_t* name, const char16_t* caption = u"design",
                    const char16_t* hint = u"design hint") {
    auto* l = new ui::TLabel(&form_, name);
    l->SetCaption(caption);
    l->SetHint(hint);
    return l;
  }
  void Apply(const std::string& file) {
    Write("Program", "English.txt", "[MultiPairForm.dll]\r\n" + file);
    LanguageFiles m;
    m.Load(Program(), Shared(), u"", 0x0409);
    m.ApplyTexts(form_, u"MultiPairForm.dll");
  }
  ui::TForm form_{nullptr, u"TandrelProgram"};
};

TEST_F(ApplyTextsTest, OwnerQualifiedKeyFirstThenThePlainOne) {
  auto* both = Label(u"lb_Title");
  auto* plain = Label(u"lb_ProgramTitle");
  auto* other = Label(u"lb_ForLife");
  Apply(
      "lb_Title->Caption=plain\r\nTandrelProgram->lb_Title->Caption=qualified\r\n"
      "lb_ProgramTitle->Caption=plain only\r\n"
      "Another->lb_ForLife->Caption=another owner's\r\n"
      "TandrelProgram->lb_Title->Hint=qualified hint\r\nlb_ProgramTitle->Hint=plain hint\r\n");
  EXPECT_EQ(U8(both->Caption()), "qualified");
  EXPECT_EQ(U8(both->Hint()), "qualified hint");
  EXPECT_EQ(U8(plain->Caption()), "plain only");
  EXPECT_EQ(U8(plain->Hint()), "plain hint");
  EXPECT_EQ(U8(other->Caption()), "design");
}

TEST_F(ApplyTextsTest, LineBreakTokensBecomeLineFeedsLeftToRight) {
  auto* two = Label(u"two");
  auto* six = Label(u"six");
  auto* eight = Label(u"eight");
  auto* three = Label(u"three");
  Apply(
      "two->Caption=first\\\\\\\\second\r\n"
      "two->Hint=a\\\\\\\\b\\\\\\\\c\r\n"
      "six->Caption=x\\\\\\\\\\\\y\r\n"
      "eight->Caption=x\\\\\\\\\\\\\\\\y\r\n"
      "three->Caption=x\\\\\\y\r\n");
  EXPECT_EQ(U8(two->Caption()), "first\nsecond");
  EXPECT_EQ(U8(two->Hint()), "a\nb\nc");
  EXPECT_EQ(U8(six->Caption()), "x\n\\\\y");
  EXPECT_EQ(U8(eight->Caption()), "x\n\ny");
  EXPECT_EQ(U8(three->Caption()), "x\\\\\\y");
}

TEST_F(ApplyTextsTest, NotFoundMarkerKeepsTheDesignAndAnEmptyValueEmpties) {
  auto* marker = Label(u"marker");
  auto* empty = Label(u"empty");
  auto* qualifiedMarker = Label(u"qm");
  Apply(
      "marker->Caption=@@\r\nmarker->Hint=@@\r\nempty->Caption=\r\nempty->Hint=\r\n"
      "TandrelProgram->qm->Caption=@@\r\nqm->Caption=fallback\r\n");
  EXPECT_EQ(U8(marker->Caption()), "design");
  EXPECT_EQ(U8(marker->Hint()), "design hint");
  EXPECT_EQ(U8(empty->Caption()), "");
  EXPECT_EQ(U8(empty->Hint()), "");
  EXPECT_EQ(U8(qualifiedMarker->Caption()), "fallback");
}

TEST_F(ApplyTextsTest, OnlyComponentsNamedTLabelAreTouched) {
  auto* button = new ui::TButton(&form_, u"bt_Close");
  button->SetCaption(u"design");
  button->SetHint(u"design hint");
  auto* image = new ui::TImage(&form_, u"im_Totem");
  image->SetCaption(u"design");
  auto* own = new TOwnLabel(&form_, u"own");
  own->SetCaption(u"design");
  auto* derived = new TPlainDerivedLabel(&form_, u"derived");
  Apply(
      "bt_Close->Caption=x\r\nbt_Close->Hint=x\r\nTandrelProgram->bt_Close->Caption=x\r\n"
      "im_Totem->Caption=x\r\nown->Caption=x\r\nderived->Caption=translated\r\n");
  EXPECT_EQ(U8(button->Caption()), "design");
  EXPECT_EQ(U8(button->Hint()), "design hint");
  EXPECT_EQ(U8(image->Caption()), "design");
  EXPECT_EQ(U8(own->Caption()), "design");
  EXPECT_EQ(U8(derived->Caption()), "translated");
}

TEST_F(ApplyTextsTest, ButtonsTakeTheirNamesOnlyFromNameKeysAndKeepTheTokenAsWritten) {
  auto buttonNamed = [&](const char16_t* name) {
    auto* button = new ui::TButton(&form_, name);
    button->SetCaption(u"design");
    return button;
  };
  auto* qualified = buttonNamed(u"bt_Close");
  auto* plain = buttonNamed(u"bt_NewMultiPairProcess");
  auto* marker = buttonNamed(u"bt_OpenRSSIDisplay");
  auto* token = buttonNamed(u"bt_Other");
  auto* none = buttonNamed(u"bt_None");
  auto* label = Label(u"lb_Title");
  Write("Program", "English.txt",
        "[MultiPairForm.dll]\r\n"
        "bt_Close->AccessibleName=plain\r\nTandrelProgram->bt_Close->AccessibleName=qualified\r\n"
        "bt_NewMultiPairProcess->AccessibleName=Pair devices\r\n"
        "bt_NewMultiPairProcess->Caption=caption\r\n"
        "TandrelProgram->bt_OpenRSSIDisplay->AccessibleName=@@\r\n"
        "bt_OpenRSSIDisplay->AccessibleName=fallback\r\n"
        "bt_Other->AccessibleName=a\\\\\\\\b\r\n"
        "lb_Title->AccessibleName=not a button\r\n");
  LanguageFiles m;
  m.Load(Program(), Shared(), u"", 0x0409);
  m.ApplyTexts(form_, u"MultiPairForm.dll");
  EXPECT_EQ(U8(plain->Caption()), "design") << "a button's caption key is never read";
  m.ApplyAccessibleNames(form_, u"MultiPairForm.dll");
  EXPECT_EQ(U8(qualified->Caption()), "qualified");
  EXPECT_EQ(U8(plain->Caption()), "Pair devices");
  EXPECT_EQ(U8(marker->Caption()), "fallback");
  EXPECT_EQ(U8(token->Caption()), "a\\\\\\\\b");
  EXPECT_EQ(U8(none->Caption()), "design");
  EXPECT_EQ(U8(label->Caption()), "design");
}

TEST_F(ApplyTextsTest, LabelsOfOtherOwnersAreNotTouched) {
  ui::TForm other(nullptr, u"Other");
  auto* foreign = new ui::TLabel(&other, u"lb_Title");
  foreign->SetParent(&form_);  // parented here, owned elsewhere
  foreign->SetCaption(u"design");
  Apply("lb_Title->Caption=x\r\n");
  EXPECT_EQ(U8(foreign->Caption()), "design");
  foreign->SetParent(nullptr);
}

TEST_F(ApplyTextsTest, FollowsSectionPathAndMapping) {
  auto* label = Label(u"lb_Title");
  Write("Shared", "English.txt", "[MultiPairForm.dll.a]\r\n%Mapping%=Common\r\n");
  Write("Program", "English.txt", "[Common]\r\nlb_Title->Caption=from Common\r\n");
  LanguageFiles m;
  m.Load(Program(), Shared(), u"a", 0x0409);
  m.ApplyTexts(form_, u"MultiPairForm.dll");
  EXPECT_EQ(U8(label->Caption()), "from Common");
}

// ---- The language-name table.

TEST(LanguageName, EveryListedIdentifier) {
  const std::vector<std::pair<std::vector<uint16_t>, const char*>> table = {
      {{0x0404, 0x0C04, 0x1004}, "ChineseT"},
      {{0x0804}, "ChineseS"},
      {{0x0419}, "Russian"},
      {{0x041F}, "Turkish"},
      {{0x0410, 0x0810}, "Italian"},
      {{0x0416, 0x0816}, "PortugueseP"},
      {{0x040C, 0x080C, 0x0C0C, 0x100C, 0x140C, 0x180C}, "FrenchF"},
      {{0x0413, 0x0813}, "Dutch"},
      {{0x0407, 0x0807, 0x0C07, 0x1007, 0x1407}, "German"},
      {{0x0411}, "Japanese"},
      {{0x0412}, "Korean"},
  };
  for (const auto& [ids, name] : table)
    for (uint16_t id : ids) EXPECT_EQ(U8(LanguageFiles::LanguageName(id)), name) << std::hex << id;
  // Spanish: 2058 to 20490 in steps of 1024, nineteen identifiers.
  int spanish = 0;
  for (unsigned id = 2058; id <= 20490; id += 1024, ++spanish)
    EXPECT_EQ(U8(LanguageFiles::LanguageName(static_cast<uint16_t>(id))), "Spanish") << id;
  EXPECT_EQ(spanish, 19);
}

TEST(LanguageName, WholeIdentifiersOnlyEverythingElseIsEnglish) {
  for (uint16_t id :
       {0x040A, 0x000A, 0x540A, 0x580A, 0x7C0A, 0x0409, 0x0809, 0x0000, 0x0004, 0x1404, 0x7C04,
        0x0007, 0x1807, 0x1C0C, 0x0C10, 0x0819, 0x0C13, 0x0C16, 0x0811, 0x0812, 0xFFFF})
    EXPECT_EQ(U8(LanguageFiles::LanguageName(id)), "English") << std::hex << id;
}

TEST_F(LoadTest, IdentifierZeroAndTheSpanishAndChineseEdges) {
  LanguageFiles m;
  m.UserLanguageSource = [] { return uint16_t{0x0407}; };
  EXPECT_EQ(U8(m.Load(Program(), Shared(), u"", 0)), "German");
  EXPECT_EQ(U8(m.Load(Program(), Shared(), u"", 0x040A)), "English");
  EXPECT_EQ(U8(m.Load(Program(), Shared(), u"", 0x0C0A)), "Spanish");
  EXPECT_EQ(U8(m.Load(Program(), Shared(), u"", 0x1004)), "ChineseT");
  EXPECT_EQ(U8(m.Load(Program(), Shared(), u"", 0x0816)), "PortugueseP");
  EXPECT_EQ(U8(m.Load(Program(), Shared(), u"", 0x080C)), "FrenchF");
}

// ---- The shipped language files.

struct Shipped {
  uint16_t id;
  const char* name;
};
void PrintTo(const Shipped& s, std::ostream* os) {
  *os << s.name;
}
constexpr Shipped kShipped[] = {
    {0x0409, "English"}, {0x0407, "German"},   {0x040C, "FrenchF"},     {0x0C0A, "Spanish"},
    {0x0410, "Italian"}, {0x0413, "Dutch"},    {0x0816, "PortugueseP"}, {0x0419, "Russian"},
    {0x041F, "Turkish"}, {0x0404, "ChineseT"}, {0x0804, "ChineseS"},    {0x0411, "Japanese"},
    {0x0412, "Korean"},
};
constexpr const char16_t* kLabels[] = {u"lb_Title",      u"lb_ProgramTitle",
                                       u"lb_ForMeeting", u"lb_ForMeetingNotes",
                                       u"lb_ForLife",    u"lb_ForLifeNotes"};
constexpr const char16_t* kMessages[] = {u"NoDongleExists", u"MultipleDongle", u"FirmwareTooOld"};

fs::path Forms() {
  return fs::path(TANDREL_FORMS_DATA);
}
fs::path ProgramTexts() {
  return Forms() / "Tandrel_Program" / "Texts";
}
fs::path SharedTexts() {
  return Forms() / "Texts";
}

bool IsAscii(const std::u16string& s) {
  for (char16_t c : s)
    if (c > 0x7E) return false;
  return true;
}

class ShippedFiles : public testing::TestWithParam<Shipped> {};

TEST_P(ShippedFiles, DefineEveryLabelAndMessageInTheirOwnLanguage) {
  const std::string file = std::string(GetParam().name) + ".txt";
  const ui::TIniFile program((ProgramTexts() / file).u16string());
  const ui::TIniFile shared((SharedTexts() / file).u16string());
  ASSERT_TRUE(program.Loaded()) << file;
  ASSERT_TRUE(shared.Loaded()) << file;
  const bool english = std::string(GetParam().name) == "English";
  bool ascii = true;
  auto check = [&](const ui::TIniFile& ini, const char16_t* key) {
    const std::u16string v = ini.ReadString(u"MultiPairForm.dll", key, u"@@");
    EXPECT_NE(U8(v), "@@") << file << " " << U8(key);
    EXPECT_FALSE(v.empty()) << file << " " << U8(key);
    EXPECT_EQ(v.find(u'\uFFFD'), std::u16string::npos) << file << " " << U8(key);
    ascii = ascii && IsAscii(v);
  };
  for (const char16_t* label : kLabels)
    check(program, (std::u16string(label) + u"->Caption").c_str());
  for (const char16_t* message : kMessages) check(shared, message);
  // Every language but English needs more than ASCII somewhere, and so a byte-order mark.
  EXPECT_EQ(ascii, english) << file;

  // Through the manager, each text comes from the language's own files, not the English ones.
  LanguageFiles m;
  ASSERT_EQ(m.Load(Folder(ProgramTexts()), Folder(SharedTexts()), u"", GetParam().id),
            base::Utf8ToUtf16(GetParam().name));
  for (const char16_t* message : kMessages)
    EXPECT_EQ(U8(m.GetText(u"MultiPairForm.dll", message)),
              U8(shared.ReadString(u"MultiPairForm.dll", message, u"@@")));
  ui::TForm form(nullptr, u"TandrelProgram");
  std::vector<ui::TLabel*> labels;
  for (const char16_t* name : kLabels) labels.push_back(new ui::TLabel(&form, name));
  m.ApplyTexts(form, u"MultiPairForm.dll");
  for (size_t i = 0; i < labels.size(); ++i) {
    const std::u16string value =
        program.ReadString(u"MultiPairForm.dll", std::u16string(kLabels[i]) + u"->Caption", u"");
    // The shipped texts use the token alone, never five or more backslashes in a row.
    std::u16string want;
    for (size_t at = 0; at < value.size(); ++at) {
      if (value.compare(at, 4, u"\\\\\\\\") == 0) {
        want += u'\n';
        at += 3;
      } else {
        want += value[at];
      }
    }
    EXPECT_EQ(U8(labels[i]->Caption()), U8(want)) << file << " " << U8(kLabels[i]);
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedFiles, testing::ValuesIn(kShipped),
                         [](const auto& info) { return std::string(info.param.name); });

// What each language's strips were drawn with, as the skin generator wrote it at build time:
// language TAB pair words TAB signal words.
std::map<std::string, std::vector<std::u16string>> SkinWords() {
  std::map<std::string, std::vector<std::u16string>> words;
  std::ifstream in(TANDREL_SKIN_WORDS);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::u16string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      fields.push_back(base::Utf8ToUtf16(line.substr(start, tab - start)));
    fields.push_back(base::Utf8ToUtf16(line.substr(start)));
    const std::string language = base::Utf16ToUtf8(fields.front());
    fields.erase(fields.begin());
    words[language] = fields;
  }
  return words;
}

// Every shipped language names the three buttons in its own file, and the name of each feature
// button holds the words its picture shows in that language, read as the launcher reads them.
TEST_P(ShippedFiles, NameTheButtonsWithTheWordsTheirPicturesShow) {
  const auto words = SkinWords();
  const auto drawn = words.find(GetParam().name);
  ASSERT_NE(drawn, words.end()) << "no strips drawn for " << GetParam().name;
  ASSERT_EQ(drawn->second.size(), 2u);
  const std::string file = std::string(GetParam().name) + ".txt";
  const ui::TIniFile program((ProgramTexts() / file).u16string());
  LanguageFiles m;
  m.Load(Folder(ProgramTexts()), Folder(SharedTexts()), u"", GetParam().id);
  ui::TForm form(nullptr, u"TandrelProgram");
  const char16_t* const kButtons[] = {u"bt_Close", u"bt_NewMultiPairProcess",
                                      u"bt_OpenRSSIDisplay"};
  std::vector<ui::TButton*> buttons;
  for (const char16_t* name : kButtons) buttons.push_back(new ui::TButton(&form, name));
  m.ApplyAccessibleNames(form, u"MultiPairForm.dll");
  for (size_t i = 0; i < buttons.size(); ++i) {
    const std::u16string key = std::u16string(kButtons[i]) + u"->AccessibleName";
    const std::u16string own = program.ReadString(u"MultiPairForm.dll", key, u"@@");
    EXPECT_NE(U8(own), "@@") << file << " lacks " << U8(key);
    EXPECT_FALSE(own.empty()) << file << " " << U8(key);
    EXPECT_EQ(U8(buttons[i]->Caption()), U8(own)) << file;
    if (i == 0) continue;  // the close button's picture is a cross
    const std::u16string& shown = drawn->second[i - 1];
    EXPECT_FALSE(shown.empty());
    EXPECT_NE(buttons[i]->Caption().find(shown), std::u16string::npos)
        << file << ": name '" << U8(buttons[i]->Caption()) << "' lacks the picture's '" << U8(shown)
        << "'";
  }
}

TEST(ShippedFiles, EveryFileIsNamedForALanguageAndEncodedForIt) {
  for (const fs::path& folder : {ProgramTexts(), SharedTexts()}) {
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
      const std::string name = entry.path().stem().string();
      bool known = false;
      for (const Shipped& s : kShipped) known = known || name == s.name;
      EXPECT_TRUE(known) << entry.path();
      EXPECT_EQ(entry.path().extension(), ".txt");
      const auto bytes = base::ReadFile(entry.path().u16string());
      ASSERT_TRUE(bytes && bytes->size() > 2) << entry.path();
      // Either UTF-16 LE with its byte-order mark or plain ASCII, which any code page reads.
      const bool utf16 = (*bytes)[0] == 0xFF && (*bytes)[1] == 0xFE;
      bool ascii = true;
      for (uint8_t b : *bytes) ascii = ascii && b < 0x80;
      EXPECT_TRUE(utf16 || ascii) << entry.path();
      ++files;
    }
    EXPECT_EQ(files, std::size(kShipped)) << folder;
  }
}

// "%1", "%2", ... of a text, sorted: a translation may put them in another order.
std::vector<std::u16string> Placeholders(const std::u16string& text) {
  std::vector<std::u16string> found;
  for (size_t at = text.find(u'%'); at != std::u16string::npos; at = text.find(u'%', at + 1)) {
    size_t end = at + 1;
    while (end < text.size() && text[end] >= u'0' && text[end] <= u'9') ++end;
    if (end > at + 1) found.push_back(text.substr(at, end - at));
  }
  std::sort(found.begin(), found.end());
  return found;
}

// Access-key marks: an '&' that is not one of a doubled "&&".
int AccessKeys(const std::u16string& text) {
  int marks = 0;
  for (size_t at = 0; at < text.size(); ++at)
    if (text[at] == u'&') {
      if (at + 1 < text.size() && text[at + 1] == u'&')
        ++at;
      else
        ++marks;
    }
  return marks;
}

// Every text of an English file, in every language's file of the same folder: there, not empty,
// decoded, with English's placeholders and access key, and the one the launcher finds.
TEST(ShippedFiles, EveryLanguageHasEveryEnglishText) {
  size_t englishTexts = 0;
  for (const fs::path& folder : {ProgramTexts(), SharedTexts()}) {
    const ui::TIniFile english((folder / "English.txt").u16string());
    std::vector<std::pair<std::u16string, std::u16string>> keys;
    for (const std::u16string& section : english.SectionNames())
      for (const std::u16string& key : english.KeyNames(section)) keys.emplace_back(section, key);
    std::sort(keys.begin(), keys.end());
    englishTexts += keys.size();
    for (const Shipped& language : kShipped) {
      const fs::path file = folder / (std::string(language.name) + ".txt");
      const ui::TIniFile own(file.u16string());
      ASSERT_TRUE(own.Loaded()) << file;
      LanguageFiles m;
      m.Load(Folder(ProgramTexts()), Folder(SharedTexts()), u"", language.id);
      for (const auto& [section, key] : keys) {
        const std::string where = file.string() + " [" + U8(section) + "] " + U8(key);
        const std::u16string want = english.ReadString(section, key, u"@@");
        const std::u16string text = own.ReadString(section, key, u"@@");
        EXPECT_NE(U8(text), "@@") << where;
        EXPECT_FALSE(text.empty()) << where;
        EXPECT_EQ(text.find(u'\uFFFD'), std::u16string::npos) << where;
        EXPECT_EQ(Placeholders(text), Placeholders(want)) << where;
        EXPECT_EQ(AccessKeys(text), AccessKeys(want)) << where;
        EXPECT_EQ(U8(m.GetText(section, key)), U8(text)) << where;
      }
    }
  }
  // The sweep covers the module sections and the firmware message, so it cannot pass empty.
  const ui::TIniFile shared((SharedTexts() / "English.txt").u16string());
  for (const char16_t* section : {u"MultiPairForm.dll", u"MessageConfirm.dll", u"RSSIDisplay.dll"})
    EXPECT_TRUE(shared.SectionExists(section)) << U8(section);
  EXPECT_NE(U8(shared.ReadString(u"MultiPairForm.dll", u"FirmwareTooOld", u"@@")), "@@");
  EXPECT_GE(englishTexts, std::size(kLabels) + std::size(kMessages) + 26);
}

}  // namespace

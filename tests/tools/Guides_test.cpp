// The guides' sample outputs of tandrel-check are its real output: each guide's scenario (what
// its text says was done to the shipped tree) is played on a copy of the staged tree, and every
// line of the sample block after the guide's marker must be a line the checker prints for it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/Utf.h"
#include "tests/ui/bitmap/BmpWriter.h"
#include "tools/check/DataCheck.h"

// Natively: the guides speak of the staged tree, which the Windows test programs do not copy.
#ifndef _WIN32

namespace {
namespace fs = std::filesystem;

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Replaces one line's text in a UTF-16 LE language file, as a translator's editor would.
void ReplaceInText(const fs::path& file, const std::u16string& from, const std::u16string& to) {
  const std::string bytes = Read(file);
  ASSERT_TRUE(bytes.starts_with("\xFF\xFE")) << file;
  std::u16string text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2)
    text += static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                  static_cast<uint8_t>(bytes[i + 1]) << 8);
  const size_t at = text.find(from);
  ASSERT_NE(at, std::u16string::npos) << base::Utf16ToUtf8(from);
  text.replace(at, from.size(), to);
  std::string out = "\xFF\xFE";
  for (const char16_t c : text)
    out += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  std::ofstream(file, std::ios::binary) << out;
}

// A copy of the staged run-time tree's Data folder.
fs::path CopyOfTheShippedTree(const char* name) {
  const fs::path root = fs::temp_directory_path() / name;
  fs::remove_all(root);
  fs::create_directories(root);
  fs::copy(fs::path(TANDREL_STAGE_DIR) / "Data", root / "Data", fs::copy_options::recursive);
  return root;
}

// The lines of the code block after the marker in the guide, with '/' for the separator.
std::vector<std::string> SampleLines(const char* guide, const std::string& marker) {
  const std::string text = Read(guide);
  const size_t at = text.find(marker);
  EXPECT_NE(at, std::string::npos) << guide << " has no " << marker;
  const size_t open = text.find("```\n", at), close = text.find("\n```", open + 4);
  std::vector<std::string> lines;
  std::istringstream block(text.substr(open + 4, close - open - 4));
  for (std::string line; std::getline(block, line);) {
    for (char& c : line)
      if (c == '\\') c = '/';
    lines.push_back(line);
  }
  EXPECT_FALSE(lines.empty());
  return lines;
}

void ExpectEachSampleLinePrinted(const fs::path& root, const char* guide) {
  std::string out = check::RunChecker({root.u16string()}).out;
  for (char& c : out)
    if (c == '\\') c = '/';
  for (const std::string& line : SampleLines(guide, "<!-- tandrel-check sample -->"))
    EXPECT_NE(out.find(line + "\n"), std::string::npos) << "not printed:\n"
                                                        << line << "\nprinted:\n"
                                                        << out;
}

// TRANSLATING.md: a Dutch title of two lines, %1 dropped from Waiting=, and Stop given Start's
// access key.
TEST(Guides, TheTranslatorsSampleIsWhatTheCheckerPrints) {
  const fs::path root = CopyOfTheShippedTree("tandrel-guide-translating");
  const fs::path forms = root / "Data" / "Tandrel_Program" / "Forms";
  ReplaceInText(forms / "Tandrel_Program" / "Texts" / "Dutch.txt",
                u"lb_Title->Caption=Multi-Link-tool",
                u"lb_Title->Caption=Multi-Link-hulpprogramma");
  ReplaceInText(forms / "Texts" / "Dutch.txt", u" Nog %1 s.", u"");
  ReplaceInText(forms / "Texts" / "Dutch.txt", u"Stop=S&toppen", u"Stop=&Stoppen");
  ExpectEachSampleLinePrinted(root, TANDREL_TRANSLATING_GUIDE);
  fs::remove_all(root);
}

// SKINNING.md: English\ restyled with pair buttons of 140 x 40 on white, the other languages'
// strips left as shipped; the pairing heading's box made narrower.
TEST(Guides, TheSkinDesignersSampleIsWhatTheCheckerPrints) {
  const fs::path root = CopyOfTheShippedTree("tandrel-guide-skinning");
  const fs::path skin = root / "Data" / "Tandrel_Program" / "Forms" / "Tandrel_Program";
  const auto strip = bmptest::MakeBmp(
      bmptest::BmpSpec(560, 40, 24).Values(std::vector<uint32_t>(560 * 40, 0xFFFFFF)));
  std::ofstream(skin / "English" / "NewMultiPairProc.bmp", std::ios::binary)
      .write(reinterpret_cast<const char*>(strip.data()), strip.size());
  std::string layout = Read(skin / "UI_Main.txt");
  const std::string box = "TandrelProgram->lb_ForMeeting->Position=rectp,20,36,341,54";
  ASSERT_NE(layout.find(box), std::string::npos);
  layout.replace(layout.find(box), box.size(),
                 "TandrelProgram->lb_ForMeeting->Position=rectp,20,36,100,54");
  std::ofstream(skin / "UI_Main.txt", std::ios::binary) << layout;
  ExpectEachSampleLinePrinted(root, TANDREL_SKINNING_GUIDE);
  fs::remove_all(root);
}

}  // namespace
#endif

// tandrel-check over a crafted data tree holding one of each problem it reports, against a golden
// file (TANDREL_UPDATE_GOLDEN=1 writes it anew), and its exit status and JSON form.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/ui/bitmap/BmpWriter.h"
#include "tools/check/DataCheck.h"

namespace {
namespace fs = std::filesystem;

void Write(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

std::string Bmp(int width, int height, uint32_t colour) {
  const auto b = bmptest::MakeBmp(
      bmptest::BmpSpec(width, height, 24).Values(std::vector<uint32_t>(width * height, colour)));
  return std::string(b.begin(), b.end());
}

std::string Utf16BigEndian(const std::string& ascii) {
  std::string out = "\xFE\xFF";
  for (const char c : ascii) out += std::string{'\0', c};
  return out;
}

// One of each problem, each commented where it is made.
fs::path CraftedTree() {
  const fs::path root = fs::temp_directory_path() / "tandrel-check-crafted";
  fs::remove_all(root);
  const fs::path forms = root / "Data" / "Tandrel_Program" / "Forms";
  const fs::path program = forms / "Tandrel_Program" / "Texts";
  Write(program / "English.txt",
        "[MultiPairForm.dll]\r\nlb_Title->Caption=Title\r\nlb_Title->Hint=Hint\r\n"
        "bt_Close->Caption=Close\r\n");  // a text for a button: never shown
  Write(program / "German.txt",
        "\xEF\xBB\xBForphan=1\r\n"  // UTF-8 with a byte-order mark; a line before any section
        "[MultiPairForm.dll]\r\nlb_Title->Caption=Titel\r\nlb_Title->Caption=Zweiter\r\n");
  Write(program / "Klingon.txt", "[MultiPairForm.dll]\r\n");  // not a language name
  // A title of two lines in a box of one; a word wider than its box.
  Write(program / "Dutch.txt",
        "[MultiPairForm.dll]\r\nlb_Title->Caption=Multi-Link-hulpprogramma voor ontvangers\r\n"
        "lb_ProgramTitle->Caption=Ontvangerbeheerprogrammatuur\r\n");
  const fs::path shared = forms / "Texts";
  Write(shared / "English.txt",
        "[MultiPairForm.dll]\r\nNoDongleExists=None\r\nWaiting=%1 s left.\r\n"
        "Finished=Done: %1.\r\nStart=&Start\r\nStop=S&top\r\n[A]\r\n%Mapping%=B\r\n[B]\r\n"
        "%Mapping%=A\r\n");  // a mapping cycle
  // Big-endian: the launcher reads it (Windows does not), and it lacks the English message.
  Write(shared / "Dutch.txt", Utf16BigEndian("[MultiPairForm.dll]\r\n"));
  // Numbers and access keys: %1 dropped, %2 added, one key for Start and Stop.
  Write(shared / "German.txt",
        "[MultiPairForm.dll]\r\nNoDongleExists=Keiner\r\nWaiting=Noch s.\r\n"
        "Finished=Fertig: %1, %2.\r\nStart=&Starten\r\nStop=&Stoppen\r\n");
  Write(shared / "Japanese.txt",
        "[MultiPairForm.dll]\r\nNoDongleExists=@@\r\n[MultiPairForm.dll]\r\nx=1\r\n");
  Write(forms / "Tandrel_Program" / "UI_Main.txt",
        "[English]\r\nlb_Nowhere->Position=rectp,0,0,1,1\r\nlb_Title->Color=clRed\r\n"
        "[Elvish]\r\nFontName=x\r\n"
        "[German]\r\nFontName=Nonexistent Sans\r\n"  // a face no system has
        "[Japanese]\r\nTandrelProgram->lb_Title->Position=rectp,1,2,3q,4\r\n");
  const fs::path skin = forms / "Tandrel_Program";
  Write(skin / "English" / "MultiPairMain_Background.bmp", Bmp(8, 8, 0x336699));  // one colour
  Write(skin / "English" / "WindowClose.bmp", Bmp(82, 20, 0x112233));  // not 4 frames exactly
  Write(skin / "English" / "RSSIDisplay.bmp", "BM not a picture");
  Write(skin / "Italian" / "NewMultiPairProc.bmp", Bmp(8, 2, 0));  // a skin without texts
  // German buttons of another size and key colour than the (restyled) English ones.
  Write(skin / "German" / "WindowClose.bmp", Bmp(132, 33, 0x0000FF));
  Write(skin / "Elvish" / "WindowClose.bmp", Bmp(8, 2, 0));  // not a language
  return root;
}

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(TandrelCheck, ReportsEachProblemOfACraftedTree) {
  const fs::path root = CraftedTree();
  const check::Run run = check::RunChecker({root.u16string()});
  EXPECT_EQ(run.status, 2);
  // The golden file is written with '/'; a Windows run prints its own separator.
  std::string out = run.out;
  for (char& c : out)
    if (c == '\\') c = '/';
      // Windows measures label texts itself and knows its fonts: its own golden file.
#ifdef _WIN32
  const char* golden = TANDREL_CHECK_GOLDEN_WIN;
#else
  const char* golden = TANDREL_CHECK_GOLDEN;
#endif
  if (std::getenv("TANDREL_UPDATE_GOLDEN")) std::ofstream(golden, std::ios::binary) << out;
  EXPECT_EQ(out, Read(golden));

  // The same findings for tools: one object each.
  const check::Run json = check::RunChecker({u"--json", root.u16string()});
  size_t objects = 0, lines = 0;
  for (size_t at = 0; (at = json.out.find("{\"file\"", at)) != std::string::npos; ++at) ++objects;
  for (const char c : run.out) lines += c == '\n';
  EXPECT_EQ(objects, lines);
  EXPECT_EQ(json.status, 2);
  fs::remove_all(root);
}

TEST(TandrelCheck, WarningsAloneGiveOneAndAFolderWithoutDataIsAnError) {
  const fs::path root = fs::temp_directory_path() / "tandrel-check-warnings";
  fs::remove_all(root);
  Write(root / "Forms" / "Texts" / "English.txt", "[MultiPairForm.dll]\r\nNoDongleExists=@@\r\n");
  const check::Run warned = check::RunChecker({root.u16string()});
  EXPECT_EQ(warned.status, 1) << warned.out;
  EXPECT_EQ(check::RunChecker({(root / "nothing").u16string()}).status, 2);
  EXPECT_EQ(check::RunChecker({}).status, 2);
  fs::remove_all(root);
}

// The shipped Dutch texts with CR alone ending each line, as some editors save them: the
// launcher reads them, so the checker finds nothing to say.
TEST(TandrelCheck, ALanguageFileWithCarriageReturnsAloneGivesNoFinding) {
  const fs::path root = fs::temp_directory_path() / "tandrel-check-cr";
  fs::remove_all(root);
  for (const char* folder : {"Tandrel_Program/Texts", "Texts"}) {
    const fs::path shipped = fs::path(TANDREL_FORMS_DATA) / folder;
    for (const char* language : {"English.txt", "Dutch.txt"}) {
      std::string bytes = Read(shipped / language);
      ASSERT_FALSE(bytes.empty()) << (shipped / language);
      if (std::string(language) == "Dutch.txt") {
        // CR LF to CR, in UTF-16 LE or in single bytes.
        const bool wide = bytes.starts_with("\xFF\xFE");
        const std::string crlf = wide ? std::string("\r\0\n\0", 4) : "\r\n";
        const std::string cr = wide ? std::string("\r\0", 2) : "\r";
        size_t replaced = 0;
        for (size_t at; (at = bytes.find(crlf)) != std::string::npos; ++replaced)
          bytes.replace(at, crlf.size(), cr);
        ASSERT_GT(replaced, 4u);
      }
      Write(root / "Forms" / folder / language, bytes);
    }
  }
  const check::Run run = check::RunChecker({root.u16string()});
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.status, 0);
  fs::remove_all(root);
}

}  // namespace

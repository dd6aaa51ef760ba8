// tandrel-check on a folder someone handed over (a downloaded skin): links out of the tree and
// to themselves, a FIFO where a picture and the layout file belong, a name that is not UTF-8,
// terminal escapes and a NUL in names, 50,000 keys. Each gets a finding; nothing blocks, aborts
// or reaches the terminal raw. POSIX only: Windows has no FIFOs, and its names are UTF-16.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "tools/check/DataCheck.h"

namespace {
namespace fs = std::filesystem;

void Write(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size()) ++n;
  return n;
}

TEST(HostileTree, EveryTrapIsAFindingAndTheOutputStaysPlainText) {
  const fs::path root = fs::temp_directory_path() / "tandrel-check-hostile";
  fs::remove_all(root);
  const fs::path forms = root / "Forms";
  const fs::path program = forms / "Tandrel_Program" / "Texts";
  const fs::path shared = forms / "Texts";
  const fs::path skin = forms / "Tandrel_Program";
  // 50,000 keys in English and as many other ones in German: each German file misses them all.
  std::string english = "[MultiPairForm.dll]\r\n", german = "[MultiPairForm.dll]\r\n";
  for (int i = 0; i < 50000; ++i) {
    english += "Key" + std::to_string(i) + "=Text\r\n";
    german += "Other" + std::to_string(i) + "=Text\r\n";
  }
  Write(shared / "English.txt", english);
  Write(shared / "German.txt", german);
  // Escapes in a repeated key and in a value; a NUL inside a key name; a newline in a folder's
  // name that would forge a line of output.
  Write(program / "English.txt",
        "[MultiPairForm.dll]\r\nk\x1b[H\x1b[2J\x1b[3J=1\r\nk\x1b[H\x1b[2J\x1b[3J=2\r\n" +
            std::string("a\0b=1\r\na\0b=2\r\n", 14) +
            "lb_Nowhere\x9d"
            "31m->Caption=x\r\n");  // 0x9D: a C1 control
  fs::create_directories(skin / "Eng\nlish: error: forged");
  // Links out of the tree (to a device and to a file with keys), to itself; FIFOs.
  fs::create_symlink("/dev/zero", program / "German.txt");
  Write(root.parent_path() / "tandrel-check-outside.txt", "[Secret]\r\nSecretKey=1\r\n");
  fs::create_symlink(root.parent_path() / "tandrel-check-outside.txt", program / "Dutch.txt");
  fs::create_symlink("Russian.txt", program / "Russian.txt");
  fs::create_directories(skin / "English");
  ASSERT_EQ(mkfifo((skin / "English" / "WindowClose.bmp").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo((skin / "UI_Main.txt").c_str(), 0600), 0);
  // Not UTF-8.
  Write(program / "\xff\xfe.txt", "[x]\r\n");

  const auto start = std::chrono::steady_clock::now();
  const check::Run run = check::RunChecker({root.u16string()});
  const check::Run json = check::RunChecker({u"--json", root.u16string()});
  std::cout << "two runs over the hostile tree: "
            << std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()
            << " s\n";

  // No control character in the text but the line ends; no NUL anywhere.
  for (const char c : run.out) {
    const auto b = static_cast<unsigned char>(c);
    ASSERT_TRUE(b >= 0x20 || b == '\n') << "control character " << int(b);
  }
  EXPECT_EQ(run.out.find("\xc2\x9d"), std::string::npos);
  EXPECT_EQ(json.out.find('\0'), std::string::npos);
  // Each trap has its finding, the escapes spelled out.
  EXPECT_EQ(Count(run.out, "German.txt: warning: a symbolic link: not followed"), 1u) << run.out;
  EXPECT_EQ(Count(run.out, "Dutch.txt: warning: a symbolic link: not followed"), 1u);
  EXPECT_EQ(Count(run.out, "Russian.txt: warning: a symbolic link: not followed"), 1u);
  EXPECT_EQ(run.out.find("SecretKey"), std::string::npos);
  EXPECT_EQ(Count(run.out, "WindowClose.bmp: warning: neither a file nor a folder"), 1u);
  EXPECT_EQ(Count(run.out, "UI_Main.txt: warning: neither a file nor a folder"), 1u);
  EXPECT_EQ(Count(run.out, "\\xff\\xfe.txt: warning: the name is not valid UTF-8"), 1u);
  EXPECT_EQ(Count(run.out, "key k\\x1b[H\\x1b[2J\\x1b[3J again"), 1u);
  // The reader ends a name at a NUL, as the platform's does: the key is "a", named twice.
  EXPECT_EQ(Count(run.out, "key a again"), 1u);
  EXPECT_EQ(Count(run.out, "no label named lb_Nowhere\\u009d31m"), 1u);
  EXPECT_EQ(Count(run.out, "Eng\\x0alish: error: forged: warning: 'Eng\\x0alish"), 1u);
  EXPECT_EQ(Count(run.out, "Forms/Texts/German.txt: warning: [MultiPairForm.dll] Key"), 50000u);
  // The JSON holds the same findings, one object per line of text.
  EXPECT_EQ(Count(json.out, "{\"file\""), Count(run.out, "\n"));
  EXPECT_EQ(run.status, 1);  // warnings only: nothing here stops the launcher
  fs::remove_all(root);
  fs::remove(root.parent_path() / "tandrel-check-outside.txt");
}

}  // namespace
#endif

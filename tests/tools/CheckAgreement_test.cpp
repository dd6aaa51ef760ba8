// tandrel-check against the launcher on every input of the INI fuzz corpus: each input is laid
// out as a data tree (program and shared text folder, German and English in each), and what the
// checker reports as missing texts and "@@" values must be what the launcher's lookup gives,
// found here through the plain reference reader and the launcher's mapping chain.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/Utf.h"
#include "tests/ui/ini/IniReference.h"
#include "text/LanguageFiles.h"
#include "tools/check/DataCheck.h"

namespace {
namespace fs = std::filesystem;
using ini_reference::Reader;
using text::LanguageFiles;
using Names = std::set<std::pair<std::u16string, std::u16string>>;

std::vector<uint8_t> ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// As the fuzz target cuts its input: a language byte, then pieces at each 0x1E.
std::vector<std::vector<uint8_t>> Pieces(const std::vector<uint8_t>& input) {
  std::vector<std::vector<uint8_t>> pieces(1);
  for (size_t i = 1; i < input.size(); ++i) {
    if (input[i] == 0x1E && pieces.size() < 5)
      pieces.emplace_back();
    else
      pieces.back().push_back(input[i]);
  }
  pieces.resize(5);
  return pieces;
}

// A name as a finding spells it, folded: findings are UTF-8, names UTF-16.
std::u16string Shown(std::u16string_view name) {
  return Reader::Fold(base::Utf8ToUtf16(base::Utf16ToUtf8(name)));
}

// "[S] K is missing (English.txt line N): ..." of the checker, as (S, K).
Names MissingFound(const std::vector<check::Finding>& findings, const fs::path& file) {
  Names names;
  for (const check::Finding& f : findings) {
    const size_t close = f.message.find("] ");
    const size_t end = f.message.rfind(" is missing (English.txt line ");
    if (f.file != file || f.message.front() != '[' || end == std::string::npos) continue;
    names.emplace(Shown(base::Utf8ToUtf16(f.message.substr(1, close - 1))),
                  Shown(base::Utf8ToUtf16(f.message.substr(close + 2, end - close - 2))));
  }
  return names;
}

size_t MarkersFound(const std::vector<check::Finding>& findings, const fs::path& file) {
  size_t n = 0;
  for (const check::Finding& f : findings)
    n += f.file == file && f.message.starts_with("the value @@ marks a missing text");
  return n;
}

size_t MarkersIn(const Reader& reader) {
  size_t n = 0;
  for (const std::u16string& section : reader.SectionIdentities())
    for (const std::u16string& key : reader.KeyIdentities(section))
      n += reader.ReadString(section, key, u"") == LanguageFiles::kNotFound;
  return n;
}

TEST(CheckAgreement, TheCheckerSeesEveryCorpusFileAsTheLauncherReadsIt) {
  const fs::path root = fs::temp_directory_path() / "tandrel-check-agreement";
  size_t inputs = 0, compared = 0, missing = 0;
  for (const auto& entry : fs::directory_iterator(TANDREL_INI_CORPUS)) {
    const auto pieces = Pieces(ReadBytes(entry.path()));
    fs::remove_all(root);
    // Piece i is German (even) or English (odd) of the program (0, 1) or shared (2, 3) folder.
    const fs::path folders[2] = {fs::path("Tandrel_Program") / "Texts", fs::path("Texts")};
    for (size_t i = 0; i < 4; ++i) {
      fs::create_directories(root / folders[i / 2]);
      if (pieces[i].empty()) continue;
      std::ofstream(root / folders[i / 2] / (i % 2 ? "English.txt" : "German.txt"),
                    std::ios::binary)
          .write(reinterpret_cast<const char*>(pieces[i].data()), pieces[i].size());
    }
    const std::vector<check::Finding> findings = check::CheckFormsFolder(root, root);
    ++inputs;
    for (size_t i = 0; i < 4; ++i) {
      if (pieces[i].empty()) continue;
      const Reader reader(ui::DecodeIniText(pieces[i], ui::SystemCodePageDecoder()));
      const fs::path file = folders[i / 2] / (i % 2 ? "English.txt" : "German.txt");
      EXPECT_EQ(MarkersFound(findings, file), MarkersIn(reader)) << entry.path() << " " << file;
    }
    for (size_t f = 0; f < 2; ++f) {
      const auto& german = pieces[2 * f];
      const auto& english = pieces[2 * f + 1];
      if (german.empty() || english.empty()) continue;
      // The launcher, reading this folder from disk for a German user.
      LanguageFiles launcher;
      const std::u16string folder = (root / folders[f]).u16string() + u"/";
      launcher.Load(folder, u"\x01/", u"", 0x0407);
      const Reader germanReader(ui::DecodeIniText(german, ui::SystemCodePageDecoder()));
      const Reader englishReader(ui::DecodeIniText(english, ui::SystemCodePageDecoder()));
      Names expected;
      for (const std::u16string& section : englishReader.SectionIdentities())
        for (const std::u16string& key : englishReader.KeyIdentities(section))
          if (key != Reader::Fold(LanguageFiles::kMappingKey) &&
              germanReader.ReadString(launcher.ResolveSection(section), key, u"\x01") == u"\x01")
            expected.emplace(Shown(section), Shown(key));
      EXPECT_EQ(MissingFound(findings, folders[f] / "German.txt"), expected) << entry.path();
      ++compared;
      missing += expected.size();
    }
  }
  fs::remove_all(root);
  std::printf("%zu inputs, %zu folder pairs compared, %zu missing texts\n", inputs, compared,
              missing);
  EXPECT_GT(compared, 10u);
  EXPECT_GT(missing, 0u);
}

}  // namespace

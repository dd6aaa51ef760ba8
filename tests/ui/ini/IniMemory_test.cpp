// What a parsed INI file holds on the heap, counted by the replaced operator new: at most three
// times the file's size for files of language-file lines, whatever their length, encoding or
// number of sections.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/HeapCounter.h"
#include "tests/support/TextBytes.h"
#include "ui/IniFile.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Utf16Le;

// Lines of a language file: sections of `keys` keys, each key and value `chars` characters
// together, CR LF line ends; about `size` bytes.
std::string LanguageLike(size_t chars, int keys, size_t size) {
  std::string text;
  for (int s = 0; text.size() < size; ++s) {
    text += "[Section" + std::to_string(s) + "]\r\n";
    for (int k = 0; k < keys; ++k) {
      std::string key = "K" + std::to_string(k);
      if (key.size() + 1 > chars) key.resize(chars - 1);
      text += key + "=" + std::string(chars - key.size(), 'v') + "\r\n";
    }
  }
  return text;
}

// A chain of `steps` sections, each mapping to the next.
std::string Chain(int steps) {
  std::string text;
  for (int i = 0; i < steps; ++i)
    text += "[S" + std::to_string(i) + "]\r\n%Mapping%=S" + std::to_string(i + 1) + "\r\n";
  return text + "[S" + std::to_string(steps) + "]\r\nk=end\r\n";
}

// Heap bytes a reader of `bytes` keeps once parsed.
size_t Held(const std::vector<uint8_t>& bytes) {
  const size_t before = heap_counter::Live();
  const ui::TIniFile ini = ui::TIniFile::FromBytes(bytes, ui::DecodeWindows1252);
  return heap_counter::Live() - before;
}

void ExpectAtMostThreeTimes(const std::vector<uint8_t>& bytes, const std::string& what) {
  const size_t held = Held(bytes);
  EXPECT_LE(held, 3 * bytes.size())
      << what << ": " << bytes.size() << " bytes of file hold " << held << " ("
      << static_cast<double>(held) / bytes.size() << "x)";
}

TEST(IniMemory, LanguageLinesOfEveryLengthInBothEncodings) {
  // From the shortest line the bound covers (9 characters of key and value) up to long hints.
  for (size_t chars : {9u, 12u, 16u, 24u, 40u, 80u, 200u, 1000u}) {
    for (int keys : {1, 4, 20}) {
      const std::string text = LanguageLike(chars, keys, 256 * 1024);
      const std::string what = std::to_string(chars) + " chars, " + std::to_string(keys) + " keys";
      ExpectAtMostThreeTimes({text.begin(), text.end()}, what + ", code page");
      ExpectAtMostThreeTimes(Utf16Le(text), what + ", UTF-16");
    }
  }
}

TEST(IniMemory, AChainOfSixteenThousandSections) {
  const std::string text = Chain(16384);
  ExpectAtMostThreeTimes({text.begin(), text.end()}, "chain");
  ExpectAtMostThreeTimes(Utf16Le(text), "chain, UTF-16");
}

TEST(IniMemory, RepeatedSectionsAndKeysAreNotKept) {
  // Only the first of each counts, so the copies cost nothing once read.
  std::string text = "[S]\r\nk=first\r\n";
  const std::string copy = "[s]\r\nk=" + std::string(100, 'x') + "\r\n[S]\r\nK=again\r\n";
  while (text.size() < 256 * 1024) text += copy;
  const size_t held = Held({text.begin(), text.end()});
  EXPECT_LT(held, 1024u);
}

TEST(IniMemory, EveryShippedLanguageFile) {
  const fs::path forms(TANDREL_FORMS_DATA);
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(forms)) {
    if (entry.path().extension() != ".txt") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    ExpectAtMostThreeTimes(bytes, entry.path().filename().string());
    ++files;
  }
  EXPECT_GT(files, 20);
}

}  // namespace

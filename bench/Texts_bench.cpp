// Two costs of the language files, each before and after in the same run:
// - a lookup through a 16k-step "%Mapping%" chain: before, the chain was followed again at every
//   lookup with the visited sections in a list; now it is followed once per Load and remembered;
// - the heap a parsed file holds, per MiB of file: before, a map of maps of owned strings (the
//   reference reader of the tests); now the compact reader.
// Memory is counted by a replaced operator new. Usage: texts_bench
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "bench/Measure.h"
#include "tests/support/HeapCounter.h"
#include "tests/support/TextBytes.h"
#include "tests/ui/ini/IniReference.h"
#include "text/LanguageFiles.h"
#include "ui/IniFile.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Utf16Le;
using Clock = std::chrono::steady_clock;

constexpr int kSteps = 16384;
constexpr double kMiB = 1024.0 * 1024.0;

std::string Chain() {
  std::string text = "[MultiPairForm.dll]\r\n%Mapping%=S0\r\n";
  for (int i = 0; i < kSteps - 1; ++i)
    text += "[S" + std::to_string(i) + "]\r\n%Mapping%=S" + std::to_string(i + 1) + "\r\n";
  return text + "[S" + std::to_string(kSteps - 1) + "]\r\nNoDongleExists=end of the chain\r\n";
}

// Lines as the shipped files have them: sections of twenty keys with sentence-long values.
std::string LanguageLike(size_t size) {
  std::string text = "; large language file\r\n";
  for (int s = 0; text.size() < size; ++s) {
    text += "[Section" + std::to_string(s) + "]\r\n";
    for (int k = 0; k < 20; ++k)
      text += "Key" + std::to_string(k) + "=Ein ziemlich langer Text fuer Zeile " +
              std::to_string(k) + "\r\n";
  }
  return text;
}

// The lookup as it was: the chain followed at every call, each step searching a list of the
// sections visited so far.
class ChainBefore {
 public:
  explicit ChainBefore(const std::u16string& text) : reader_(text) {}
  std::u16string GetText(const std::u16string& section, const std::u16string& key) const {
    std::vector<std::u16string> visited;
    std::u16string current = section;
    for (;;) {
      std::u16string identity = ini_reference::Reader::Fold(current);
      if (std::find(visited.begin(), visited.end(), identity) != visited.end()) break;
      visited.push_back(std::move(identity));
      const std::u16string mapped = reader_.ReadString(current, u"%Mapping%", u"@@");
      if (mapped == u"@@") break;
      current = mapped;
    }
    return reader_.ReadString(current, key, u"@@");
  }

 private:
  ini_reference::Reader reader_;
};

void ReportChain() {
  const std::string chain = Chain();
  const fs::path folder = fs::temp_directory_path() / "tandrel_texts_bench";
  fs::create_directories(folder);
  std::ofstream(folder / "English.txt", std::ios::binary) << chain;
  const std::u16string program =
      folder.u16string() + static_cast<char16_t>(fs::path::preferred_separator);
  const std::u16string nowhere =
      program + u"none" + static_cast<char16_t>(fs::path::preferred_separator);

  const ChainBefore before(
      ui::DecodeIniText(std::vector<uint8_t>(chain.begin(), chain.end()), ui::DecodeWindows1252));
  size_t sink = 0;
  const double beforeUs = bench::Measure(
      [&] { sink += before.GetText(u"MultiPairForm.dll", u"NoDongleExists").size(); });

  // The first lookup after a Load follows the chain; the files are parsed before the clock runs.
  double firstUs = 1e300;
  for (int round = 0; round < 7; ++round) {
    text::LanguageFiles texts;
    texts.Load(program, nowhere, u"", 0x0409);
    const auto t0 = Clock::now();
    sink += texts.GetText(u"MultiPairForm.dll", u"NoDongleExists").size();
    firstUs =
        std::min(firstUs, std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
  }
  text::LanguageFiles texts;
  texts.Load(program, nowhere, u"", 0x0409);
  const std::u16string text = texts.GetText(u"MultiPairForm.dll", u"NoDongleExists");
  const double laterUs = bench::Measure(
      [&] { sink += texts.GetText(u"MultiPairForm.dll", u"NoDongleExists").size(); });
  std::error_code ec;
  fs::remove_all(folder, ec);

  std::printf("%d-step %%Mapping%% chain, one lookup (\"%s\")\n", kSteps,
              text == u"end of the chain" ? "found" : "NOT FOUND");
  std::printf("  before: chain followed at every lookup    %12.1f us\n", beforeUs);
  std::printf("  after:  first lookup after Load           %12.1f us   before/after %8.0fx\n",
              firstUs, beforeUs / firstUs);
  std::printf("  after:  every later lookup                %12.1f us   before/after %8.0fx\n",
              laterUs, beforeUs / laterUs);
  if (sink == 0) std::printf("\n");
}

struct Memory {
  size_t held, peak, blocks;
};

template <typename Parse>
Memory Count(Parse parse) {
  const size_t start = heap_counter::Live(), startBlocks = heap_counter::Blocks();
  heap_counter::ResetPeak();
  auto parsed = parse();
  return Memory{heap_counter::Live() - start, heap_counter::Peak() - start,
                heap_counter::Blocks() - startBlocks};
}

void ReportMemory(const char* name, const std::vector<uint8_t>& bytes) {
  // Both readers start from the decoded text, which is not counted as held by either.
  const Memory before =
      Count([&] { return ini_reference::Reader(ui::DecodeIniText(bytes, ui::DecodeWindows1252)); });
  const Memory after = Count([&] { return ui::TIniFile::FromBytes(bytes, ui::DecodeWindows1252); });
  const double mib = bytes.size() / kMiB;
  std::printf(
      "  %-30s before %6.2f MiB in %7zu blocks   after %5.2f MiB in %zu blocks (%3.1fx "
      "less)   peak while parsing: before %6.2f  after %5.2f\n",
      name, before.held / kMiB / mib, before.blocks, after.held / kMiB / mib, after.blocks,
      static_cast<double>(before.held) / after.held, before.peak / kMiB / mib,
      after.peak / kMiB / mib);
}

}  // namespace

int main() {
  ReportChain();
  std::printf("heap held per MiB of file once parsed, and at the most while parsing\n");
  const std::string language = LanguageLike(8 * 1024 * 1024);
  ReportMemory("8 MiB language file, code page", {language.begin(), language.end()});
  ReportMemory("the same in UTF-16", Utf16Le(language));
  const std::string chain = Chain();
  ReportMemory("the 16k-step chain", {chain.begin(), chain.end()});
  // Where the three-times bound ends: lines of key and value of about eight characters.
  std::string shortLines = "[S]\r\n";
  for (int i = 0; shortLines.size() < 8 * 1024 * 1024; ++i)
    shortLines += "K" + std::to_string(i) + "=v\r\n";
  ReportMemory("8 MiB of lines like K123456=v", {shortLines.begin(), shortLines.end()});
  return 0;
}

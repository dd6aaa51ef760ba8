// Reading a language file of 50,000 keys whose names collide under an unkeyed hash, against an
// ordinary file of the same size, in the same run. The reader hashes names under a per-process
// key, so the ratio stays near 1 (before, with the unkeyed hash: 17 s against a few ms natively).
// Usage: hostile_names_bench [keys]
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "bench/Measure.h"
#include "tests/support/CollidingNames.h"
#include "ui/IniFile.h"

namespace {

double MillisecondsToRead(const std::string& text, size_t& keysFound) {
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  keysFound =
      ui::TIniFile::FromBytes(bytes, ui::DecodeWindows1252).KeyNames(u"MultiPairForm.dll").size();
  return bench::Measure([&] { ui::TIniFile::FromBytes(bytes, ui::DecodeWindows1252); }) / 1000.0;
}

}  // namespace

int main(int argc, char** argv) {
  const int keys = argc > 1 ? std::atoi(argv[1]) : 50000;
  const std::string ordinary = testing_support::LanguageFileOfKeys(keys, false);
  const std::string colliding = testing_support::LanguageFileOfKeys(keys, true);
  size_t foundOrdinary = 0, foundColliding = 0;
  const double base = MillisecondsToRead(ordinary, foundOrdinary);
  const double hostile = MillisecondsToRead(colliding, foundColliding);
  std::printf("%d keys, %zu bytes each file (%zu and %zu keys read)\n", keys, ordinary.size(),
              foundOrdinary, foundColliding);
  std::printf("ordinary names               %9.2f ms\n", base);
  std::printf("names colliding (top 10 bits) %8.2f ms   ratio %.2f (goal: below 3)\n", hostile,
              hostile / base);
  return 0;
}

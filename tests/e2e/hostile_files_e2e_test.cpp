// Data files made to stall the start, end to end: a language file of 50,000 keys whose names
// collide under an unkeyed hash, an icon holding a PNG of 16384 x 16384 pixels (1 MB, 1 GiB
// decoded), a sparse language file of 1 GiB. Each start must show the window, as an ordinary
// start does. The times are printed against an ordinary start of the same run, never asserted.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "tests/e2e/LauncherRun_win.h"
#include "tests/support/CollidingNames.h"

namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using e2e::LauncherRun;

const fs::path kSkin = fs::path("Data") / "Tandrel_Program" / "Forms" / "Tandrel_Program";

// Milliseconds from the start to the main window, or -1 when it did not come.
double StartWith(const std::function<void(LauncherRun&)>& prepare, const char* what) {
  LauncherRun run;
  prepare(run);
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_TRUE(run.Start());
  const LauncherRun::Outcome outcome = run.WaitForWindowOrErrorBox(60s);
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - t0;
  EXPECT_EQ(outcome.kind, LauncherRun::Outcome::kWindow)
      << what << ": " << std::string(outcome.message.begin(), outcome.message.end());
  if (outcome.kind != LauncherRun::Outcome::kWindow) return -1;
  PostMessageW(outcome.window, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.WaitForExit(), 0u) << what;
  return took.count();
}

TEST(HostileFiles, EachStartShowsTheWindowAsAnOrdinaryStartDoes) {
  const auto nothing = [](LauncherRun&) {};
  StartWith(nothing, "warm-up");
  const double ordinary = StartWith(nothing, "ordinary");
  const double colliding = StartWith(
      [](LauncherRun& run) {
        run.WriteFile(kSkin / "Texts" / "English.txt",
                      testing_support::LanguageFileOfKeys(50000, true));
      },
      "colliding names");
  const double icon = StartWith(
      [](LauncherRun& run) {
        fs::copy_file(TANDREL_LARGE_ICON, run.Folder() / kSkin / "English" / "Application.ico",
                      fs::copy_options::overwrite_existing);
      },
      "16384 x 16384 icon");
  const double huge = StartWith(
      [](LauncherRun& run) {
        const fs::path file = run.Folder() / kSkin / "Texts" / "English.txt";
        fs::resize_file(file, uint64_t{1} << 30);  // sparse: the rest reads as zeros
      },
      "1 GiB language file");
  std::printf(
      "window after: ordinary start %.0f ms; 50,000 colliding names %.0f ms (%+.0f); "
      "16384 x 16384 PNG icon %.0f ms (%+.0f); 1 GiB English.txt %.0f ms (%+.0f)\n",
      ordinary, colliding, colliding - ordinary, icon, icon - ordinary, huge, huge - ordinary);
}

}  // namespace

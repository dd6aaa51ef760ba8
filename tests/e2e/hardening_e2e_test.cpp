// The launcher against what people and machines do to it, end to end: DLLs planted where it
// must not look for them, broken data trees, many starts at once, an install folder of non-ASCII
// name.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "outside/modules/ModuleWindows.h"
#include "tests/e2e/LauncherRun_win.h"
#include "tests/ui/bitmap/BmpWriter.h"

namespace {
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using bmptest::BmpSpec;
using bmptest::MakeBmp;
using e2e::LauncherRun;

constexpr RECT kCloseButton{345, 5, 365, 25};
constexpr RECT kPairButton{8, 232, 140, 265};
constexpr RECT kRssiButton{209, 271, 341, 304};

const fs::path kForms = fs::path("Data") / "Tandrel_Program" / "Forms";
const fs::path kSkin = kForms / "Tandrel_Program";
const fs::path kProgramTexts = kSkin / "Texts";
const fs::path kSharedTexts = kForms / "Texts";

std::string Bytes(const std::vector<uint8_t>& v) {
  return std::string(v.begin(), v.end());
}

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<fs::path> FilesEndingIn(const fs::path& root, const std::wstring& suffix) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::wstring name = entry.path().filename().wstring();
    if (name.size() >= suffix.size() && name.ends_with(suffix)) found.push_back(entry.path());
  }
  return found;
}

std::wstring Caption(HWND h) {
  wchar_t text[256] = {};
  GetWindowTextW(h, text, 256);
  return text;
}

bool HasRegion(HWND h) {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  const int kind = GetWindowRgn(h, rgn);
  DeleteObject(rgn);
  return kind != ERROR;
}

// ---- Library search.

// A module whose helper DLL lies beside it loads and runs; copies of the helper planted in the
// skin folder (the current directory while the launcher runs), in the folder the launcher was
// started from and beside the executable are never loaded, nor is a DLL the module asks for by
// name only that lies in the first two.
TEST(LibrarySearch, AModuleFindsItsHelperBesideItAndNothingPlantedIsLoaded) {
  LauncherRun run;
  const fs::path plant(TANDREL_PLANT_DIR);
  const fs::path moduleFolder = run.Folder() / kForms / "MultiPairForm";
  const fs::path skin = run.Folder() / kSkin;
  const fs::path start = run.Folder() / "Start";
  fs::create_directories(start);
  const auto copy = [](const fs::path& from, const fs::path& to) {
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  };
  copy(TANDREL_PLANT_MODULE, moduleFolder / "MultiPairForm.dll");
  copy(plant / "beside" / "tandrel_plant_helper.dll", moduleFolder / "tandrel_plant_helper.dll");
  for (const fs::path& folder : {skin, start, run.Folder()})
    copy(plant / "planted" / "tandrel_plant_helper.dll", folder / "tandrel_plant_helper.dll");
  for (const fs::path& folder : {skin, start})
    copy(plant / "planted" / "tandrel_plant_late.dll", folder / "tandrel_plant_late.dll");

  // The planted copies work: loaded the careless way (no search flags, the skin folder current),
  // the module takes the planted helper, and the marker appears.
  {
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryW(skin.wstring().c_str()));
    HMODULE careless = LoadLibraryW((moduleFolder / "MultiPairForm.dll").wstring().c_str());
    HMODULE late = LoadLibraryW(L"tandrel_plant_late.dll");
    SetCurrentDirectoryW(before);
    ASSERT_NE(careless, nullptr);
    ASSERT_NE(late, nullptr);
    FreeLibrary(careless);
    FreeLibrary(late);
    EXPECT_TRUE(fs::exists(skin / "tandrel_plant_helper.dll.loaded"));
    EXPECT_TRUE(fs::exists(skin / "tandrel_plant_late.dll.loaded"));
    for (const fs::path& marker : FilesEndingIn(run.Folder(), L".loaded")) fs::remove(marker);
  }

  run.WriteScenario(e2e::OneReceiverScenario());
  ASSERT_TRUE(run.Start(start));
  HWND main = run.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  PostMessageW(run.ChildAt(main, kPairButton), BM_CLICK, 0, 0);
  // After the multi-pair module the launcher ends.
  EXPECT_EQ(run.WaitForExit(), 0u);
  EXPECT_EQ(ReadAll(moduleFolder / "plant.log"), "helper: beside\nlate: not found\n");
  EXPECT_TRUE(FilesEndingIn(run.Folder(), L".loaded").empty());
}

// ---- Broken data trees: every start ends with the main window, or with the error box carrying a
// message and then status 0, within 10 s.

struct Expect {
  enum { kWindow, kBox } what;
  std::wstring text;  // the caption of the window, or the start of the box's message; any if empty
  std::function<void(LauncherRun&, HWND)> check = nullptr;  // more to look at on the window
};

struct Variant {
  const char* name;
  std::function<void(LauncherRun&)> prepare;
  Expect expect;
};

std::string Utf16(std::u16string_view text) {
  std::string out = "\xFF\xFE";
  for (char16_t c : text) out += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return out;
}

// The program's English language file with another title: a start that reads it shows it.
std::string EnglishTexts(const std::string& title) {
  return "[MultiPairForm.dll]\r\nlb_Title->Caption=" + title + "\r\n";
}

// 64 MiB of language lines in many sections (made once), then what the launcher reads.
std::string HugeFile(const std::string& tail) {
  static const std::string filler = [] {
    std::string text;
    text.reserve(64u << 20);
    for (int s = 0; text.size() < (64u << 20) - 4096; ++s) {
      text += "[Filler" + std::to_string(s) + "]\r\n";
      for (int k = 0; k < 20; ++k)
        text += "Key" + std::to_string(k) + "=A rather long text for line " + std::to_string(k) +
                "\r\n";
    }
    return text;
  }();
  return filler + tail;
}

std::string Chain(int steps) {
  std::string text = "[MultiPairForm.dll]\r\n%Mapping%=S0\r\n";
  for (int i = 0; i < steps; ++i)
    text += "[S" + std::to_string(i) + "]\r\n%Mapping%=S" + std::to_string(i + 1) + "\r\n";
  return text + "[S" + std::to_string(steps) + "]\r\nlb_Title->Caption=End of the chain\r\n";
}

// A background picture whose header claims more than the file holds.
std::string LyingBackground(int width, int height) {
  auto b = MakeBmp(BmpSpec(1, 1, 24).Values({0}));
  b.resize(54);
  bmptest::Put32(b, 18, static_cast<uint32_t>(width));
  bmptest::Put32(b, 22, static_cast<uint32_t>(height));
  return Bytes(b);
}

std::string OneColour(int width, int height) {
  return Bytes(MakeBmp(
      BmpSpec(width, height, 24).Values(std::vector<uint32_t>(size_t(width) * height, 0x4070A0))));
}

// The window keeps its full rectangle: the background control's, which has the picture's size.
void ExpectNoRegion(LauncherRun&, HWND main) {
  Sleep(300);  // the first activation has come and gone
  EXPECT_FALSE(HasRegion(main)) << "the window keeps its full rectangle";
  EXPECT_TRUE(IsWindowVisible(main));
}

// A handle held open by this process, without sharing, while the launcher starts.
struct HeldOpen {
  HANDLE handle = INVALID_HANDLE_VALUE;
  ~HeldOpen() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
HeldOpen held;

void HoldExclusively(const fs::path& p) {
  held.handle = CreateFileW(p.wstring().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held.handle, INVALID_HANDLE_VALUE);
  // Not even this process reads it now.
  std::ifstream again(p, std::ios::binary);
  EXPECT_FALSE(again.is_open());
}

std::vector<Variant> Variants() {
  const std::wstring design = L"lb_Title", english = L"Multi-Link Utility";
  const fs::path background = kSkin / "English" / "MultiPairMain_Background.bmp";
  const fs::path layout = kSkin / "UI_Main.txt";
  const fs::path texts = kProgramTexts / "English.txt";
  const auto write = [](fs::path p, std::string bytes) {
    return [p, bytes](LauncherRun& r) { r.WriteFile(p, bytes); };
  };
  const auto remove = [](fs::path p) { return [p](LauncherRun& r) { r.Remove(p); }; };
  const auto folderInstead = [](fs::path p) {
    return [p](LauncherRun& r) {
      r.Remove(p);
      fs::create_directories(r.Folder() / p / "inside");
    };
  };
  const auto truncated = [](fs::path p, std::string after) {
    return [p, after](LauncherRun& r) {
      const std::string whole = ReadAll(r.Folder() / p);
      const size_t at = whole.find(after);
      ASSERT_NE(at, std::string::npos) << after;
      r.WriteFile(p, whole.substr(0, at + after.size()));
    };
  };
  const std::string english16 = Utf16(u"[MultiPairForm.dll]\r\nlb_Title->Caption=Odd\r\n");
  return {
      {"no data folder", remove("Data"), {Expect::kWindow, design}},
      {"no skin folder", remove(kSkin), {Expect::kWindow, design}},
      {"no text folders",
       [](LauncherRun& r) {
         r.Remove(kProgramTexts);
         r.Remove(kSharedTexts);
       },
       {Expect::kWindow, design}},
      {"no device library folder", remove("DLL"), {Expect::kWindow, english}},
      {"empty language file", write(texts, ""), {Expect::kWindow, design}},
      {"empty layout file", write(layout, ""), {Expect::kWindow, english}},
      {"language file cut inside the title",
       truncated(texts, "lb_Title->Caption=Multi-Li"),
       {Expect::kWindow, L"Multi-Li"}},
      {"layout file cut inside a bounds value",
       truncated(layout, "im_BackgroundImage->Position=rectp,0,"),
       {Expect::kBox, L"'' is not a valid integer value"}},
      // Over the 16 MiB cap: not read, as if missing.
      {"64 MiB language file",
       write(texts, HugeFile(EnglishTexts("From the huge file"))),
       {Expect::kWindow, design}},
      {"64 MiB layout file",
       [](LauncherRun& r) {
         r.WriteFile(kSkin / "UI_Main.txt", HugeFile(ReadAll(r.Folder() / kSkin / "UI_Main.txt")));
       },
       {Expect::kWindow, english}},
      {"UTF-16 language file of an odd byte count",
       write(texts, english16 + "x"),
       {Expect::kWindow, L"Odd"}},
      {"UTF-16 language file with lone surrogates",
       write(texts, Utf16(u"[MultiPairForm.dll]\r\nlb_Title->Caption=A\xD800"
                          u"B\xDC00\r\n")),
       {Expect::kWindow,
        L"A\xD800"
        L"B\xDC00"}},
      {"UTF-16 layout file of an odd byte count with lone surrogates",
       write(layout,
             Utf16(u"[English]\r\nFontName=\xDC00\xD800\r\nlb_Title->Color=rgb,1,2,3\r\n") + "x"),
       {Expect::kWindow, english}},
      {"mapping cycle",
       write(texts,
             "[MultiPairForm.dll]\r\n%Mapping%=A\r\n[A]\r\n%Mapping%=B\r\nlb_Title->Caption="
             "From A\r\n[B]\r\n%Mapping%=a\r\nlb_Title->Caption=From B\r\n"),
       {Expect::kWindow, L"From A"}},
      {"16k-step mapping chain",
       write(texts, Chain(16384)),
       {Expect::kWindow, L"End of the chain"}},
      {"language file of random bytes",
       [](LauncherRun& r) {
         std::string noise(256 * 1024, '\0');
         uint32_t x = 12345;
         for (char& c : noise) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
         r.WriteFile(kProgramTexts / "English.txt", noise);
       },
       {Expect::kWindow, L""}},
      {"background claiming 16384 x 16384 in 54 bytes",
       write(background, LyingBackground(16384, 16384)),
       {Expect::kBox, L"Bitmap image is not valid"}},
      {"background claiming 4096 x 4096 in 54 bytes",
       write(background, LyingBackground(4096, 4096)),
       {Expect::kBox, L"Bitmap image is not valid"}},
      {"run-length background without its end",
       write(background, Bytes(MakeBmp(BmpSpec(4096, 4096, 8, bmptest::kBiRle8)
                                           .Palette({0, 0xFF})
                                           .ColorsUsed(2)
                                           .Rle({255, 1, 0, 0, 255, 1, 0, 0})))),
       {Expect::kBox, L"Bitmap image is not valid"}},
      {"background of one colour",
       write(background, OneColour(375, 345)),
       {Expect::kWindow, english, ExpectNoRegion}},
      {"background of 1 x 1 pixel",
       write(background, OneColour(1, 1)),
       {Expect::kWindow, english,
        [](LauncherRun& r, HWND main) {
          ExpectNoRegion(r, main);
          RECT rect;
          GetWindowRect(main, &rect);
          EXPECT_EQ(rect.right - rect.left, 375) << "the design rectangle, not the picture's";
          EXPECT_EQ(rect.bottom - rect.top, 345);
        }}},
      {"close button strip 3 pixels wide",
       write(kSkin / "English" / "WindowClose.bmp", OneColour(3, 20)),
       {Expect::kWindow, english,
        [](LauncherRun& r, HWND main) {
          HWND close = r.ChildAt(main, kCloseButton);
          ASSERT_NE(close, nullptr) << "the close button keeps its bounds";
          EXPECT_TRUE(IsWindowVisible(close));
          PostMessageW(close, BM_CLICK, 0, 0);
          EXPECT_EQ(r.WaitForExit(10s), 0u) << "and still closes the launcher";
        }}},
      {"a folder for the layout file", folderInstead(layout), {Expect::kWindow, english}},
      {"a folder for the language file", folderInstead(texts), {Expect::kWindow, design}},
      {"a folder for the background",
       folderInstead(background),
       {Expect::kWindow, english, ExpectNoRegion}},
      {"icon that is no icon",
       write(kSkin / "English" / "Application.ico", "not an icon"),
       {Expect::kBox, L"Icon image is not valid"}},
      {"language file held open by another process",
       [texts](LauncherRun& r) { HoldExclusively(r.Folder() / texts); },
       {Expect::kWindow, design}},
      {"background held open by another process",
       [background](LauncherRun& r) { HoldExclusively(r.Folder() / background); },
       {Expect::kBox, L"Cannot open file"}},
      {"icon held open by another process",
       [](LauncherRun& r) { HoldExclusively(r.Folder() / kSkin / "English" / "Application.ico"); },
       {Expect::kBox, L"Cannot open file"}},
  };
}

TEST(BrokenDataTree, EveryStartEndsWithTheWindowOrAnErrorBoxWithAMessage) {
  const std::vector<Variant> variants = Variants();
  ASSERT_GE(variants.size(), 20u);
  for (const Variant& v : variants) {
    SCOPED_TRACE(v.name);
    LauncherRun run;
    v.prepare(run);
    ASSERT_TRUE(run.Start());
    const auto started = std::chrono::steady_clock::now();
    const LauncherRun::Outcome out = run.WaitForWindowOrErrorBox(10s);
    const auto seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const char* shown = out.kind == LauncherRun::Outcome::kWindow     ? "window"
                        : out.kind == LauncherRun::Outcome::kErrorBox ? "error box"
                        : out.kind == LauncherRun::Outcome::kExited   ? "ended"
                                                                      : "nothing within 10 s";
    std::wstring seen = out.message;
    if (out.kind == LauncherRun::Outcome::kWindow) {
      RECT r;
      GetWindowRect(out.window, &r);
      seen = Caption(out.window) + L" (" + std::to_wstring(r.right - r.left) + L" x " +
             std::to_wstring(r.bottom - r.top) + L")";
    }
    std::printf("%-62s %-10s %5.1f s  %ls\n", v.name, shown, seconds, seen.c_str());
    if (out.kind == LauncherRun::Outcome::kErrorBox) {
      EXPECT_EQ(v.expect.what, Expect::kBox);
      EXPECT_FALSE(out.message.empty()) << "an empty error box";
      EXPECT_TRUE(out.message.starts_with(v.expect.text)) << out.message.c_str();
      EXPECT_TRUE(run.HasLoaded(L"comctl32.dll")) << "the box's buttons are common controls 6";
      PostMessageW(out.window, WM_COMMAND, IDOK, 0);
      EXPECT_EQ(run.WaitForExit(10s), 0u);
    } else if (out.kind == LauncherRun::Outcome::kWindow) {
      EXPECT_EQ(v.expect.what, Expect::kWindow);
      if (!v.expect.text.empty()) {
        EXPECT_EQ(Caption(out.window), v.expect.text);
      }
      if (v.expect.check) v.expect.check(run, out.window);
      if (run.Running()) {
        // No error box after the window either.
        EXPECT_EQ(run.WaitForWindowOfClass(L"#32770", 200ms), nullptr);
        PostMessageW(out.window, WM_CLOSE, 0, 0);
        EXPECT_EQ(run.WaitForExit(10s), 0u);
      }
    } else {
      ADD_FAILURE() << shown
                    << (out.kind == LauncherRun::Outcome::kExited
                            ? " with status " + std::to_string(out.exitCode)
                            : std::string());
    }
    if (held.handle != INVALID_HANDLE_VALUE) {
      CloseHandle(held.handle);
      held.handle = INVALID_HANDLE_VALUE;
    }
  }
}

// ---- Twenty starts at once: one window; every other process ends with -1 within 10 s.

TEST(ManyStarts, TwentyAtOnceGiveOneWindowAndNineteenMinusOnes) {
  constexpr int kStarts = 20;
  LauncherRun run;
  LauncherRun::WaitUntilNoInstance();
  const auto started = std::chrono::steady_clock::now();
  std::vector<PROCESS_INFORMATION> processes;
  for (int i = 0; i < kStarts; ++i) {
    auto p = run.StartAnother();
    ASSERT_TRUE(p.has_value()) << i;
    processes.push_back(*p);
  }
  std::vector<HANDLE> handles;
  for (const auto& p : processes) handles.push_back(p.hProcess);

  // The nineteen that lose end on their own; the one that wins stays.
  int ended = 0, minusOne = 0;
  std::vector<bool> done(kStarts, false);
  while (ended < kStarts - 1 && std::chrono::steady_clock::now() - started < 10s) {
    for (int i = 0; i < kStarts; ++i) {
      if (done[i] || WaitForSingleObject(handles[i], 0) != WAIT_OBJECT_0) continue;
      done[i] = true;
      ++ended;
      DWORD code = 0;
      GetExitCodeProcess(handles[i], &code);
      minusOne += static_cast<int>(code) == -1;
    }
    Sleep(20);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("%d starts: %d ended within %.1f s of the first start, %d of them with -1\n", kStarts,
              ended, seconds, minusOne);
  EXPECT_EQ(ended, kStarts - 1);
  EXPECT_EQ(minusOne, kStarts - 1);

  // Exactly one main window among all of them, from the one still running.
  int winner = -1;
  for (int i = 0; i < kStarts; ++i)
    if (!done[i]) winner = i;
  ASSERT_GE(winner, 0);
  Sleep(500);
  struct Count {
    std::vector<DWORD> pids;
    int windows = 0;
    HWND last = nullptr;
  } count;
  for (const auto& p : processes) count.pids.push_back(p.dwProcessId);
  // The window may still be on its way.
  for (int i = 0; i < 200 && count.windows == 0; ++i, Sleep(50)) {
    EnumWindows(
        [](HWND h, LPARAM lp) CALLBACK -> BOOL {
          auto* c = reinterpret_cast<Count*>(lp);
          DWORD pid = 0;
          GetWindowThreadProcessId(h, &pid);
          wchar_t cls[64] = {};
          GetClassNameW(h, cls, 64);
          if (std::find(c->pids.begin(), c->pids.end(), pid) != c->pids.end() &&
              IsWindowVisible(h) && std::wstring(cls) == e2e::kFormClass) {
            ++c->windows;
            c->last = h;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
  }
  EXPECT_EQ(count.windows, 1);
  if (count.last) {
    DWORD pid = 0;
    GetWindowThreadProcessId(count.last, &pid);
    EXPECT_EQ(pid, processes[winner].dwProcessId);
    PostMessageW(count.last, WM_CLOSE, 0, 0);
  }
  EXPECT_EQ(WaitForSingleObject(handles[winner], 10000), WAIT_OBJECT_0);
  for (auto& p : processes) {
    if (WaitForSingleObject(p.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(p.hProcess, 99);
    CloseHandle(p.hThread);
    CloseHandle(p.hProcess);
  }
}

// ---- A non-ASCII install folder: texts, skin, modules and the device library all work there.
// CTest runs this in a session with a UTF-8 character set (see CMakeLists.txt).

TEST(InstallFolder, EverythingWorksFromAFolderOfNonAsciiName) {
  const LANGID lang = GetUserDefaultLangID();
  const wchar_t* title = lang == 0x0407   ? L"Multi-Link-Tool"
                         : lang == 0x0409 ? L"Multi-Link Utility"
                                          : nullptr;
  if (!title) GTEST_SKIP() << "user language " << std::hex << lang;
  LauncherRun run(L"Tandrel \u00DCn\u00EFc\u00F8d\u00E9 \u6E2C\u8A66");
  ASSERT_NE(run.Folder().wstring().find(L"\u6E2C\u8A66"), std::wstring::npos);
  run.WriteScenario(e2e::OneReceiverScenario());
  ASSERT_TRUE(run.Start());
  HWND main = run.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  // Texts.
  EXPECT_EQ(Caption(main), title);
  // Skin: the background's outline.
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  int kind = ERROR;
  for (int i = 0; i < 100 && (kind = GetWindowRgn(main, rgn)) == ERROR; ++i) Sleep(20);
  EXPECT_EQ(kind, COMPLEXREGION);
  EXPECT_FALSE(PtInRegion(rgn, 0, 0));
  EXPECT_TRUE(PtInRegion(rgn, 187, 172));
  DeleteObject(rgn);
  // A module through a button, against the simulator loaded from the same folder.
  PostMessageW(run.ChildAt(main, kRssiButton), BM_CLICK, 0, 0);
  HWND display = run.WaitForWindowOfClass(TANDREL_RSSI_CLASS);
  ASSERT_NE(display, nullptr) << "the signal module did not start";
  Sleep(700);  // a few radio readings
  PostMessageW(display, WM_CLOSE, 0, 0);
  for (int i = 0; i < 100 && IsWindow(display); ++i) Sleep(50);
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.WaitForExit(), 0u);
  // The simulator's trace, written beside it in that folder.
  int initial = 0, radio = 0, unload = 0;
  for (const std::string& line : run.Trace()) {
    initial += line.starts_with("Initial");
    radio += line.find("cmd=0xB600 param=0x0004") != std::string::npos;
    unload += line.starts_with(e2e::kUnloadLine);
  }
  EXPECT_EQ(initial, 1);
  EXPECT_GE(radio, 1);
  EXPECT_EQ(unload, 1);
}

}  // namespace

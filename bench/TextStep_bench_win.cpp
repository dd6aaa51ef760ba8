// Times the launcher's text step (load the four language files, caption and hint of every label,
// the two receiver messages) through the language file manager, and the same lookups done the way
// the platform does them, through GetPrivateProfileStringW on every read. Prints both and their
// ratio. Usage: text_bench [forms folder]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "text/LanguageFiles.h"
#include "ui/Controls.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char16_t* kLabels[] = {u"lb_ForMeeting",   u"lb_ForLife", u"lb_ForMeetingNotes",
                                       u"lb_ProgramTitle", u"lb_Title",   u"lb_Version",
                                       u"lb_ForLifeNotes"};
constexpr const char16_t* kMessages[] = {u"NoDongleExists", u"MultipleDongle"};
constexpr char16_t kSection[] = u"MultiPairForm.dll";

std::wstring W(const std::u16string& s) {
  return std::wstring(s.begin(), s.end());
}
std::u16string Ascii(const std::string& s) {
  return std::u16string(s.begin(), s.end());
}

// The same algorithm as the manager, every read a GetPrivateProfileStringW call on the file.
class ProfileTexts {
 public:
  ProfileTexts(const std::wstring& program, const std::wstring& shared, const std::wstring& lang) {
    for (const std::wstring& path : {program + lang + L".txt", program + L"English.txt",
                                     shared + lang + L".txt", shared + L"English.txt"})
      if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) files_.push_back(path);
  }
  std::wstring GetText(const std::wstring& section, const std::wstring& key) const {
    std::wstring resolved = section;
    for (int depth = 0; depth < 16; ++depth) {
      const std::wstring mapped = First(resolved, L"%Mapping%");
      if (mapped == L"@@") break;
      resolved = mapped;
    }
    return First(resolved, key);
  }

 private:
  std::wstring First(const std::wstring& section, const std::wstring& key) const {
    wchar_t buffer[2048];
    for (const std::wstring& file : files_) {
      GetPrivateProfileStringW(section.c_str(), key.c_str(), L"@@", buffer, 2048, file.c_str());
      if (std::wstring(buffer) != L"@@") return buffer;
    }
    return L"@@";
  }
  std::vector<std::wstring> files_;
};

// One text step of the launcher; returns a checksum so nothing is optimised away.
size_t OwnStep(const std::u16string& program, const std::u16string& shared, uint16_t lang) {
  text::LanguageFiles texts;
  texts.Load(program, shared, u"", lang);
  ui::TForm form(nullptr, u"TandrelProgram");
  for (const char16_t* name : kLabels) new ui::TLabel(&form, name);
  texts.ApplyTexts(form, kSection);
  size_t sum = 0;
  for (size_t i = 0; i < form.ComponentCount(); ++i)
    sum += static_cast<ui::TLabel*>(form.Components(i))->Caption().size();
  for (const char16_t* key : kMessages) sum += texts.GetText(kSection, key).size();
  return sum;
}

size_t ProfileStep(const std::u16string& program, const std::u16string& shared, uint16_t lang) {
  const ProfileTexts texts(W(program), W(shared), W(text::LanguageFiles::LanguageName(lang)));
  size_t sum = 0;
  for (const char16_t* name : kLabels) {
    for (const wchar_t* suffix : {L"->Caption", L"->Hint"}) {
      std::wstring text = texts.GetText(W(kSection), L"TandrelProgram->" + W(name) + suffix);
      if (text == L"@@") text = texts.GetText(W(kSection), W(name) + suffix);
      if (text == L"@@") continue;
      for (size_t at = text.find(L"\\\\\\\\"); at != std::wstring::npos;
           at = text.find(L"\\\\\\\\", at + 1))
        text.replace(at, 4, 1, L'\n');
      if (suffix[2] == L'C') sum += text.size();
    }
  }
  for (const char16_t* key : kMessages) sum += texts.GetText(W(kSection), W(key)).size();
  return sum;
}

template <typename Step>
double MicrosecondsPerStep(Step step, int rounds, size_t& checksum) {
  checksum = step();  // warm: file cache, the platform's profile cache
  const auto start = Clock::now();
  for (int i = 0; i < rounds; ++i) checksum += step();
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / rounds;
}

void Report(const char* name, const std::u16string& program, const std::u16string& shared,
            uint16_t lang, int rounds) {
  size_t own = 0, platform = 0;
  const double ownUs =
      MicrosecondsPerStep([&] { return OwnStep(program, shared, lang); }, rounds, own);
  const double platformUs =
      MicrosecondsPerStep([&] { return ProfileStep(program, shared, lang); }, rounds, platform);
  std::printf("%-28s own %10.1f us   GetPrivateProfileStringW %10.1f us   platform/own %6.1fx%s\n",
              name, ownUs, platformUs, platformUs / ownUs,
              own == platform ? "" : "   (texts differ!)");
}

// A program language file of about 1 MB: many sections of filler keys, the launcher's section
// last, so every lookup crosses the whole file.
void WriteLargeFile(const fs::path& folder) {
  fs::create_directories(folder / "Program");
  fs::create_directories(folder / "Shared");
  std::u16string text = u"; large language file\r\n";
  for (int s = 0; text.size() * 2 < 1000000; ++s) {
    text += u"[Section" + std::u16string(1, u'A' + s % 26) + Ascii(std::to_string(s)) + u"]\r\n";
    for (int k = 0; k < 20; ++k)
      text += u"Key" + Ascii(std::to_string(k)) + u"=Ein ziemlich langer Text für Zeile " +
              Ascii(std::to_string(k)) + u"\r\n";
  }
  text += u"[MultiPairForm.dll]\r\n";
  for (const char16_t* name : kLabels)
    text += std::u16string(name) + u"->Caption=Große Beschriftung\r\n";
  for (const char16_t* key : kMessages) text += std::u16string(key) + u"=Meldung\r\n";
  std::ofstream out(folder / "Program" / "German.txt", std::ios::binary);
  out.write("\xFF\xFE", 2);
  for (char16_t c : text) {
    const char pair[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    out.write(pair, 2);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const fs::path forms = argc > 1 ? fs::path(argv[1]) : fs::path(TANDREL_FORMS_DATA);
  auto folder = [](const fs::path& p) { return p.u16string() + u"\\"; };
  const std::u16string program = folder(forms / "Tandrel_Program" / "Texts");
  const std::u16string shared = folder(forms / "Texts");
  std::printf("text step: load, caption and hint of %zu labels, %zu messages; per step\n",
              std::size(kLabels), std::size(kMessages));
  Report("shipped files, English", program, shared, 0x0409, 50);
  Report("shipped files, German", program, shared, 0x0407, 50);
  Report("shipped files, Japanese", program, shared, 0x0411, 50);

  const fs::path large = fs::temp_directory_path() / "tandrel_text_bench";
  WriteLargeFile(large);
  Report("1 MB program file, German", folder(large / "Program"), folder(large / "Shared"), 0x0407,
         5);
  std::error_code ec;
  fs::remove_all(large, ec);
  return 0;
}

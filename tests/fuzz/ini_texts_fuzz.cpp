// The INI reader and the language manager on any bytes. The input is cut at each 0x1E byte into
// the program language file, the program English file, the shared language file, the shared
// English file (an empty piece is no file) and a section path; its first byte chooses English or
// German. Checked against the reference reader and the lookup written out step by step:
// - the compact reader reads each file as the reference reader does: the same sections and keys,
//   the same values;
// - every "%Mapping%" chain ends where following it step by step ends, asked once or again;
// - every text GetText gives is the one the step-by-step lookup gives, and a label's caption and
//   hint are that text with its line-break tokens replaced.
#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "base/Fields.h"
#include "tests/fuzz/Check.h"
#include "tests/ui/ini/IniReference.h"
#include "text/LanguageFiles.h"
#include "ui/Controls.h"

namespace {

using ini_reference::Reader;
using text::LanguageFiles;

// Bounds on the lookups per input, so that large inputs still run a few hundred times a second.
constexpr size_t kMaxValues = 256, kMaxSections = 24, kMaxKeys = 12;

std::u16string Identity(std::u16string_view name) {
  while (!name.empty() && name.front() == u' ') name.remove_prefix(1);
  while (!name.empty() && name.back() == u' ') name.remove_suffix(1);
  return Reader::Fold(name);
}

std::set<std::u16string> Folded(const std::vector<std::u16string>& names) {
  std::set<std::u16string> out;
  for (const auto& n : names) out.insert(Reader::Fold(n));
  return out;
}

void CompareReaders(const ui::TIniFile& compact, const Reader& reference) {
  const std::vector<std::u16string> sections = compact.SectionNames();
  FUZZ_CHECK(Folded(sections) == Folded(reference.SectionIdentities()));
  size_t values = 0;
  for (const std::u16string& section : sections) {
    // A name cut at a NUL may end in a blank, which a lookup drops: both readers then miss it.
    FUZZ_CHECK(compact.SectionExists(section) == reference.SectionExists(section));
    const std::vector<std::u16string> keys = compact.KeyNames(section);
    FUZZ_CHECK(Folded(keys) == Folded(reference.KeyIdentities(section)));
    for (const std::u16string& key : keys) {
      if (++values > kMaxValues) return;
      FUZZ_CHECK(compact.ReadString(section, key, u"@@") ==
                 reference.ReadString(section, key, u"@@"));
      // Looked-up names lose outer spaces; the default its trailing ones.
      const std::u16string spaced = u" " + section + u" ";
      FUZZ_CHECK(compact.ReadString(spaced, u" " + key, u"d ") ==
                 reference.ReadString(spaced, u" " + key, u"d "));
    }
  }
  FUZZ_CHECK(compact.ReadString(u"\x01no such section", u"k", u"@@") == u"@@");
}

// The lookup spelt out: every step of a chain asks the files from the first again, and the
// visited sections are kept in a list.
class StepByStep {
 public:
  StepByStep(std::vector<const Reader*> readers, std::u16string path)
      : readers_(std::move(readers)), path_(std::move(path)) {}

  std::u16string Resolve(const std::u16string& section) const {
    // Remembered only so that many keys of one section cost one walk here too.
    if (const auto known = walked_.find(section); known != walked_.end()) return known->second;
    return walked_[section] = Walk(section);
  }
  std::u16string Walk(const std::u16string& section) const {
    std::vector<std::u16string> visited;
    std::u16string current = section;
    for (;;) {
      const std::u16string identity = Identity(current);
      if (std::find(visited.begin(), visited.end(), identity) != visited.end()) return current;
      visited.push_back(identity);
      const std::u16string mapped = First(current, LanguageFiles::kMappingKey);
      if (mapped == LanguageFiles::kNotFound) return current;
      current = mapped;
    }
  }
  std::u16string GetText(const std::u16string& section, const std::u16string& key) const {
    std::vector<std::u16string> candidates = {section};
    for (size_t i = 0;; ++i) {
      const std::u16string_view segment = base::ExtractField(path_, u'.', i);
      if (segment.empty()) break;
      candidates.push_back(candidates.back() + u"." + std::u16string(segment));
    }
    for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
      const std::u16string text = First(Resolve(*it), key);
      if (text != LanguageFiles::kNotFound) return text;
    }
    return std::u16string(LanguageFiles::kNotFound);
  }

 private:
  std::u16string First(const std::u16string& section, std::u16string_view key) const {
    for (const Reader* r : readers_) {
      std::u16string v = r->ReadString(section, key, LanguageFiles::kNotFound);
      if (v != LanguageFiles::kNotFound) return v;
    }
    return std::u16string(LanguageFiles::kNotFound);
  }
  std::vector<const Reader*> readers_;
  std::u16string path_;
  mutable std::map<std::u16string, std::u16string> walked_;
};

std::u16string WithLineBreaks(std::u16string text) {
  for (size_t at = text.find(u"\\\\\\\\"); at != std::u16string::npos;
       at = text.find(u"\\\\\\\\", at + 1))
    text.replace(at, 4, 1, u'\n');
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint16_t language = data[0] & 1 ? 0x0407 : 0x0409;
  std::vector<std::vector<uint8_t>> pieces(1);
  for (size_t i = 1; i < size; ++i) {
    if (data[i] == 0x1E && pieces.size() < 5)
      pieces.emplace_back();
    else
      pieces.back().push_back(data[i]);
  }
  pieces.resize(5);

  // The files in the manager's search order: program language, program English, shared
  // language, shared English.
  const char16_t* const names[4] = {u"P/German.txt", u"P/English.txt", u"S/German.txt",
                                    u"S/English.txt"};
  std::vector<LanguageFiles::File> files(4);
  std::vector<Reader> references;
  references.reserve(4);
  for (size_t i = 0; i < 4; ++i) {
    if (pieces[i].empty()) {
      references.emplace_back(u"");
      continue;
    }
    files[i] = std::make_shared<const ui::TIniFile>(
        ui::TIniFile::FromBytes(pieces[i], ui::DecodeWindows1252));
    references.emplace_back(ui::DecodeIniText(pieces[i], ui::DecodeWindows1252));
    CompareReaders(*files[i], references.back());
  }
  std::u16string path = ui::DecodeWindows1252(
      std::string_view(reinterpret_cast<const char*>(pieces[4].data()), pieces[4].size()));
  path.resize(std::min<size_t>(path.size(), 64));

  LanguageFiles texts;
  texts.FileSource = [&](const std::u16string& p) -> LanguageFiles::File {
    for (size_t i = 0; i < 4; ++i)
      if (p == names[i]) return files[i];
    return nullptr;
  };
  FUZZ_CHECK(texts.Load(u"P/", u"S/", path, language) ==
             (language == 0x0407 ? u"German" : u"English"));
  // For English the language readers are the English files.
  std::vector<const Reader*> order;
  for (size_t i : {0u, 1u, 2u, 3u}) {
    const size_t file = language == 0x0407 ? i : i | 1;
    if (files[file]) order.push_back(&references[file]);
  }
  const StepByStep expected(order, path);

  // Sections: the launcher's, every one the files name and every one a mapping names.
  std::vector<std::u16string> sections = {u"MultiPairForm.dll"};
  for (const auto& file : files) {
    if (!file) continue;
    for (const std::u16string& s : file->SectionNames()) {
      sections.push_back(s);
      const std::u16string mapped = file->ReadString(s, LanguageFiles::kMappingKey, u"");
      if (!mapped.empty()) sections.push_back(mapped);
    }
  }
  if (sections.size() > kMaxSections) sections.resize(kMaxSections);

  for (int round = 0; round < 2; ++round) {  // the second round answers from what was learnt
    for (const std::u16string& section : sections) {
      FUZZ_CHECK(texts.ResolveSection(section) == expected.Resolve(section));
      std::vector<std::u16string> keys = {u"k", std::u16string(LanguageFiles::kMappingKey)};
      for (const auto& file : files)
        if (file)
          for (const std::u16string& k : file->KeyNames(expected.Resolve(section)))
            keys.push_back(k);
      if (keys.size() > kMaxKeys) keys.resize(kMaxKeys);
      for (const std::u16string& key : keys)
        FUZZ_CHECK(texts.GetText(section, key) == expected.GetText(section, key));
    }
  }

  // Labels named by the caption keys of the launcher's section, and one of its own.
  ui::TForm form(nullptr, u"TandrelProgram");
  std::vector<ui::TLabel*> labels = {new ui::TLabel(&form, u"lb_Title")};
  for (const auto& file : files) {
    if (!file || labels.size() >= 6) continue;
    for (const std::u16string& key : file->KeyNames(u"MultiPairForm.dll")) {
      const size_t end = key.rfind(u"->Caption");
      if (end == std::u16string::npos || end == 0 || labels.size() >= 6) continue;
      std::u16string name = key.substr(0, end);
      if (name.starts_with(u"TandrelProgram->")) name.erase(0, 16);
      labels.push_back(new ui::TLabel(&form, name));
    }
  }
  for (ui::TLabel* label : labels) {
    label->SetCaption(u"\x01design");
    label->SetHint(u"\x01hint");
  }
  texts.ApplyTexts(form, u"MultiPairForm.dll");
  for (ui::TLabel* label : labels) {
    for (const auto& [suffix, shown, design] :
         {std::tuple{u"->Caption", label->Caption(), u"\x01design"},
          std::tuple{u"->Hint", label->Hint(), u"\x01hint"}}) {
      std::u16string text =
          expected.GetText(u"MultiPairForm.dll", u"TandrelProgram->" + label->Name() + suffix);
      if (text == LanguageFiles::kNotFound)
        text = expected.GetText(u"MultiPairForm.dll", label->Name() + suffix);
      FUZZ_CHECK(shown == (text == LanguageFiles::kNotFound ? std::u16string(design)
                                                            : WithLineBreaks(text)));
      FUZZ_CHECK(shown.find(LanguageFiles::kLineBreakToken) == std::u16string::npos);
    }
  }
  return 0;
}

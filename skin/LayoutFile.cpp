#include "skin/LayoutFile.h"

#include <array>

#include "base/Fields.h"
#include "base/File.h"
#include "text/LanguageFiles.h"
#include "ui/Controls.h"
#include "ui/StrToInt.h"

namespace skin {

namespace {

// The classes whose bounds the file may set, in the order they are tested.
constexpr std::array<std::u16string_view, 16> kBoundsClasses = {
    u"TLabel",      u"TCheckBox", u"TRadioButton", u"TEdit",     u"TComboBox", u"TMemo",
    u"TRichEdit",   u"TShape",    u"TButton",      u"TMenuItem", u"TImage",    u"TPanel",
    u"TWebBrowser", u"TCGauge",   u"TLabeledEdit", u"TGroupBox"};

bool InBoundsList(std::u16string_view className) {
  for (std::u16string_view name : kBoundsClasses) {
    if (name == className) return true;
  }
  return false;
}

// The framework's lower case for the scripts a value is written in: Latin, Greek, Cyrillic and
// full-width Latin capitals. It matters for the keyword and for the text of a conversion error.
char16_t LowerChar(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c + 32;
  if (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) return c + 32;
  if (c >= 0x0391 && c <= 0x03AB && c != 0x03A2) return c + 32;
  if (c >= 0x0410 && c <= 0x042F) return c + 32;
  if (c >= 0x0400 && c <= 0x040F) return c + 80;
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 32;
  return c;
}

std::u16string TrimmedLower(std::u16string_view text) {
  std::u16string s(base::TrimBlanks(text));
  for (char16_t& c : s) c = LowerChar(c);
  return s;
}

int32_t IntField(std::u16string_view value, size_t index) {
  return ui::StrToInt(LayoutFile::ExtractField(value, u',', index));
}

// Sums and differences of the file's numbers wrap at 32 bits, as the framework's integers do.
int32_t Wrapped(uint32_t v) {
  return static_cast<int32_t>(v);
}

}  // namespace

std::u16string LayoutFile::ExtractField(std::u16string_view text, char16_t separator,
                                        size_t index) {
  return std::u16string(base::ExtractField(text, separator, index));
}

ui::TColor LayoutFile::ParseColour(std::u16string_view text) {
  const std::u16string value = TrimmedLower(text);
  if (ExtractField(value, u',', 0) != u"rgb") return ui::clBlack;
  // One after another: the first malformed field is the one the error names.
  const uint32_t r = static_cast<uint32_t>(IntField(value, 1)) & 0xFF;
  const uint32_t g = static_cast<uint32_t>(IntField(value, 2)) & 0xFF;
  const uint32_t b = static_cast<uint32_t>(IntField(value, 3)) & 0xFF;
  return r | g << 8 | b << 16;
}

ui::TRect LayoutFile::ParseRect(std::u16string_view text) {
  ui::TRect rect;
  const std::u16string value = TrimmedLower(text);
  const std::u16string keyword = ExtractField(value, u',', 0);
  if (keyword == u"rectp") {
    rect.Left = IntField(value, 1);
    rect.Top = IntField(value, 2);
    rect.Right = IntField(value, 3);
    rect.Bottom = IntField(value, 4);
  } else if (keyword == u"rectwh") {
    const int32_t x = IntField(value, 1);
    const int32_t y = IntField(value, 2);
    const int32_t w = IntField(value, 3);
    const int32_t h = IntField(value, 4);
    rect.Left = x;
    rect.Top = y;
    // Right and bottom are the last pixel inside, so the control comes out one pixel smaller.
    rect.Right = Wrapped(static_cast<uint32_t>(w) + static_cast<uint32_t>(x) - 1u);
    rect.Bottom = Wrapped(static_cast<uint32_t>(h) + static_cast<uint32_t>(y) - 1u);
  }
  return rect;
}

LayoutFile::LayoutFile(ui::TIniFile file, std::u16string_view languageName,
                       std::u16string_view sectionSuffix)
    : file_(std::move(file)),
      primarySection_(std::u16string(languageName) + std::u16string(sectionSuffix)),
      fallbackSection_(u"English" + std::u16string(sectionSuffix)) {}

LayoutFile LayoutFile::Read(const std::u16string& path, std::u16string_view languageName,
                            std::u16string_view sectionSuffix) {
  if (!base::FileExists(path)) return {};
  return LayoutFile(ui::TIniFile(path), languageName, sectionSuffix);
}

std::u16string LayoutLanguage(uint16_t languageId,
                              const std::function<uint16_t()>& systemLanguage) {
  if (languageId == 0 && systemLanguage) languageId = systemLanguage();
  return text::LanguageFiles::LanguageName(languageId);
}

std::u16string LayoutFile::ReadLayoutValue(std::u16string_view key) const {
  if (!file_) return {};
  std::u16string value = file_->ReadString(primarySection_, key, u"");
  if (!value.empty()) return value;
  return file_->ReadString(fallbackSection_, key, u"");
}

void ApplyLayout(ui::Component& form, const LayoutFile& layout) {
  if (!layout.HasFile()) return;
  const std::u16string& formName = form.Name();
  // The form-qualified key first, the plain one when that gives nothing.
  auto read = [&](const std::u16string& control, std::u16string_view suffix) {
    std::u16string value =
        layout.ReadLayoutValue(formName + u"->" + control + std::u16string(suffix));
    if (value.empty()) value = layout.ReadLayoutValue(control + std::u16string(suffix));
    return value;
  };

  // Every value is applied as soon as it is read, so an error leaves what came before in place.
  for (size_t i = 0; i < form.ComponentCount(); ++i) {
    ui::Component& component = *form.Components(i);
    const std::u16string_view className = component.ClassName();
    const std::u16string& name = component.Name();

    if (InBoundsList(className)) {
      const std::u16string value = read(name, u"->Position");
      // A menu item has no bounds: its value is read and left alone, whatever it holds.
      auto* control = dynamic_cast<ui::TControl*>(&component);
      if (!value.empty() && control) {
        const ui::TRect r = LayoutFile::ParseRect(value);
        control->SetLeft(r.Left);
        control->SetTop(r.Top);
        control->SetWidth(Wrapped(static_cast<uint32_t>(r.Right) - static_cast<uint32_t>(r.Left)));
        control->SetHeight(Wrapped(static_cast<uint32_t>(r.Bottom) - static_cast<uint32_t>(r.Top)));
      }
    }

    // Text controls: the background colour goes on the control, face and text colour on the
    // font that draws its text (a labelled edit's caption label).
    ui::TControl* background = nullptr;
    ui::TControl* text = nullptr;
    if (className == u"TLabel" || className == u"TRadioButton" || className == u"TCheckBox") {
      background = text = dynamic_cast<ui::TControl*>(&component);
    } else if (className == u"TLabeledEdit") {
      if (auto* edit = dynamic_cast<ui::TLabeledEdit*>(&component)) {
        background = edit;
        text = &edit->EditLabel();
      }
    }
    if (!background) continue;

    if (const std::u16string value = read(name, u"->Color"); !value.empty()) {
      background->SetColor(LayoutFile::ParseColour(value));
    }
    if (const std::u16string value = layout.ReadLayoutValue(u"FontName"); !value.empty()) {
      ui::TFont font = text->Font();
      font.Name = value;
      text->SetFont(font);
    }
    if (const std::u16string value = read(name, u"->Font->Color"); !value.empty()) {
      ui::TFont font = text->Font();
      font.Color = LayoutFile::ParseColour(value);
      text->SetFont(font);
    }
  }
}

}  // namespace skin

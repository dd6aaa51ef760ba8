// Prints the main window's design table and the language table as JSON, for the test that holds
// the data generators (written in Python) to them.
#include <cstdio>
#include <string>

#include "base/Utf.h"
#include "skin/MainWindowDesign.h"
#include "text/LanguageNames.h"

namespace {

std::string Quoted(std::u16string_view s) {
  return "\"" + base::Utf16ToUtf8(s) + "\"";  // the tables hold no quote or backslash
}

}  // namespace

int main() {
  using Design = skin::MainWindowDesign;
  std::string out = "{\"form\": {\"name\": " + Quoted(Design::kFormName) +
                    ", \"width\": " + std::to_string(Design::kWidth) +
                    ", \"height\": " + std::to_string(Design::kHeight) +
                    ", \"background\": " + Quoted(Design::kBackground) + "},\n \"controls\": [";
  for (size_t i = 0; i < Design::kControls.size(); ++i) {
    const skin::ControlDesign& c = Design::kControls[i];
    out += std::string(i ? ",\n  " : "\n  ") + "{\"name\": " + Quoted(c.name) +
           ", \"class\": " + Quoted(c.runtimeClass) + ", \"bounds\": [" + std::to_string(c.left) +
           ", " + std::to_string(c.top) + ", " + std::to_string(c.width) + ", " +
           std::to_string(c.height) + "], \"fontHeight\": " + std::to_string(c.fontHeight) +
           ", \"bold\": " + (c.bold ? "true" : "false") +
           ", \"tabOrder\": " + std::to_string(c.tabOrder) + ", \"strip\": " + Quoted(c.strip) +
           "}";
  }
  out += "],\n \"languages\": [";
  for (size_t i = 0; i < text::kLanguageNames.size(); ++i)
    out += std::string(i ? ", " : "") + "[" + Quoted(text::kLanguageNames[i].name) + ", " +
           std::to_string(text::kLanguageNames[i].languageId) + "]";
  out += "]}\n";
  std::fputs(out.c_str(), stdout);
  return 0;
}

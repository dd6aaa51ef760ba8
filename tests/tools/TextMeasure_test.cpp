// The checker's native text measurement against the system's. Under Wine (whose Tahoma is the
// system's here): the committed width table is what the system gives (TANDREL_UPDATE_GOLDEN=1
// writes it anew), and the approximation wraps random texts into the same lines at the same
// widths as the system's own measurement. Natively: what a wrap must do on any platform.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <utility>

#include "skin/MainWindowDesign.h"
#include "tools/check/TextMeasure.h"

#ifdef _WIN32
#include <windows.h>

#include "ui/win/Gdi.h"
#endif

namespace {

ui::TFont Tahoma(int height, bool bold) {
  ui::TFont font;
  font.Name = std::u16string(check::kMeasuredFace);
  font.Height = height;
  font.Bold = bold;
  return font;
}

// The label fonts of the design: the sizes and weights the table holds.
std::set<std::pair<int, bool>> DesignFonts() {
  std::set<std::pair<int, bool>> fonts;
  for (const skin::ControlDesign& c : skin::MainWindowDesign::kControls)
    if (c.runtimeClass == u"TLabel") fonts.emplace(c.fontHeight, c.bold);
  return fonts;
}

TEST(TextMeasure, WrapsBetweenWordsAndKeepsAWordWholeOnItsLine) {
  const ui::TFont font = Tahoma(-12, false);
  const check::TextExtent one = check::ApproximateLabelText(u"Pair new devices", 1000, font);
  EXPECT_EQ(one.lines, 1);
  EXPECT_GT(one.lineHeight, 10);
  // As narrow as its widest word: one word per line; narrower, the word sticks out.
  const int word = check::ApproximateLabelText(u"devices", 1000, font).width;
  EXPECT_EQ(check::ApproximateLabelText(u"Pair new devices", word, font).lines, 3);
  const check::TextExtent over = check::ApproximateLabelText(u"Pair new devices", word - 1, font);
  EXPECT_EQ(over.width, word);
  // Line breaks count; an access-key mark takes no room ("&&" shows one '&').
  EXPECT_EQ(check::ApproximateLabelText(u"a\nb\r\nc", 1000, font).lines, 3);
  EXPECT_EQ(check::ApproximateLabelText(u"&Start", 1000, font).width,
            check::ApproximateLabelText(u"Start", 1000, font).width);
  EXPECT_GT(check::ApproximateLabelText(u"A&&B", 1000, font).width,
            check::ApproximateLabelText(u"AB", 1000, font).width);
  // After a hyphen a line may break; a word with no such place runs over the box's edge.
  const int multi = check::ApproximateLabelText(u"Multi-Link-", 1000, font).width;
  const check::TextExtent hyphen = check::ApproximateLabelText(u"Multi-Link-Programm", multi, font);
  EXPECT_EQ(hyphen.lines, 2);
  EXPECT_EQ(hyphen.width, multi);
  // Chinese and Japanese wrap between characters, one em each.
  EXPECT_EQ(check::ApproximateLabelText(u"\u65E0\u7EBF\u4FE1\u53F7", 24, font).lines, 2);
}

#ifdef _WIN32

std::string Read(const char* file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(TextMeasure, TheTableHoldsTheWidthsOfTheSystemsTahoma) {
  std::string table =
      "// Tahoma's line heights and character widths as the system draws the design's label\n"
      "// fonts, for the checker's native measurement. Made under Wine by TextMeasure_test\n"
      "// (TANDREL_UPDATE_GOLDEN=1); do not edit.\n";
  for (const auto& [height, bold] : DesignFonts()) {
    const ui::win::unique_hdc dc(CreateCompatibleDC(nullptr));
    const ui::win::SelectObjectScope selected(dc.get(), ui::win::FontHandle(Tahoma(height, bold)));
    TEXTMETRICW metrics{};
    ASSERT_TRUE(GetTextMetricsW(dc.get(), &metrics));
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc.get(), LF_FACESIZE, face);
    ASSERT_EQ(std::wstring(face), L"Tahoma") << "the system has no Tahoma (fonts-wine)";
    table += "{" + std::to_string(height) + ", " + (bold ? "true" : "false") + ", " +
             std::to_string(metrics.tmHeight) + ", {";
    const char* separator = "";
    for (const check::CharRange& r : check::kTableRanges) {
      for (UINT c = r.first; c <= r.last; ++c) {
        INT width = 0;
        ASSERT_TRUE(GetCharWidth32W(dc.get(), c, c, &width));
        ASSERT_LT(width, 256);
        table += separator + std::to_string(width);
        separator = ",";
      }
    }
    table += "}},\n";
  }
  if (std::getenv("TANDREL_UPDATE_GOLDEN"))
    std::ofstream(TANDREL_TAHOMA_WIDTHS, std::ios::binary) << table;
  EXPECT_EQ(table, Read(TANDREL_TAHOMA_WIDTHS));
}

// Random texts of Latin, Greek and Cyrillic words, with access keys and line breaks, in random
// boxes: the approximation gives the system's lines and widest line. (Around hyphens, digits and
// other punctuation the system follows fuller line-break rules: TextMeasure.h.)
TEST(TextMeasure, TheApproximationWrapsRandomTextsAsTheSystemDoes) {
  std::mt19937 random(20261208);
  // Each word in one script, as words of real texts are.
  const std::u16string scripts[] = {
      u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ\u00E4\u00F6\u00FC\u00DF\u00E9"
      u"\u00E8\u00E7\u00F1\u0131\u015F",
      u"\u03B1\u03B2\u03B3\u03B4\u03B5\u03BB\u03C0\u03C3\u03C9\u0391\u03A9",
      u"\u0430\u0431\u0432\u0434\u0436\u0449\u044B\u044F\u0416\u042F\u0429"};
  const auto fonts = DesignFonts();
  int cases = 0;
  for (const auto& [height, bold] : fonts) {
    const ui::TFont font = Tahoma(height, bold);
    for (int n = 0; n < 150; ++n, ++cases) {
      std::u16string text;
      const int words = 1 + random() % 20;
      for (int w = 0; w < words; ++w) {
        if (w) text += random() % 12 ? u" " : u"\n";
        if (random() % 10 == 0) text += u'&';
        const std::u16string& letters = scripts[random() % std::size(scripts)];
        const int length = 1 + random() % 12;
        for (int i = 0; i < length; ++i) text += letters[random() % letters.size()];
      }
      const int width = 180 + random() % 170;  // every word fits: see TextMeasure.h
      const check::TextExtent system = check::MeasureLabelText(text, width, font);
      const check::TextExtent approximate = check::ApproximateLabelText(text, width, font);
      std::string shown;  // ASCII, the rest as \uXXXX
      for (const char16_t c : text) {
        char buf[8];
        std::snprintf(buf, sizeof buf, c < 0x80 && c >= 0x20 ? "%c" : "\\u%04x", unsigned(c));
        shown += buf;
      }
      EXPECT_EQ(approximate.lines, system.lines) << width << " " << shown;
      EXPECT_EQ(approximate.width, system.width) << width << " " << shown;
      EXPECT_EQ(approximate.lineHeight, system.lineHeight);
    }
  }
  EXPECT_EQ(cases, 150 * static_cast<int>(fonts.size()));
}

#endif

}  // namespace

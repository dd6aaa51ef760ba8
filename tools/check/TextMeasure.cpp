// Label text measured without the system: the widths of the system's Tahoma, taken once under
// Wine (TahomaWidths.inc), and the system's word wrap (see TextMeasure.h).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/check/TextMeasure.h"

namespace check {

namespace {

constexpr size_t kTableChars = (0x4FF - 0x20 + 1) + (0x206F - 0x2000 + 1);

struct FontWidths {
  int height;  // as TFont::Height
  bool bold;
  int lineHeight;
  uint8_t widths[kTableChars];
};

constexpr FontWidths kTahoma[] = {
#include "tools/check/TahomaWidths.inc"
};

int TableIndex(char16_t c) {
  int base = 0;
  for (const CharRange& r : kTableRanges) {
    if (c >= r.first && c <= r.last) return base + (c - r.first);
    base += r.last - r.first + 1;
  }
  return -1;
}

bool IsWide(char16_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6);
}

// The table of the nearest size of the same weight: the design uses a few sizes only.
const FontWidths& TableFor(const ui::TFont& font) {
  const FontWidths* best = &kTahoma[0];
  for (const FontWidths& t : kTahoma) {
    const auto distance = [&](const FontWidths& f) {
      return std::abs(f.height - font.Height) * 2 + (f.bold != font.Bold);
    };
    if (distance(t) < distance(*best)) best = &t;
  }
  return *best;
}

class Measure {
 public:
  explicit Measure(const ui::TFont& font) : table_(TableFor(font)) {
    // A face the size of an em, where the table's is not the font's own.
    em_ = std::abs(font.Height);
  }
  int Width(char16_t c) const {
    if (const int i = TableIndex(c); i >= 0) return table_.widths[i];
    if (IsWide(c)) return em_;
    return table_.widths[TableIndex(u'n')];
  }
  int LineHeight() const { return table_.lineHeight; }

 private:
  const FontWidths& table_;
  int em_;
};

// The text as drawn: "&x" shows x, "&&" one '&'.
std::u16string WithoutPrefixes(std::u16string_view text) {
  std::u16string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return shown;
}

// Where a line may break besides spaces, as the system's text drawing breaks (measured under
// Wine, character by character): after a hyphen, '!', '?', '/', '|', '}', the dashes and the
// general punctuation's spaces and ellipses; before and after currency, '%', '+', '\\', the
// degree and plus-minus signs, the em dash and the primes.
bool BreaksBefore(char16_t c) {
  return c == u'$' || c == u'%' || c == u'+' || c == u'\\' || (c >= 0xA2 && c <= 0xA5) ||
         c == 0xB0 || c == 0xB1 || c == 0xB4 || c == 0x200D || c == 0x2014 ||
         (c >= 0x2030 && c <= 0x2037) || c == 0x2057;
}
bool BreaksAfter(char16_t c) {
  return BreaksBefore(c) || c == u'!' || c == u'-' || c == u'/' || c == u'?' || c == u'|' ||
         c == u'}' || c == 0xAD || (c >= 0x2000 && c <= 0x200B && c != 0x2007) || c == 0x2010 ||
         (c >= 0x2012 && c <= 0x2013) || (c >= 0x2024 && c <= 0x2029) || c == 0x203C ||
         c == 0x203D || (c >= 0x2046 && c <= 0x2049) || (c >= 0x2056 && c <= 0x205F && c != 0x205C);
}

// One paragraph wrapped as the system wraps it. A line takes the characters that fit and
// breaks at the last place among them where it may (above), or next to a wide character; where
// there is no such place it runs on to the next space, over the box's edge. A line after such a
// break starts at its first non-space character.
void WrapParagraph(std::u16string_view text, int boxWidth, const Measure& measure,
                   TextExtent& extent) {
  const auto space = [&](size_t i) { return text[i] == u' ' || text[i] == u'\t'; };
  const auto width = [&](size_t i) {
    return measure.Width(text[i] == u'\t' ? u' ' : text[i]) * (text[i] == u'\t' ? 8 : 1);
  };
  size_t at = 0;
  for (bool first = true;; first = false) {
    if (!first) {
      while (at < text.size() && space(at)) ++at;
      if (at == text.size()) return;
    }
    ++extent.lines;
    int fitting = 0;
    size_t end = at;
    while (end < text.size() && fitting + width(end) <= boxWidth) fitting += width(end++);
    if (end == text.size()) {
      extent.width = std::max(extent.width, fitting);
      return;
    }
    size_t brk = end;
    while (brk > at &&
           !(space(brk - 1) || text[brk - 1] == u'-' || IsWide(text[brk - 1]) || IsWide(text[brk])))
      --brk;
    if (brk == at) {  // one word wider than the box
      brk = end;
      while (brk < text.size() && !space(brk)) ++brk;
    }
    int line = 0;
    for (size_t i = at; i < brk; ++i) line += width(i);
    extent.width = std::max(extent.width, line);
    at = brk;
  }
}

}  // namespace

TextExtent ApproximateLabelText(std::u16string_view text, int boxWidth, const ui::TFont& font) {
  const Measure measure(font);
  TextExtent extent;
  extent.lineHeight = measure.LineHeight();
  const std::u16string shown = WithoutPrefixes(text);
  // Paragraphs end at CR LF, CR or LF; a break at the very end starts no line.
  for (size_t at = 0; at < shown.size();) {
    size_t end = shown.find_first_of(u"\r\n", at);
    if (end == std::u16string::npos) end = shown.size();
    WrapParagraph(std::u16string_view(shown).substr(at, end - at), boxWidth, measure, extent);
    if (end < shown.size() && shown[end] == u'\r' && end + 1 < shown.size() &&
        shown[end + 1] == u'\n')
      ++end;
    at = end + 1;
  }
  return extent;
}

}  // namespace check

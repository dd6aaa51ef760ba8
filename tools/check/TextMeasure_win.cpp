// Label text measured by the system with the font the launcher draws with (ui::win::FontHandle)
// and the flags of its label painting.
#include <windows.h>

#include "tools/check/TextMeasure.h"
#include "ui/win/Gdi.h"

namespace check {

TextExtent MeasureLabelText(std::u16string_view text, int boxWidth, const ui::TFont& font) {
  TextExtent extent;
  const ui::win::unique_hdc dc(CreateCompatibleDC(nullptr));
  if (!dc) return extent;
  const ui::win::SelectObjectScope selected(dc.get(), ui::win::FontHandle(font));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.get(), &metrics);
  extent.lineHeight = metrics.tmHeight;
  if (text.empty()) return extent;
  RECT r{0, 0, boxWidth, 0};
  DrawTextW(dc.get(), reinterpret_cast<LPCWSTR>(text.data()), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_LEFT | DT_TOP | DT_EXPANDTABS | DT_WORDBREAK);
  extent.width = r.right - r.left;
  extent.lines = metrics.tmHeight > 0 ? (r.bottom - r.top) / metrics.tmHeight : 0;
  return extent;
}

namespace {
int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}
}  // namespace

std::optional<FontFace> LookUpFontFace(std::u16string_view face) {
  FontFace found;
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  if (!face.empty() && face.size() < std::size(lf.lfFaceName)) {
    std::copy(face.begin(), face.end(), lf.lfFaceName);
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &lf, FoundFace, reinterpret_cast<LPARAM>(&found.installed), 0);
    ReleaseDC(nullptr, screen);
  }
  // A substitute name (as "MS Shell Dlg") is not listed, but the system draws in what it stands
  // for: the face the font gets tells.
  ui::TFont font;
  font.Name = std::u16string(face);
  const ui::win::unique_hdc dc(CreateCompatibleDC(nullptr));
  if (dc) {
    const ui::win::SelectObjectScope selected(dc.get(), ui::win::FontHandle(font));
    wchar_t name[LF_FACESIZE] = {};
    const int n = GetTextFaceW(dc.get(), LF_FACESIZE, name);
    if (n > 0)
      found.drawnIn.assign(reinterpret_cast<const char16_t*>(name), wcsnlen(name, LF_FACESIZE));
  }
  return found;
}

}  // namespace check

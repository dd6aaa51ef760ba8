#include "ModuleKit.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace modkit {

std::wstring Wide(const tandrel_char* s) {
  const tandrel_char* text = tandrel_string_text(s);
  return std::wstring(reinterpret_cast<const wchar_t*>(text),
                      static_cast<size_t>(TANDREL_STRING_LENGTH(s)));
}

std::wstring ExpandLineBreaks(std::wstring text) {
  const std::wstring token = L"\\\\\\\\";
  for (size_t at = 0; (at = text.find(token, at)) != std::wstring::npos; at += 2)
    text.replace(at, token.size(), L"\r\n");
  return text;
}

std::wstring Format(std::wstring text, const std::vector<std::wstring>& args) {
  for (size_t i = args.size(); i-- > 0;) {  // "%10" before "%1"
    const std::wstring mark = L"%" + std::to_wstring(i + 1);
    for (size_t at = 0; (at = text.find(mark, at)) != std::wstring::npos; at += args[i].size())
      text.replace(at, mark.size(), args[i]);
  }
  return text;
}

namespace {

std::wstring Trim(const std::wstring& s) {
  const size_t first = s.find_first_not_of(L" \t\r\n");
  if (first == std::wstring::npos) return {};
  return s.substr(first, s.find_last_not_of(L" \t\r\n") - first + 1);
}

}  // namespace

Texts::Texts(const tandrel_char* formsFolder, uint16_t languageId, const tandrel_char* sectionPath,
             const wchar_t* section) {
  if (formsFolder) {
    const std::wstring folder = Wide(formsFolder) + L"Texts\\";
    const char* name = tandrel_language_name(languageId ? languageId : GetUserDefaultLangID());
    const std::wstring language(name, name + std::strlen(name));
    files_.push_back(folder + language + L".txt");
    if (language != L"English") files_.push_back(folder + L"English.txt");
  }
  // The section extended by the path's segments, longest first: S.a.b, S.a, S.
  std::vector<std::wstring> segments;
  const std::wstring path = Wide(sectionPath);
  for (size_t start = 0; start <= path.size();) {
    const size_t dot = std::min(path.find(L'.', start), path.size());
    const std::wstring segment = Trim(path.substr(start, dot - start));
    if (segment.empty()) break;
    segments.push_back(segment);
    start = dot + 1;
  }
  for (size_t k = segments.size() + 1; k-- > 0;) {
    std::wstring candidate = section;
    for (size_t i = 0; i < k; ++i) candidate += L"." + segments[i];
    sections_.push_back(candidate);
  }
}

std::wstring Texts::operator()(const wchar_t* key, const wchar_t* english) const {
  wchar_t value[2048];
  for (const auto& section : sections_) {
    for (const auto& file : files_) {
      GetPrivateProfileStringW(section.c_str(), key, L"@@", value, 2048, file.c_str());
      if (std::wcscmp(value, L"@@") != 0) return ExpandLineBreaks(value);
    }
  }
  return english;
}

DialogFont::DialogFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  font_ = CreateFontIndirectW(&metrics.lfMessageFont);
}

namespace {

BOOL CALLBACK SetChildFont(HWND child, LPARAM font) {
  SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
  return TRUE;
}

}  // namespace

void DialogFont::Apply(HWND window) const {
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  EnumChildWindows(window, SetChildFont, reinterpret_cast<LPARAM>(font_));
}

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

HWND CreateModuleWindow(const wchar_t* cls, WNDPROC proc, const std::wstring& title, int width,
                        int height, HWND owner, void* createParam) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = ThisModule();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = cls;
  RegisterClassExW(&wc);

  RECT r{0, 0, width, height};
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  HWND window = CreateWindowExW(exStyle, cls, title.c_str(), style, 0, 0, r.right - r.left,
                                r.bottom - r.top, owner, nullptr, ThisModule(), createParam);
  if (!window) UnregisterClassW(cls, ThisModule());
  return window;
}

HWND Control(HWND window, const wchar_t* cls, const std::wstring& text, DWORD style, int id, int x,
             int y, int w, int h) {
  return CreateWindowExW(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, window,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
}

void CentreOver(HWND window, HWND owner) {
  RECT outer, self;
  if (!owner || !GetWindowRect(owner, &outer)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &outer, 0);
  GetWindowRect(window, &self);
  const int w = self.right - self.left, h = self.bottom - self.top;
  SetWindowPos(window, nullptr, outer.left + (outer.right - outer.left - w) / 2,
               outer.top + (outer.bottom - outer.top - h) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void RunModal(HWND owner, HWND window, const bool& finished) {
  const bool disableOwner = owner && IsWindow(owner) && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  MSG msg;
  while (!finished && IsWindow(window)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    if (!IsDialogMessageW(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (disableOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
  if (IsWindow(window)) DestroyWindow(window);
}

}  // namespace modkit

#pragma once
// What the three reference modules share: reading the record's strings, their texts from the
// shared language files, the dialog font, and running a window modally over the launcher.
#include <windows.h>

#include <string>
#include <vector>

#include "sdk/tandrel_sdk.h"

namespace modkit {

// A record string field as a wide string ("" for the null field).
std::wstring Wide(const tandrel_char* s);

// Four backslashes in a language file value stand for a line break.
std::wstring ExpandLineBreaks(std::wstring text);

// Replaces "%1", "%2", ... in a text by the arguments, so translations may reorder them.
std::wstring Format(std::wstring text, const std::vector<std::wstring>& args);

// The module's texts from forms folder + "Texts\<Language>.txt", then English.txt, in the
// module's section extended by the record's section path; the built-in English text when no file
// has the key (or the data tree is missing).
class Texts {
 public:
  Texts(const tandrel_char* formsFolder, uint16_t languageId, const tandrel_char* sectionPath,
        const wchar_t* section);
  std::wstring operator()(const wchar_t* key, const wchar_t* english) const;

 private:
  std::vector<std::wstring> files_;
  std::vector<std::wstring> sections_;
};

// The message font of the system, owned.
class DialogFont {
 public:
  DialogFont();
  ~DialogFont() { DeleteObject(font_); }
  DialogFont(const DialogFont&) = delete;
  DialogFont& operator=(const DialogFont&) = delete;
  HFONT get() const { return font_; }
  // Gives the window and all its children this font.
  void Apply(HWND window) const;

 private:
  HFONT font_;
};

// The instance handle of the module this code is linked into.
HINSTANCE ThisModule();

// A child control of window at the given place, in the window's font later (DialogFont::Apply).
// Registers the module's window class and creates its dialog-like window owned by the launcher,
// with a client area of width x height. Null (and the class unregistered) when that fails; the
// caller unregisters the class after its modal loop.
HWND CreateModuleWindow(const wchar_t* cls, WNDPROC proc, const std::wstring& title, int width,
                        int height, HWND owner, void* createParam);

HWND Control(HWND window, const wchar_t* cls, const std::wstring& text, DWORD style, int id, int x,
             int y, int w, int h);

// Centres window over owner (or the screen).
void CentreOver(HWND window, HWND owner);

// Runs window modally over owner: the owner is disabled, window is shown and its messages are
// dispatched (with dialog keys: Tab, Enter, Esc) until `finished` becomes true or the window is
// destroyed from outside; the owner is enabled again before the window is destroyed, so the
// activation returns to it. A WM_QUIT ends the loop and is posted again for the owner's loop.
void RunModal(HWND owner, HWND window, const bool& finished);

}  // namespace modkit

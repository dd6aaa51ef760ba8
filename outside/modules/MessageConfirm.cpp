// MessageConfirm.dll: shows one launcher message with an OK button, modal over the launcher.
#include <windows.h>

#include "ModuleKit.h"

TANDREL_MODULE_EXPORT void TANDREL_MODULE_CALL
return_MessageConfirm(const TandrelMessageConfirmRecord* record) {
  // Nothing to confirm without a text.
  if (!record || !record->messageText) return;
  const modkit::Texts texts(record->formsFolder, record->languageId, record->sectionPath,
                            L"MessageConfirm.dll");
  const std::wstring message = modkit::ExpandLineBreaks(modkit::Wide(record->messageText));
  MessageBoxW(static_cast<HWND>(record->window), message.c_str(),
              texts(L"Caption", L"Tandrel").c_str(), MB_OK | MB_ICONWARNING);
}

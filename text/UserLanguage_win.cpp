#include <windows.h>

#include "text/Class語言檔管理.h"

uint16_t PlatformUserLanguageId() {
  return GetUserDefaultLangID();
}

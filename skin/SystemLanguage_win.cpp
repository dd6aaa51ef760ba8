#include <windows.h>

#include "skin/Class色彩位置字型檔管理.h"

uint16_t PlatformSystemLanguageId() {
  return GetSystemDefaultLangID();
}

#include "skin/Class色彩位置字型檔管理.h"

// No platform language here; tests choose theirs through SystemLanguageSource.
uint16_t PlatformSystemLanguageId() {
  return 0x0409;
}

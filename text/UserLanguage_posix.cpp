#include "text/Class語言檔管理.h"

// No platform language here; tests choose theirs through UserLanguageSource.
uint16_t PlatformUserLanguageId() {
  return 0x0409;
}

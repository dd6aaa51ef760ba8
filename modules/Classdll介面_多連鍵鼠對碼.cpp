#include "modules/ModuleCall.h"

#include "modules/ModuleLibrary.h"

classDLL介面_多連鍵鼠對碼::classDLL介面_多連鍵鼠對碼(const std::u16string& libraryPath)
    : library_(LoadModuleIfPresent(libraryPath)) {}

int32_t classDLL介面_多連鍵鼠對碼::Invoke(DLLSTRUCT_MultiPairForm* record) {
  const auto fn = ModuleExport<int32_t, DLLSTRUCT_MultiPairForm>(library_, "return_MultiPairForm");
  return fn ? fn(record) : 0;
}

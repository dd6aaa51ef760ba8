#include "modules/Classdll介面_訊息確認.h"

#include "modules/ModuleLibrary.h"

classDLL介面_訊息確認::classDLL介面_訊息確認(const std::u16string& libraryPath)
    : library_(LoadModuleIfPresent(libraryPath)) {}

void classDLL介面_訊息確認::Invoke(DLLSTRUCT_MessageConfirm* record) {
  if (const auto fn =
          ModuleExport<void, DLLSTRUCT_MessageConfirm>(library_, "return_MessageConfirm"))
    fn(record);
}

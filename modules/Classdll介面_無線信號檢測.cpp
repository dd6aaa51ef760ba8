#include "modules/Classdll介面_無線信號檢測.h"

#include "modules/ModuleLibrary.h"

classDLL介面_無線信號檢測::classDLL介面_無線信號檢測(const std::u16string& libraryPath)
    : library_(LoadModuleIfPresent(libraryPath)) {}

void classDLL介面_無線信號檢測::Invoke(DLLSTRUCT_RSSIDisplay* record) {
  if (const auto fn = ModuleExport<void, DLLSTRUCT_RSSIDisplay>(library_, "return_RSSIDisplay"))
    fn(record);
}

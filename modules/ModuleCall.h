#pragma once
// The interface to the MultiPairForm module: loads its library when the file exists, calls the
// export "return_MultiPairForm" with the record, and frees the library with the object. One object
// per use.
#include <cstdint>
#include <string>

#include "base/Library.h"
#include "modules/ModuleRecords.h"

class classDLL介面_多連鍵鼠對碼 {
 public:
  explicit classDLL介面_多連鍵鼠對碼(const std::u16string& libraryPath);
  classDLL介面_多連鍵鼠對碼(const classDLL介面_多連鍵鼠對碼&) = delete;
  classDLL介面_多連鍵鼠對碼& operator=(const classDLL介面_多連鍵鼠對碼&) = delete;

  // The export's result; 0 when the library is not loaded or the export is missing.
  // Returns when the module has finished with its window.
  int32_t Invoke(DLLSTRUCT_MultiPairForm* record);

 private:
  base::Library library_;  // freed by the destructor
};

#pragma once
// The interface to the MessageConfirm module: loads its library when the file exists, calls the
// export "return_MessageConfirm" with the record, and frees the library with the object. One object
// per use.
#include <cstdint>
#include <string>

#include "base/Library.h"
#include "modules/ModuleRecords.h"

class classDLL介面_訊息確認 {
 public:
  explicit classDLL介面_訊息確認(const std::u16string& libraryPath);
  classDLL介面_訊息確認(const classDLL介面_訊息確認&) = delete;
  classDLL介面_訊息確認& operator=(const classDLL介面_訊息確認&) = delete;

  // Calls the export once with the record's address, when the library is loaded and has it.
  // Returns when the module has finished with its window.
  void Invoke(DLLSTRUCT_MessageConfirm* record);

 private:
  base::Library library_;  // freed by the destructor
};

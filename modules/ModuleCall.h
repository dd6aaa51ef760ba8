#pragma once
// One call of a feature module: loads its library when the file exists, calls its one export with
// the record, and frees the library with the object. One object per use. Which export a record
// goes to, and what it answers, is fixed by the record type (ModuleExportOf).
#include <cstdint>
#include <string>
#include <type_traits>

#include "base/Library.h"
#include "modules/ModuleLibrary.h"
#include "modules/ModuleRecords.h"

namespace modules {

template <typename Record>
struct ModuleExportOf;

template <>
struct ModuleExportOf<MessageConfirmRecord> {
  static constexpr const char* kName = "return_MessageConfirm";
  using Result = void;
};

template <>
struct ModuleExportOf<MultiPairFormRecord> {
  static constexpr const char* kName = "return_MultiPairForm";
  using Result = int32_t;
};

template <>
struct ModuleExportOf<RSSIDisplayRecord> {
  static constexpr const char* kName = "return_RSSIDisplay";
  using Result = void;
};

template <typename Record>
class ModuleCall {
 public:
  using Result = typename ModuleExportOf<Record>::Result;

  explicit ModuleCall(const std::u16string& libraryPath)
      : library_(LoadModuleIfPresent(libraryPath)) {}
  ModuleCall(const ModuleCall&) = delete;
  ModuleCall& operator=(const ModuleCall&) = delete;

  // Calls the export once with the record's address, when the library is loaded and has it.
  // Returns when the module has finished with its window: the export's result, or 0 (nothing,
  // for a module that answers nothing) when the library or the export is missing.
  Result Invoke(Record* record) {
    const auto fn = ModuleExport<Result, Record>(library_, ModuleExportOf<Record>::kName);
    if constexpr (std::is_void_v<Result>) {
      if (fn) fn(record);
    } else {
      return fn ? fn(record) : Result{};
    }
  }

 private:
  base::Library library_;  // freed by the destructor
};

}  // namespace modules

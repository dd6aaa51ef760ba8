#pragma once
// The shared part of the feature-module interfaces: loading a module only when its file exists,
// calling its one export, and finding a skin file for the current language.
#include <string>
#include <type_traits>

#include "base/Library.h"
#include "sdk/tandrel_sdk.h"

namespace modules {

// Library paths under the forms folder ("MessageConfirm\MessageConfirm.dll" and so on; the
// native build uses its own separator and suffix).
const std::u16string& MessageConfirmLibraryPath();
const std::u16string& MultiPairFormLibraryPath();
const std::u16string& RSSIDisplayLibraryPath();

// The library at path when a file exists there and it loads; otherwise an empty Library. A
// missing or unloadable module is silent: the feature simply does not happen.
base::Library LoadModuleIfPresent(const std::u16string& path);

// The export `name` of a module taking a pointer to Record, looked up now and not kept; null when
// the library is not loaded or has no such export.
template <typename Result, typename Record>
auto ModuleExport(const base::Library& library, const char* name) {
  return library.Function<Result(TANDREL_MODULE_CALL*)(Record*)>(name);
}

// The skin file `fileName` for languageName under skinFolder, else the English one, else "".
// skinFolder ends in a separator; the language name is the language file manager's.
std::u16string ResolveSkinFile(const std::u16string& skinFolder, const std::u16string& languageName,
                               const std::u16string& fileName);

}  // namespace modules

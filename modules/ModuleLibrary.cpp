#include "modules/ModuleLibrary.h"

#include "base/File.h"
#include "base/Platform.h"

namespace modules {

const std::u16string& MessageConfirmLibraryPath() {
  static const std::u16string path =
      base::NativeLibraryPath(TANDREL_U16(TANDREL_MODULE_FILE_MESSAGE_CONFIRM));
  return path;
}

const std::u16string& MultiPairFormLibraryPath() {
  static const std::u16string path =
      base::NativeLibraryPath(TANDREL_U16(TANDREL_MODULE_FILE_MULTI_PAIR_FORM));
  return path;
}

const std::u16string& RSSIDisplayLibraryPath() {
  static const std::u16string path =
      base::NativeLibraryPath(TANDREL_U16(TANDREL_MODULE_FILE_RSSI_DISPLAY));
  return path;
}

base::Library LoadModuleIfPresent(const std::u16string& path) {
  // Checked first so that a missing module never reaches the loader's search path.
  if (!base::FileExists(path)) return {};
  return base::Library::Load(path);
}

std::u16string ResolveSkinFile(const std::u16string& skinFolder, const std::u16string& languageName,
                               const std::u16string& fileName) {
  std::u16string candidate = skinFolder + languageName + base::PathSeparator() + fileName;
  if (base::FileExists(candidate)) return candidate;
  candidate = skinFolder + u"English" + base::PathSeparator() + fileName;
  if (base::FileExists(candidate)) return candidate;
  return {};
}

}  // namespace modules

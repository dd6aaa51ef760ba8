#include "modules/Subdll介面_共用.h"

#include "base/File.h"

namespace {

std::u16string ModulePath(const std::u16string& name) {
#ifdef _WIN32
  return name + kModulePathSeparator + name + u".dll";
#else
  return name + kModulePathSeparator + name + u".so";
#endif
}

}  // namespace

const std::u16string& MessageConfirmLibraryPath() {
  static const std::u16string path = ModulePath(u"MessageConfirm");
  return path;
}

const std::u16string& MultiPairFormLibraryPath() {
  static const std::u16string path = ModulePath(u"MultiPairForm");
  return path;
}

const std::u16string& RSSIDisplayLibraryPath() {
  static const std::u16string path = ModulePath(u"RSSIDisplay");
  return path;
}

base::Library LoadModuleIfPresent(const std::u16string& path) {
  // Checked first so that a missing module never reaches the loader's search path.
  if (!base::FileExists(path)) return {};
  return base::Library::Load(path);
}

std::u16string ResolveSkinFile(const std::u16string& skinFolder, const std::u16string& languageName,
                               const std::u16string& fileName) {
  std::u16string candidate = skinFolder + languageName + kModulePathSeparator + fileName;
  if (base::FileExists(candidate)) return candidate;
  candidate = skinFolder + u"English" + kModulePathSeparator + fileName;
  if (base::FileExists(candidate)) return candidate;
  return {};
}

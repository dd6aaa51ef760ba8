#include "base/Platform.h"
#include "base/Utf.h"
#include "outside/devicemanager/ModuleFiles.h"

namespace devicemanager {

std::u16string ModuleFolder() {
  const std::u16string path = base::ModuleFileName(reinterpret_cast<const void*>(&ModuleFolder));
  const auto slash = path.rfind(u'/');
  return slash == std::u16string::npos ? u"./" : path.substr(0, slash + 1);
}

bool IsAbsolutePath(const std::u16string& path) {
  return !path.empty() && path[0] == u'/';
}

std::FILE* OpenForAppend(const std::u16string& path) {
  return std::fopen(base::Utf16ToUtf8(path).c_str(), "a");
}

void PumpMessages(uint32_t) {}

// Natively the static state goes when the library is closed (tests always close it).
void StateDestroyed() {
  NoteUnload("freed");
}

}  // namespace devicemanager

#include "device/輸出入_dll核心程式.h"

#include "base/File.h"
#include "base/Library.h"
#include "sdk/tandrel_devicemanager.h"

namespace device {
namespace {

// The one handle; GUI thread only, so nothing is locked.
base::Library& Handle() {
  static base::Library library;
  return library;
}

std::u16string& BaseFolderOverride() {
  static std::u16string folder;
  return folder;
}

// A null path would crash a library that reads it; an empty one names no receiver.
const char16_t* PathOrEmpty(const char16_t* path) {
  return path ? path : u"";
}

// Only the low 8 bits of a boolean result are defined.
bool LowByte(uint32_t result) {
  return (result & 0xFF) != 0;
}

ExportLookup& LookupOverride() {
  static ExportLookup lookup = nullptr;
  return lookup;
}

template <typename Fn>
Fn Export(const char* name) {
  if (ExportLookup lookup = LookupOverride()) return reinterpret_cast<Fn>(lookup(name));
  return Handle().Function<Fn>(name);
}

}  // namespace

const std::u16string& DeviceLibraryRelativePath() {
#ifdef _WIN32
  static const std::u16string path = u"DLL\\DLL_MouseDeviceManager.dll";
#else
  static const std::u16string path = u"DLL/DLL_MouseDeviceManager.so";
#endif
  return path;
}

void SetDeviceLibraryBaseFolder(std::u16string folder) {
  BaseFolderOverride() = std::move(folder);
}

void SetExportLookup(ExportLookup lookup) {
  LookupOverride() = lookup;
}

std::u16string DeviceLibraryPath() {
  const std::u16string& base = BaseFolderOverride();
  return (base.empty() ? base::ExecutableFolder() : base) + DeviceLibraryRelativePath();
}

void LoadDeviceLibrary() {
  if (Handle()) return;
  const std::u16string path = DeviceLibraryPath();
  // Outside libraries are loaded only from a file that is there: no search path, no dialog.
  if (!base::FileExists(path)) return;
  Handle() = base::Library::Load(path);
}

void FreeDeviceLibrary() {
  Handle().Free();
}

bool DeviceLibraryLoaded() {
  return static_cast<bool>(Handle());
}

int32_t Initial(void* windowHandle) {
  auto fn = Export<TandrelDmInitialFn>("Initial");
  return fn ? fn(windowHandle) : 0;
}

void CloseQuery() {
  if (auto fn = Export<TandrelDmCloseQueryFn>("CloseQuery")) fn();
}

bool Write(const char16_t* devicePath, uint16_t deviceTag, uint16_t command, uint16_t parameter,
           uint16_t count) {
  auto fn = Export<TandrelDmWriteFn>("Write");
  return fn && LowByte(fn(PathOrEmpty(devicePath), deviceTag, command, parameter, count));
}

bool Read(const char16_t* devicePath, uint16_t deviceTag, uint16_t command, uint16_t parameter,
          uint16_t byteCount, void* buffer) {
  auto fn = Export<TandrelDmReadFn>("Read");
  return fn &&
         LowByte(fn(PathOrEmpty(devicePath), deviceTag, command, parameter, byteCount, buffer));
}

int32_t GetUsbDeviceFromHub(uint16_t vendorId, uint16_t productId, int32_t index,
                            char16_t* pathBuffer, int32_t* deviceTag) {
  auto fn = Export<TandrelDmGetUsbDeviceFromHubFn>("GetUsbDeviceFromHub");
  return fn ? fn(vendorId, productId, index, pathBuffer, deviceTag) : -1;
}

}  // namespace device

#pragma once
// Binding of the device-manager library: one process-wide handle, and one wrapper per export.
// Exports are looked up by name at every call and never kept, so a library that was freed and
// loaded again (or replaced) is always called where it now is. A missing library or export is
// not an error: each wrapper then returns its failure value and calls nothing.
#include <cstdint>
#include <string>

namespace device {

// Room, in UTF-16 code units, of the path buffer handed to GetUsbDeviceFromHub (256 bytes).
inline constexpr int kDevicePathChars = 128;

// Where the library is found below the base folder ("DLL\DLL_MouseDeviceManager.dll" on
// Windows; the native build of the simulator elsewhere).
const std::u16string& DeviceLibraryRelativePath();

// The folder the relative path above is joined to: the executable's folder unless a test points
// the loader elsewhere. An empty folder restores the executable's. Must end with a separator.
void SetDeviceLibraryBaseFolder(std::u16string folder);
std::u16string DeviceLibraryPath();

// Loads the library unless it is loaded; a missing or unloadable file leaves it unloaded.
void LoadDeviceLibrary();
// Frees the library if loaded; the handle is null afterwards in any case.
void FreeDeviceLibrary();
bool DeviceLibraryLoaded();

// Where the wrappers find an export by name. The default asks the loaded library; tests point it
// at in-process stand-ins (a recording fake, the simulator's core) so that the code above the
// wrappers runs without a library file. The lookup is still made by name at every call. Null
// restores the default.
using ExportLookup = void* (*)(const char* name);
void SetExportLookup(ExportLookup lookup);

// The five exports. Failure values: 0, nothing, false, false, -1.
int32_t Initial(void* windowHandle);
void CloseQuery();
// A null devicePath is passed as an empty string: the library never sees a null path.
bool Write(const char16_t* devicePath, uint16_t deviceTag, uint16_t command, uint16_t parameter,
           uint16_t count);
bool Read(const char16_t* devicePath, uint16_t deviceTag, uint16_t command, uint16_t parameter,
          uint16_t byteCount, void* buffer);
// pathBuffer has room for kDevicePathChars code units.
int32_t GetUsbDeviceFromHub(uint16_t vendorId, uint16_t productId, int32_t index,
                            char16_t* pathBuffer, int32_t* deviceTag);

}  // namespace device

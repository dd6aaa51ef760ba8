#pragma once
// Binding of the device-manager library. One DeviceLibrary object owns the loaded library and
// calls its exports; each export is looked up by name at every call and never kept, so a library
// that was freed and loaded again (or replaced) is always called where it now is. A missing
// library or export is not an error: each call then returns its failure value and calls nothing.
#include <cstdint>
#include <memory>
#include <string>

#include "base/Library.h"

namespace device {

// Room, in UTF-16 code units, of the path buffer handed to GetUsbDeviceFromHub (256 bytes).
inline constexpr int kDevicePathChars = 128;

// Where the exports come from: a library file (the launcher), or an in-process stand-in (tests).
class LibrarySource {
 public:
  virtual ~LibrarySource() = default;
  // Loads unless loaded; a source that cannot load stays unloaded, silently.
  virtual void Load() = 0;
  virtual void Free() = 0;
  virtual bool Loaded() const = 0;
  // The export's address by its plain name; null when absent or not loaded.
  virtual void* Export(const char* name) const = 0;
};

// A library file loaded by full path, only when a file is there: no search path, no dialog.
class FileLibrarySource final : public LibrarySource {
 public:
  explicit FileLibrarySource(std::u16string path) : path_(std::move(path)) {}
  void Load() override;
  void Free() override { library_.Free(); }
  bool Loaded() const override { return static_cast<bool>(library_); }
  void* Export(const char* name) const override { return library_.Symbol(name); }
  const std::u16string& Path() const { return path_; }

 private:
  std::u16string path_;
  base::Library library_;
};

// The device-manager library beside the executable: "DLL\DLL_MouseDeviceManager.dll" (the
// native build's own spelling elsewhere).
std::u16string DefaultDeviceLibraryPath();

class DeviceLibrary {
 public:
  explicit DeviceLibrary(std::unique_ptr<LibrarySource> source);
  // The library file beside the executable.
  DeviceLibrary();
  DeviceLibrary(const DeviceLibrary&) = delete;
  DeviceLibrary& operator=(const DeviceLibrary&) = delete;

  // Loads unless loaded; a free still waiting for a call to return is called off.
  void Load();
  // The handle is gone afterwards, or, while a call into the library is in progress (a library
  // that dispatches messages while it waits lets a close run inside its own Read), once the
  // outermost call has returned: the library is never freed under its own code.
  void Free();
  bool Loaded() const { return source_->Loaded(); }
  // A call into the library is in progress (one of the five exports has not returned yet).
  bool InCall() const { return calls_ > 0; }

  // The five exports. Failure values: 0, nothing, false, false, -1.
  int32_t Initial(void* windowHandle) const;
  void CloseQuery() const;
  // A null devicePath is passed as an empty string: the library never sees a null path.
  bool Write(const char16_t* devicePath, uint16_t deviceTag, uint16_t command, uint16_t parameter,
             uint16_t count) const;
  bool Read(const char16_t* devicePath, uint16_t deviceTag, uint16_t command, uint16_t parameter,
            uint16_t byteCount, void* buffer) const;
  // pathBuffer has room for kDevicePathChars code units.
  int32_t GetUsbDeviceFromHub(uint16_t vendorId, uint16_t productId, int32_t index,
                              char16_t* pathBuffer, int32_t* deviceTag) const;

 private:
  template <typename Fn>
  Fn Export(const char* name) const {
    return reinterpret_cast<Fn>(source_->Export(name));
  }
  // Counts a call for its duration; the outermost call carries out a free asked for meanwhile.
  class Call;

  std::unique_ptr<LibrarySource> source_;
  mutable int calls_ = 0;
  mutable bool freeWhenReturned_ = false;
};

// Device access as the main form sees it: opened once the window exists, closed when it is asked
// to close. Open loads the library and hands it the main window's handle through Initial, and
// returns Initial's result (0 when the library or the export is missing). Close tells the
// library through CloseQuery, then frees it; it calls nothing when nothing is loaded.
int32_t OpenDeviceAccess(DeviceLibrary& library, void* windowHandle);
void CloseDeviceAccess(DeviceLibrary& library);

}  // namespace device

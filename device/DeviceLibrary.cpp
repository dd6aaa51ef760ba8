#include "device/DeviceLibrary.h"

#include "base/File.h"
#include "base/Platform.h"
#include "sdk/tandrel_sdk.h"

namespace device {
namespace {

// A null path would crash a library that reads it; an empty one names no receiver.
const char16_t* PathOrEmpty(const char16_t* path) {
  return path ? path : u"";
}

// Only the low 8 bits of a boolean result are defined.
bool LowByte(uint32_t result) {
  return (result & 0xFF) != 0;
}

}  // namespace

void FileLibrarySource::Load() {
  if (library_) return;
  // Outside libraries are loaded only from a file that is there.
  if (!base::FileExists(path_)) return;
  library_ = base::Library::Load(path_);
}

std::u16string DefaultDeviceLibraryPath() {
  return base::ExecutableFolder() + base::NativeLibraryPath(TANDREL_U16(TANDREL_DM_LIBRARY_FILE));
}

class DeviceLibrary::Call {
 public:
  explicit Call(const DeviceLibrary& library) : library_(library) { ++library_.calls_; }
  ~Call() {
    if (--library_.calls_ == 0 && library_.freeWhenReturned_) {
      library_.freeWhenReturned_ = false;
      library_.source_->Free();
    }
  }
  Call(const Call&) = delete;
  Call& operator=(const Call&) = delete;

 private:
  const DeviceLibrary& library_;
};

DeviceLibrary::DeviceLibrary(std::unique_ptr<LibrarySource> source) : source_(std::move(source)) {}

void DeviceLibrary::Load() {
  freeWhenReturned_ = false;
  source_->Load();
}

void DeviceLibrary::Free() {
  if (calls_ > 0) {
    freeWhenReturned_ = true;
    return;
  }
  source_->Free();
}

DeviceLibrary::DeviceLibrary()
    : DeviceLibrary(std::make_unique<FileLibrarySource>(DefaultDeviceLibraryPath())) {}

int32_t DeviceLibrary::Initial(void* windowHandle) const {
  auto fn = Export<TandrelDmInitialFn>(TANDREL_DM_EXPORT_INITIAL);
  const Call call(*this);
  return fn ? fn(windowHandle) : 0;
}

void DeviceLibrary::CloseQuery() const {
  const Call call(*this);
  if (auto fn = Export<TandrelDmCloseQueryFn>(TANDREL_DM_EXPORT_CLOSE_QUERY)) fn();
}

bool DeviceLibrary::Write(const char16_t* devicePath, uint16_t deviceTag, uint16_t command,
                          uint16_t parameter, uint16_t count) const {
  auto fn = Export<TandrelDmWriteFn>(TANDREL_DM_EXPORT_WRITE);
  const Call call(*this);
  return fn && LowByte(fn(PathOrEmpty(devicePath), deviceTag, command, parameter, count));
}

bool DeviceLibrary::Read(const char16_t* devicePath, uint16_t deviceTag, uint16_t command,
                         uint16_t parameter, uint16_t byteCount, void* buffer) const {
  auto fn = Export<TandrelDmReadFn>(TANDREL_DM_EXPORT_READ);
  const Call call(*this);
  return fn &&
         LowByte(fn(PathOrEmpty(devicePath), deviceTag, command, parameter, byteCount, buffer));
}

int32_t DeviceLibrary::GetUsbDeviceFromHub(uint16_t vendorId, uint16_t productId, int32_t index,
                                           char16_t* pathBuffer, int32_t* deviceTag) const {
  auto fn = Export<TandrelDmGetUsbDeviceFromHubFn>(TANDREL_DM_EXPORT_GET_USB_DEVICE_FROM_HUB);
  const Call call(*this);
  return fn ? fn(vendorId, productId, index, pathBuffer, deviceTag) : -1;
}

int32_t OpenDeviceAccess(DeviceLibrary& library, void* windowHandle) {
  library.Load();
  return library.Initial(windowHandle);
}

void CloseDeviceAccess(DeviceLibrary& library) {
  library.CloseQuery();
  library.Free();
}

}  // namespace device

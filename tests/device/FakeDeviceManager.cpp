// A recording stand-in for the device-manager library, for the wrapper tests. It appends one line
// per call to "calls.log" beside itself (so each copy has its own log, readable after the copy was
// freed) and takes its results from "fake.cfg" beside itself, read at every call.
#include <dlfcn.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/Utf.h"
#include "sdk/tandrel_devicemanager.h"

namespace {

std::string Folder() {
  Dl_info info{};
  dladdr(reinterpret_cast<void*>(&Folder), &info);
  const std::string path = info.dli_fname ? info.dli_fname : "./";
  return path.substr(0, path.rfind('/') + 1);
}

void Log(const std::string& line) {
  if (std::FILE* f = std::fopen((Folder() + "calls.log").c_str(), "a")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

// "key=value" lines; the value in C notation (0x for hexadecimal).
uint32_t Config(const char* key, uint32_t fallback) {
  std::FILE* f = std::fopen((Folder() + "fake.cfg").c_str(), "r");
  if (!f) return fallback;
  char line[128];
  uint32_t value = fallback;
  const size_t keyLen = std::strlen(key);
  while (std::fgets(line, sizeof line, f))
    if (std::strncmp(line, key, keyLen) == 0 && line[keyLen] == '=')
      value = static_cast<uint32_t>(std::strtoul(line + keyLen + 1, nullptr, 0));
  std::fclose(f);
  return value;
}

std::string Path(const char16_t* p) {
  return p ? "ptr path=\"" + base::Utf16ToUtf8(p) + "\"" : "null";
}

std::string Format(const char* fmt, auto... args) {
  char buf[256];
  std::snprintf(buf, sizeof buf, fmt, args...);
  return buf;
}

__attribute__((constructor)) void Loaded() {
  Log("load");
}
__attribute__((destructor)) void Unloaded() {
  Log("unload");
}

}  // namespace

extern "C" {

int32_t Initial(void* windowHandle) {
  Log(Format("Initial hwnd=%p", windowHandle));
  return static_cast<int32_t>(Config("initial", 7));
}

void CloseQuery(void) {
  Log("CloseQuery");
}

uint32_t Write(const char16_t* path, uint32_t tag, uint32_t command, uint32_t parameter,
               uint32_t count) {
  Log("Write " + Path(path) +
      Format(" tag=0x%08" PRIX32 " cmd=0x%08" PRIX32 " param=0x%08" PRIX32 " count=%" PRIu32, tag,
             command, parameter, count));
  return Config("write", 1);
}

#ifndef FAKE_WITHOUT_READ
uint32_t Read(const char16_t* path, uint32_t tag, uint32_t command, uint32_t parameter,
              uint32_t byteCount, void* buffer) {
  Log("Read " + Path(path) +
      Format(" tag=0x%08" PRIX32 " cmd=0x%08" PRIX32 " param=0x%08" PRIX32 " bytes=%" PRIu32, tag,
             command, parameter, byteCount));
  auto* bytes = static_cast<uint8_t*>(buffer);
  for (uint32_t i = 0; i < byteCount; ++i) bytes[i] = static_cast<uint8_t>(0xA0 + i);
  return Config("read", 1);
}
#endif

int32_t GetUsbDeviceFromHub(uint32_t vendorId, uint32_t productId, int32_t index,
                            char16_t* pathBuffer, int32_t* tag) {
  Log(Format("GetUsbDeviceFromHub vid=0x%08" PRIX32 " pid=0x%08" PRIX32 " index=%" PRId32, vendorId,
             productId, index));
  std::memcpy(pathBuffer, u"FAKE\\PATH", sizeof u"FAKE\\PATH");
  *tag = 0x12345678;
  return static_cast<int32_t>(Config("count", 1));
}

}  // extern "C"

#pragma once
// In-process stand-ins for the device-manager library, so the code above it runs without a
// library file: a recording fake or the simulator's core. An export left empty is reported
// missing, as GetProcAddress would.
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "device/DeviceLibrary.h"
#include "outside/devicemanager/Simulator.h"
#include "sdk/tandrel_devicemanager.h"

namespace testing_support {

struct Exports {
  std::function<int32_t(void*)> initial;
  std::function<void()> closeQuery;
  std::function<bool(const char16_t*, uint32_t, uint32_t, uint32_t, uint32_t)> write;
  std::function<bool(const char16_t*, uint32_t, uint32_t, uint32_t, uint32_t, void*)> read;
  std::function<int32_t(uint32_t, uint32_t, int32_t, char16_t*, int32_t*)> search;
};

// A device-manager library whose exports are the functions given, behind a DeviceLibrary of its
// own (Devices()). Loaded from the start; freeing it hides the exports until it is loaded again,
// as unloading a library file would. One at a time: the exports' addresses are plain functions
// that call the current object.
class InProcessLibrary {
 public:
  explicit InProcessLibrary(Exports exports)
      : exports_(std::move(exports)), devices_(std::make_unique<Source>(*this)) {
    Current() = this;
  }
  ~InProcessLibrary() { Current() = nullptr; }
  InProcessLibrary(const InProcessLibrary&) = delete;
  InProcessLibrary& operator=(const InProcessLibrary&) = delete;

  device::DeviceLibrary& Devices() { return devices_; }
  // How often each export was asked for by name.
  const std::map<std::string, int>& Lookups() const { return lookups_; }

 private:
  class Source final : public device::LibrarySource {
   public:
    explicit Source(InProcessLibrary& owner) : owner_(owner) {}
    void Load() override { loaded_ = true; }
    void Free() override { loaded_ = false; }
    bool Loaded() const override { return loaded_; }
    void* Export(const char* name) const override {
      return loaded_ ? owner_.Lookup(name) : nullptr;
    }

   private:
    InProcessLibrary& owner_;
    bool loaded_ = true;
  };

  static InProcessLibrary*& Current() {
    static InProcessLibrary* current = nullptr;
    return current;
  }
  static const Exports& E() { return Current()->exports_; }

  static int32_t TANDREL_DM_CALL Initial(void* h) { return E().initial(h); }
  static void TANDREL_DM_CALL CloseQuery() { E().closeQuery(); }
  static uint32_t TANDREL_DM_CALL Write(const tandrel_dm_char* p, uint32_t t, uint32_t c,
                                        uint32_t v, uint32_t n) {
    return E().write(p, t, c, v, n) ? 1 : 0;
  }
  static uint32_t TANDREL_DM_CALL Read(const tandrel_dm_char* p, uint32_t t, uint32_t c, uint32_t v,
                                       uint32_t n, void* b) {
    return E().read(p, t, c, v, n, b) ? 1 : 0;
  }
  static int32_t TANDREL_DM_CALL Search(uint32_t vid, uint32_t pid, int32_t i, tandrel_dm_char* b,
                                        int32_t* tag) {
    return E().search(vid, pid, i, b, tag);
  }

  void* Lookup(const char* name) {
    ++lookups_[name];
    const Exports& e = exports_;
    const std::string n = name;
    if (n == "Initial" && e.initial) return reinterpret_cast<void*>(&Initial);
    if (n == "CloseQuery" && e.closeQuery) return reinterpret_cast<void*>(&CloseQuery);
    if (n == "Write" && e.write) return reinterpret_cast<void*>(&Write);
    if (n == "Read" && e.read) return reinterpret_cast<void*>(&Read);
    if (n == "GetUsbDeviceFromHub" && e.search) return reinterpret_cast<void*>(&Search);
    return nullptr;
  }

  Exports exports_;
  std::map<std::string, int> lookups_;
  device::DeviceLibrary devices_;
};

// A device-manager library that is never there: every call gives its failure value.
struct NoLibrary : device::DeviceLibrary {
  NoLibrary() : device::DeviceLibrary(std::make_unique<device::FileLibrarySource>(u"")) {}
};

// The simulator's core behind all five exports.
inline Exports ExportsOf(devicemanager::Simulator& sim) {
  Exports e;
  e.initial = [&sim](void* h) { return sim.Initial(h); };
  e.closeQuery = [&sim] { sim.CloseQuery(); };
  e.write = [&sim](const char16_t* p, uint32_t t, uint32_t c, uint32_t v, uint32_t n) {
    return sim.Write(p, t, c, v, n);
  };
  e.read = [&sim](const char16_t* p, uint32_t t, uint32_t c, uint32_t v, uint32_t n, void* b) {
    return sim.Read(p, t, c, v, n, b);
  };
  e.search = [&sim](uint32_t vid, uint32_t pid, int32_t i, char16_t* b, int32_t* tag) {
    return sim.GetUsbDeviceFromHub(vid, pid, i, b, tag);
  };
  return e;
}

// One Write or Read as the library saw it.
struct Call {
  bool write = false;
  bool pathGiven = false;  // a pointer, not null
  std::u16string path;
  uint32_t tag = 0, command = 0, parameter = 0, count = 0;
};

// Records every Write and Read; reads words from `memory` (0 where unset) and info pages from
// `pages`; fails the calls `fail` picks (by position from 0), leaving a read's buffer untouched.
struct RecordingFake {
  std::vector<Call> calls;
  std::map<uint16_t, uint16_t> memory;
  std::map<uint16_t, std::vector<uint8_t>> pages;
  std::function<bool(size_t index, const Call&)> fail = [](size_t, const Call&) { return false; };

  Exports MakeExports() {
    Exports e;
    e.write = [this](const char16_t* p, uint32_t t, uint32_t c, uint32_t v, uint32_t n) {
      const Call& call = Record(true, p, t, c, v, n);
      return !fail(calls.size() - 1, call);
    };
    e.read = [this](const char16_t* p, uint32_t t, uint32_t c, uint32_t v, uint32_t n, void* b) {
      const Call& call = Record(false, p, t, c, v, n);
      if (fail(calls.size() - 1, call)) return false;
      auto* bytes = static_cast<uint8_t*>(b);
      for (uint32_t i = 0; i < n; ++i) {
        if (c == 0xB501) {
          const auto it = memory.find(static_cast<uint16_t>(v + i / 2));
          const uint16_t w = it == memory.end() ? 0 : it->second;
          bytes[i] = static_cast<uint8_t>(i % 2 ? w >> 8 : w & 0xFF);
        } else {
          const auto& page = pages[static_cast<uint16_t>(v)];
          bytes[i] = i < page.size() ? page[i] : 0;
        }
      }
      return true;
    };
    return e;
  }

 private:
  const Call& Record(bool write, const char16_t* p, uint32_t t, uint32_t c, uint32_t v,
                     uint32_t n) {
    Call call{write, p != nullptr, p ? std::u16string(p) : std::u16string(), t, c, v, n};
    calls.push_back(call);
    return calls.back();
  }
};

}  // namespace testing_support

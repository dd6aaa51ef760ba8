// The five exports: a thin shell over the simulator. The first call after the library is loaded
// reads the scenario beside the library; the state lives until the library is freed.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <type_traits>

#include "base/File.h"
#include "base/UniqueHandle.h"
#include "outside/devicemanager/ModuleFiles.h"
#include "outside/devicemanager/Simulator.h"
#include "sdk/tandrel_devicemanager.h"

namespace devicemanager {
namespace {

void CloseFile(std::FILE* f) {
  std::fclose(f);
}
using FileHandle = base::unique_handle<std::FILE*, void (*)(std::FILE*), &CloseFile>;

struct Instance {
  FileHandle trace;
  std::unique_ptr<Simulator> simulator;
  std::optional<PumpRule> pump;
  Instance() = default;
  Instance(Instance&&) = default;
  ~Instance() {
    if (trace && simulator) StateDestroyed();
  }
};

Instance Create() {
  const std::u16string folder = ModuleFolder();
  const auto bytes = base::ReadFile(folder + u"DLL_MouseDeviceManager.scenario");
  const Scenario scenario = bytes
                                ? ParseScenario(std::string_view(
                                      reinterpret_cast<const char*>(bytes->data()), bytes->size()))
                                : Scenario{};
  Instance inst;
  if (!scenario.traceFile.empty()) {
    const std::u16string& name = scenario.traceFile;
    inst.trace.reset(OpenForAppend(IsAbsolutePath(name) ? name : folder + name));
  }
  Simulator::TraceSink sink;
  if (std::FILE* f = inst.trace.get()) {
    // Flushed per line, so a test can follow the trace while the program runs.
    sink = [f](std::string_view line) {
      std::fwrite(line.data(), 1, line.size(), f);
      std::fputc('\n', f);
      std::fflush(f);
    };
  }
  inst.simulator = std::make_unique<Simulator>(scenario, std::move(sink));
  inst.pump = scenario.pump;
  return inst;
}

Instance* g_created = nullptr;  // set once the first call has read the scenario

Instance& Created() {
  static Instance instance = Create();
  g_created = &instance;
  return instance;
}

Simulator& Sim() {
  return *Created().simulator;
}

void TraceLine(const char* line) {
  if (std::FILE* f = Created().trace.get()) {
    std::fprintf(f, "%s\n", line);
    std::fflush(f);
  }
}

// As a library that waits for its transfer with a message loop: whatever the caller's windows
// are sent or posted meanwhile is handled inside this call. The trace shows where.
void PumpIfAsked(const char* exportName, uint32_t command) {
  const std::optional<PumpRule>& rule = Created().pump;
  if (!rule) return;
  const auto cmd = static_cast<uint16_t>(command);
  if (std::find(rule->commands.begin(), rule->commands.end(), cmd) == rule->commands.end()) return;
  char line[96];
  std::snprintf(line, sizeof line, "Pump begin %s cmd=0x%04X", exportName, cmd);
  TraceLine(line);
  PumpMessages(rule->milliseconds);
  std::snprintf(line, sizeof line, "Pump end %s cmd=0x%04X", exportName, cmd);
  TraceLine(line);
}

}  // namespace

// The last trace line of a load, so a trace shows what the launcher called before freeing us.
void NoteUnload(const char* how) {
  if (g_created && g_created->trace) {
    std::fprintf(g_created->trace.get(), "Unload %s\n", how);
    std::fflush(g_created->trace.get());
  }
}

}  // namespace devicemanager

using devicemanager::Sim;

extern "C" {

int32_t TANDREL_DM_CALL Initial(void* windowHandle) {
  return Sim().Initial(windowHandle);
}

void TANDREL_DM_CALL CloseQuery(void) {
  Sim().CloseQuery();
}

uint32_t TANDREL_DM_CALL Write(const char16_t* devicePath, uint32_t deviceTag, uint32_t command,
                               uint32_t parameter, uint32_t count) {
  devicemanager::PumpIfAsked("Write", command);
  return Sim().Write(devicePath, deviceTag, command, parameter, count) ? 1 : 0;
}

uint32_t TANDREL_DM_CALL Read(const char16_t* devicePath, uint32_t deviceTag, uint32_t command,
                              uint32_t parameter, uint32_t byteCount, void* buffer) {
  devicemanager::PumpIfAsked("Read", command);
  return Sim().Read(devicePath, deviceTag, command, parameter, byteCount, buffer) ? 1 : 0;
}

int32_t TANDREL_DM_CALL GetUsbDeviceFromHub(uint32_t vendorId, uint32_t productId, int32_t index,
                                            char16_t* pathBuffer, int32_t* deviceTag) {
  return Sim().GetUsbDeviceFromHub(vendorId, productId, index, pathBuffer, deviceTag);
}

}  // extern "C"

// The types above must stay those the launcher calls through.
static_assert(std::is_same_v<decltype(&Initial), TandrelDmInitialFn>);
static_assert(std::is_same_v<decltype(&CloseQuery), TandrelDmCloseQueryFn>);
static_assert(std::is_same_v<decltype(&Write), TandrelDmWriteFn>);
static_assert(std::is_same_v<decltype(&Read), TandrelDmReadFn>);
static_assert(std::is_same_v<decltype(&GetUsbDeviceFromHub), TandrelDmGetUsbDeviceFromHubFn>);

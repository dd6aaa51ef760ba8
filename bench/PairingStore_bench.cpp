// Times the store of a newly paired device (ReceiverRequests::StoreKind1Id) through the launcher's
// layers against what it cannot avoid: the two 100 ms pauses the receiver needs around the block
// write (through the same SleepingClock) and the device library's own time for the same calls
// (the simulator's core, called straight with the recorded sequence: 32 block reads, mode 1, the
// write of 389 calls, mode 2). The launcher's side: the portable request unit, the command set
// and the library binding, which looks each export up by name at every call, as the launcher
// does. Each round uses a fresh simulator, so every store does the same work. Prints medians and
// the ratio. Usage: store_bench [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "device/ReceiverCommands.h"
#include "device/DeviceLibrary.h"
#include "outside/devicemanager/Simulator.h"
#include "sdk/tandrel_devicemanager.h"
#include "device/ReceiverRequests.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kScenario[] = "[receiver]\npath = R1\ntag = 1\nfirmware = 38\n";
constexpr char16_t kPath[] = u"R1";
constexpr uint16_t kTag = 1;
// The device the store writes (kind 1): identifier, attribute, extra byte.
constexpr uint32_t kIdentifier = 0x51234;
constexpr uint8_t kAttribute = 0x85;
constexpr uint8_t kExtra = 0x3C;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// One Write or Read as the library received it.
struct Call {
  bool write;
  uint32_t command, parameter, count;
};

// The simulator behind plain exported functions, found by name as GetProcAddress finds them; the
// calls can be recorded on the way.
devicemanager::Simulator* g_sim = nullptr;
std::vector<Call>* g_record = nullptr;

uint32_t TANDREL_DM_CALL Write(const tandrel_dm_char* p, uint32_t t, uint32_t c, uint32_t v,
                               uint32_t n) {
  if (g_record) g_record->push_back({true, c, v, n});
  return g_sim->Write(p, t, c, v, n) ? 1 : 0;
}
uint32_t TANDREL_DM_CALL Read(const tandrel_dm_char* p, uint32_t t, uint32_t c, uint32_t v,
                              uint32_t n, void* b) {
  if (g_record) g_record->push_back({false, c, v, n});
  return g_sim->Read(p, t, c, v, n, b) ? 1 : 0;
}

class SimulatorExports final : public device::LibrarySource {
 public:
  void Load() override {}
  void Free() override {}
  bool Loaded() const override { return true; }
  void* Export(const char* name) const override {
    if (std::strcmp(name, "Write") == 0) return reinterpret_cast<void*>(&Write);
    if (std::strcmp(name, "Read") == 0) return reinterpret_cast<void*>(&Read);
    return nullptr;
  }
};

std::unique_ptr<devicemanager::Simulator> FreshSimulator() {
  return std::make_unique<devicemanager::Simulator>(devicemanager::ParseScenario(kScenario));
}

// The store through the launcher's layers; false when it did not verify.
bool StoreThroughLauncher(device::PauseClock& clock, Clock::duration& took) {
  auto sim = FreshSimulator();
  g_sim = sim.get();
  device::DeviceLibrary library(std::make_unique<SimulatorExports>());
  device::ReceiverCommands receiver(library);
  receiver.SetDevice(kPath, kTag);
  device::ReceiverRequests requests(library, receiver, clock);
  const auto t0 = Clock::now();
  const bool stored = requests.StoreKind1Id(kIdentifier, kAttribute, kExtra);
  took = Clock::now() - t0;
  g_sim = nullptr;
  return stored;
}

// The same calls straight to a fresh simulator.
Clock::duration LibraryAlone(const std::vector<Call>& calls) {
  auto sim = FreshSimulator();
  uint8_t buffer[256];
  const auto t0 = Clock::now();
  for (const Call& c : calls) {
    if (c.write)
      sim->Write(kPath, kTag, c.command, c.parameter, c.count);
    else
      sim->Read(kPath, kTag, c.command, c.parameter, c.count, buffer);
  }
  return Clock::now() - t0;
}

Clock::duration PausesAlone(device::PauseClock& clock) {
  const auto t0 = Clock::now();
  clock.Pause(device::kModePauseMs);
  clock.Pause(device::kModePauseMs);
  return Clock::now() - t0;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  device::SleepingClock clock;

  // The sequence the store sends, recorded once.
  std::vector<Call> calls;
  g_record = &calls;
  Clock::duration ignored;
  if (!StoreThroughLauncher(clock, ignored)) {
    std::fprintf(stderr, "the store did not verify\n");
    return 1;
  }
  g_record = nullptr;
  const auto writes =
      std::count_if(calls.begin(), calls.end(), [](const Call& c) { return c.write; });

  std::vector<double> store, pauses, library, ratio;
  for (int i = 0; i < rounds; ++i) {
    Clock::duration s;
    if (!StoreThroughLauncher(clock, s)) return 1;
    const Clock::duration p = PausesAlone(clock);
    const Clock::duration l = LibraryAlone(calls);
    store.push_back(Ms(s));
    pauses.push_back(Ms(p));
    library.push_back(Ms(l));
    ratio.push_back(Ms(s) / (Ms(p) + Ms(l)));
  }
  const double s = Median(store), p = Median(pauses), l = Median(library);
  std::printf(
      "pairing store (kind 1), %d rounds, medians; %zu library calls (%td writes, %td "
      "reads)\n",
      rounds, calls.size(), writes, static_cast<std::ptrdiff_t>(calls.size()) - writes);
  std::printf("  through the launcher's layers  %8.2f ms\n", s);
  std::printf("  the two pauses alone           %8.2f ms\n", p);
  std::printf("  the same calls, library alone  %8.2f ms\n", l);
  std::printf("  store / (pauses + library)     %8.3f   (%.2f ms above; per round %.3f)\n",
              s / (p + l), s - (p + l), Median(ratio));
  return 0;
}

// The receiver simulator's scenario parser on any bytes, and a simulator built from what it
// gives. Checked:
// - parsing never fails: every line it does not understand is listed as "line N: ...", and the
//   same text parses the same way twice;
// - every receiver has a path that fits the caller's buffer and a tag;
// - a simulator of that scenario serves the launcher's calls (search, version read, block write,
//   info pages, pairing, radio) without failing in any other way than by its results.
#include <cstdint>
#include <string>
#include <string_view>

#include "outside/devicemanager/Scenario.h"
#include "outside/devicemanager/Simulator.h"
#include "tests/fuzz/Check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace devicemanager;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const Scenario scenario = ParseScenario(text);
  const Scenario again = ParseScenario(text);
  FUZZ_CHECK(scenario.problems == again.problems);
  FUZZ_CHECK(scenario.receivers.size() == again.receivers.size());
  for (const std::string& problem : scenario.problems) FUZZ_CHECK(problem.starts_with("line "));
  for (const ReceiverSetup& r : scenario.receivers) FUZZ_CHECK(r.path.size() < kPathChars);
  if (scenario.receivers.size() > 8) return 0;

  uint64_t now = 0;
  size_t traced = 0;  // every call writes its line
  Simulator sim(
      scenario, [&](std::string_view line) { traced += line.size(); }, [&] { return now; });
  sim.Initial(nullptr);
  for (uint16_t product : {kFamily1ProductId, kFamily1AltProductId, kFamily2ProductId}) {
    for (int32_t index = 0; index < 3; ++index) {
      char16_t path[kPathChars] = {};
      int32_t tag = 0;
      const int32_t found = sim.GetUsbDeviceFromHub(kVendorId, product, index, path, &tag);
      FUZZ_CHECK(path[kPathChars - 1] == 0);
      if (found <= 0) continue;
      uint8_t buffer[512] = {};
      const auto t = static_cast<uint32_t>(tag);
      sim.Read(path, t, kReadWords, kFirmwareWordB, 2, buffer);
      sim.Read(path, t, kReadWords, 0x2700, 256, buffer);
      sim.Write(path, t, kSetMode, 1, 0);
      sim.Write(path, t, kBeginBlock, 0x2700, 0);
      for (uint32_t i = 0; i < 64; ++i) sim.Write(path, t, kStageByte, (i * 7) << 8 | i, 0);
      sim.Write(path, t, kCommit, 0x2700 | 0x8000, 0);
      sim.Write(path, t, kSetMode, 2, 0);
      sim.Write(path, t, kParameter + 1, 1, 0);
      sim.Write(path, t, kPairing, 1, 0);
      for (int step = 0; step < 4; ++step) {
        now += 1500;
        sim.Read(path, t, kReadInfo, kPairingPage, 8, buffer);
        sim.Read(path, t, kReadInfo, kRadioPage, 8, buffer);
      }
      sim.Write(path, t, kPairing, 0, 0);
    }
  }
  sim.CloseQuery();
  return 0;
}

#pragma once
// The receiver requests on a simulated receiver, in-process, with a test's hand on every call the
// library gets: a clock that only counts, and a fault hook that can fail any call or change what
// a read returned.
#include <functional>
#include <string>
#include <vector>

#include "device/InProcessLibrary.h"
#include "outside/devicemanager/Simulator.h"
#include "device/ReceiverRequests.h"

namespace testing_support {

// Pauses advance the simulator's clock instead of the wall clock.
struct CountingClock : device::PauseClock {
  void Pause(uint32_t ms) override {
    pauses.push_back(ms);
    now += ms;
  }
  std::vector<uint32_t> pauses;
  uint64_t now = 0;
};

// A device reported on info page 6 (kind 1, identifier 0x51234, attribute 0x85), a radio page
// with extra byte 0x3C, and a pairing block already holding a kind-2 device (words 116/117).
constexpr char kPairedReceiver[] =
    "[receiver]\npath = R1\ntag = 1\nfirmware = 38\ndrift = 0\n"
    "info.6 = 0D 12 34 00 00 00 20 85\ninfo.4 = 00 2A E7 00 00 3C\n"
    "word.0x2774 = 0x0003\nword.0x2775 = 0xBEEF\nword.0x2778 = 0x5A00\n";

// The simulator behind a library whose calls a test may tamper with: `fault` sees each search,
// Write and Read by its position from 0 in the test's sequence and may fail it (the receiver
// never sees a failed search or write) or, for a read, change what the receiver answered.
class Rig {
 public:
  // Return false to fail the call; `buffer` is the read's data after the receiver answered.
  using Fault = std::function<bool(size_t index, bool write, uint32_t command, uint32_t parameter,
                                   uint8_t* buffer)>;

  explicit Rig(const std::string& scenario)
      : sim_(
            devicemanager::ParseScenario(scenario),
            [this](std::string_view line) { trace.emplace_back(line); },
            [this] { return clock.now; }),
        library_(Wrap(testing_support::ExportsOf(sim_))),
        receiver(library_.Devices()),
        requests(library_.Devices(), receiver, clock) {
    receiver.SetDevice(u"R1", 1);
  }

  device::DeviceLibrary& Devices() { return library_.Devices(); }
  // The simulated receiver "R1" as it is now.
  devicemanager::Receiver& State() { return *sim_.Find(u"R1"); }
  device::ReceiverCommands::Block Table() {
    const auto& memory = State().memory;
    device::ReceiverCommands::Block block;
    for (size_t i = 0; i < block.size(); ++i) block[i] = memory[0x2700 + i];
    return block;
  }
  size_t Count(const std::string& needle) const {
    size_t n = 0;
    for (const auto& line : trace) n += line.find(needle) != std::string::npos;
    return n;
  }

  Fault fault;
  size_t calls = 0;
  std::vector<std::string> trace;
  CountingClock clock;

 private:
  Exports Wrap(Exports e) {
    auto write = e.write;
    auto read = e.read;
    auto search = e.search;
    // A failed search is the library's failure value.
    e.search = [this, search](uint32_t vid, uint32_t pid, int32_t i, char16_t* b, int32_t* tag) {
      const size_t index = calls++;
      if (fault && !fault(index, true, 0, pid, nullptr)) return -1;
      return search(vid, pid, i, b, tag);
    };
    e.write = [this, write](const char16_t* p, uint32_t t, uint32_t c, uint32_t v, uint32_t n) {
      const size_t index = calls++;
      if (fault && !fault(index, true, c, v, nullptr)) return false;
      return write(p, t, c, v, n);
    };
    e.read = [this, read](const char16_t* p, uint32_t t, uint32_t c, uint32_t v, uint32_t n,
                          void* b) {
      const size_t index = calls++;
      if (!read(p, t, c, v, n, b)) return false;
      return !fault || fault(index, false, c, v, static_cast<uint8_t*>(b));
    };
    return e;
  }

  devicemanager::Simulator sim_;
  InProcessLibrary library_;

 public:
  device::ReceiverCommands receiver;
  device::ReceiverRequests requests;
};

}  // namespace testing_support

#include "outside/devicemanager/Simulator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "base/Utf.h"

namespace devicemanager {
namespace {

std::string Format(const char* fmt, auto... args) {
  char buf[256];
  std::snprintf(buf, sizeof buf, fmt, args...);
  return buf;
}

std::string Hex(const uint8_t* bytes, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) out += Format(i ? " %02X" : "%02X", bytes[i]);
  return out;
}

uint64_t SteadyMilliseconds() {
  using namespace std::chrono;
  return static_cast<uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// A long pause is caught up with in at most this many drift steps.
constexpr uint64_t kMaxDriftCatchUp = 10000;
// How far the signal level wanders from where the scenario put it.
constexpr int kSignalSwing = 20;

}  // namespace

Receiver::Receiver(const ReceiverSetup& s)
    : setup(s),
      memory(kMemoryWords, 0xFFFF),
      infoPages(s.infoPages),
      signal(s.signal),
      channel(s.channel),
      random(s.seed),
      failCounts(s.failures.size(), 0) {
  for (const auto& [address, value] : setup.words) memory[address % kMemoryWords] = value;
}

std::string QuotedPath(const char16_t* path) {
  if (!path) return "(null)";
  return "\"" + base::Utf16ToUtf8(path) + "\"";
}

Simulator::Simulator(const Scenario& scenario, TraceSink trace, Clock clock)
    : initialResult_(scenario.initialResult),
      trace_(std::move(trace)),
      clock_(clock ? std::move(clock) : Clock(&SteadyMilliseconds)),
      loadedAt_(clock_()) {
  for (const auto& setup : scenario.receivers) receivers_.emplace_back(setup);
  for (const auto& p : scenario.problems) Trace("# scenario " + p);
}

void Simulator::Trace(const std::string& line) const {
  if (trace_) trace_(line);
}

Receiver* Simulator::Find(const char16_t* path) {
  if (!path || !*path) return nullptr;
  for (auto& r : receivers_)
    if (r.setup.path == path) return &r;
  return nullptr;
}

bool Simulator::Attached(Receiver& r) {
  if (!r.unplugged && r.setup.unplugAfterMs && clock_() - loadedAt_ >= *r.setup.unplugAfterMs)
    r.unplugged = true;
  if (!r.unplugged && r.setup.unplugAfterCalls && r.calls >= *r.setup.unplugAfterCalls)
    r.unplugged = true;
  return !r.unplugged;
}

const char* Simulator::Admit(Receiver& r, uint16_t command, uint16_t parameter) {
  if (!Attached(r)) return " (unplugged)";
  ++r.calls;
  bool fail = false;
  for (size_t i = 0; i < r.setup.failures.size(); ++i) {
    const FailRule& rule = r.setup.failures[i];
    if (rule.command != command || (rule.parameter && *rule.parameter != parameter)) continue;
    const uint32_t n = ++r.failCounts[i];
    if (std::find(rule.occurrences.begin(), rule.occurrences.end(), n) != rule.occurrences.end())
      fail = true;
  }
  return fail ? " (fault)" : "";
}

int32_t Simulator::Initial(void* windowHandle) {
  Trace(Format("Initial hwnd=0x%llx -> %d",
               static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(windowHandle)),
               initialResult_));
  return initialResult_;
}

void Simulator::CloseQuery() {
  Trace("CloseQuery");
}

bool Simulator::Write(const char16_t* path, uint32_t tag, uint32_t command, uint32_t parameter,
                      uint32_t count) {
  const uint16_t cmd = command & 0xFFFF, param = parameter & 0xFFFF;
  Receiver* r = Find(path);
  const char* why = r ? Admit(*r, cmd, param) : "";
  const bool ok = r && !*why && Execute(*r, cmd, param);
  Trace("Write path=" + QuotedPath(path) +
        Format(" tag=0x%04X cmd=0x%04X param=0x%04X count=%u -> %d%s", tag & 0xFFFF, cmd, param,
               count & 0xFFFF, ok ? 1 : 0, why));
  return ok;
}

bool Simulator::Read(const char16_t* path, uint32_t tag, uint32_t command, uint32_t parameter,
                     uint32_t byteCount, void* buffer) {
  const uint16_t cmd = command & 0xFFFF, param = parameter & 0xFFFF, n = byteCount & 0xFFFF;
  Receiver* r = Find(path);
  auto* bytes = static_cast<uint8_t*>(buffer);
  const char* why = r ? Admit(*r, cmd, param) : "";
  const bool ok = r && !*why && bytes && Fetch(*r, cmd, param, n, bytes);
  std::string line = "Read path=" + QuotedPath(path) +
                     Format(" tag=0x%04X cmd=0x%04X param=0x%04X bytes=%u -> %d%s", tag & 0xFFFF,
                            cmd, param, n, ok ? 1 : 0, why);
  if (ok && n) line += " data=" + Hex(bytes, n);
  Trace(line);
  return ok;
}

int32_t Simulator::GetUsbDeviceFromHub(uint32_t vendorId, uint32_t productId, int32_t index,
                                       char16_t* pathBuffer, int32_t* tag) {
  const uint16_t vid = vendorId & 0xFFFF, pid = productId & 0xFFFF;
  std::vector<const Receiver*> found;
  for (auto& r : receivers_)
    if (r.setup.vendorId == vid && r.setup.productId == pid && Attached(r)) found.push_back(&r);
  const auto count = static_cast<int32_t>(found.size());
  std::string line =
      Format("GetUsbDeviceFromHub vid=0x%04X pid=0x%04X index=%d -> %d", vid, pid, index, count);
  // The receiver at the index (when there is one) is handed back; with several found the caller
  // treats path and tag as meaningless anyway.
  if (index >= 0 && index < count) {
    const Receiver& r = *found[static_cast<size_t>(index)];
    if (pathBuffer) {
      const size_t n = std::min<size_t>(r.setup.path.size(), kPathChars - 1);
      std::memcpy(pathBuffer, r.setup.path.data(), n * sizeof(char16_t));
      pathBuffer[n] = u'\0';
    }
    if (tag) *tag = r.setup.tag;
    line += " path=" + QuotedPath(r.setup.path.c_str()) + Format(" tag=0x%04X", r.setup.tag);
  }
  Trace(line);
  return count;
}

bool Simulator::Execute(Receiver& r, uint16_t command, uint16_t parameter) {
  if ((command & 0xFF00) == kParameter) {
    r.parameters[command & 0xFF] = parameter;
    return true;
  }
  switch (command) {
    case kStageByte: {
      const uint8_t offset = parameter & 0xFF;
      if (offset >= r.staging.size()) return false;
      r.staging[offset] = static_cast<uint8_t>(parameter >> 8);
      return true;
    }
    case kCommit: {
      if (!(parameter & 0x8000)) return false;
      const uint32_t address = parameter & 0x7FFF;
      // Like flash: only the erased block that was opened takes chunks.
      if (!r.blockOpen || address < r.blockAddress ||
          address + kStagingWords > r.blockAddress + kBlockWords)
        return false;
      for (uint32_t i = 0; i < kStagingWords; ++i) {
        uint16_t word = static_cast<uint16_t>(r.staging[2 * i] | r.staging[2 * i + 1] << 8);
        if (const auto bad = r.setup.corrupt.find(static_cast<uint16_t>(address + i));
            bad != r.setup.corrupt.end())
          word ^= bad->second;
        r.memory[address + i] = word;
      }
      return true;
    }
    case kBeginBlock:
      if (parameter + kBlockWords > kMemoryWords) return false;
      r.blockOpen = true;
      r.blockAddress = parameter;
      std::fill_n(r.memory.begin() + parameter, kBlockWords, uint16_t{0xFFFF});
      return true;
    case kSetMode:
      r.mode = parameter;
      return true;
    case kPairing:
      r.pairing = parameter != 0;
      // Each start runs the scenario's pairing schedule from its beginning.
      if (r.pairing) {
        r.pairingSince = clock_();
        r.nextPairing = 0;
      }
      return true;
    default:
      return false;
  }
}

bool Simulator::Fetch(Receiver& r, uint16_t command, uint16_t parameter, uint16_t byteCount,
                      uint8_t* buffer) {
  switch (command) {
    case kReadWords:
      if (parameter + (byteCount + 1u) / 2 > kMemoryWords) return false;
      // Little-endian words; an odd count ends with the low byte of the last word.
      for (size_t i = 0; i < byteCount; ++i) {
        const uint16_t w = r.memory[parameter + i / 2];
        buffer[i] = static_cast<uint8_t>(i % 2 ? w >> 8 : w & 0xFF);
      }
      return true;
    case kReadInfo: {
      InfoPage page{};
      if (parameter == kPairingPage) {
        page = PairingPage(r);
      } else if (parameter == kRadioPage) {
        page = RadioPage(r);
      } else if (const auto it = r.infoPages.find(parameter); it != r.infoPages.end()) {
        page = it->second;
      }
      for (size_t i = 0; i < byteCount; ++i) buffer[i] = i < page.size() ? page[i] : 0;
      return true;
    }
    default:
      return false;
  }
}

InfoPage Simulator::PairingPage(Receiver& r) {
  const auto base = r.infoPages.find(kPairingPage);
  InfoPage page = base != r.infoPages.end() ? base->second : InfoPage{};
  const auto& schedule = r.setup.pairing;
  if (!r.pairing || r.nextPairing >= schedule.size() ||
      clock_() - r.pairingSince < schedule[r.nextPairing].afterMs)
    return page;
  // A newly paired device is reported once: the read that sees it takes it.
  const PairingEvent& e = schedule[r.nextPairing++];
  const auto high = static_cast<uint8_t>((e.identifier >> 16) & 0x07);
  const auto mid = static_cast<uint8_t>(e.identifier >> 8),
             low = static_cast<uint8_t>(e.identifier);
  page[6] &= static_cast<uint8_t>(~0x60);
  if (e.kind == 1) {
    page[0] = high, page[1] = mid, page[2] = low;
    page[6] |= 0x20;
    page[7] = e.attribute;
  } else {
    page[3] = high, page[4] = mid, page[5] = low;
    page[6] |= 0x40;
  }
  r.extraKnown = true;
  r.extra = e.extra;
  return page;
}

InfoPage Simulator::RadioPage(Receiver& r) {
  Drift(r);
  const auto base = r.infoPages.find(kRadioPage);
  InfoPage page = base != r.infoPages.end() ? base->second : InfoPage{};
  page[1] = r.signal;
  page[2] = static_cast<uint8_t>((page[2] & 0xE0) | (r.channel & 0x1F));
  if (r.extraKnown) page[5] = r.extra;
  return page;
}

void Simulator::Drift(Receiver& r) {
  if (r.setup.driftMs == 0) return;
  const uint64_t due = (clock_() - loadedAt_) / r.setup.driftMs;
  if (due > r.driftSteps + kMaxDriftCatchUp) r.driftSteps = due - kMaxDriftCatchUp;
  const int low = std::max(0, r.setup.signal - kSignalSwing);
  const int high = std::min(255, r.setup.signal + kSignalSwing);
  for (; r.driftSteps < due; ++r.driftSteps) {
    r.random = r.random * 1103515245u + 12345u;
    const int step = static_cast<int>((r.random >> 16) % 7) - 3;
    r.signal = static_cast<uint8_t>(std::clamp(r.signal + step, low, high));
    // Now and then the link moves to another channel.
    if ((r.random >> 8) % 16 == 0)
      r.channel = static_cast<uint8_t>((r.channel + 1 + (r.random >> 24) % 31) % 32);
  }
}

}  // namespace devicemanager

#include "outside/devicemanager/Scenario.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "base/Utf.h"

namespace devicemanager {
namespace {

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// Decimal, or hexadecimal with 0x; an optional leading minus for decimal.
std::optional<int64_t> Number(std::string_view s) {
  s = Trim(s);
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    s.remove_prefix(2);
    base = 16;
  }
  int64_t v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
  return v;
}

// Whitespace- or comma-separated numbers; nullopt when any of them is not a number.
std::optional<std::vector<int64_t>> Numbers(std::string_view s) {
  std::vector<int64_t> out;
  while (true) {
    const auto start = s.find_first_not_of(" \t,");
    if (start == std::string_view::npos) break;
    s.remove_prefix(start);
    const auto end = s.find_first_of(" \t,");
    const auto v = Number(s.substr(0, end));
    if (!v) return std::nullopt;
    out.push_back(*v);
    s.remove_prefix(end == std::string_view::npos ? s.size() : end);
  }
  return out;
}

bool InRange(int64_t v, int64_t low, int64_t high) {
  return v >= low && v <= high;
}

std::optional<uint16_t> Word(std::string_view s) {
  const auto v = Number(s);
  if (!v || *v < 0 || *v > 0xFFFF) return std::nullopt;
  return static_cast<uint16_t>(*v);
}

// "01 22 35" or "012235": up to eight bytes, the rest zeros.
std::optional<InfoPage> Bytes(std::string_view s) {
  InfoPage page{};
  size_t n = 0;
  std::string digits;
  for (char c : s) {
    if (c == ' ' || c == '\t' || c == ',') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    digits += c;
  }
  if (digits.size() % 2 != 0 || digits.size() > 16) return std::nullopt;
  for (size_t i = 0; i < digits.size(); i += 2)
    page[n++] = static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16));
  return page;
}

std::u16string DefaultPath(const ReceiverSetup& r, size_t position) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "\\\\?\\hid#vid_%04x&pid_%04x&mi_01#sim&%zu#receiver", r.vendorId,
                r.productId, position);
  return base::Utf8ToUtf16(buf);
}

}  // namespace

uint16_t FirmwareWord(int version) {
  const int tens = (version / 10) % 10, units = version % 10;
  return static_cast<uint16_t>(0xA400 | (tens << 4) | units);
}

Scenario ParseScenario(std::string_view text) {
  Scenario sc;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  enum class Section { kNone, kLibrary, kReceiver } section = Section::kNone;
  // Which defaults a receiver's own keys replaced.
  struct Given {
    bool path = false, tag = false, signal = false, channel = false;
  };
  std::vector<Given> given;
  int lineNo = 0;
  while (!text.empty()) {
    ++lineNo;
    const auto nl = text.find('\n');
    const std::string_view line = Trim(text.substr(0, nl));
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    auto problem = [&](const std::string& what) {
      sc.problems.push_back("line " + std::to_string(lineNo) + ": " + what);
    };
    // Whole-line comments only: device paths contain '#'.
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      const std::string name = Lower(Trim(line.substr(1, line.size() - 2)));
      if (name == "library") {
        section = Section::kLibrary;
      } else if (name == "receiver") {
        section = Section::kReceiver;
        sc.receivers.emplace_back();
        given.emplace_back();
      } else {
        section = Section::kNone;
        problem("unknown section [" + name + "]");
      }
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) {
      problem("not a key = value line");
      continue;
    }
    const std::string key = Lower(Trim(line.substr(0, eq)));
    std::string_view value = Trim(line.substr(eq + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    auto bad = [&] { problem("bad value for '" + key + "'"); };

    if (section == Section::kLibrary) {
      if (key == "initial") {
        const auto v = Number(value);
        if (v && *v >= INT32_MIN && *v <= UINT32_MAX)
          sc.initialResult = static_cast<int32_t>(*v);
        else
          bad();
      } else if (key == "trace") {
        sc.traceFile = base::Utf8ToUtf16(value);
      } else if (key == "pump") {
        // pump = <milliseconds> <command> ...
        const auto v = Numbers(value);
        PumpRule rule;
        bool ok = v && v->size() >= 2 && (*v)[0] >= 0 && (*v)[0] <= 600000;
        for (size_t i = 1; ok && i < v->size(); ++i) {
          ok = (*v)[i] >= 0 && (*v)[i] <= 0xFFFF;
          if (ok) rule.commands.push_back(static_cast<uint16_t>((*v)[i]));
        }
        if (ok) {
          rule.milliseconds = static_cast<uint32_t>((*v)[0]);
          sc.pump = std::move(rule);
        } else {
          bad();
        }
      } else {
        problem("unknown key '" + key + "'");
      }
    } else if (section == Section::kReceiver) {
      ReceiverSetup& r = sc.receivers.back();
      if (key == "family") {
        const std::string f = Lower(value);
        if (f == "1")
          r.productId = kFamily1ProductId;
        else if (f == "1alt" || f == "1-alt")
          r.productId = kFamily1AltProductId;
        else if (f == "2")
          r.productId = kFamily2ProductId;
        else
          bad();
      } else if (key == "vendor" || key == "product" || key == "tag") {
        const auto v = Word(value);
        if (!v) {
          bad();
        } else if (key == "vendor") {
          r.vendorId = *v;
        } else if (key == "product") {
          r.productId = *v;
        } else {
          r.tag = *v;
          given.back().tag = true;
        }
      } else if (key == "path") {
        r.path = base::Utf8ToUtf16(value);
        // The launcher's buffer holds 127 characters and the terminator.
        if (r.path.size() > 127) r.path.resize(127);
        given.back().path = true;
      } else if (key == "firmware" || key.starts_with("firmware.")) {
        // Either version word; the plain key means the newer one.
        const auto addr =
            key == "firmware" ? std::optional<uint16_t>(kFirmwareWordB) : Word(key.substr(9));
        const auto v = Number(value);
        if (addr && (*addr == kFirmwareWordA || *addr == kFirmwareWordB) && v && InRange(*v, 0, 99))
          r.words[*addr] = FirmwareWord(static_cast<int>(*v));
        else
          bad();
      } else if (key == "signal" || key == "channel") {
        const auto v = Number(value);
        if (!v || !InRange(*v, 0, key == "signal" ? 255 : 31)) {
          bad();
        } else if (key == "signal") {
          r.signal = static_cast<uint8_t>(*v);
          given.back().signal = true;
        } else {
          r.channel = static_cast<uint8_t>(*v);
          given.back().channel = true;
        }
      } else if (key == "drift" || key == "seed" || key == "unplug.calls" || key == "unplug.ms") {
        const auto v = Number(value);
        if (!v || !InRange(*v, 0, UINT32_MAX)) {
          bad();
        } else {
          const auto n = static_cast<uint32_t>(*v);
          if (key == "drift")
            r.driftMs = n;
          else if (key == "seed")
            r.seed = n;
          else if (key == "unplug.calls")
            r.unplugAfterCalls = n;
          else
            r.unplugAfterMs = n;
        }
      } else if (key == "pair") {
        // after-ms kind identifier [attribute [extra]]
        const auto v = Numbers(value);
        if (v && v->size() >= 3 && v->size() <= 5 && InRange((*v)[0], 0, UINT32_MAX) &&
            ((*v)[1] == 1 || (*v)[1] == 2) && InRange((*v)[2], 0, 0x7FFFF) &&
            (v->size() < 4 || InRange((*v)[3], 0, 255)) &&
            (v->size() < 5 || InRange((*v)[4], 0, 255))) {
          PairingEvent e;
          e.afterMs = static_cast<uint32_t>((*v)[0]);
          e.kind = static_cast<uint8_t>((*v)[1]);
          e.identifier = static_cast<uint32_t>((*v)[2]);
          if (v->size() >= 4) e.attribute = static_cast<uint8_t>((*v)[3]);
          if (v->size() >= 5) e.extra = static_cast<uint8_t>((*v)[4]);
          r.pairing.push_back(e);
        } else {
          bad();
        }
      } else if (key.starts_with("fail.")) {
        // fail.<command>[.<parameter>] = occurrence ...
        const std::string_view rest = std::string_view(key).substr(5);
        const auto dot = rest.find('.');
        const auto cmd = Word(rest.substr(0, dot));
        const auto param =
            dot == std::string_view::npos ? std::optional<uint16_t>() : Word(rest.substr(dot + 1));
        const auto v = Numbers(value);
        bool ok = cmd && (dot == std::string_view::npos || param) && v && !v->empty();
        FailRule rule{cmd.value_or(0), param, {}};
        for (size_t i = 0; ok && i < v->size(); ++i) {
          ok = InRange((*v)[i], 1, UINT32_MAX);
          rule.occurrences.push_back(static_cast<uint32_t>((*v)[i]));
        }
        if (ok)
          r.failures.push_back(std::move(rule));
        else
          bad();
      } else if (key.starts_with("corrupt.")) {
        const auto addr = Word(key.substr(8));
        const auto mask = Word(value);
        if (addr && mask && *addr < 0x8000)
          r.corrupt[*addr] = *mask;
        else
          bad();
      } else if (key.starts_with("word.")) {
        const auto addr = Word(key.substr(5));
        const auto v = Word(value);
        if (addr && v && *addr < 0x8000)
          r.words[*addr] = *v;
        else
          bad();
      } else if (key.starts_with("info.")) {
        const auto page = Word(key.substr(5));
        const auto bytes = Bytes(value);
        if (page && bytes)
          r.infoPages[*page] = *bytes;
        else
          bad();
      } else {
        problem("unknown key '" + key + "'");
      }
    } else {
      problem("key outside a known section");
    }
  }
  for (size_t i = 0; i < sc.receivers.size(); ++i) {
    ReceiverSetup& r = sc.receivers[i];
    if (!given[i].path) r.path = DefaultPath(r, i);
    if (!given[i].tag) r.tag = static_cast<uint16_t>(i + 1);
    // A scenario that spells out info page 4 gives the radio state's starting point there.
    if (const auto page4 = r.infoPages.find(4); page4 != r.infoPages.end()) {
      if (!given[i].signal) r.signal = page4->second[1];
      if (!given[i].channel) r.channel = page4->second[2] & 0x1F;
    }
  }
  return sc;
}

}  // namespace devicemanager

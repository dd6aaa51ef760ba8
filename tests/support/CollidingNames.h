#pragma once
// Language files whose key names collide under an unkeyed name hash: the hash the INI reader used
// before its names were hashed under a per-process key (FNV-1a over the upper-cased characters,
// mixed, the key's section index in the seed; the high bits choose the table slot). Reading such a
// file with that hash took time quadratic in its keys; the keyed reader must read it as fast as an
// ordinary file of the same size.
#include <cstdint>
#include <cstdio>
#include <string>

namespace testing_support {

// The unkeyed hash of a key name (ASCII, upper case) in the file's first section.
inline uint64_t UnkeyedKeyHash(const char* name, size_t length) {
  uint64_t h = 14695981039346656037ull ^ 0x9E3779B97F4A7C15ull;  // section 0
  for (size_t i = 0; i < length; ++i) {
    h ^= static_cast<uint8_t>(name[i]);
    h *= 1099511628211ull;
  }
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ull;
  return h ^ (h >> 33);
}

// `keys` key lines "K<8 hex digits>=<value>" in one section "[MultiPairForm.dll]": with
// `colliding`, names whose unkeyed hashes share their top `bits` bits (so they share one
// 2^-bits part of any table); without, consecutive names. Both files have the same size.
inline std::string LanguageFileOfKeys(int keys, bool colliding, int bits = 10) {
  std::string text = "[MultiPairForm.dll]\r\n";
  text.reserve(text.size() + static_cast<size_t>(keys) * 24);
  char name[16];
  uint32_t candidate = 0;
  for (int made = 0; made < keys; ++candidate) {
    std::snprintf(name, sizeof name, "K%08X", static_cast<unsigned>(candidate));
    if (colliding && UnkeyedKeyHash(name, 9) >> (64 - bits) != 0) continue;
    text += name;
    text += "=some value\r\n";
    ++made;
  }
  return text;
}

}  // namespace testing_support

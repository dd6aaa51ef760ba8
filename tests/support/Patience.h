#pragma once
// The wait limits of the tests that run under Wine are meant for a machine that runs Wine at full
// speed. Under emulation (the 32-bit test machine of scripts/guest32) the environment variable
// TANDREL_TEST_PATIENCE multiplies them; they stay limits, never expectations.
#include <chrono>
#include <cstdlib>

namespace testing_support {

inline int Patience() {
  static const int factor = [] {
    const char* value = std::getenv("TANDREL_TEST_PATIENCE");
    const int f = value ? std::atoi(value) : 1;
    return f > 0 ? f : 1;
  }();
  return factor;
}

inline std::chrono::milliseconds Patient(std::chrono::milliseconds limit) {
  return limit * Patience();
}

}  // namespace testing_support

#pragma once
// The timing loop the harnesses share: the best time per call, in microseconds, over seven
// batches of about 50 ms each. `settle` runs after each batch inside the timing (a GdiFlush, so
// queued drawing is paid for).
#include <algorithm>
#include <chrono>
#include <functional>

namespace bench {

inline double Measure(
    const std::function<void()>& work, const std::function<void()>& settle = [] {}) {
  using Clock = std::chrono::steady_clock;
  int n = 1;
  for (;;) {  // size a batch
    const auto t0 = Clock::now();
    for (int i = 0; i < n; ++i) work();
    settle();
    if (Clock::now() - t0 > std::chrono::milliseconds(50)) break;
    n *= 2;
  }
  double best = 1e300;
  for (int batch = 0; batch < 7; ++batch) {
    const auto t0 = Clock::now();
    for (int i = 0; i < n; ++i) work();
    settle();
    const std::chrono::duration<double, std::micro> d = Clock::now() - t0;
    best = std::min(best, d.count() / n);
  }
  return best;
}

}  // namespace bench

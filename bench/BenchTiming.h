#pragma once
// What every benchmark here measures with: the median of a set of times, a
// clock's processor time in milliseconds, one timed run of an action, and
// the view size the drawing benchmarks draw at.

#include <time.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace lumetra::bench {

inline double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Processor time of the process (all threads) by default, or of the clock
// given (CLOCK_THREAD_CPUTIME_ID for the calling thread alone).
inline double cpuMs(clockid_t clock = CLOCK_PROCESS_CPUTIME_ID) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The window the drawing benchmarks draw into, in pixels.
inline constexpr int kWidth = 1280;
inline constexpr int kHeight = 1024;

// One run of action, timed in wall and processor time (ms). finish runs
// inside the timing after the action (glFinish for GL work, so that what
// the driver queued counts).
struct RunTime {
  double wall = 0.0;
  double cpu = 0.0;
};

template <typename Action, typename Finish>
RunTime timeRun(Action&& action, Finish&& finish) {
  const double cpuStart = cpuMs();
  const auto start = std::chrono::steady_clock::now();
  action();
  finish();
  return {std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
          cpuMs() - cpuStart};
}

}  // namespace lumetra::bench

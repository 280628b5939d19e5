#pragma once
// What every benchmark here measures with: the median of a set of times and
// a clock's processor time in milliseconds.

#include <time.h>

#include <algorithm>
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

}  // namespace lumetra::bench

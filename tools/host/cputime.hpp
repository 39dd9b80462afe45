// The clocks our tools measure with. CPU time is what performance figures are
// about (the machine running them may be shared and loaded); wall time is given
// beside it where a listener would feel it.
#pragma once
#include <ctime>

inline double clockSeconds(clockid_t clock) {
  timespec ts{};
  ::clock_gettime(clock, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}
inline double processCpuSeconds() { return clockSeconds(CLOCK_PROCESS_CPUTIME_ID); }
inline double threadCpuSeconds() { return clockSeconds(CLOCK_THREAD_CPUTIME_ID); }
inline double wallSeconds() { return clockSeconds(CLOCK_MONOTONIC); }

// The system clock on POSIX: CLOCK_MONOTONIC, so that setting the wall clock
// never makes a timer jump.
#include <time.h>

#include "toolkit/cclock.hpp"

uint32_t CSystemClock::now_ms() const {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                               static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

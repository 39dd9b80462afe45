// The clocks and small statistics the performance report uses. CPU time is what
// the figures are about (the machine running them may be shared and loaded);
// wall time is given beside it where a listener would feel it.
#pragma once
#include <algorithm>
#include <ctime>
#include <vector>

inline double clockSeconds(clockid_t clock) {
  timespec ts{};
  ::clock_gettime(clock, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}
inline double processCpuSeconds() { return clockSeconds(CLOCK_PROCESS_CPUTIME_ID); }
inline double threadCpuSeconds() { return clockSeconds(CLOCK_THREAD_CPUTIME_ID); }
inline double wallSeconds() { return clockSeconds(CLOCK_MONOTONIC); }

// Empty input gives 0 for all of these.
inline double median(std::vector<double> v) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}
inline double mean(const std::vector<double>& v) {
  if (v.empty()) return 0.0;
  double sum = 0.0;
  for (double x : v) sum += x;
  return sum / double(v.size());
}
inline double minimum(const std::vector<double>& v) {
  return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
}
inline double maximum(const std::vector<double>& v) {
  return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
}

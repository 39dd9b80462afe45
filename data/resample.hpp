// Sample-rate conversion of an impulse response to the host's rate. The impulse
// must describe the same acoustic filter at the new rate, so each output is scaled
// by r = file rate / host rate (a filter's taps scale with the sample period) and
// the result stays time-aligned with the source: a peak keeps its time.
#pragma once
#include <vector>

#include "data/wavread.hpp"

inline constexpr int kResampled = 1;    // samples replaced by the converted ones
inline constexpr int kRateMatches = 2;  // rates equal: samples untouched
inline constexpr int kResampleFailed = 0;  // bad rate, too long or converter failure: samples untouched

// Longest converted impulse accepted, the reader's frame limit.
inline constexpr int64_t kMaxResampledCount = kWavMaxFrames;

// [any, not per sample] Converts `samples` from `fileRate` to `hostRate` in place.
// r = fileRate / hostRate in single precision; when r is 1 nothing changes (result
// 2). Otherwise the list becomes m = (integer part of |count / r|) + 1 samples,
// each multiplied by r (result 1); an empty list stays empty. A rate that is not a
// positive finite number, or an output longer than kMaxResampledCount,
// gives result 0. Allocates; runs on one thread.
int resampleImpulse(std::vector<float>& samples, float fileRate, float hostRate);
inline int resampleImpulse(std::vector<float>& samples, const qvwavinfo& info, float hostRate) {
  return resampleImpulse(samples, float(info.sampleRate), hostRate);
}

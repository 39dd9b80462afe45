// Options of a rig that trade the units' exact numbers for less aliasing. Each is
// off unless the preset turns it on, so every rig stored before they existed
// plays as it always did. They are preset members that older readers ignore
// (written only when on), not global settings: a settings index beyond 17 would
// make an older reader refuse the whole document.
//
//   "aastopband": true      the anti-alias filters' stopband, not their passband,
//                           begins at the host's Nyquist frequency
//   "aaorder": N            the anti-alias filters are of order N (8, the default,
//                           to 16, even): stopband 73 dB down at 8, 97 at 10, 121 at 12
//   "antiderivative": N     tube and clipping stages run their static curves with
//                           antiderivative anti-aliasing of order N (1 or 2)
//   "stagelowpass": true    tube and clipping stages that run oversampled are
//                           band-limited behind (units/stagelowpass.hpp)
//   "aafactor": N           the oversampled ranges run at N times the host rate
//                           at least (2..16), while oversampling is on at all
#pragma once
#include <cstdint>

#include "data/jsoncursor.hpp"
#include "data/qvlist.hpp"
#include "units/qvutil.hpp"
#include "units/stageoptions.hpp"

struct qvaliasoptions {
  bool stopband = false;    // "aastopband"
  int32_t filterOrder = 8;  // "aaorder"; 8 when absent
  qvstageoptions stages;    // "antiderivative", "stagelowpass"
  int32_t minFactor = 1;    // "aafactor"; 1 when absent
};

inline constexpr int32_t kMaxMinFactor = 16;  // the chain's largest factor
inline constexpr int32_t kMaxAntiderivativeOrder = 2;
inline constexpr int32_t kMinFilterOrder = 8, kMaxFilterOrder = 16;  // even

inline constexpr const char* kKeyStopband = "aastopband";
inline constexpr const char* kKeyFilterOrder = "aaorder";
inline constexpr const char* kKeyAntiderivative = "antiderivative";
inline constexpr const char* kKeyStageLowpass = "stagelowpass";
inline constexpr const char* kKeyMinFactor = "aafactor";

// [between blocks] The options of the current preset object; absent members are off.
qvaliasoptions readAliasOptions(const qvjsoncursor& c);
// [between blocks] Adds the members of the options that are on.
void writeAliasOptions(qvjsoncursor& w, const qvaliasoptions& options);
// [between blocks] Hands the stage options to every tube and clipping unit.
void applyStageOptions(qvlist<qvutil>& units, const qvstageoptions& options);
// [any] The factor the ranges run at: the global setting's, raised to the rig's
// minimum while oversampling is on (a setting of 1 keeps it off).
int effectiveFactor(int setting, const qvaliasoptions& options);
// [any] Cutoff (Hz) to design an anti-alias filter with at `rate` (the host's) that
// runs `factor` times faster and whose prototype's stopband edge lies
// `selectivity` times above its passband edge: its stopband then begins at the
// host's Nyquist, bilinear warping included. The default is rate / (2·factor).
double stopbandCutoff(double rate, int factor, double selectivity);

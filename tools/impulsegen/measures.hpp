// Spectral and temporal measures of an impulse response, for the report table and
// the tests that check each response against its name.
#pragma once
#include <array>
#include <vector>

inline constexpr int kMeasureBands = 6;
// Band edges (Hz): <200, 200–800, 800–3k, 3k–5k, 5k–7k, >7k.
inline constexpr double kBandEdgesHz[kMeasureBands + 1] = {20, 200, 800, 3000, 5000, 7000, 48000};
inline constexpr int kThirdOctaves = 24;  // 63 Hz to 12.5 kHz

struct ImpulseMeasures {
  int length = 0;
  double peak = 0;                  // signed value of the largest sample
  double peak_ms = 0;               // its time
  std::array<double, kMeasureBands> band_db{};  // band energy relative to the whole, dB
  double late2 = 0;                 // share of energy arriving 2 ms or more after the onset
  double late5 = 0;                 // same from 5 ms
  double direct_high_db = 0;        // energy above 3 kHz in the first 2 ms, relative to the whole
  double loudness_db = 0;           // energy between 100 Hz and 6 kHz
  std::array<double, kThirdOctaves> third_db{};  // third-octave levels relative to the whole
};

// [any] x at rate Hz, at most 65536 samples.
ImpulseMeasures measureImpulse(const std::vector<double>& x, double rate);

// RMS difference (dB) of two third-octave spectra, each level floored at −60 dB.
double spectralDistanceDb(const ImpulseMeasures& a, const ImpulseMeasures& b);

// Energy share above 3 kHz, dB: the "brightness" of a response.
double highShareDb(const ImpulseMeasures& m);

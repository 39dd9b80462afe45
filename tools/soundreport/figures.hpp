// The figures of one factory preset: aliasing of two steady sines, level and peak
// of a guitar DI riff, distortion of a quieter tone, all through the real engine.
#pragma once
#include <string>
#include <vector>

#include "tools/soundreport/presetrun.hpp"
#include "tools/soundreport/tonelines.hpp"

// The measure: a sine at -6 dBFS, 4 s rendered, the last 2 s analysed.
constexpr double kAliasToneLevel_db = -6.0;
constexpr double kAliasRenderSeconds = 4.0;
constexpr double kAliasAnalyseSeconds = 2.0;
constexpr double kAliasLowFreq_hz = 997.0;
constexpr double kAliasHighFreq_hz = 3520.0;
// Distortion: a 220 Hz sine at -12 dBFS (an open A string played softly).
// For a preset that misses a target: the same tones rendered this long, to tell
// echoes and pumping still settling from what stays.
constexpr double kSettledRenderSeconds = 12.0;
constexpr double kDistortionFreq_hz = 220.0;
constexpr double kDistortionLevel_db = -12.0;
// The riff's first two seconds, as the factory report plays them.
constexpr double kGuitarSeconds = 2.0;

struct srfigures {
  std::string name;
  std::string category;
  int code = 0;               // preset loader's code
  bool finite = true;         // every output sample finite
  double alias997_db = 0;     // non-harmonic share, 997 Hz tone
  double alias3520_db = 0;    // non-harmonic share, 3520 Hz tone
  double output3520_db = 0;   // RMS of the analysed 3520 Hz output, dBFS
  std::vector<srline> lines997;   // strongest non-harmonic lines at 997 Hz
  std::vector<srline> lines3520;  // strongest non-harmonic lines at 3520 Hz
  double rms_db = 0;          // guitar riff, left output
  double peak_db = 0;
  double distortion = 0;      // THD+N of the 220 Hz tone, ratio
  double settled997_db = 0;   // the aliasing figures after kSettledRenderSeconds,
  double settled3520_db = 0;  // when measureSettled() ran (else 0)
  std::string options;        // the rig's anti-aliasing options, "" for none
  int factor = 1;             // oversampling factor the ranges ran at
};

// [stopped] All figures of preset `index`; factor 0 keeps the factory oversampling.
srfigures measurePreset(srpresetrun& run, uint32_t index, int factor = 0);

// [stopped] Fills the settled aliasing figures of preset `index` into f.
void measureSettled(srpresetrun& run, uint32_t index, int factor, srfigures& f);

// [any] 20·log10 with a floor at -240 dB.
double toDb(double ratio);
// [any] The options as the factory sources name them: "stopband, antiderivative".
std::string optionsText(const qvaliasoptions& options);

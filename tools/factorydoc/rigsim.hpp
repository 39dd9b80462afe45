// A quick stand-in for the engine's chain, for voicing the factory content while
// the document is being written: input gain, gate, the rig's units in order (at
// the host rate: no oversampled ranges), each cab sim as a fixed cabinet-like
// band-pass with the cab's Volume, Pan and Dry, and the output gain. It says
// whether a preset is clean or saturated and how loud it is; the plug-in's own
// figures come from tools/factory_report, which runs the real engine.
#pragma once
#include <vector>

#include "tools/factorydoc/factorybuild.hpp"

struct fdSimFigures {
  double peak = 0;     // largest |left output|
  double rms = 0;      // RMS of the left output
  double thd = 0;      // distortion + noise of the 220 Hz test tone, as a ratio to the tone
  bool finite = true;  // no NaN or infinity anywhere
};

// Gains of the chain with the factory's global settings.
constexpr double kFactoryInputGain = 2.1488;
constexpr double kFactoryOutputGain = 0.3797;
constexpr float kSimRate = 44100.0f;

// [any] A plucked-guitar DI test signal: three Karplus-Strong strings (A2, E3, A3)
// struck one after another, peak 0.5, `seconds` long at kSimRate. Deterministic.
std::vector<float> pluckedGuitarDI(double seconds);
// [any] A 220 Hz sine at -12 dBFS, `seconds` long.
std::vector<float> testTone220(double seconds);

// [any] Runs `in` through the rig (units keep their state between calls).
std::vector<float> simulateRig(fdRig& rig, const std::vector<float>& in);

// [any] Peak and RMS of the plucked signal, THD+N of the test tone (measured over
// the tone's second half), through fresh rigs.
fdSimFigures measurePreset(const fdSource& src, const fdPreset& p, std::string& err);
fdSimFigures measureDefinition(const fdSource& src, const fdDefinition& d, std::string& err);

// [any] Distortion + noise of a steady tone at freq_hz: the RMS left after the best
// fit of a sine, a cosine and a constant, relative to the fitted tone's RMS.
double toneDistortion(const std::vector<float>& y, double freq_hz, float rate);

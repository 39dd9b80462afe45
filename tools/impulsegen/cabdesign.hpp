// Turns a cabinet description into its impulse response at 96000 Hz: minimum-phase
// bodies for each sound path, placed at the delays and levels the microphone's
// position gives (other speakers, floor, walls, ceiling, the rear wave of an open
// back), a diffuse room tail for distant and room placements, then loudness
// normalisation and a fade at the end.
#pragma once
#include <vector>

#include "tools/impulsegen/cabdesc.hpp"
#include "tools/impulsegen/fftbins.hpp"

// Transform size of the designer: long enough for the longest response plus a tail
// convolution of the same length.
inline constexpr int kDesignFftSize = 65536;

// Loudness of every factory response: the energy between 100 Hz and 6 kHz, in dB
// (a unit impulse measures −9.1 dB): guitar-band noise comes out about 3 dB down.
inline constexpr double kTargetLoudnessDb = -3.0;
inline constexpr double kMaxPeak = 0.95;

// [any] desc.length samples in [−kMaxPeak, kMaxPeak]. work must be of kDesignFftSize.
std::vector<double> designCabinet(const CabinetDesc& desc, SpectrumWork& work);

// Energy of x between lo_hz and hi_hz, in dB, using work's transform (x is
// zero-padded to its size).
double bandEnergyDb(const std::vector<double>& x, double rate, double lo_hz, double hi_hz, SpectrumWork& work);

// Spectral figures of a rendered test tone: the share of the output's energy that
// is not a harmonic of the tone (folded harmonics, intermodulation with them,
// noise), and the distortion left after the best fit of the tone itself.
#pragma once
#include <vector>

struct srline {
  double freq_hz = 0;  // centre of the bin
  double level_db = 0; // energy of the bin relative to all output energy
};

struct sraliasing {
  double level_db = 0;         // non-harmonic energy over all energy, dB
  std::vector<srline> strongest;  // the strongest non-harmonic bins, strongest first
};

// [any] Non-harmonic share of y (a tone of freq_hz at rate, already settled):
// Blackman-Harris window (4 terms), one real FFT in double precision; every bin
// above 20 Hz farther than kHarmonicBand_hz from each multiple of freq_hz counts.
// nlines: how many of the strongest such lines (local maxima) to list.
constexpr double kHarmonicBand_hz = 8.0;
sraliasing nonHarmonicShare(const std::vector<float>& y, double freq_hz, double rate, int nlines = 0);

// [any] Distortion plus noise of a steady tone at freq_hz over the second half of y:
// the RMS left after the least-squares fit of a sine, a cosine and a constant,
// relative to the fitted tone's RMS. 0 for silence.
double toneDistortion(const std::vector<float>& y, double freq_hz, double rate);

// Factory impulse files: RIFF/WAVE, 24-bit PCM, mono, 96000 Hz, written through
// libsndfile with our own rounding so the bytes do not depend on the library's.
#pragma once
#include <string>
#include <vector>

struct WavInfo {
  int format = 0;     // libsndfile's SF_FORMAT_* word
  int channels = 0;
  int rate = 0;
  long long frames = 0;
};

// [any] Rounds each sample to 24 bits (half away from zero, clipped). Returns 0 or
// −1 when the file cannot be written (error says why).
int writeImpulseWav(const std::string& path, const std::vector<double>& samples, std::string& error);

// [any] Reads the first channel as doubles in [−1, 1). Returns 0 or −1.
int readImpulseWav(const std::string& path, std::vector<double>& samples, WavInfo& info, std::string& error);

// The 24-bit integer a sample is stored as.
int quantise24(double x);

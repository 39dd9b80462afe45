#include "tools/impulsegen/wavio.hpp"

#include <sndfile.h>

#include <cmath>

#include "tools/impulsegen/cabdesc.hpp"

int quantise24(double x) {
  const double scaled = x * 8388608.0;
  double r = scaled >= 0 ? std::floor(scaled + 0.5) : -std::floor(-scaled + 0.5);
  if (r > 8388607.0) r = 8388607.0;
  if (r < -8388608.0) r = -8388608.0;
  return static_cast<int>(r);
}

int writeImpulseWav(const std::string& path, const std::vector<double>& samples, std::string& error) {
  SF_INFO info{};
  info.samplerate = kImpulseRate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) {
    error = path + ": " + sf_strerror(nullptr);
    return -1;
  }
  // libsndfile keeps the top 24 bits of a left-justified 32-bit integer.
  std::vector<int> words(samples.size());
  for (size_t i = 0; i < samples.size(); ++i) words[i] = static_cast<int>(static_cast<unsigned>(quantise24(samples[i])) << 8);
  const sf_count_t written = sf_write_int(f, words.data(), static_cast<sf_count_t>(words.size()));
  const int close_rc = sf_close(f);
  if (written != static_cast<sf_count_t>(words.size()) || close_rc != 0) {
    error = path + ": short write";
    return -1;
  }
  return 0;
}

int readImpulseWav(const std::string& path, std::vector<double>& samples, WavInfo& out, std::string& error) {
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) {
    error = path + ": " + sf_strerror(nullptr);
    return -1;
  }
  out = {info.format, info.channels, info.samplerate, static_cast<long long>(info.frames)};
  std::vector<double> frames(static_cast<size_t>(info.frames) * info.channels);
  const sf_count_t got = sf_readf_double(f, frames.data(), info.frames);
  sf_close(f);
  if (got != info.frames) {
    error = path + ": short read";
    return -1;
  }
  samples.resize(static_cast<size_t>(info.frames));
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = frames[i * info.channels];
  return 0;
}

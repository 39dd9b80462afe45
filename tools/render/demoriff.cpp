// corvina-demo-riff OUT.wav: writes eight seconds of the synthesized guitar DI
// (mono, 48000 Hz, 24-bit) for the install script's first render.
#include <sndfile.h>

#include <cstdio>

#include "tools/host/guitarsynth.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: corvina-demo-riff OUT.wav\n");
    return 2;
  }
  constexpr int kRate = 48000;
  const std::vector<float> di = synthGuitarDI(kRate, 8.0);
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
  SNDFILE* file = sf_open(argv[1], SFM_WRITE, &info);
  if (!file) {
    std::fprintf(stderr, "corvina-demo-riff: cannot write %s: %s\n", argv[1], sf_strerror(nullptr));
    return 1;
  }
  const bool ok = sf_writef_float(file, di.data(), sf_count_t(di.size())) == sf_count_t(di.size());
  sf_close(file);
  return ok ? 0 : 1;
}

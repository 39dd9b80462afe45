// Arbitrary bytes as a memory WAVE image: the decoder must fail cleanly or return
// at most as many samples as the bytes can hold, never crash or over-allocate.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "data/wavread.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<float> samples;
  qvwavinfo info;
  int rc = readWavMemory(data, size, samples, info);
  if (rc < 1 && !samples.empty()) std::abort();
  // The densest codecs a WAVE file may hold (GSM 6.10, ADPCM) pack a few samples
  // per byte, and a last, partial ADPCM block (at most 64 KiB, two samples a byte)
  // decodes in full; a forged frame count must not make more out of them.
  if (samples.size() > 16 * size + (size_t(1) << 17)) std::abort();
  for (float x : samples)
    if (x != x) std::abort();  // non-finite values are stored as 0
  return 0;
}

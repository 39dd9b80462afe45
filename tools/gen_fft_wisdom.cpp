// Writes the FFTW wisdom of the convolution engine's transforms (every stage size,
// forward and inverse, planned exactly as the engine plans them) to argv[1], for
// embedding in the plug-in.
#include <fftw3.h>

#include <cstdio>

#include "units/convengine.hpp"
#include "units/fftplans.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gen_fft_wisdom OUT.txt\n");
    return 2;
  }
  for (int n = 4 * qvconvengine::kHeadLength; n <= qvconvengine::kMaxFftSize; n *= 2) {
    if (!fftPlanFor(n)) {
      std::fprintf(stderr, "gen_fft_wisdom: no plan for %d\n", n);
      return 1;
    }
  }
  if (!fftwf_export_wisdom_to_filename(argv[1])) {
    std::fprintf(stderr, "gen_fft_wisdom: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}

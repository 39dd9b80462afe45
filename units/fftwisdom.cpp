#include "units/fftwisdom.hpp"

#include <fftw3.h>

#include <mutex>

#include "resources/resources.hpp"
#include "units/fftplans.hpp"

void importFftWisdom() {
  std::lock_guard<std::mutex> lock(fftwPlannerLock());
  static bool done = false;
  if (done) return;
  done = true;
  qvresource wisdom;
  // The resource is NUL-terminated. Wisdom from another FFTW or for another
  // processor is refused or ignored entry by entry; planning then searches.
  if (loadDataResource("fft-wisdom.txt", wisdom) && wisdom.size > 0)
    fftwf_import_wisdom_from_string(reinterpret_cast<const char*>(wisdom.bytes));
}

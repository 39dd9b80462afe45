// FFTW single-precision plans shared by the whole process: one real-to-complex
// and one complex-to-real plan per power-of-two size, made once on first use.
// FFTW's planner is not thread-safe, so every plan creation in the process goes
// through fftwPlannerLock(); executing a plan (new-array functions) needs no lock.
#pragma once
#include <fftw3.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <mutex>

struct qvfftplan {
  int size = 0;                   // transform length, real samples
  fftwf_plan forward = nullptr;   // r2c: size reals to size/2 + 1 complex bins
  fftwf_plan inverse = nullptr;   // c2r, unscaled (the result is size times the input)
};

// [any] The lock every FFTW planner call in the process must hold.
std::mutex& fftwPlannerLock();

// [stopped] The plans of length n (a power of two from 2 to 8192), made on first
// use with FFTW_ESTIMATE (a few ms in all, so start-up stays fast). The plans live
// as long as the process; nullptr for any other n or when FFTW fails.
const qvfftplan* fftPlanFor(int n);

struct qvfftwfree {
  void operator()(void* p) const noexcept { fftwf_free(p); }
};
// Memory from fftwf_malloc: every such block has the alignment the plans were made
// with, which the new-array execute functions require.
template <class T>
using qvfftwbuffer = std::unique_ptr<T[], qvfftwfree>;

// [stopped] n elements, zeroed unless the caller fills them itself; empty on failure.
template <class T>
qvfftwbuffer<T> makeFftwBuffer(std::size_t n, bool zeroed = true) {
  qvfftwbuffer<T> b(static_cast<T*>(fftwf_malloc(n * sizeof(T))));
  if (b && zeroed) std::fill_n(reinterpret_cast<char*>(b.get()), n * sizeof(T), char(0));
  return b;
}

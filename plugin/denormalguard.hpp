// Sets flush-to-zero and denormals-are-zero for the life of the guard and restores
// the caller's floating-point mode afterwards: denormal arithmetic in recursive
// filters decaying towards silence can cost a hundred times the normal rate.
#pragma once
#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>

class qvdenormalguard {
public:
  qvdenormalguard() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | kFtz | kDaz); }
  ~qvdenormalguard() { _mm_setcsr(saved_); }
  qvdenormalguard(const qvdenormalguard&) = delete;
  qvdenormalguard& operator=(const qvdenormalguard&) = delete;

private:
  static constexpr unsigned kFtz = 0x8000;  // flush results to zero
  static constexpr unsigned kDaz = 0x0040;  // treat denormal inputs as zero
  unsigned saved_;
};
#else
class qvdenormalguard {};
#endif

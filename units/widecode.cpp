#include "units/widecode.hpp"

namespace {
bool processorHasAvx2() noexcept {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
  __builtin_cpu_init();  // this may run before the library's own constructors
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}
bool useWide = qvwideCodeBuilt() && processorHasAvx2();
}  // namespace

bool qvwideCode() noexcept { return useWide; }
void qvsetWideCode(bool on) noexcept { useWide = on && qvwideCodeBuilt() && processorHasAvx2(); }

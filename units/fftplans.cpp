#include "units/fftplans.hpp"

#include <algorithm>
#include <array>

namespace {
constexpr int kMaxLog2 = 13;  // 8192, the largest transform of the convolution engine

// The plans of this module. Destroyed when the module is unloaded: a host that
// loads and unloads the plug-in (a scan, a project switch) would otherwise lose
// the plans' memory each time, since the FFTW library itself stays loaded.
struct PlanTable {
  std::array<qvfftplan, kMaxLog2 + 1> plans;
  ~PlanTable() {
    std::lock_guard<std::mutex> lock(fftwPlannerLock());
    for (qvfftplan& p : plans) {
      if (p.forward) fftwf_destroy_plan(p.forward);
      if (p.inverse) fftwf_destroy_plan(p.inverse);
      p.forward = p.inverse = nullptr;
    }
  }
};
}  // namespace

std::mutex& fftwPlannerLock() {
  static std::mutex m;
  return m;
}

const qvfftplan* fftPlanFor(int n) {
  int log2n = 1;
  while (log2n <= kMaxLog2 && (1 << log2n) != n) ++log2n;
  if (log2n > kMaxLog2) return nullptr;

  std::lock_guard<std::mutex> lock(fftwPlannerLock());
  // Process-wide on purpose: plans are read-only once made and shared by every
  // engine instance, so a host running many instances plans each size once.
  static PlanTable table;
  qvfftplan& p = table.plans[log2n];
  if (p.forward && p.inverse) return &p;

  qvfftwbuffer<float> time = makeFftwBuffer<float>(n);
  qvfftwbuffer<fftwf_complex> freq = makeFftwBuffer<fftwf_complex>(n / 2 + 1);
  if (!time || !freq) return nullptr;
  // ESTIMATE leaves the arrays alone; the plans are then run on other arrays of the
  // same alignment through fftwf_execute_dft_r2c/c2r.
  if (!p.forward) p.forward = fftwf_plan_dft_r2c_1d(n, time.get(), freq.get(), FFTW_ESTIMATE);
  if (!p.inverse) p.inverse = fftwf_plan_dft_c2r_1d(n, freq.get(), time.get(), FFTW_ESTIMATE);
  p.size = n;
  return p.forward && p.inverse ? &p : nullptr;
}

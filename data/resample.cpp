// Impulse conversion with libsoxr's high-quality linear-phase converter (20-bit,
// flat to 91% of the lower Nyquist frequency): far below what a cabinet response
// carries, and half the time of the very-high-quality setting while the audio
// block waits. Its filter delay is already removed from what it returns, so output
// sample k lies at time k / host rate as input sample j lies at j / file rate.
#include "data/resample.hpp"

#include <soxr.h>

#include <cmath>

int resampleImpulse(std::vector<float>& samples, float fileRate, float hostRate) {
  if (!(fileRate > 0.0f) || !(hostRate > 0.0f) || !std::isfinite(fileRate) ||
      !std::isfinite(hostRate))
    return kResampleFailed;
  const float r = fileRate / hostRate;
  if (r == 1.0f) return kRateMatches;
  if (samples.empty()) return kResampled;

  const float out_count = std::fabs(float(samples.size()) / r);
  // A forged rate (1 Hz up to the host's) would ask for billions of samples.
  if (!(out_count < float(kMaxResampledCount))) return kResampleFailed;
  const size_t m = size_t(out_count) + 1;
  // The converter stops at the end of its input; a few zeros behind the impulse
  // let it ring out up to the m-th output instead of stopping one short.
  std::vector<float> in(samples);
  in.resize(samples.size() + size_t(std::ceil(r)) + 4, 0.0f);
  std::vector<float> out(m, 0.0f);

  // One thread: the load may run on the host's audio thread between blocks.
  const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
  const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
  size_t in_done = 0, out_done = 0;
  soxr_error_t err = soxr_oneshot(double(fileRate), double(hostRate), 1, in.data(), in.size(),
                                  &in_done, out.data(), m, &out_done, &io, &quality, &runtime);
  if (err) return kResampleFailed;

  for (size_t k = 0; k < m; ++k) out[k] = k < out_done ? out[k] * r : 0.0f;
  samples.swap(out);
  return kResampled;
}

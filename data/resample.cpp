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
  std::vector<float> out(m, 0.0f);

  // One thread: the load may run on the host's audio thread between blocks.
  const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
  const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
  soxr_error_t err = nullptr;
  soxr_t converter =
      soxr_create(double(fileRate), double(hostRate), 1, &err, &io, &quality, &runtime);
  if (!converter || err) {
    if (converter) soxr_delete(converter);
    return kResampleFailed;
  }
  // The converter holds back what its filter has not yet seen the end of; a
  // one-shot call returns without it, and a short impulse taken down by a large
  // ratio (96 kHz to 8 kHz) would come back empty. The input goes in whole, then
  // empty calls drain the filter until the m outputs are there or it runs dry.
  // The input may stop short only when the m outputs are all there already.
  size_t in_done = 0, out_done = 0;
  err = soxr_process(converter, samples.data(), samples.size(), &in_done, out.data(), m, &out_done);
  size_t got = out_done;
  while (!err && got < m) {
    err = soxr_process(converter, nullptr, 0, nullptr, out.data() + got, m - got, &out_done);
    if (out_done == 0) break;
    got += out_done;
  }
  soxr_delete(converter);
  if (err) return kResampleFailed;

  for (size_t k = 0; k < m; ++k) out[k] = k < got ? out[k] * r : 0.0f;
  samples.swap(out);
  return kResampled;
}

#include "tools/factorydoc/rigsim.hpp"

#include <cmath>
#include <cstdint>

#include "units/polefilters.hpp"

namespace {

constexpr double kPi = 3.141592653589793;

// A cabinet's broad shape: 2-pole high-pass at 90 Hz and 2-pole low-pass at 4.5 kHz,
// with a band gain of 2, near the factory impulses' loudness.
struct SimCab {
  polefilt_2lpc hp, lp;
  SimCab() {
    hp.setkind(1);
    hp.setrate(kSimRate);
    hp.setfreq(90.0f, 0.0f);
    lp.setkind(0);
    lp.setrate(kSimRate);
    lp.setfreq(4500.0f, 0.0f);
  }
  float process(float x) { return 2.0f * lp.process(hp.process(x)); }
};

double mean(const std::vector<float>& v, size_t from) {
  double s = 0;
  for (size_t i = from; i < v.size(); ++i) s += v[i];
  return s / static_cast<double>(v.size() - from);
}

}  // namespace

std::vector<float> pluckedGuitarDI(double seconds) {
  const size_t n = static_cast<size_t>(seconds * kSimRate);
  std::vector<double> out(n, 0.0);
  const double freqs[3] = {110.0, 164.81, 220.0};
  uint32_t seed = 12345u;
  for (int s = 0; s < 3; ++s) {
    size_t start = static_cast<size_t>(s * 0.12 * kSimRate);
    size_t period = static_cast<size_t>(kSimRate / freqs[s]);
    std::vector<double> line(period);
    for (double& v : line) {
      seed = seed * 1664525u + 1013904223u;
      v = (static_cast<double>(seed >> 8) / 8388608.0 - 1.0);
    }
    size_t k = 0;
    for (size_t i = start; i < n; ++i) {
      size_t next = (k + 1) % period;
      double v = 0.996 * 0.5 * (line[k] + line[next]);
      out[i] += line[k];
      line[k] = v;
      k = next;
    }
  }
  double peak = 0;
  for (double v : out) peak = std::fmax(peak, std::fabs(v));
  std::vector<float> result(n);
  for (size_t i = 0; i < n; ++i) result[i] = static_cast<float>(0.5 * out[i] / peak);
  return result;
}

std::vector<float> testTone220(double seconds) {
  const size_t n = static_cast<size_t>(seconds * kSimRate);
  std::vector<float> out(n);
  const double a = std::pow(10.0, -12.0 / 20.0);
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<float>(a * std::sin(2 * kPi * 220.0 * i / kSimRate));
  return out;
}

std::vector<float> simulateRig(fdRig& rig, const std::vector<float>& in) {
  std::vector<SimCab> cabs(rig.cabs.size());
  std::vector<float> out(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    float x = static_cast<float>(in[i] * kFactoryInputGain);
    x = rig.gate->process(x);
    for (auto& u : rig.units)
      if (!u->bypassed) x = u->process(x);
    float left = x;
    if (!rig.cabs.empty()) {
      float chain = x;
      left = 0;
      for (size_t c = 0; c < rig.cabs.size(); ++c) {
        const qvusconv& cab = *rig.cabs[c];
        if (cab.params[qvusconv::kEnabled]->xi == 0) continue;
        float w = cabs[c].process(chain);
        float dry = cab.params[qvusconv::kDry]->getValue();
        float y = ((1 - dry) * w + dry * x) * cab.params[qvusconv::kVolume]->getValue();
        if (cab.params[qvusconv::kInvert]->xi != 0) y = -y;
        x = y;
        left += cab.params[qvusconv::kPan]->getValue() * y;
      }
    }
    out[i] = static_cast<float>(left * kFactoryOutputGain);
  }
  return out;
}

double toneDistortion(const std::vector<float>& y, double freq_hz, float rate) {
  // Least squares on [sin, cos, 1]: the three are close to orthogonal over many periods,
  // so projecting after removing the mean is accurate enough for a figure.
  size_t from = y.size() / 2;
  double dc = mean(y, from);
  double ss = 0, sc = 0, s2 = 0, c2 = 0;
  for (size_t i = from; i < y.size(); ++i) {
    double ph = 2 * kPi * freq_hz * static_cast<double>(i) / rate;
    double s = std::sin(ph), c = std::cos(ph);
    ss += (y[i] - dc) * s;
    sc += (y[i] - dc) * c;
    s2 += s * s;
    c2 += c * c;
  }
  double a = ss / s2, b = sc / c2;
  double resid = 0, tone = 0;
  for (size_t i = from; i < y.size(); ++i) {
    double ph = 2 * kPi * freq_hz * static_cast<double>(i) / rate;
    double fit = a * std::sin(ph) + b * std::cos(ph);
    double r = y[i] - dc - fit;
    resid += r * r;
    tone += fit * fit;
  }
  return tone > 0 ? std::sqrt(resid / tone) : 0.0;
}

namespace {
template <class Build>
fdSimFigures measure(Build build, std::string& err) {
  fdSimFigures f;
  qvprocstate state;
  state.sampleRate = kSimRate;
  fdRig pluckRig, toneRig;
  err = build(state, pluckRig);
  if (err.empty()) err = build(state, toneRig);
  if (!err.empty()) return f;
  std::vector<float> y = simulateRig(pluckRig, pluckedGuitarDI(2.0));
  double sum = 0;
  for (float v : y) {
    if (!std::isfinite(v)) f.finite = false;
    f.peak = std::fmax(f.peak, std::fabs(v));
    sum += static_cast<double>(v) * v;
  }
  f.rms = std::sqrt(sum / static_cast<double>(y.size()));
  std::vector<float> t = simulateRig(toneRig, testTone220(1.0));
  for (float v : t)
    if (!std::isfinite(v)) f.finite = false;
  f.thd = toneDistortion(t, 220.0, kSimRate);
  return f;
}
}  // namespace

fdSimFigures measurePreset(const fdSource& src, const fdPreset& p, std::string& err) {
  return measure([&](const qvprocstate& s, fdRig& r) { return buildPresetRig(src, p, s, r); }, err);
}

fdSimFigures measureDefinition(const fdSource& src, const fdDefinition& d, std::string& err) {
  return measure([&](const qvprocstate& s, fdRig& r) { return buildDefinitionRig(src, d, s, r); }, err);
}

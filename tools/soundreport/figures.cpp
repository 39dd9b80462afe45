#include "tools/soundreport/figures.hpp"

#include <algorithm>
#include <cmath>

#include "tools/host/guitarsynth.hpp"

double toDb(double ratio) { return 20.0 * std::log10(std::max(ratio, 1e-12)); }

std::string optionsText(const qvaliasoptions& o) {
  std::string s;
  auto add = [&s](const std::string& word) {
    if (!s.empty()) s += ", ";
    s += word;
  };
  if (o.stopband) add("stopband");
  if (o.filterOrder > kMinFilterOrder) add("order=" + std::to_string(o.filterOrder));
  if (o.stages.antiderivative == 1) add("antiderivative");
  if (o.stages.antiderivative > 1) add("antiderivative=" + std::to_string(o.stages.antiderivative));
  if (o.stages.lowpass) add("stagelowpass");
  if (o.minFactor > 1) add("factor " + std::to_string(o.minFactor));
  return s;
}

namespace {
bool allFinite(const std::vector<float>& y) {
  return std::all_of(y.begin(), y.end(), [](float v) { return std::isfinite(v); });
}

double rmsDb(const std::vector<float>& y) {
  double sum = 0;
  for (float v : y) sum += static_cast<double>(v) * v;
  return toDb(std::sqrt(sum / static_cast<double>(std::max<size_t>(y.size(), 1))));
}

double peakDb(const std::vector<float>& y) {
  double peak = 0;
  for (float v : y) peak = std::max(peak, static_cast<double>(std::fabs(v)));
  return toDb(peak);
}

std::vector<float> lastSeconds(const std::vector<float>& y, double seconds, double rate) {
  const size_t n = std::min(y.size(), static_cast<size_t>(seconds * rate));
  return std::vector<float>(y.end() - static_cast<std::ptrdiff_t>(n), y.end());
}
}  // namespace

srfigures measurePreset(srpresetrun& run, uint32_t index, int factor) {
  srfigures f;
  f.name = run.presetName(index);
  f.category = run.categoryName(index);
  const double rate = run.rate();
  std::vector<float> y;

  f.code = run.render(index, testSine(kAliasLowFreq_hz, kAliasToneLevel_db, kAliasRenderSeconds, rate),
                      y, factor);
  f.finite = allFinite(y);
  const sraliasing low =
      nonHarmonicShare(lastSeconds(y, kAliasAnalyseSeconds, rate), kAliasLowFreq_hz, rate, 4);
  f.alias997_db = low.level_db;
  f.lines997 = low.strongest;
  f.options = optionsText(run.engine().chain.aliasOptions);
  f.factor = run.engine().chain.factor;

  run.render(index, testSine(kAliasHighFreq_hz, kAliasToneLevel_db, kAliasRenderSeconds, rate), y, factor);
  f.finite = f.finite && allFinite(y);
  const std::vector<float> tail = lastSeconds(y, kAliasAnalyseSeconds, rate);
  const sraliasing high = nonHarmonicShare(tail, kAliasHighFreq_hz, rate, 4);
  f.alias3520_db = high.level_db;
  f.lines3520 = high.strongest;
  f.output3520_db = rmsDb(tail);

  run.render(index, synthGuitarDI(rate, kGuitarSeconds), y, factor);
  f.finite = f.finite && allFinite(y);
  f.rms_db = rmsDb(y);
  f.peak_db = peakDb(y);

  run.render(index, testSine(kDistortionFreq_hz, kDistortionLevel_db, 1.0, rate), y, factor);
  f.finite = f.finite && allFinite(y);
  f.distortion = toneDistortion(y, kDistortionFreq_hz, rate);
  return f;
}

void measureSettled(srpresetrun& run, uint32_t index, int factor, srfigures& f) {
  const double rate = run.rate();
  std::vector<float> y;
  run.render(index, testSine(kAliasLowFreq_hz, kAliasToneLevel_db, kSettledRenderSeconds, rate), y, factor);
  f.settled997_db = nonHarmonicShare(lastSeconds(y, kAliasAnalyseSeconds, rate), kAliasLowFreq_hz, rate).level_db;
  run.render(index, testSine(kAliasHighFreq_hz, kAliasToneLevel_db, kSettledRenderSeconds, rate), y, factor);
  f.settled3520_db = nonHarmonicShare(lastSeconds(y, kAliasAnalyseSeconds, rate), kAliasHighFreq_hz, rate).level_db;
}

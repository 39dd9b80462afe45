#include "plugin/aliasoptions.hpp"

#include <algorithm>
#include <cmath>

#include "units/clipping.hpp"
#include "units/tubegain.hpp"

qvaliasoptions readAliasOptions(const qvjsoncursor& c) {
  qvaliasoptions o;
  c.getBool(kKeyStopband, o.stopband);
  int32_t filterOrder = kMinFilterOrder;
  if (c.getInt(kKeyFilterOrder, filterOrder))
    o.filterOrder = std::clamp(filterOrder, kMinFilterOrder, kMaxFilterOrder) / 2 * 2;
  int32_t order = 0;  // true reads as 1
  if (c.getInt(kKeyAntiderivative, order)) o.stages.antiderivative = std::clamp(order, 0, kMaxAntiderivativeOrder);
  c.getBool(kKeyStageLowpass, o.stages.lowpass);
  int32_t factor = 1;
  if (c.getInt(kKeyMinFactor, factor)) o.minFactor = std::clamp(factor, 1, kMaxMinFactor);
  return o;
}

void writeAliasOptions(qvjsoncursor& w, const qvaliasoptions& options) {
  if (options.stopband) w.addBool(kKeyStopband, true);
  if (options.filterOrder > kMinFilterOrder) w.addInt(kKeyFilterOrder, options.filterOrder);
  if (options.stages.antiderivative > 0) w.addInt(kKeyAntiderivative, options.stages.antiderivative);
  if (options.stages.lowpass) w.addBool(kKeyStageLowpass, true);
  if (options.minFactor > 1) w.addInt(kKeyMinFactor, options.minFactor);
}

void applyStageOptions(qvlist<qvutil>& units, const qvstageoptions& options) {
  for (uint32_t u = 0; u < units.count(); ++u) {
    qvutil* unit = units[u];
    if (unit->blocktype() == kBlockTubeGain) static_cast<qvustubea*>(unit)->setStageOptions(options);
    else if (unit->blocktype() == kBlockClipping) static_cast<qvusclip*>(unit)->setStageOptions(options);
  }
}

int effectiveFactor(int setting, const qvaliasoptions& options) {
  return setting > 1 ? std::max(setting, options.minFactor) : setting;
}

double stopbandCutoff(double rate, int factor, double selectivity) {
  constexpr double kPi = 3.141592653589793;
  // The filter is designed at `rate` for a cutoff of rate / (2·factor) by default,
  // i.e. normalised 1 / (2·factor), which is the host's Nyquist at the rate it runs
  // at. The bilinear transform maps the prototype's edges through tan(π·fc): the
  // stopband edge goes there and the passband edge `selectivity` times lower on
  // that warped axis.
  const double stopWarped = std::tan(kPi / (2.0 * factor));
  return std::atan(stopWarped / selectivity) / kPi * rate;
}

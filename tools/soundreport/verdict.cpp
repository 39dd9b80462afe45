#include "tools/soundreport/verdict.hpp"

#include <algorithm>
#include <cmath>

double median(std::vector<double> v) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

srverdict judge(const std::vector<srfigures>& all) {
  srverdict v;
  std::vector<double> levels;
  std::map<std::string, std::vector<double>> distortion;
  for (const srfigures& f : all) {
    levels.push_back(f.rms_db);
    distortion[f.category].push_back(f.distortion);
    if (f.name == kLayeredOD) v.layered = &f;
    if (f.code != 0 || !f.finite) v.faults.push_back(&f);
    const bool low = f.alias997_db > kTarget997_db, high = f.alias3520_db > kTarget3520_db;
    if (low) v.miss997.push_back(&f);
    if (high) v.miss3520.push_back(&f);
    if ((low || high) && !missReason(f.name)) v.unexplained.push_back(&f);
  }
  v.medianRms_db = median(levels);
  if (!all.empty()) {
    const auto [lo, hi] = std::minmax_element(levels.begin(), levels.end());
    v.lowestRms_db = *lo - v.medianRms_db;
    v.highestRms_db = *hi - v.medianRms_db;
  }
  for (const srfigures& f : all)
    if (std::fabs(f.rms_db - v.medianRms_db) > kLevelSpread_db) v.levelOutliers.push_back(&f);
  for (const auto& [category, values] : distortion) v.medianDistortion[category] = median(values);
  for (size_t c = 1; c < kDistortionOrder.size(); ++c)
    if (!(v.medianDistortion[kDistortionOrder[c - 1]] < v.medianDistortion[kDistortionOrder[c]]))
      v.orderKept = false;
  return v;
}

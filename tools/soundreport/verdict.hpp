// The sound targets and what the figures of all factory presets say about them:
// aliasing of every preset, "Layered OD" on its own, levels matched around the
// median, distortion rising by category, every preset loading and playing finite
// audio. A preset that misses an aliasing target needs a recorded reason.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "tools/soundreport/figures.hpp"

constexpr double kTarget3520_db = -65.0;       // every preset, 3520 Hz tone
constexpr double kTarget997_db = -75.0;        // every preset, 997 Hz tone
constexpr double kTargetLayered3520_db = -80.0;  // "Layered OD", 3520 Hz tone
constexpr double kLevelSpread_db = 6.0;        // RMS within ± this of the median
inline const char* const kLayeredOD = "Layered OD";
// Categories whose median distortion must rise in this order.
inline const std::vector<std::string> kDistortionOrder = {"Clean", "Mellow", "Aggressive", "Extreme"};

struct srverdict {
  std::vector<const srfigures*> miss997, miss3520;  // presets over the aliasing targets
  std::vector<const srfigures*> unexplained;       // of those, without a recorded reason
  std::vector<const srfigures*> levelOutliers;     // RMS beyond the spread
  std::vector<const srfigures*> faults;            // load code not 0, or non-finite output
  const srfigures* layered = nullptr;              // "Layered OD", when present
  double medianRms_db = 0;
  double lowestRms_db = 0, highestRms_db = 0;      // relative to the median
  std::map<std::string, double> medianDistortion;  // by category
  bool orderKept = true;

  bool layeredPasses() const { return layered && layered->alias3520_db <= kTargetLayered3520_db; }
  // Every check: misses only with a reason, levels, order, no faults, "Layered OD".
  bool passes() const {
    return unexplained.empty() && levelOutliers.empty() && faults.empty() && orderKept && layeredPasses();
  }
};

// [any] The verdict over all presets' figures (which must outlive it).
srverdict judge(const std::vector<srfigures>& all);

// Why presets miss an aliasing target, as found by hand.
struct srcause {
  const char* title;        // a few words for the table
  const char* explanation;  // what was found and how
};

// [any] The cause recorded for a preset's miss; nullptr when none is
// (tools/soundreport/reasons.cpp).
const srcause* missReason(const std::string& preset);

// [any] Median of v (mean of the middle two for an even count); 0 for none.
double median(std::vector<double> v);

// docs/sound.md: the targets and their verdict, the presets that miss one and why,
// aliasing, level, peak and distortion of every factory preset in sorted tables.
#pragma once
#include <string>
#include <vector>

#include "tools/soundreport/verdict.hpp"

struct srrunfacts {
  std::string date;     // UTC
  std::string commit;
  std::string command;
  std::string build;    // build type
  double rate = 0;      // Hz
  int factorSetting = 0;  // global oversampling setting the presets ran with
  std::string plot;     // file name of the aliasing plot, relative to the report
};

// [any] The whole report.
std::string soundReportText(const std::vector<srfigures>& all, const srverdict& v, const srrunfacts& run);

// docs/sound-aliasing.png: the aliasing of every factory preset as one bar per
// preset, worst at the top, with the targets as lines, so that the presets over a
// target stand out at a glance. Drawn with cairo.
#pragma once
#include <string>
#include <vector>

#include "tools/soundreport/figures.hpp"

// [any] Writes the plot as a PNG; false when it cannot be written.
bool writeAliasPlot(const std::vector<srfigures>& all, const std::string& path, const std::string& subtitle);

// Start-up time and memory of plug-in instances, each measurement in a fresh
// process (corvina-startprobe) so nothing earlier has warmed or filled it.
#pragma once
#include <string>

struct startupfigure {
  double wallMs = 0.0;    // dlopen to the end of the last instance's first block
  double cpuMs = 0.0;     // CPU time of the process over the same span
  double dlopenMs = 0.0;  // of which loading the library
  double rssMb = 0.0;     // resident memory added (MiB)
};

// Runs `probe` `runs` times with `instances` instances; each figure is the
// median of the runs. False with the reason in `error` when a run fails.
bool measureStartup(const std::string& probe, const std::string& plugin, int instances,
                    double rate, int runs, startupfigure& out, std::string& error);

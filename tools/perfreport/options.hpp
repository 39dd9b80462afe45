// The command line of corvina-perfreport.
#pragma once
#include <string>
#include <vector>

#include "tools/host/cmdline.hpp"

struct perfoptions {
  std::string out;                 // the Markdown file; empty: standard output
  std::string plugin;              // corvina.so to measure
  std::string probe;               // corvina-startprobe
  std::string convolutionJson;     // bench_convolution's JSON output; empty: section not run
  std::string commit;              // for the report's header
  std::string command;             // how the report was made, for its header
  std::string buildType;
  std::string preset;              // only this preset; empty: every factory preset
  std::vector<double> rates{44100.0, 48000.0, 96000.0};
  std::vector<std::string> sections{"rtf",     "oversampling", "switch", "startup",
                                    "silence", "convolution",  "paths",  "editor"};
  double seconds = 5.0;            // audio per real-time factor run
  int repeats = 3;                 // runs per real-time factor, the best kept
  double silenceSeconds = 2.0;     // signal, then as much silence
  int silenceCycles = 2;
  int switchRepeats = 3;           // switches per (predecessor, preset) pair
  int predecessors = 3;            // besides the fixed one
  int startupRuns = 5;             // fresh processes per start-up figure
  int instances = 16;              // for the many-instances start-up figure
  int cpu = -1;                    // the processor to run on (and the probes); -1: any

  bool wants(const std::string& section) const;
};

// kExitOk when the options are good; otherwise the exit code after a message.
// --help prints the usage and exits.
int parsePerfOptions(int argc, char** argv, perfoptions& o);

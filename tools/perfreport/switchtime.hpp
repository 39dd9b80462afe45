// The cost of a preset switch where the listener pays for it: the audio thread
// runs rig command 85003 (select preset) at the start of a block, and that
// block's deadline is one block away. The engine is built as the plug-in builds
// it (factory document and impulses from the resources linked in), a second
// thread posts the command as the editor or host would, and this thread plays
// blocks until it has drained it.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "data/qvstring.hpp"

class timedengine;

// One switch, in milliseconds.
struct switchfigure {
  double commandCpu = 0.0;   // thread CPU time of the command itself
  double commandWall = 0.0;  // its wall time
  double blockCpu = 0.0;     // CPU of the block that ran it, minus a normal block of the new rig
  double worstCpu = 0.0;     // the highest command or block CPU of all the switches measured
};

class switchbench {
public:
  switchbench();
  ~switchbench();
  switchbench(const switchbench&) = delete;
  switchbench& operator=(const switchbench&) = delete;

  // [ui] Builds the engine in `folder` (no user document there) at `rate`,
  // playing `di` (looped) through every block.
  bool open(const qvstring& folder, float rate, std::vector<float> di, std::string& error);
  int presetCount() const;
  qvstring presetName(int index) const;
  // The rig playing now: its units and its cab sims.
  unsigned unitCount() const;
  unsigned cabCount() const;
  // Switches to `from` (not timed), plays a few blocks, switches to `to` and
  // plays on; each figure but worstCpu is the median of `repeats` such switches.
  // False when the command never reached the audio thread.
  bool measure(int from, int to, int repeats, switchfigure& out, std::string& error);

private:
  // Posts the switch from another thread and plays blocks until it ran here.
  // `timed` gets the figures (blockCpu still including the normal block).
  bool switchTo(int index, switchfigure* timed, std::string& error);
  double playBlock();  // thread CPU seconds of one block

  std::unique_ptr<timedengine> engine_;
  std::vector<float> di_;
  size_t cursor_ = 0;
  std::vector<float> left_, right_;
};

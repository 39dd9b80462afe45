// Measurements through the plug-in's binary interface: the staged corvina.so is
// loaded like a host loads it, a preset is handed over as its chunk, and audio
// goes through processReplacing in host blocks. Everything runs on the calling
// thread; times are process CPU time (the plug-in starts no threads).
#pragma once
#include <string>
#include <vector>

#include "data/qvstring.hpp"
#include "tools/host/pluginstage.hpp"

inline constexpr int kHostBlock = 256;  // frames per processReplacing call

// A staged plug-in with its presets, at the factory oversampling factor or at a
// chosen one (written into the staged user document).
struct stagedrig {
  pluginstage stage;
  presetbook book;
  // `plugin`: the library to stage; `oversampling` 0 keeps the factory setting.
  bool create(const std::string& plugin, int oversampling, std::string& error);
};

// Seconds of audio per CPU second while preset `chunk` plays `di` (mono, fed to
// both inputs) at `rate` in 256-frame blocks, after `warmup` blocks of the same
// signal that are not counted. Negative when the plug-in cannot be opened.
double realTimeFactor(const pluginstage& stage, const qvstring& chunk, const std::vector<float>& di,
                      double rate, int warmup, std::string& error);

// CPU seconds per block while a preset plays signal, and while it then plays
// silence (its tails decaying into nothing).
struct silencecost {
  double signalPerBlock = 0.0;
  double silencePerBlock = 0.0;
  double ratio() const { return signalPerBlock > 0.0 ? silencePerBlock / signalPerBlock : 0.0; }
};

// `cycles` times: `di` (signal), then as many frames of silence, in one
// instance; a second instance of the same preset plays signal all along, block
// by block in turn with the first, and gives the signal cost of the same
// moments. The first quarter second is not counted.
bool silenceCost(const pluginstage& stage, const qvstring& chunk, const std::vector<float>& di,
                 double rate, int cycles, silencecost& out, std::string& error);

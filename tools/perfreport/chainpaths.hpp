// The chain's block path against its per-sample reference, in this process: an
// engine built as the plug-in builds it (factory document and impulses from the
// resources linked in), one preset, the guitar DI played in 256-frame host blocks
// under the denormal guard as processReplacing runs the chain. No switch in the
// plug-in reaches the per-sample path; only code linked with the engine can.
#pragma once
#include <string>
#include <vector>

struct chainpathfactors {
  double block = 0.0;      // real-time factor of qvchain::process
  double perSample = 0.0;  // of qvchain::processPerSample
};

// Best of `repeats` runs of each path, in rounds (the paths alternate), over `di`
// at `rate`. The engine's folder `folder` must hold no user document. False with
// the reason in `error` when the engine or the preset cannot be made.
bool measureChainPaths(const std::string& folder, const std::string& preset, double rate,
                       const std::vector<float>& di, int repeats, chainpathfactors& out,
                       std::string& error);

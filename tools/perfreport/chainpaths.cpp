#include "tools/perfreport/chainpaths.hpp"

#include <algorithm>
#include <memory>

#include "plugin/denormalguard.hpp"
#include "plugin/qvengine.hpp"
#include "resources/resources.hpp"
#include "tools/host/cputime.hpp"
#include "tools/host/stats.hpp"

namespace {
constexpr int kBlock = 256;
constexpr int kWarmupBlocks = 8;

// Plays `di` through the chain in host blocks after a few blocks of it that are
// not counted; CPU seconds of the counted part.
double play(qvengine& e, const std::vector<float>& di, bool perSample) {
  std::vector<float> in(kBlock), left(kBlock), right(kBlock);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {left.data(), right.data()};
  const auto block = [&](size_t at, size_t end) {
    const int n = int(std::min<size_t>(kBlock, end - at));
    std::copy_n(di.begin() + std::ptrdiff_t(at), n, in.begin());
    qvdenormalguard guard;  // as processReplacing runs the chain
    if (perSample) {
      e.chain.processPerSample(ins, outs, n);
    } else {
      e.chain.process(ins, outs, n);
    }
  };
  const size_t warmup = std::min(di.size(), size_t(kWarmupBlocks) * kBlock);
  for (size_t at = 0; at < warmup; at += kBlock) block(at, warmup);
  const double start = processCpuSeconds();
  for (size_t at = 0; at < di.size(); at += kBlock) block(at, di.size());
  return processCpuSeconds() - start;
}
}  // namespace

bool measureChainPaths(const std::string& folder, const std::string& preset, double rate,
                       const std::vector<float>& di, int repeats, chainpathfactors& out,
                       std::string& error) {
  if (di.empty()) {
    error = "no signal to play";
    return false;
  }
  auto e = std::make_unique<qvengine>(folder, qvstring("./corvina-save.fxda"));
  e->setSampleRate(float(rate), false);
  qvresource factory;
  if (!loadDataResource("corvina-init.fxda", factory)) {
    error = "the factory document is not among the linked resources";
    return false;
  }
  e->data.factoryText.assign(reinterpret_cast<const char*>(factory.bytes), factory.size);
  e->loadSystem();
  int32_t index = -1;
  for (uint32_t i = 0; i < e->data.presets.count(); ++i)
    if (e->data.presets[i]->name == preset) index = int32_t(i);
  if (index < 0) {
    error = "no preset named \"" + preset + "\"";
    return false;
  }
  // No audio thread yet: the command runs at once, on this thread.
  e->postCommand(kCmdSelectPreset, float(index));
  if (e->data.currentPreset != index) {
    error = "the preset \"" + preset + "\" did not load";
    return false;
  }
  const double seconds = double(di.size()) / rate;
  out = {};
  for (int r = 0; r < std::max(1, repeats); ++r) {
    for (bool perSample : {true, false}) {
      e->chain.resetRunningState();
      const double used = play(*e, di, perSample);
      const double factor = used > 0.0 ? seconds / used : 0.0;
      double& best = perSample ? out.perSample : out.block;
      best = std::max(best, factor);
    }
  }
  return true;
}

#include "tools/perfreport/switchtime.hpp"

#include <algorithm>
#include <atomic>
#include <thread>

#include "plugin/qvengine.hpp"
#include "resources/resources.hpp"
#include "tools/host/cputime.hpp"
#include "tools/host/stats.hpp"

namespace {
constexpr int kBlock = 256;
constexpr int kSettleBlocks = 4;    // played after the untimed switch
constexpr int kNormalBlocks = 16;   // of the new rig, for the normal block's cost
constexpr int kGiveUpBlocks = 200000;
}  // namespace

// The engine with the select command timed where it runs. Only the audio thread
// writes the figures, and it reads them after the counter moved.
class timedengine final : public qvengine {
public:
  using qvengine::qvengine;

  void runRigCommand(int32_t code, float value) override {
    const double cpu = threadCpuSeconds();
    const double wall = wallSeconds();
    qvengine::runRigCommand(code, value);
    if (code != kCmdSelectPreset) return;
    commandCpu = threadCpuSeconds() - cpu;
    commandWall = wallSeconds() - wall;
    ranOn = std::this_thread::get_id();
    selects.fetch_add(1, std::memory_order_release);
  }

  double commandCpu = 0.0;
  double commandWall = 0.0;
  std::thread::id ranOn;
  std::atomic<int> selects{0};
};

switchbench::switchbench() = default;
switchbench::~switchbench() = default;

bool switchbench::open(const qvstring& folder, float rate, std::vector<float> di,
                       std::string& error) {
  if (di.empty()) {
    error = "no signal to play";
    return false;
  }
  di_ = std::move(di);
  left_.assign(kBlock, 0.0f);
  right_.assign(kBlock, 0.0f);
  // As the plug-in's constructor does, with the host's rate known from the start.
  engine_ = std::make_unique<timedengine>(folder, qvstring("./corvina-save.fxda"));
  engine_->setSampleRate(rate, false);
  qvresource factory;
  if (!loadDataResource("corvina-init.fxda", factory)) {
    error = "the factory document is not among the linked resources";
    return false;
  }
  engine_->data.factoryText.assign(reinterpret_cast<const char*>(factory.bytes), factory.size);
  engine_->loadSystem();
  if (engine_->data.presets.count() == 0) {
    error = "the factory document gave no presets";
    return false;
  }
  // The first block marks the audio thread as running: from now on commands
  // wait for it.
  playBlock();
  return true;
}

int switchbench::presetCount() const { return int(engine_->data.presets.count()); }

qvstring switchbench::presetName(int index) const {
  return engine_->data.presets[uint32_t(index)]->name;
}

unsigned switchbench::unitCount() const { return engine_->chain.units.count(); }
unsigned switchbench::cabCount() const { return engine_->chain.cabBlocks.count(); }

double switchbench::playBlock() {
  if (cursor_ + kBlock > di_.size()) cursor_ = 0;
  float* inputs[2] = {di_.data() + cursor_, di_.data() + cursor_};
  float* outputs[2] = {left_.data(), right_.data()};
  cursor_ += kBlock;
  const double start = threadCpuSeconds();
  engine_->processReplacing(inputs, outputs, kBlock);
  return threadCpuSeconds() - start;
}

bool switchbench::switchTo(int index, switchfigure* timed, std::string& error) {
  timedengine& e = *engine_;
  // A few tries: on a loaded machine the poster may give up waiting for this
  // thread and run the command itself, which is not the switch we time.
  for (int attempt = 0; attempt < 5; ++attempt) {
    const int before = e.selects.load(std::memory_order_acquire);
    std::thread poster([&e, index] { e.postCommand(kCmdSelectPreset, float(index)); });
    double blockCpu = 0.0;
    bool ran = false;
    for (int b = 0; b < kGiveUpBlocks && !ran; ++b) {
      blockCpu = playBlock();
      ran = e.selects.load(std::memory_order_acquire) != before;
    }
    poster.join();
    if (!ran) break;
    if (e.ranOn != std::this_thread::get_id()) continue;
    if (timed) {
      timed->commandCpu = e.commandCpu * 1e3;
      timed->commandWall = e.commandWall * 1e3;
      timed->blockCpu = blockCpu * 1e3;
    }
    return true;
  }
  error = "the select command did not run on the audio thread";
  return false;
}

bool switchbench::measure(int from, int to, int repeats, switchfigure& out, std::string& error) {
  std::vector<double> cpu, wall, block;
  out.worstCpu = 0.0;
  for (int r = 0; r < std::max(1, repeats); ++r) {
    if (!switchTo(from, nullptr, error)) return false;
    for (int b = 0; b < kSettleBlocks; ++b) playBlock();
    switchfigure f;
    if (!switchTo(to, &f, error)) return false;
    std::vector<double> normal;
    for (int b = 0; b < kNormalBlocks; ++b) normal.push_back(playBlock() * 1e3);
    cpu.push_back(f.commandCpu);
    wall.push_back(f.commandWall);
    block.push_back(f.blockCpu - median(normal));
    out.worstCpu = std::max({out.worstCpu, cpu.back(), block.back()});
  }
  out.commandCpu = median(cpu);
  out.commandWall = median(wall);
  out.blockCpu = median(block);
  return true;
}

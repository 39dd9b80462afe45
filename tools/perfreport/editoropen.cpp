#include "tools/perfreport/editoropen.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "plugin/qvengine.hpp"
#include "tools/host/cputime.hpp"
#include "tools/snapshot/editorinstance.hpp"

namespace {
constexpr int kBlock = 256;
constexpr int kWarmupBlocks = 8;
constexpr int kIdleMs = 40;  // 25 idle calls a second

constexpr double kRunWallSeconds = 2.0;  // long enough for 50 idle calls

// Plays `di` through the effect, after a few blocks that are not counted, over
// and over until kRunWallSeconds have passed; the thread CPU seconds used and
// the audio seconds played.
void play(qveditorinstance& in, const std::vector<float>& di, double rate, double& cpu, double& audio) {
  std::vector<float> x(kBlock), left(kBlock), right(kBlock);
  float* ins[2] = {x.data(), x.data()};
  float* outs[2] = {left.data(), right.data()};
  const auto block = [&](size_t at, size_t end) {
    const int n = int(std::min<size_t>(kBlock, end - at));
    std::copy_n(di.begin() + std::ptrdiff_t(at), n, x.begin());
    in.effect().processReplacing(ins, outs, n);
  };
  const size_t warmup = std::min(di.size(), size_t(kWarmupBlocks) * kBlock);
  for (size_t at = 0; at < warmup; at += kBlock) block(at, warmup);
  const double start = threadCpuSeconds(), wallStart = wallSeconds();
  size_t frames = 0;
  do {
    for (size_t at = 0; at < di.size(); at += kBlock) block(at, di.size());
    frames += di.size();
  } while (wallSeconds() - wallStart < kRunWallSeconds);
  cpu = threadCpuSeconds() - start;
  audio = double(frames) / rate;
}
}  // namespace

bool measureEditorOpen(const std::string& preset, double rate, const std::vector<float>& di, int repeats,
                       editoropenfactors& out, std::string& error) {
  if (di.empty()) {
    error = "no signal to play";
    return false;
  }
  qveditorinstance in;
  in.effect().setSampleRate(float(rate));
  if (!in.selectPreset(preset)) {
    error = "no preset named \"" + preset + "\", or it did not load";
    return false;
  }
  out = {};
  for (int r = 0; r < std::max(1, repeats); ++r) {
    for (bool open : {false, true}) {
      in.engine().chain.resetRunningState();
      if (open) {
        if (!in.open()) {
          error = "the editor did not open";
          return false;
        }
        in.editor().idle();  // the first idle draws the whole window: not counted
      }
      std::atomic<bool> stop{false};
      double uiSeconds = 0.0;
      std::thread ui;
      if (open) {
        ui = std::thread([&] {
          const double start = threadCpuSeconds();
          while (!stop.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kIdleMs));
            in.clock().advance(kIdleMs);
            in.editor().idle();
          }
          uiSeconds = threadCpuSeconds() - start;
        });
      }
      const double wallStart = wallSeconds();
      double cpu = 0.0, audio = 0.0;
      play(in, di, rate, cpu, audio);
      stop = true;
      if (ui.joinable()) ui.join();
      const double wall = wallSeconds() - wallStart;
      if (open) in.editor().close();
      // Between runs the editor's commands run on this thread again.
      in.engine().state.audioIdle.store(1);
      const double factor = cpu > 0.0 ? audio / cpu : 0.0;
      if (open) {
        if (factor > out.open) out.uiShare = wall > 0.0 ? uiSeconds / wall : 0.0;
        out.open = std::max(out.open, factor);
      } else {
        out.closed = std::max(out.closed, factor);
      }
    }
  }
  return true;
}

// The GUI kit's costs on the gallery (840 x 480, every control of the kit):
// an idle call with no events and nothing dirty, headless and in a real X11
// window (needs $DISPLAY, e.g. under xvfb-run), and a full redraw of the frame.
// core_percent_at_25Hz is the share of one core that 25 idle calls a second take.
#include <benchmark/benchmark.h>

#include <chrono>

#include "toolkit/x11/x11hostwindow.hpp"
#include "tools/gallery/gallery.hpp"
#include "tools/gallery/layout.hpp"

namespace {
using Clock = std::chrono::steady_clock;

// `calls` idle calls took `elapsed`: the share of a core at 25 calls a second.
void reportIdleShare(benchmark::State& state, Clock::duration elapsed) {
  const double perCall_s = std::chrono::duration<double>(elapsed).count() / static_cast<double>(state.iterations());
  state.counters["core_percent_at_25Hz"] = perCall_s * 25.0 * 100.0;
}

void BM_IdleNoEventsHeadless(benchmark::State& state) {
  gallery::Gallery g;
  g.frame().idle();  // the first full drawing
  const Clock::time_point start = Clock::now();
  for (auto _ : state) g.frame().idle();
  reportIdleShare(state, Clock::now() - start);
}

void BM_IdleNoEventsX11(benchmark::State& state) {
  std::unique_ptr<X11HostWindow> host = X11HostWindow::create(gallery::kWidth, gallery::kHeight, "bench");
  gallery::Gallery g;
  if (!host || !g.frame().open(reinterpret_cast<void*>(host->window()))) {
    state.SkipWithError("no X display");
    return;
  }
  for (int i = 0; i < 10; ++i) g.frame().idle();  // mapped, exposed and drawn
  const Clock::time_point start = Clock::now();
  for (auto _ : state) g.frame().idle();
  reportIdleShare(state, Clock::now() - start);
}

void BM_FullRedraw840x480(benchmark::State& state) {
  gallery::Gallery g;
  g.frame().drawDirty();
  for (auto _ : state) {
    g.frame().invalid();
    g.frame().drawDirty();
  }
}
}  // namespace

BENCHMARK(BM_IdleNoEventsHeadless)->Iterations(10000);
BENCHMARK(BM_IdleNoEventsX11)->Iterations(10000);
BENCHMARK(BM_FullRedraw840x480)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();

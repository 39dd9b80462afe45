// The editor's costs on an in-process instance: opening the window (headless,
// and in a real X11 window when $DISPLAY is set, e.g. under xvfb-run), a full
// rebuild for the current rig (and with the preset box listing every preset),
// and an idle call while the meters move.
#include <benchmark/benchmark.h>

#include "editor/qveditor.hpp"
#include "plugin/qvengine.hpp"
#include "toolkit/cframe.hpp"
#include "toolkit/x11/x11hostwindow.hpp"
#include "tools/snapshot/editorinstance.hpp"

namespace {

void BM_OpenEditorHeadless(benchmark::State& state) {
  qveditorinstance in;
  for (auto _ : state) {
    in.open();
    in.frame().drawDirty();
    in.editor().close();
  }
}

void BM_OpenEditorX11(benchmark::State& state) {
  std::unique_ptr<X11HostWindow> host = X11HostWindow::create(840, 480, "bench");
  if (!host) {
    state.SkipWithError("no X display");
    return;
  }
  qveditorinstance in;
  for (auto _ : state) {
    if (!in.editor().open(reinterpret_cast<void*>(host->window()))) {
      state.SkipWithError("the editor did not open");
      return;
    }
    in.editor().idle();  // drawn and shown
    in.editor().close();
  }
}

// The factory preset with the most units: the largest rebuild.
std::string largestPreset(qveditorinstance& in) {
  qvengine& e = in.engine();
  std::string name;
  uint32_t most = 0;
  for (uint32_t p = 0; p < e.data.presets.count(); ++p) {
    e.postCommand(kCmdSelectPreset, static_cast<float>(p));
    if (e.chain.units.count() + e.chain.pedalSlots.count() > most) {
      most = e.chain.units.count() + e.chain.pedalSlots.count();
      name = e.data.presets[p]->name;
    }
  }
  return name;
}

void BM_RebuildEditor(benchmark::State& state) {
  qveditorinstance in;
  const std::string name = largestPreset(in);
  in.selectPreset(name);
  state.SetLabel(name);
  in.open();
  for (auto _ : state) {
    in.editor().buildEditor();
    in.frame().drawDirty();
  }
}

// The preset box over the window listing every preset ("Show All"): the longest box.
void BM_RebuildWithThePresetBoxShowingAll(benchmark::State& state) {
  qveditorinstance in;
  in.open();
  in.engine().postCommand(kCmdShowPresets, 1.0f);
  in.engine().postCommand(kCmdSelectCategory, static_cast<float>(in.engine().data.presetCategories.count()));
  state.SetLabel(std::to_string(in.engine().data.presets.count()) + " presets");
  for (auto _ : state) {
    in.editor().buildEditor();
    in.frame().drawDirty();
  }
}
void BM_IdleWithMetersMoving(benchmark::State& state) {
  qveditorinstance in;
  in.open();
  in.editor().idle();
  float level = 0.0f;
  for (auto _ : state) {
    state.PauseTiming();
    level = level > 0.5f ? 0.05f : level + 0.1f;  // a new meter height every call
    for (int k = 0; k < 2048; ++k) {
      in.engine().chain.inputMeter.add(level);
      in.engine().chain.outputMeter.add(level * 0.5f);
    }
    in.engine().chain.inputMeter.publish();
    in.engine().chain.outputMeter.publish();
    state.ResumeTiming();
    in.clock().advance(40);
    in.editor().idle();
  }
}

}  // namespace

BENCHMARK(BM_OpenEditorHeadless)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenEditorX11)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildEditor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildWithThePresetBoxShowingAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleWithMetersMoving)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();

// How long the audio thread's block waits for a rig edit from the editor, on the
// factory preset "Layered OD" at 48 kHz with 4x anti-aliasing: a pedal added
// before the amplifier and the first pedal removed, the amplifier swapped between
// two definitions, an amplifier block toggled in and out of the oversampled
// range. CPU time per edit = 1 / items_per_second (the wall time includes the
// other processes of a shared machine).
#include <benchmark/benchmark.h>

#include "platform/files.hpp"
#include "plugin/qvengine.hpp"

namespace {

int32_t menu(qvengine& e, int32_t kind, int32_t position) {
  qvcontrol c;
  c.controlClass = kClassMenu;
  c.kind = kind;
  c.position = position;
  return e.addControl(c);
}

void BM_RigEdit(benchmark::State& state) {
  qvengine e("/nonexistent/", "./corvina-save.fxda");
  if (!readWholeFile(CORVINA_FACTORY_DOC, e.data.factoryText)) {
    state.SkipWithError("no factory document");
    return;
  }
  e.setSampleRate(48000.0f, true);
  e.loadSystem();
  e.state.settings[kSetOversampling]->setValue(4.0f);
  e.settingChanged(kSetOversampling);
  const int32_t pedals = static_cast<int32_t>(e.chain.pedalSlots.count());
  for (auto _ : state) {
    // Each edit makes the earlier controls stale, as in the editor, which
    // rebuilds its controls after it.
    switch (state.range(0)) {
      case 0:
        e.applyControl(menu(e, kKindAddPedalPre, pedals + 1), 1.0f);
        e.applyControl(menu(e, kKindSetPedal, 1), 1.0f);  // "None"
        break;
      case 1:
        e.applyControl(menu(e, kKindSetAmp, -1), 2.0f);
        e.applyControl(menu(e, kKindSetAmp, -1), 1.0f);
        break;
      default: {
        int32_t block = 0;  // the amplifier's first block
        while (e.chain.units[uint32_t(block)]->blockgroup != 0) ++block;
        e.applyControl(menu(e, kKindAntiAlias, block), 1.0f);
        e.applyControl(menu(e, kKindAntiAlias, block), 1.0f);
        break;
      }
    }
    state.PauseTiming();
    e.clearControls();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * 2);
}

}  // namespace

BENCHMARK(BM_RigEdit)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();

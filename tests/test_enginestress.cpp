// Load while playing: an audio thread plays blocks through one engine while the
// editor's thread switches presets, adds and removes cab sims, rebuilds its
// control table and moves knobs and options through the mailbox. Nothing may
// crash, no block may leave a non-finite sample, and the last change the editor
// made must be the state the engine ends in. (Under ThreadSanitizer in CI.)
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "platform/files.hpp"
#include "plugin/qvengine.hpp"
#include "tests/tempdir.hpp"

namespace {

constexpr int kBlock = 256;

// An engine as the plug-in starts it, with its folder in `dir`.
std::unique_ptr<qvengine> startEngine(const TempDir& dir) {
  auto e = std::make_unique<qvengine>(dir.path() + "/", qvstring("./corvina-save.fxda"));
  e->setSampleRate(48000.0f, false);
  qvstring text;
  EXPECT_TRUE(readWholeFile(CORVINA_FACTORY_DOC, text));
  e->data.factoryText = text;
  e->loadSystem();
  EXPECT_GE(e->data.currentPreset, 0);
  // The test binary carries only factory impulse 2: every factory entry plays it,
  // so cab sims made by presets and by "New Sim" really convolve.
  for (uint32_t i = 0; i < e->data.impulses.count(); ++i)
    if (e->data.impulses[i]->res >= 0) e->data.impulses[i]->res = 2;
  e->postCommand(kCmdSelectPreset, float(e->data.currentPreset));  // no audio yet: runs at once
  return e;
}

// What the editor does after a change of rig: a knob for every parameter of
// every unit, the output-level option and the cab-sim menu. Returns the knob
// tags; the last two tags are the option and the menu.
std::vector<int32_t> rebuildControls(qvengine& e) {
  std::vector<int32_t> tags;
  qvlock& lock = e.mailbox.commandLock();
  lock.lock();
  e.clearControls();
  for (uint32_t u = 0; u < e.chain.units.count(); ++u) {
    for (uint32_t k = 0; k < e.chain.units[u]->params.count(); ++k) {
      qvcontrol c;
      c.kind = kKindBlockParam;
      c.position = static_cast<int32_t>(u);
      c.index = static_cast<int32_t>(k);
      tags.push_back(e.addControl(c));
    }
  }
  qvcontrol output;
  output.kind = kKindOption;
  output.index = kSetOutputLevel;
  tags.push_back(e.addControl(output));
  qvcontrol menu;
  menu.controlClass = kClassMenu;
  menu.kind = kKindCabSimMenu;
  tags.push_back(e.addControl(menu));
  lock.unlock();
  return tags;
}

bool waitUntilDrained(qvengine& e) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (e.mailbox.pending()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace

TEST(EngineStress, PresetsCabSimsAndKnobsWhileAudioPlays) {
  TempDir dir;
  auto engine = startEngine(dir);
  qvengine& e = *engine;
  const int32_t presets = static_cast<int32_t>(e.data.presets.count());
  ASSERT_GT(presets, 100);

  std::atomic<bool> stop{false};
  std::atomic<uint64_t> blocks{0}, nonFinite{0};
  std::thread audio([&] {
    std::vector<float> in(kBlock), l(kBlock), r(kBlock);
    std::minstd_rand noise(7);
    std::uniform_real_distribution<float> white(-0.05f, 0.05f);
    uint64_t n = 0;
    while (!stop.load(std::memory_order_acquire)) {
      for (int i = 0; i < kBlock; ++i)
        in[size_t(i)] = 0.3f * std::sin(0.02f * float(n * kBlock + uint64_t(i))) + white(noise);
      float* ins[2] = {in.data(), in.data()};
      float* outs[2] = {l.data(), r.data()};
      e.processReplacing(ins, outs, kBlock);
      for (int i = 0; i < kBlock; ++i)
        if (!std::isfinite(l[size_t(i)]) || !std::isfinite(r[size_t(i)])) ++nonFinite;
      ++n;
      blocks.store(n, std::memory_order_release);
    }
  });
  while (blocks.load(std::memory_order_acquire) == 0) std::this_thread::yield();

  // The editor's thread, for a bounded number of operations and time.
  std::mt19937 pick(2026);
  std::vector<int32_t> tags = rebuildControls(e);
  int ops = 0, fileAdds = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(4);
  for (; ops < 400 && std::chrono::steady_clock::now() < deadline; ++ops) {
    const int what = int(pick() % 10);
    if (what < 2) {
      e.postCommand(kCmdSelectPreset, float(pick() % uint32_t(presets)));
      tags = rebuildControls(e);
    } else if (what == 2) {
      e.postCommand(tags.back(), 1.0f);  // "New Sim"
      tags = rebuildControls(e);
    } else if (what == 3) {
      e.postCommand(kCmdRemoveCabBlock, 0.0f);
      tags = rebuildControls(e);
    } else if (what == 4 && fileAdds < 6) {
      // "Open IR File": the catalogue grows on this thread, then the file loads
      // into the shown cab sim through the mailbox.
      e.editorPath = dir.file("ir-" + std::to_string(fileAdds % 3) + ".wav");
      if (fileAdds < 3) {
        ASSERT_TRUE(copyFile(CORVINA_TEST_WAV, e.editorPath));
      }
      e.postCommand(kCmdAddImpulseFile, 0.0f);
      ++fileAdds;
    } else {
      // A burst of knob moves, as a drag sends them.
      const int32_t tag = tags[pick() % tags.size()];
      for (int k = 0; k < 8; ++k) e.postCommand(tag, float(pick() % 1001) / 1000.0f);
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  }

  // The final changes: a preset, one of its knobs, the output level.
  const int32_t finalPreset = presets / 3;
  e.postCommand(kCmdSelectPreset, float(finalPreset));
  tags = rebuildControls(e);
  ASSERT_GT(tags.size(), 2u);
  const int32_t knob = tags[tags.size() / 2];
  e.postCommand(knob, 0.123f);
  ASSERT_TRUE(waitUntilDrained(e));
  e.postCommand(tags[tags.size() - 2], 0.61f);
  ASSERT_TRUE(waitUntilDrained(e));
  const uint64_t blocksAtEnd = blocks.load();
  while (blocks.load() < blocksAtEnd + 4) std::this_thread::yield();
  stop.store(true, std::memory_order_release);
  audio.join();

  EXPECT_EQ(nonFinite.load(), 0u);
  EXPECT_GE(ops, 20) << "the editor thread barely ran";
  EXPECT_GT(fileAdds, 0);
  EXPECT_EQ(e.data.currentPreset, finalPreset);

  // The same final changes on an engine that never played.
  TempDir quietDir;
  auto fresh = startEngine(quietDir);
  fresh->postCommand(kCmdSelectPreset, float(finalPreset));
  const std::vector<int32_t> freshTags = rebuildControls(*fresh);
  ASSERT_EQ(freshTags.size(), tags.size());
  fresh->postCommand(knob, 0.123f);
  fresh->postCommand(freshTags[freshTags.size() - 2], 0.61f);
  const qvcontrol& moved = *e.controls[uint32_t(knob)];
  EXPECT_FLOAT_EQ(
      e.chain.units[uint32_t(moved.position)]->params[uint32_t(moved.index)]->fpos, 0.123f);
  e.buildChunk();
  fresh->buildChunk();
  EXPECT_EQ(e.data.chunkText, fresh->data.chunkText);
  EXPECT_EQ(e.chain.cabBlocks.count(), fresh->chain.cabBlocks.count());
  EXPECT_EQ(e.chain.sections, fresh->chain.sections);
  EXPECT_EQ(e.state.settings[kSetOutputLevel]->fpos, 0.61f);
  EXPECT_EQ(e.data.impulses.count(), fresh->data.impulses.count() + 3);  // three files added
}

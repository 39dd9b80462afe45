// Editor controls through the engine: a knob's post reaches its unit's parameter
// and coefficients, options reach the chain, and a control that outlived its rig
// or its table does nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "plugin/qvengine.hpp"
#include "units/paramtables.hpp"
#include "units/unitfactory.hpp"

namespace {

constexpr const char* kNoFolder = "/nonexistent/";

// An engine whose rig is the given unit types, at their defaults.
void buildRig(qvengine& e, const std::vector<int>& types) {
  e.chain.clearRig();
  for (int t : types) e.chain.units.append(createUnit(t, e.state, true, true));
  e.chain.rebuildSections();
}

int32_t addKnob(qvengine& e, int32_t position, int32_t index, int32_t kind = kKindBlockParam) {
  qvcontrol c;
  c.controlClass = kClassKnob;
  c.kind = kind;
  c.position = position;
  c.index = index;
  return e.addControl(c);
}

// Renders a decaying two-tone burst through the engine's chain.
std::vector<float> render(qvengine& e, int frames = 4096) {
  std::vector<float> in(static_cast<size_t>(frames)), l(in.size()), r(in.size());
  for (int i = 0; i < frames; ++i)
    in[size_t(i)] = 0.3f * std::exp(-i / 1500.0f) *
                    (std::sin(0.031f * float(i)) + 0.5f * std::sin(0.47f * float(i)));
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {l.data(), r.data()};
  e.processReplacing(ins, outs, frames);
  return l;
}

}  // namespace

// The knob's post sets the position, and the unit plays exactly as a unit set to
// that position by hand.
TEST(EngineControls, KnobMoveReachesTheUnitLikeADirectChange) {
  qvengine moved(kNoFolder, "x.fxda"), direct(kNoFolder, "x.fxda");
  buildRig(moved, {kBlockTubeGain, kBlockTone});
  buildRig(direct, {kBlockTubeGain, kBlockTone});
  const int32_t tag = addKnob(moved, 1, 0);
  moved.postCommand(tag, 0.85f);  // audio idle: runs at once
  EXPECT_FLOAT_EQ(moved.chain.units[1]->params[0]->fpos, 0.85f);
  EXPECT_FLOAT_EQ(moved.controls[uint32_t(tag)]->value, 0.85f);

  direct.chain.units[1]->params[0]->setNormalized(0.85f);
  direct.chain.units[1]->update(-1);
  const std::vector<float> a = render(moved), b = render(direct);
  EXPECT_EQ(a, b);
  // And the knob made a difference at all.
  qvengine untouched(kNoFolder, "x.fxda");
  buildRig(untouched, {kBlockTubeGain, kBlockTone});
  EXPECT_NE(a, render(untouched));
}

TEST(EngineControls, StaleAndBrokenControlsDoNothing) {
  qvengine e(kNoFolder, "x.fxda");
  buildRig(e, {kBlockTubeGain});
  const int32_t outOfRange = addKnob(e, 5, 0);
  const int32_t badParam = addKnob(e, 0, 999);
  const int32_t good = addKnob(e, 0, 1);
  const float before = e.chain.units[0]->params[1]->fpos;
  e.postCommand(outOfRange, 0.5f);
  e.postCommand(badParam, 0.5f);
  e.postCommand(good, std::numeric_limits<float>::quiet_NaN());
  e.postCommand(good, std::numeric_limits<float>::infinity());
  e.postCommand(12345, 0.5f);  // no such tag
  EXPECT_EQ(e.chain.units[0]->params[1]->fpos, before);

  // A new rig in the same positions: the old rig's knob must not move it.
  buildRig(e, {kBlockTubeGain});
  e.postCommand(good, 0.9f);
  EXPECT_EQ(e.chain.units[0]->params[1]->fpos, before);
  // Controls made for the new rig work.
  e.clearControls();
  e.postCommand(addKnob(e, 0, 1), 0.9f);
  EXPECT_FLOAT_EQ(e.chain.units[0]->params[1]->fpos, 0.9f);
}

// A knob move still queued when the editor rebuilds its table would land on
// whichever new control took its tag.
TEST(EngineControls, RebuildingTheTableDropsAQueuedKnobMove) {
  qvengine e(kNoFolder, "x.fxda");
  buildRig(e, {kBlockTubeGain, kBlockTone});
  const int32_t tag = addKnob(e, 0, 0);
  e.state.audioIdle.store(0);  // an audio thread is known to run: the move queues
  e.postCommand(tag, 0.7f);
  ASSERT_TRUE(e.mailbox.pending());

  qvlock& lock = e.mailbox.commandLock();
  lock.lock();
  e.clearControls();
  const int32_t other = addKnob(e, 1, 0);  // same tag, another unit
  lock.unlock();
  ASSERT_EQ(other, tag);
  EXPECT_FALSE(e.mailbox.pending());
  const float before = e.chain.units[1]->params[0]->fpos;
  e.drainCommands(true);
  EXPECT_EQ(e.chain.units[1]->params[0]->fpos, before);
}

TEST(EngineControls, OptionsReachTheChain) {
  qvengine e(kNoFolder, "x.fxda");
  buildRig(e, {kBlockTubeGain});
  const int32_t output = addKnob(e, -1, kSetOutputLevel, kKindOption);
  e.postCommand(output, 0.25f);
  EXPECT_FLOAT_EQ(e.state.settings[kSetOutputLevel]->fpos, 0.25f);
  const float s0 = e.state.setting(kSetOutputLevel);
  EXPECT_FLOAT_EQ(e.state.gainLeft, (1.0f - e.state.setting(kSetBalance)) *
                                        e.state.setting(kSetVolumeScale) * s0);

  // A radio button reports the engine value: 2 mutes.
  qvcontrol radio;
  radio.controlClass = kClassToggle;
  radio.kind = kKindOption;
  radio.index = kSetBypassOrMute;
  e.postCommand(e.addControl(radio), 2.0f);
  EXPECT_EQ(e.state.settingInt(kSetBypassOrMute), 2);
  EXPECT_TRUE(e.state.mute.load());
  EXPECT_TRUE(e.state.bypass.load());

  qvcontrol oversampling = radio;
  oversampling.controlClass = kClassMenu;
  oversampling.index = kSetOversampling;
  e.postCommand(e.addControl(oversampling), 8.0f);
  EXPECT_EQ(e.chain.factor, 8);
}

// How each kind is posted: knobs and level options without waiting, cab-sim
// file choices at once on the editor's thread, nothing while cab sims are off.
TEST(EngineControls, PostingFollowsTheKind) {
  qvengine e(kNoFolder, "x.fxda");
  buildRig(e, {kBlockTubeGain});
  qvcontrol c;
  struct Case {
    int32_t kind, index;
    float value;
    qvcommandtarget::ControlPost post;
    int32_t editorCode;
  };
  using P = qvcommandtarget::ControlPost;
  const Case cases[] = {
      {kKindBlockParam, 0, 0.5f, P::QueueAsync, -1},
      {kKindOption, kSetInputLevel, 0.5f, P::QueueAsync, -1},
      {kKindOption, kSetInputSource, 1.0f, P::QueueSync, -1},
      {kKindBypassBlock, 0, 1.0f, P::QueueSync, -1},
      {kKindCabSimMenu, 0, 1.0f, P::QueueSync, -1},
      {kKindCabSimMenu, 0, 2.0f, P::RunNow, kCmdAddImpulseFile},
      {kKindCabSimMenu, 0, 3.0f, P::RunNow, kCmdImportFolder},
  };
  for (const Case& k : cases) {
    c.kind = k.kind;
    c.index = k.index;
    const int32_t tag = e.addControl(c);
    int32_t editorCode = -1;
    EXPECT_EQ(e.classifyControl(tag, k.value, editorCode), k.post) << "kind " << k.kind;
    EXPECT_EQ(editorCode, k.editorCode) << "kind " << k.kind;
  }
  int32_t unused = -1;
  EXPECT_EQ(e.classifyControl(-1, 0.0f, unused), P::Ignore);
  EXPECT_EQ(e.classifyControl(int32_t(e.controls.count()), 0.0f, unused), P::Ignore);
  e.state.settings[kSetDisableCabSims]->setValue(1.0f);
  c.kind = kKindCabSimMenu;
  EXPECT_EQ(e.classifyControl(e.addControl(c), 2.0f, unused), P::Ignore);
}

TEST(EngineControls, BypassToggleFlipsTheBlock) {
  qvengine e(kNoFolder, "x.fxda");
  buildRig(e, {kBlockTubeGain, kBlockTone});
  qvcontrol c;
  c.controlClass = kClassToggle;
  c.kind = kKindBypassBlock;
  c.position = 1;
  const int32_t tag = e.addControl(c);
  e.postCommand(tag, 1.0f);
  EXPECT_TRUE(e.chain.units[1]->bypassed);
  e.postCommand(tag, 0.0f);  // toggles whatever the value
  EXPECT_FALSE(e.chain.units[1]->bypassed);
  EXPECT_FALSE(e.chain.units[0]->bypassed);
}

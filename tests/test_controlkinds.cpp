// Control kinds through the engine: the pedal limit, the cab-sim menu while cab
// sims are off, category names, the preset menu, the logo menu, what is ignored
// (stale tags, menu entries out of range, non-finite values, controls of an
// earlier rig), the mailbox's one slot, text fields and options.
#include <gtest/gtest.h>

#include <limits>

#include "controlfixture.hpp"

using namespace ctlfix;

namespace {

int32_t option(qvengine& e, int32_t setting, int32_t cls = kClassToggle) {
  return control(e, kKindOption, -1, setting, cls);
}

}  // namespace

TEST(ControlKinds, ASixthPedalNeedsLimitItemsOff) {
  TempDir dir;
  auto e = started(dir);
  ASSERT_EQ(e->state.settingInt(kSetLimitItems), 1);
  auto pedals = [&] { return static_cast<int32_t>(e->chain.pedalSlots.count()); };
  while (pedals() < 5) post(*e, kKindAddPedalPre, pedals() + 1, 2.0f);
  const std::string five = rigText(*e);
  post(*e, kKindAddPedalPre, 6, 2.0f);
  EXPECT_EQ(rigText(*e), five);
  EXPECT_EQ(drainMessages(*e), std::vector<std::string>{"2:Pedals can't be more than max, set in options."});

  e->postCommand(option(*e, kSetLimitItems), 0.0f);
  post(*e, kKindAddPedalPre, 6, 2.0f);
  ASSERT_EQ(pedals(), 6);
  EXPECT_EQ(e->chain.pedalSlots[4]->dataind, kCompa);       // the last before the amplifier
  EXPECT_EQ(e->chain.pedalSlots[4]->positioncode, 0);
  EXPECT_EQ(e->chain.pedalSlots[5]->positioncode, 1);       // "Compa" after it stays last
  EXPECT_TRUE(drainMessages(*e).empty());
}

TEST(ControlKinds, CabSimMenuDoesNothingWhileCabSimsAreOff) {
  TempDir dir;
  auto e = started(dir);
  const uint32_t cabs = e->chain.cabBlocks.count();
  e->postCommand(option(*e, kSetDisableCabSims), 1.0f);
  EXPECT_EQ(e->chain.cabActiveCount, 0);
  for (float v : {1.0f, 2.0f, 3.0f}) post(*e, kKindCabSimMenu, -1, v);
  EXPECT_EQ(e->chain.cabBlocks.count(), cabs);
  EXPECT_TRUE(drainMessages(*e).empty()) << "no chooser, no warning";

  e->postCommand(option(*e, kSetDisableCabSims), 0.0f);
  post(*e, kKindCabSimMenu, -1, 1.0f);  // "New Sim"
  EXPECT_EQ(e->chain.cabBlocks.count(), cabs + 1);
  EXPECT_EQ(e->data.currentCabBlock, int32_t(cabs));
  EXPECT_EQ(e->chain.cabActiveCount, int32_t(cabs + 1));
}

TEST(ControlKinds, CategoryNamesFromTheNameField) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"A name of 25 characters!!", "A name of 25 charac"},
      {"", "Unnamed Category"},
  };
  for (const auto& [typed, stored] : rows) {
    TempDir dir;
    auto e = started(dir);
    e->postCommand(kCmdEditCategory, -1.0f);
    ASSERT_EQ(e->editorState().box, qvboxkind::category);
    qvcontrol field;
    field.controlClass = kClassTextField;
    field.kind = kKindCategoryName;
    field.box = 3;
    e->postText(e->addControl(field), typed);
    e->postCommand(kCmdCommitCategory, 0.0f);
    const qvlist<qvcategory>& list = e->data.presetCategories;
    EXPECT_EQ(list[list.count() - 1]->name, stored);
    EXPECT_EQ(e->editorState().box, qvboxkind::presets);
  }
}

TEST(ControlKinds, RevertAndClearNeedACurrentPreset) {
  for (bool current : {false, true}) {
    SCOPED_TRACE(current ? "with a current preset" : "without");
    TempDir dir, other;
    auto e = started(dir);
    const std::string layered = rigText(*e);
    if (!current) e->data.currentPreset = -1;
    post(*e, kKindAddPedalPost, 3, 1.0f);
    const std::string edited = rigText(*e);
    post(*e, kKindPresetMenu, -1, 3.0f);  // "Revert"
    EXPECT_EQ(rigText(*e), current ? layered : edited);
    post(*e, kKindPresetMenu, -1, 4.0f);  // "Clear"
    EXPECT_EQ(e->chain.units.count() == 0, current);
    if (current) {
      EXPECT_EQ(e->chain.cabBlocks.count(), 0u);
      EXPECT_EQ(e->chain.pedalSlots.count(), 0u);
      EXPECT_EQ(e->chain.ampSlot.logoimg, -1);
      for (float x : render(*e)) ASSERT_TRUE(std::isfinite(x));
    }
  }
}

TEST(ControlKinds, LogoMenu) {
  TempDir dir;
  auto e = started(dir);
  ASSERT_NE(e->chain.ampSlot.logoimg, -1);
  const std::vector<std::pair<float, int32_t>> rows = {{1.0f, -1}, {2.0f, 94}, {27.0f, 119}, {28.0f, 119}};
  for (const auto& [entry, image] : rows) {
    post(*e, kKindLogo, -1, entry);
    EXPECT_EQ(e->chain.ampSlot.logoimg, image) << "entry " << entry;
  }
  post(*e, kKindLogo, -1, 1.0f);  // "Off"
  EXPECT_NE(rigText(*e).find("\"logoimg\":-1,"), std::string::npos);
}

TEST(ControlKinds, StaleTagsMenuEntriesOutOfRangeAndBrokenValuesAreIgnored) {
  TempDir dir;
  auto e = started(dir);
  const std::string rig = rigText(*e);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Row {
    int32_t kind, position;
    std::vector<float> values;
  };
  const std::vector<Row> rows = {
      {kKindAddBlock, 4, {0, 13}},        {kKindSetPedal, 1, {0, 4}},
      {kKindAddPedalPre, 3, {0, 3}},      {kKindAddPedalPost, 3, {3}},
      {kKindAddPedalPre, 4, {1}},         // beyond the pedals
      {kKindSetAmp, -1, {0, 3}},          {kKindPedalRoute, 2, {0, 3}},
      {kKindPresetMenu, -1, {0, 5}},      {kKindAmpSkin, -1, {0, 15}},
      {kKindPedalSkin, -1, {0, 12}},      {kKindKnobStyle, -1, {0, 14}},
      {kKindLogo, -1, {0, 28.6f}},        {kKindCabSimMenu, -1, {0, 4}},
      {kKindGroupActive, 3, {0}},         {kKindDeleteBlock, 9, {1}},
      {kKindBypassBlock, -1, {1}},        {kKindDragTarget, 1, {1}},  // nothing picked
  };
  for (const Row& row : rows) {
    std::vector<float> values = row.values;
    values.insert(values.end(), {nan, std::numeric_limits<float>::infinity(), -1e9f, 1e9f});
    for (float v : values) {
      post(*e, row.kind, row.position, v);
      EXPECT_EQ(rigText(*e), rig) << "kind " << row.kind << " value " << v;
    }
  }
  for (int32_t tag : {-5, int32_t(e->controls.count()), 69999}) e->postCommand(tag, 1.0f);
  e->applyControl(int32_t(e->controls.count()) + 3, 1.0f);
  EXPECT_EQ(rigText(*e), rig);
  EXPECT_TRUE(drainMessages(*e).empty());

  // Controls of every rig-placed kind, made before the rig changed, do nothing.
  std::vector<int32_t> old;
  for (int32_t kind : {kKindBlockParam, kKindDeleteBlock, kKindResetBlock, kKindBypassBlock,
                       kKindAntiAlias, kKindSetPedal, kKindPedalRoute, kKindGroupActive, kKindAddBlock})
    old.push_back(control(*e, kind, 1, 0, kClassKnob));
  post(*e, kKindSetPedal, 1, 3.0f);
  const std::string changed = rigText(*e);
  for (int32_t tag : old) e->postCommand(tag, 1.0f);
  EXPECT_EQ(rigText(*e), changed);
}

TEST(ControlKinds, ASecondControlWhileTheMailboxHoldsAnotherIsDropped) {
  TempDir dir;
  auto e = started(dir);
  const int32_t first = control(*e, kKindBlockParam, 3, 0, kClassKnob);
  const int32_t second = control(*e, kKindBlockParam, 4, 0, kClassKnob);
  const float before = e->chain.units[4]->params[0]->fpos;
  e->state.audioIdle.store(0);  // an audio thread drains the mailbox
  e->postCommand(first, 0.25f);
  e->postCommand(second, 0.75f);
  e->postCommand(first, 0.3f);  // the same control: the latest position wins
  e->drainCommands(true);
  EXPECT_FLOAT_EQ(e->chain.units[3]->params[0]->fpos, 0.3f);
  EXPECT_EQ(e->chain.units[4]->params[0]->fpos, before);
  EXPECT_FALSE(e->mailbox.pending());
}

TEST(ControlKinds, TypedValuesAndParameterSettings) {
  TempDir dir;
  auto e = started(dir);
  qvutil& tube = *e->chain.units[4];  // the amplifier's tube stage; parameter 2 is "Bias", -1..1
  const int32_t value = control(*e, kKindValueField, 4, 2, kClassTextField);
  const std::vector<std::pair<std::string, float>> typed = {
      {"0.5", 0.5f}, {" -0.25 V", -0.25f}, {"abc", -0.25f}, {"on", 1.0f}, {"OFF", 0.0f}, {"inf", 0.0f}};
  for (const auto& [text, x] : typed) {
    e->postText(value, text);
    EXPECT_FLOAT_EQ(tube.params[2]->getValue(), x) << text;
  }

  // The parameter editor box on the amplifier filter's "Cutoff" (exponential).
  qvutil& filter = *e->chain.units[3];
  const float fpos = filter.params[1]->fpos;
  struct Row {
    int32_t field;
    std::string text;
    float xscale, xlow;
    int32_t posx;
  };
  const std::vector<Row> rows = {
      {kFieldRange, "10000", 10000, 5, -1}, {kFieldRange, "0", 10000, 5, -1},
      {kFieldMin, "100", 10000, 100, -1},   {kFieldX, "120", 10000, 100, 120},
      {kFieldX, "900", 10000, 100, 120},    {kFieldRange, "x", 10000, 100, 120},
  };
  for (const Row& row : rows) {
    const int32_t tag = control(*e, kKindParamField, 3, 1, kClassTextField);
    e->controls[uint32_t(tag)]->subindex = row.field;
    e->postText(tag, row.text);
    SCOPED_TRACE(kParamFieldKeys[row.field] + std::string(" ") + row.text);
    const qvparamrecord& r = *filter.records[1];
    EXPECT_EQ(r.xscale, row.xscale);
    EXPECT_EQ(r.xlow, row.xlow);
    EXPECT_EQ(r.posx, row.posx);
    // The knob keeps its place; the engine value is the new range's at that place.
    auto fresh = createParam(r.type, r.defa, row.xscale, row.xlow, r.uscale, r.ulow);
    fresh->setNormalized(fpos);
    EXPECT_FLOAT_EQ(filter.params[1]->x, fresh->x);
  }
  EXPECT_EQ(e->chain.ampSlot.dataind, -1);
}

TEST(ControlKinds, OptionsTheirChoicesAndTheGate) {
  TempDir dir;
  auto e = started(dir);
  struct Row {
    int32_t setting;
    float value;
    int32_t expected;
  };
  const std::vector<Row> rows = {
      {kSetOversampling, 7.0f, 8},  {kSetOversampling, 2.0f, 2},  {kSetOversampling, 8.0f, 8},
      {kSetOversampling, 9.0f, 8},  {kSetInputSource, 2.0f, 2},   {kSetInputSource, 3.0f, 2},
      {kSetShowValue, 2.0f, 1},     {kSetShowValue, 0.0f, 0},
  };
  for (const Row& row : rows) {
    e->postCommand(option(*e, row.setting, kClassMenu), row.value);
    EXPECT_EQ(e->state.settingInt(row.setting), row.expected) << row.setting << " " << row.value;
  }
  EXPECT_EQ(e->chain.factor, 8);

  e->postCommand(control(*e, kKindGlobalGate, -1, qvusgate::kThreshold, kClassKnob), 0.6f);
  qvusgate same(e->state, true);
  same.params[qvusgate::kThreshold]->setNormalized(0.6f);
  same.update(-1);
  EXPECT_EQ(e->chain.gate->follower().to, same.follower().to);

  // A cab block's "Enabled" switch: the cab stage stops when none is left.
  ASSERT_EQ(e->chain.cabActiveCount, 1);
  qvcontrol enabled;
  enabled.controlClass = kClassToggle;
  enabled.kind = kKindBlockParam;
  enabled.scope = qvcontrolscope::cabBlock;
  enabled.position = 0;
  enabled.index = qvusconv::kEnabled;
  e->postCommand(e->addControl(enabled), 0.0f);
  EXPECT_EQ(e->chain.cabActiveCount, 0);
}

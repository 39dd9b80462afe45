// Control kinds through the engine: the pedal limit, the cab-sim menu while cab
// sims are off, category names, the preset menu, what is ignored
// (stale tags, menu entries out of range, broken values, controls of an earlier
// rig), the mailbox's one slot, text fields, options and the gate.
#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "controlfixture.hpp"

using namespace ctlfix;

TEST(ControlKinds, ASixthPedalNeedsLimitItemsOff) {
  TempDir dir;
  auto e = started(dir);
  auto pedals = [&] { return static_cast<int32_t>(e->chain.pedalSlots.count()); };
  while (pedals() < 5) post(*e, kKindAddPedalPre, pedals() + 1, 2.0f);
  const std::string five = rigText(*e);
  post(*e, kKindAddPedalPre, 6, 2.0f);  // "Limit Items" is on in the factory settings
  EXPECT_EQ(rigText(*e), five);
  EXPECT_EQ(drainMessages(*e), std::vector<std::string>{"2:Pedals can't be more than max, set in options."});

  post(*e, kKindOption, -1, 0.0f, kSetLimitItems);
  post(*e, kKindAddPedalPre, 6, 2.0f);
  ASSERT_EQ(pedals(), 6);
  EXPECT_EQ(e->chain.pedalSlots[4]->positioncode, 0);  // the last before the amplifier
  EXPECT_EQ(e->chain.pedalSlots[5]->positioncode, 1);
}

TEST(ControlKinds, CabSimMenuDoesNothingWhileCabSimsAreOff) {
  TempDir dir;
  auto e = started(dir);
  const uint32_t cabs = e->chain.cabBlocks.count();
  post(*e, kKindOption, -1, 1.0f, kSetDisableCabSims);
  for (float v : {1.0f, 2.0f, 3.0f}) post(*e, kKindCabSimMenu, -1, v);
  EXPECT_EQ(e->chain.cabBlocks.count(), cabs);
  EXPECT_TRUE(drainMessages(*e).empty()) << "no chooser, no warning";
  post(*e, kKindOption, -1, 0.0f, kSetDisableCabSims);
  post(*e, kKindCabSimMenu, -1, 1.0f);  // "New Sim"
  EXPECT_EQ(e->chain.cabBlocks.count(), cabs + 1);
}

TEST(ControlKinds, CategoryNamesFromTheNameField) {
  for (const auto& [typed, stored] : std::vector<std::pair<std::string, std::string>>{
           {"A name of 25 characters!!", "A name of 25 charac"}, {"", "Unnamed Category"}}) {
    TempDir dir;
    auto e = started(dir);
    e->postCommand(kCmdEditCategory, -1.0f);
    qvcontrol field = made(kKindCategoryName, -1, -1, kClassTextField);
    field.box = 3;
    e->postText(e->addControl(field), typed);
    e->postCommand(kCmdCommitCategory, 0.0f);
    EXPECT_EQ(e->data.presetCategories[e->data.presetCategories.count() - 1]->name, stored);
  }
}

TEST(ControlKinds, RevertAndClearNeedACurrentPreset) {
  for (bool current : {false, true}) {
    TempDir dir;
    auto e = started(dir);
    const std::string layered = rigText(*e);
    if (!current) e->data.currentPreset = -1;
    post(*e, kKindAddPedalPost, 3, 1.0f);
    const std::string edited = rigText(*e);
    post(*e, kKindPresetMenu, -1, 3.0f);  // "Revert"
    EXPECT_EQ(rigText(*e), current ? layered : edited) << current;
    post(*e, kKindPresetMenu, -1, 4.0f);  // "Clear"
    EXPECT_EQ(e->chain.units.count() + e->chain.cabBlocks.count() + e->chain.pedalSlots.count() == 0, current);
  }
}

TEST(ControlKinds, StaleTagsEntriesOutOfRangeAndBrokenValuesAreIgnored) {
  TempDir dir;
  auto e = started(dir);
  const std::string rig = rigText(*e);
  const std::vector<std::pair<int32_t, int32_t>> controls = {  // (kind, position)
      {kKindAddBlock, 4},  {kKindSetPedal, 1},  {kKindAddPedalPre, 3}, {kKindAddPedalPost, 4},
      {kKindSetAmp, -1},   {kKindPedalRoute, 2}, {kKindPresetMenu, -1}, {kKindAmpSkin, -1},
      {kKindPedalSkin, -1}, {kKindKnobStyle, -1}, {kKindLogo, -1},     {kKindCabSimMenu, -1},
      {kKindGroupActive, 3}, {kKindDeleteBlock, 9}, {kKindBypassBlock, -1}, {kKindDragTarget, 1}};
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  for (const auto& [kind, position] : controls)
    for (float v : {0.0f, 28.6f, nan, inf, -1e9f, 1e9f}) {  // no entry 0 or 29 in any of the menus
      post(*e, kind, position, v);
      EXPECT_EQ(rigText(*e), rig) << "kind " << kind << " value " << v;
    }
  for (int32_t tag : {-5, int32_t(e->controls.count()), 69999}) e->postCommand(tag, 1.0f);
  EXPECT_EQ(rigText(*e), rig);
  EXPECT_TRUE(drainMessages(*e).empty());

  std::vector<int32_t> old;  // controls of rig-placed kinds, made before the rig changed
  for (int32_t kind : {kKindBlockParam, kKindDeleteBlock, kKindBypassBlock, kKindSetPedal, kKindGroupActive})
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
  e->drainCommands(true);
  EXPECT_FLOAT_EQ(e->chain.units[3]->params[0]->fpos, 0.25f);
  EXPECT_EQ(e->chain.units[4]->params[0]->fpos, before);
}

TEST(ControlKinds, TypedValuesAndParameterSettings) {
  TempDir dir;
  auto e = started(dir);
  const int32_t value = control(*e, kKindValueField, 4, 2, kClassTextField);  // tube "Bias", -1..1
  for (const auto& [text, x] :
       std::vector<std::pair<std::string, float>>{{" -0.25 V", -0.25f}, {"abc", -0.25f}, {"On", 1.0f}}) {
    e->postText(value, text);
    EXPECT_FLOAT_EQ(e->chain.units[4]->params[2]->getValue(), x) << text;
  }
  // The parameter editor box on the amplifier filter's exponential "Cutoff".
  qvutil& filter = *e->chain.units[3];
  const float fpos = filter.params[1]->fpos;
  using Row = std::tuple<int32_t, const char*, float, float, int>;  // field, text, xscale, xlow, posx
  for (const auto& [field, text, xscale, xlow, posx] : std::vector<Row>{
           {kFieldRange, "10000", 10000, 5, -1}, {kFieldRange, "0", 10000, 5, -1},
           {kFieldMin, "100", 10000, 100, -1}, {kFieldX, "900", 10000, 100, -1}, {kFieldY, "30", 10000, 100, -1}}) {
    qvcontrol c = made(kKindParamField, 3, 1, kClassTextField);
    c.subindex = field;
    e->postText(e->addControl(c), text);
    const qvparamrecord& r = *filter.records[1];
    EXPECT_EQ(std::make_tuple(r.xscale, r.xlow, r.posx), std::make_tuple(xscale, xlow, posx)) << text;
    // The knob keeps its place; the engine value is the new range's at that place.
    auto fresh = createParam(r.type, r.defa, xscale, xlow, r.uscale, r.ulow);
    fresh->setNormalized(fpos);
    EXPECT_FLOAT_EQ(filter.params[1]->x, fresh->x);
  }
}

TEST(ControlKinds, OptionsTheGateAndCabSwitches) {
  TempDir dir;
  auto e = started(dir);
  for (const auto& [setting, value, expected] : std::vector<std::tuple<int32_t, float, int32_t>>{
           {kSetOversampling, 7, 8}, {kSetOversampling, 2, 2}, {kSetOversampling, 9, 2},
           {kSetInputSource, 2, 2}, {kSetInputSource, 3, 2}, {kSetShowValue, 2, 1}}) {
    post(*e, kKindOption, -1, value, setting);
    EXPECT_EQ(e->state.settingInt(setting), expected) << setting << " " << value;
  }
  e->postCommand(control(*e, kKindGlobalGate, -1, qvusgate::kThreshold, kClassKnob), 0.6f);
  qvusgate same(e->state, true);
  same.params[qvusgate::kThreshold]->setNormalized(0.6f);
  same.update(-1);
  EXPECT_EQ(e->chain.gate->follower().to, same.follower().to);

  ASSERT_EQ(e->chain.cabActiveCount, 1);  // a cab block's "Enabled": the cab stage stops with none left
  qvcontrol enabled = made(kKindBlockParam, 0, qvusconv::kEnabled, kClassToggle);
  enabled.scope = qvcontrolscope::cabBlock;
  e->postCommand(e->addControl(enabled), 0.0f);
  EXPECT_EQ(e->chain.cabActiveCount, 0);
}

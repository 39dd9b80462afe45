#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "plugin/qvchain.hpp"
#include "units/unitfactory.hpp"

namespace {
// A unit that counts its calls and remembers its rate multiplier.
class Probe : public qvutil {
public:
  explicit Probe(const qvprocstate& st, float gain = 1.0f) : qvutil(st), gain(gain) {}
  float process(float x) noexcept override { ++calls; return gain * x; }
  int blocktype() const override { return kBlockBuffer; }
  void setRateMultiplier(float m) override { rate = m; }
  float gain;
  int calls = 0;
  float rate = 0;
};

struct Rig {
  qvprocstate st;
  qvchain chain{st};
  std::vector<Probe*> probes;
  Rig() {
    st.sampleRate = 44100.0f;
    st.audioIdle = 0;
  }
  void addUnits(int n, int group = 0) {
    for (int i = 0; i < n; ++i) {
      auto p = std::make_unique<Probe>(st);
      p->blockgroup = group;
      probes.push_back(p.get());
      chain.units.append(std::move(p));
    }
  }
  void setting(int i, float fpos) {
    st.settings[i]->setNormalized(fpos);
    chain.updateGains();
  }
  // Unit output gains so that expected values read directly.
  void unityOutput() {
    st.gainLeft = st.gainRight = 1.0f;
    st.inputGain = 1.0f;
  }
  void run(std::vector<float>& l, std::vector<float>& r, std::vector<float>& outL,
           std::vector<float>& outR) {
    float* in[2] = {l.data(), r.data()};
    float* out[2] = {outL.data(), outR.data()};
    chain.process(in, out, static_cast<int>(l.size()));
  }
  float one(float l, float r = 0.0f, float* right = nullptr) {
    float a = l, b = r, oa = 0, ob = 0;
    float* in[2] = {&a, &b};
    float* out[2] = {&oa, &ob};
    chain.process(in, out, 1);
    if (right) *right = ob;
    return oa;
  }
  int addCab(float tap, float dry, float volume, float pan) {
    auto b = std::make_unique<qvusconv>(st, true);
    const float ir[1] = {tap};
    b->slot = chain.cabEngine->createSlot(ir);
    b->params[qvusconv::kDry]->setValue(dry);
    b->params[qvusconv::kVolume]->setValue(volume);
    b->params[qvusconv::kPan]->setValue(pan);
    chain.cabBlocks.append(std::move(b));
    chain.updateCabActivity();
    return static_cast<int>(chain.cabBlocks.count()) - 1;
  }
};

// The factory document's stored positions of the gain settings.
void factoryGains(Rig& r) {
  r.setting(kSetOutputLevel, 0.5f);
  r.setting(kSetInputLevel, 0.410732f);
  r.setting(kSetVolumeScale, 0.098389f);
  r.setting(kSetInputScale, 0.102392f);
  r.setting(kSetBalance, 0.5f);
}
}  // namespace

TEST(Chain, FactoryGains) {
  Rig r;
  factoryGains(r);
  EXPECT_NEAR(r.st.inputGain, 2.1488f, 5e-4f);
  EXPECT_NEAR(r.st.gainLeft, 0.3797f, 5e-4f);
  EXPECT_NEAR(r.st.gainRight, 0.3797f, 5e-4f);
  float right = 0;
  const float left = r.one(0.1f, 0.0f, &right);
  EXPECT_NEAR(left, 0.1f * 2.1488f * 0.3797f, 1e-4f);
  EXPECT_FLOAT_EQ(left, right);
  EXPECT_NEAR(r.chain.inputLevel(), 0.21488 * 0.21488, 1e-4) << "the gate sees 0.21488";
  r.setting(kSetBalance, 0.0f);
  EXPECT_FLOAT_EQ(r.st.gainRight, 0.0f);
  EXPECT_NEAR(r.st.gainLeft, 2 * 0.3797f, 1e-3f);
}

TEST(Chain, InputSelection) {
  Rig r;
  r.unityOutput();
  struct { float fpos; float expected; } cases[] = {
      {0.0f, 0.25f}, {0.4f, 0.5f}, {0.7f, 0.75f}};  // Left, Right, Mix (not halved)
  for (auto c : cases) {
    r.st.settings[kSetInputSource]->setNormalized(c.fpos);
    EXPECT_FLOAT_EQ(r.one(0.25f, 0.5f), c.expected) << "source " << r.st.settingInt(kSetInputSource);
  }
}

TEST(Chain, IdleBypassAndMuteExits) {
  Rig r;
  r.addUnits(1);
  r.probes[0]->gain = 3.0f;
  r.unityOutput();
  r.st.audioIdle = 1;
  r.st.rigReady = 0;
  float right = 1;
  EXPECT_EQ(r.one(0.5f, 0.5f, &right), 0.0f);
  EXPECT_EQ(right, 0.0f);
  EXPECT_EQ(r.st.audioIdle, 1);
  r.st.rigReady = 1;
  EXPECT_FLOAT_EQ(r.one(0.5f), 1.5f);
  EXPECT_EQ(r.st.audioIdle, 0) << "a processed block leaves the idle state";
  r.st.bypass = true;
  EXPECT_FLOAT_EQ(r.one(0.5f, -0.25f, &right), 0.5f) << "bypass copies each channel";
  EXPECT_FLOAT_EQ(right, -0.25f);
  r.st.mute = true;
  EXPECT_EQ(r.one(0.5f, -0.25f, &right), 0.0f);
  EXPECT_EQ(right, 0.0f);
}

TEST(Chain, CabStageMixesDryVolumeInvertAndPan) {
  Rig r;
  r.unityOutput();
  r.addCab(1.0f, 0.0f, 1.0f, 1.0f);
  r.addCab(0.5f, 0.0f, 1.0f, 1.0f);
  float right = 0;
  EXPECT_FLOAT_EQ(r.one(0.4f, 0.0f, &right), 0.4f + 0.2f) << "w1 + w2";
  EXPECT_FLOAT_EQ(right, 0.6f);

  // Dry of the second block takes the first block's result as its dry part.
  r.chain.cabBlocks[1]->params[qvusconv::kDry]->setValue(0.5f);
  r.chain.cabBlocks[1]->params[qvusconv::kInvert]->setValue(1.0f);
  r.chain.cabBlocks[1]->params[qvusconv::kPan]->setValue(0.0f);
  const float y1 = 0.4f, y2 = -(0.5f * 0.2f + 0.5f * y1);
  EXPECT_FLOAT_EQ(r.one(0.4f, 0.0f, &right), y1 + 0.0f * y2);
  EXPECT_FLOAT_EQ(right, y1 + 2.0f * y2);

  r.st.settings[kSetDisableCabSims]->setValue(1.0f);
  r.chain.updateCabActivity();
  EXPECT_EQ(r.chain.cabActiveCount, 0);
  EXPECT_FLOAT_EQ(r.one(0.4f, 0.0f, &right), 0.4f) << "cab sims off: the chain output";
  EXPECT_FLOAT_EQ(right, 0.4f);
  r.st.settings[kSetDisableCabSims]->setValue(0.0f);
  r.chain.cabBlocks[0]->params[qvusconv::kEnabled]->setValue(0.0f);
  r.chain.updateCabActivity();
  EXPECT_EQ(r.chain.cabActiveCount, 1);
  EXPECT_FALSE(r.chain.cabEngine->isActive(r.chain.cabBlocks[0]->slot));
}

TEST(Chain, MeterCoversExactlyTheLast2048Samples) {
  Rig r;
  r.unityOutput();
  std::vector<float> l(5000), z(5000), ol(5000), orr(5000);
  for (size_t i = 0; i < l.size(); ++i) l[i] = i < 5000 - 2048 ? 1.0f : 0.5f;
  r.run(l, z, ol, orr);
  EXPECT_NEAR(r.chain.outputLevel(), 2048 * 0.25, 1e-6);
  std::vector<float> silence(2048, 0.0f), s2(2048), o1(2048), o2(2048);
  r.run(silence, s2, o1, o2);
  EXPECT_GE(r.chain.outputLevel(), 0.0);
  EXPECT_LT(r.chain.outputLevel(), 1e-9);
}

// Units inside a range run factor times per host sample at factor times the rate;
// a range to the end closes after the last unit; a low sine passes the up- and
// down-sampling filters at unity (after their small delay).
TEST(Chain, OversampledRangesRunTheirUnitsFactorTimes) {
  Rig r;
  r.addUnits(7);
  r.unityOutput();
  r.chain.sections = {2, 5};
  auto oversample = [&](int factor) {
    r.st.settings[kSetOversampling]->setValue(float(factor));
    r.chain.setOversampling(factor);
  };
  oversample(4);
  const int expected[7] = {1, 1, 4, 4, 4, 1, 1};
  r.one(0.1f);
  for (int u = 0; u < 7; ++u) {
    EXPECT_FLOAT_EQ(r.probes[u]->rate, float(expected[u])) << "unit " << u;
    EXPECT_EQ(r.probes[u]->calls, expected[u]) << "unit " << u;
  }
  oversample(1);
  r.one(0.1f);
  EXPECT_EQ(r.probes[3]->calls, 5) << "factor 1: no range";

  r.chain.sections = {3, 7};
  oversample(2);
  std::vector<float> in(4000), z(4000), ol(4000), orr(4000);
  for (size_t i = 0; i < in.size(); ++i) in[i] = 0.5f * std::sin(0.05f * i);
  const int before = r.probes[6]->calls;
  r.run(in, z, ol, orr);
  EXPECT_EQ(r.probes[6]->calls - before, 8000);
  double best = 1e9;
  for (int d = 0; d < 40; ++d) {
    double e = 0;
    for (size_t i = 1000; i < 4000; ++i) e += std::fabs(ol[i] - in[i - d]);
    best = std::min(best, e / 3000);
  }
  EXPECT_LT(best, 0.02);
}

// Brackets are mended into ascending pairs inside the unit list; sections come
// from the amplifier's and the pedals' brackets (a pedal with anti-aliasing off
// adds none), at most four ranges and 16 sub-samples.
TEST(Chain, SectionsFromSanitisedBrackets) {
  struct { std::vector<int32_t> brackets, expected; } cases[] = {
      {{2, 8}, {2, 5}}, {{3, 3}, {}}, {{4, 2, 1, 6}, {4, 5}}, {{1, 3, 7}, {1, 3}}};
  for (auto& c : cases) {
    Rig r;
    r.addUnits(5);
    r.chain.ampSlot.brackets = c.brackets;
    r.chain.rebuildSections();
    EXPECT_EQ(r.chain.ampSlot.brackets, c.expected);
    EXPECT_EQ(r.chain.sections, c.expected);
  }
  Rig r;
  r.addUnits(2, 1);  // pre-amplifier pedal (slot 1)
  r.addUnits(5, 0);  // amplifier
  r.addUnits(3, 2);  // post-amplifier pedal (slot 2)
  r.chain.ampSlot.brackets = {1, 4};
  for (int p = 0; p < 2; ++p) r.chain.pedalSlots.append(std::make_unique<qvslot>());
  r.chain.pedalSlots[0]->brackets = {0, 1};
  r.chain.pedalSlots[1]->brackets = {1, 9};
  r.chain.rebuildSections();
  EXPECT_EQ(r.chain.sections, (std::vector<int32_t>{0, 1, 3, 6, 8, 10}));
  r.chain.pedalSlots[1]->enableantialias = false;
  r.chain.rebuildSections();
  EXPECT_EQ(r.chain.sections, (std::vector<int32_t>{0, 1, 3, 6}));
  r.chain.sections = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  r.chain.setOversampling(40);
  EXPECT_EQ(r.chain.sections.size(), 8u) << "at most four ranges";
  EXPECT_EQ(r.chain.factor, 16) << "at most 16 sub-samples";
}

TEST(Chain, AntiAliasFiltersDesignedForTheHostNyquist) {
  Rig r;
  r.addUnits(5);
  r.chain.sections = {1, 4};
  r.chain.setOversampling(4);
  qvellipticlowpass reference;
  reference.design(8, 0.4, -2.0, 44100, 5512.5);
  for (int k = 0; k < 2; ++k)
    for (double w : {0.1, 0.5, 1.0, 2.0})
      EXPECT_NEAR(std::abs(r.chain.antiAliasFilter(k).cascade().response(w)),
                  std::abs(reference.cascade().response(w)), 1e-12);
}

TEST(Chain, ReenabledCabStagePlaysNoStaleTail) {
  Rig r;
  r.unityOutput();
  auto b = std::make_unique<qvusconv>(r.st, true);
  std::vector<float> ir(3000, 0.001f);
  b->slot = r.chain.cabEngine->createSlot(ir);
  b->params[qvusconv::kVolume]->setValue(1.0f);
  r.chain.cabBlocks.append(std::move(b));
  r.chain.updateCabActivity();
  for (int i = 0; i < 500; ++i) r.one(0.5f);  // the ring now holds a long tail
  r.st.settings[kSetDisableCabSims]->setValue(1.0f);
  r.chain.updateCabActivity();
  r.one(0.0f);
  r.st.settings[kSetDisableCabSims]->setValue(0.0f);
  r.chain.updateCabActivity();
  for (int i = 0; i < 4000; ++i) ASSERT_EQ(r.one(0.0f), 0.0f) << "sample " << i;
}

namespace {
// A unit that passes its input but turns one chosen sample into NaN, as a unit
// whose state was driven past its limits would.
class Poisoner : public qvutil {
public:
  explicit Poisoner(const qvprocstate& st) : qvutil(st) {}
  float process(float x) noexcept override { return calls++ == poisonAt ? NAN : x; }
  int blocktype() const override { return kBlockBuffer; }
  long calls = 0;
  long poisonAt = -1;
};

// A clipping stage, the poisoner, then one unit of every other block type, most
// with recursive state. (A clipper holds a NaN at its ceiling; after the
// poisoner it would hide the NaN that stays in the states before it.)
Poisoner* buildPoisonedRig(Rig& r) {
  r.chain.units.append(createUnit(kBlockClipping, r.st, true, true));
  auto p = std::make_unique<Poisoner>(r.st);
  Poisoner* poisoner = p.get();
  r.chain.units.append(std::move(p));
  for (int type : {kBlockDelay, kBlockFilter, kBlockAutoWah, kBlockTubeGain, kBlockPresence,
                   kBlockEqualizer, kBlockTone, kBlockGraphicEq, kBlockCompression, kBlockGate})
    r.chain.units.append(createUnit(type, r.st, true, true));
  r.chain.setOversampling(1);
  return poisoner;
}
}  // namespace

// A NaN made inside the rig never reaches the host: its block goes out as silence,
// the rig's running state is cleared, and the next block plays exactly as a fresh
// rig plays it.
TEST(Chain, NonFiniteOutputIsSilencedAndTheRigRecovers) {
  Rig hit, fresh;
  Poisoner* poisoner = buildPoisonedRig(hit);
  buildPoisonedRig(fresh);
  std::vector<float> x(512), l(512), r(512), outL(512), outR(512);
  for (size_t i = 0; i < x.size(); ++i) x[i] = 0.3f * std::sin(0.05f * float(i));

  l = r = x;
  hit.run(l, r, outL, outR);
  double e = 0.0;
  for (float v : outL) e += double(v) * v;
  ASSERT_TRUE(std::isfinite(e) && e > 0.0) << "the rig plays";
  EXPECT_EQ(hit.chain.nonFiniteOutputs.load(), 0u);

  poisoner->poisonAt = poisoner->calls + 100;
  l = r = x;
  hit.run(l, r, outL, outR);
  EXPECT_EQ(outL, std::vector<float>(512, 0.0f));
  EXPECT_EQ(outR, std::vector<float>(512, 0.0f));
  EXPECT_EQ(hit.chain.nonFiniteOutputs.load(), 1u);
  EXPECT_EQ(hit.chain.outputLevel(), 0.0) << "the meter starts again";

  std::vector<float> expectL(512), expectR(512);
  l = r = x;
  hit.run(l, r, outL, outR);
  l = r = x;
  fresh.run(l, r, expectL, expectR);
  EXPECT_EQ(outL, expectL);
  EXPECT_EQ(outR, expectR);
  EXPECT_EQ(hit.chain.nonFiniteOutputs.load(), 1u);
}

// The block path against the per-sample path: every unit's block operation, and
// the whole chain over every factory preset at three rates and four host block
// sizes, must give the same output bit for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "plugin/denormalguard.hpp"
#include "tests/factoryrig.hpp"
#include "units/clipping.hpp"
#include "units/tubegain.hpp"
#include "units/unitfactory.hpp"
#include "units/widecode.hpp"
#include "units/wahfilter.hpp"

using factoryrig::guitarLike;

namespace {

// The first index where two runs differ, or -1.
long firstDifference(const std::vector<float>& a, const std::vector<float>& b) {
  if (a.size() != b.size()) return 0;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::memcmp(&a[i], &b[i], sizeof(float)) != 0) return static_cast<long>(i);
  return -1;
}

// ---- units ----

// Block sizes cycled through one run, odd ones included.
constexpr int kUnitBlocks[] = {1, 3, 64, 1000, 17, 256};

std::unique_ptr<qvutil> makeUnit(qvprocstate& st, int type, float rate_factor, unsigned seed) {
  auto u = createUnit(type, st, true, true);
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> pos(0.05f, 0.95f);
  // Seed 0 keeps the defaults, odd seeds move the knobs a face shows (a tube stage
  // then stays static, its envelope effects off), even ones every parameter.
  for (uint32_t k = 0; seed != 0 && k < u->records.count(); ++k) {
    const float p = pos(rng);
    if (seed % 2 == 0 || u->records[k]->setvis) u->params[u->records[k]->pind]->setNormalized(p);
  }
  u->update(-1);
  u->setRateMultiplier(rate_factor);
  return u;
}

// The unit's block operation over the samples in place, in blocks of kUnitBlocks.
void playInBlocks(qvutil& unit, std::vector<float>& samples) {
  for (size_t at = 0, k = 0; at < samples.size(); ++k) {
    const size_t len = std::min<size_t>(kUnitBlocks[k % std::size(kUnitBlocks)], samples.size() - at);
    unit.processBlock(samples.data() + at, int(len));
    at += len;
  }
}

}  // namespace

TEST(BlockPath, EveryUnitsBlockOperationMatchesItsSamples) {
  qvprocstate st;
  st.sampleRate = 48000.0f;
  const std::vector<float> x = guitarLike(6000, 48000.0f);
  for (int type = 0; type < 12; ++type)
    for (unsigned seed : {0u, 1u, 2u, 3u, 4u, 5u})
      for (float n : {1.0f, 4.0f}) {
        auto one = makeUnit(st, type, n, seed), block = makeUnit(st, type, n, seed);
        std::vector<float> a(x), b(x);
        for (float& v : a) v = one->process(v);
        playInBlocks(*block, b);
        EXPECT_EQ(firstDifference(a, b), -1)
            << blockDisplayName(type) << ", parameters " << seed << ", rate factor " << n;
      }
}

// The distorting stages with their anti-aliasing options, over a signal with
// silence, a held value, a slow ramp, small steps and a dithered offset, where
// the antiderivative quotients give way to their stand-ins for inputs too close
// together; the block runs both in 256-bit registers (where the processor has
// AVX2) and in scalar code.
TEST(BlockPath, AntiAliasedStagesMatchTheirSamples) {
  const bool wide = qvwideCode();
  qvprocstate st;
  st.sampleRate = 48000.0f;
  std::vector<float> x = guitarLike(6000, 48000.0f);
  std::fill(x.begin() + 1000, x.begin() + 1300, 0.0f);
  std::fill(x.begin() + 2000, x.begin() + 2200, 0.25f);
  for (int i = 0; i < 400; ++i) x[3000 + i] = -0.3f + 2e-7f * static_cast<float>(i);
  for (int i = 0; i < 400; ++i) x[4000 + i] = 0.1f + ((i / 3) % 2 ? 3e-5f : 0.0f);
  for (int i = 0; i < 300; ++i) x[5000 + i] = 0.02f + (i % 2 ? 4e-8f : -4e-8f);  // silence with an offset
  for (bool wideRuns : {true, false}) {
    qvsetWideCode(wideRuns);
    for (int type : {kBlockTubeGain, kBlockClipping})
      for (unsigned seed : {0u, 1u, 2u, 4u})
        for (qvstageoptions o : {qvstageoptions{1, false}, qvstageoptions{2, false},
                                 qvstageoptions{0, true}, qvstageoptions{2, true}}) {
          auto one = makeUnit(st, type, 4.0f, seed), block = makeUnit(st, type, 4.0f, seed);
          for (qvutil* u : {one.get(), block.get()}) {
            if (auto* tube = dynamic_cast<qvustubea*>(u)) tube->setStageOptions(o);
            if (auto* clip = dynamic_cast<qvusclip*>(u)) clip->setStageOptions(o);
          }
          std::vector<float> a(x), b(x);
          for (float& v : a) v = one->process(v);
          playInBlocks(*block, b);
          EXPECT_EQ(firstDifference(a, b), -1)
              << blockDisplayName(type) << ", parameters " << seed << ", antiderivative " << o.antiderivative
              << ", band limit " << o.lowpass << ", wide runs " << wideRuns;
        }
  }
  qvsetWideCode(wide);
}

// The antiderivative runs against the samples one by one, where each run of
// silence (an offset with a little dither: every value a stand-in) hands its
// held state to a run that opens with a jump, so the next quotient reads it.
TEST(BlockPath, AntiderivativeRunsHandOnTheirState) {
  qvprocstate st;
  st.sampleRate = 48000.0f;
  qvusclip clip(st, true);
  clip.params[qvusclip::kGain]->setValue(8.0f);
  clip.update(-1);
  qvpiecewisecubic curve;
  ASSERT_TRUE(clip.curvePieces(curve));
  std::vector<float> x;
  for (int k = 0; k < 12; ++k) {
    for (int i = 0; i < 128; ++i) x.push_back(0.03f * float(k % 5) + (i % 2 ? 3e-7f : -3e-7f));
    for (int i = 0; i < 64; ++i) x.push_back(0.5f * std::sin(0.3f * float(i + k + 1)));
  }
  const bool wide = qvwideCode();
  for (bool wideRuns : {true, false}) {
    qvsetWideCode(wideRuns);
    for (int order : {1, 2}) {
      qvantiderivative one, runs;
      one.setOrder(order, curve);
      runs.setOrder(order, curve);
      std::vector<float> a(x), b(x);
      for (float& v : a) v = static_cast<float>(one.process(curve, double(v)));
      for (size_t at = 0; at < b.size(); at += 64) runs.process(curve, b.data() + at, 64);
      EXPECT_EQ(firstDifference(a, b), -1) << "order " << order << ", wide runs " << wideRuns;
    }
  }
  qvsetWideCode(wide);
}

// Two Filter units in one pass (every order against every order, the first with
// a dry part) give what the two give one after the other; a Filter does not pair
// with another kind of unit.
TEST(BlockPath, FilterPairsMatchTheirSamples) {
  qvprocstate st;
  st.sampleRate = 48000.0f;
  const std::vector<float> x = guitarLike(3000, 48000.0f);
  auto make = [&st](int order, float dry, float cutoff) {
    auto u = createUnit(kBlockFilter, st, true, true);
    u->params[qvusewah::kFilterOrd]->setValue(float(order));
    u->params[qvusewah::kDry]->setValue(dry);
    u->params[qvusewah::kCutoff]->setValue(cutoff);
    u->update(-1);
    return u;
  };
  for (int first : {1, 2, 4})
    for (int second : {1, 2, 4}) {
      auto a1 = make(first, 0.3f, 700.0f), b1 = make(second, 0.0f, 3000.0f);
      auto a2 = make(first, 0.3f, 700.0f), b2 = make(second, 0.0f, 3000.0f);
      std::vector<float> one(x), pair(x);
      for (float& v : one) v = b1->process(a1->process(v));
      for (size_t at = 0; at < pair.size(); at += 100)
        ASSERT_TRUE(a2->processPairBlock(*b2, pair.data() + at, 100));
      EXPECT_EQ(firstDifference(one, pair), -1) << "orders " << first << " and " << second;
    }
  auto tube = createUnit(kBlockTubeGain, st, true, true);
  float v = 0.5f;
  EXPECT_FALSE(make(1, 0.0f, 500.0f)->processPairBlock(*tube, &v, 1));
  EXPECT_EQ(v, 0.5f);
}

namespace {

// ---- the chain over the factory presets ----

constexpr int kHostBlocks[] = {1, 64, 256, 4096};
// Longer than the largest host block, so it is cut into chunks and continues in
// a second call; enough for the convolution's first four stages to cycle with
// the synthetic impulses (factoryrig.hpp).
constexpr int kFrames = 5000;

// Both channels of `in` played through the preset from a fresh running state.
std::vector<float> play(qvengine& e, uint32_t preset, const std::vector<float>& in, int block,
                        bool perSample) {
  EXPECT_EQ(e.loadPreset(e.data.presets[preset]->node, -1, false), 0);
  e.chain.resetRunningState();
  qvdenormalguard guard;  // as processReplacing runs it
  std::vector<float> x(in), left(in.size()), right(in.size());
  for (size_t at = 0; at < in.size(); at += static_cast<size_t>(block)) {
    const int n = static_cast<int>(std::min(in.size() - at, static_cast<size_t>(block)));
    float* ins[2] = {x.data() + at, x.data() + at};
    float* outs[2] = {left.data() + at, right.data() + at};
    (e.chain.*(perSample ? &qvchain::processPerSample : &qvchain::process))(ins, outs, n);
  }
  left.insert(left.end(), right.begin(), right.end());
  return left;
}

}  // namespace

TEST(BlockPath, EveryFactoryPresetMatchesThePerSampleChain) {
  for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
    auto engine = factoryrig::engineAt(rate);
    ASSERT_TRUE(engine);
    qvengine& e = *engine;
    ASSERT_EQ(e.data.presets.count(), 131u);
    ASSERT_GT(e.state.settingInt(kSetOversampling), 1) << "the factory oversamples";
    const std::vector<float> in = guitarLike(kFrames, rate);
    for (uint32_t p = 0; p < e.data.presets.count(); ++p) {
      const std::vector<float> reference = play(e, p, in, 256, true);
      double energy = 0.0;
      for (float v : reference) energy += double(v) * v;
      EXPECT_GT(energy, 0.0) << e.data.presets[p]->name << " is silent";
      for (int block : kHostBlocks) {
        const long at = firstDifference(play(e, p, in, block, false), reference);
        EXPECT_EQ(at, -1) << e.data.presets[p]->name << " at " << rate << " Hz, blocks of "
                          << block << ": first difference at sample " << at % kFrames
                          << (at >= kFrames ? " (right)" : " (left)");
      }
    }
  }
}

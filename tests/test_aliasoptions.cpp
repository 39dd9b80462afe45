// The rig's anti-aliasing options: read from a preset's members (absent: off, so
// every older preset keeps its exact numbers), written back only when on, handed
// to the chain's anti-alias filters and to every distorting stage.
#include <gtest/gtest.h>

#include <cmath>

#include "loadsavefixture.hpp"
#include "units/clipping.hpp"
#include "units/tubegain.hpp"

using namespace lsfix;

namespace {
qvjsonnode layeredWith(std::initializer_list<std::pair<const char*, qvjsonnode>> members) {
  qvjsonnode p = shortPreset("Layered OD", 8, 0, {slotEntry(0, true, 0), slotEntry(1, true, 1)});
  for (const auto& [key, value] : members) p[key] = value;
  return p;
}

int load(qvengine& e, const qvjsonnode& preset) {
  qvjsoncursor n;
  n.setRoot(preset);
  return e.loadPreset(n, -1, false);
}

// Stage options of every tube and clipping unit of the rig, all equal to `want`.
void expectStages(qvengine& e, const qvstageoptions& want) {
  int stages = 0;
  for (uint32_t u = 0; u < e.chain.units.count(); ++u) {
    qvutil* unit = e.chain.units[u];
    if (unit->blocktype() == kBlockTubeGain) {
      EXPECT_EQ(static_cast<qvustubea*>(unit)->stageOptions(), want) << "unit " << u;
      ++stages;
    } else if (unit->blocktype() == kBlockClipping) {
      EXPECT_EQ(static_cast<qvusclip*>(unit)->stageOptions(), want) << "unit " << u;
      ++stages;
    }
  }
  EXPECT_GE(stages, 3) << "the amplifier's two tubes and the pedal's";
}

// |H| in dB of anti-alias filter 0 at hz, the filter running factor × rate.
double filterDb(const qvchain& chain, double hz, double rate, int factor) {
  const double w = 2.0 * 3.141592653589793 * hz / (rate * factor);
  return 20.0 * std::log10(std::abs(chain.antiAliasFilter(0).cascade().response(w)));
}
}  // namespace

TEST(AliasOptions, PresetMembersTurnTheRigOptionsOnAndRoundTrip) {
  TempDir dir;
  auto e = engineIn(dir);
  ASSERT_EQ(e->loadDocument(true), 0);
  ASSERT_EQ(e->state.settingInt(kSetOversampling), 4);

  ASSERT_EQ(load(*e, layeredWith({})), 0);
  const std::string plainText = rigText(*e);
  EXPECT_EQ(plainText.find("aastopband"), std::string::npos) << "nothing written while off";
  EXPECT_EQ(plainText.find("antiderivative"), std::string::npos);
  EXPECT_EQ(plainText.find("aafactor"), std::string::npos);
  expectStages(*e, {});
  EXPECT_EQ(e->chain.factor, 4);

  ASSERT_EQ(load(*e, layeredWith({{"aastopband", true}, {"aaorder", 10}, {"antiderivative", 2},
                                  {"stagelowpass", true}, {"aafactor", 8}})),
            0);
  EXPECT_TRUE(e->chain.aliasOptions.stopband);
  EXPECT_EQ(e->chain.antiAliasFilter(0).cascade().sections(), 5) << "order 10";
  expectStages(*e, {.antiderivative = 2, .lowpass = true});
  EXPECT_EQ(e->chain.factor, 8);
  const std::string text = rigText(*e);
  EXPECT_NE(text.find("\"aastopband\":true,\"aaorder\":10,\"antiderivative\":2,\"stagelowpass\":true,\"aafactor\":8"),
            std::string::npos)
      << text;
  // Written, loaded and written again: the same text.
  qvjsoncursor n;
  e->writePresetNode("rig", false, -1, n);
  ASSERT_EQ(load(*e, n.root()), 0);
  EXPECT_EQ(rigText(*e), text);

  // The next preset without the members plays exact again.
  ASSERT_EQ(load(*e, layeredWith({})), 0);
  expectStages(*e, {});
  EXPECT_FALSE(e->chain.aliasOptions.stopband);
  EXPECT_EQ(e->chain.factor, 4);
  EXPECT_EQ(e->chain.antiAliasFilter(0).cascade().sections(), 4);
  EXPECT_EQ(rigText(*e), plainText);

  // What plays: a fresh engine without the options, the same numbers here, and
  // other numbers with them.
  auto fresh = engineIn(dir), optioned = engineIn(dir);
  ASSERT_EQ(fresh->loadDocument(true), 0);
  ASSERT_EQ(optioned->loadDocument(true), 0);
  ASSERT_EQ(load(*fresh, layeredWith({})), 0);
  ASSERT_EQ(load(*optioned, layeredWith({{"antiderivative", 1}})), 0);
  const std::vector<float> plainSound = render(*fresh);
  EXPECT_EQ(render(*e), plainSound) << "the exact numbers, as before any option";
  EXPECT_NE(render(*optioned), plainSound);
}

TEST(AliasOptions, NumberMembersAreMendedIntoTheirRanges) {
  TempDir dir;
  auto e = engineIn(dir);
  ASSERT_EQ(e->loadDocument(true), 0);
  const struct {
    const char* key;
    qvjsonnode stored;
    int32_t read;
  } rows[] = {{"aafactor", 40, 16}, {"aafactor", 16, 16}, {"aafactor", 3, 3},
              {"aafactor", 0, 1},   {"aafactor", -5, 1},  {"antiderivative", true, 1},
              {"antiderivative", 2, 2}, {"antiderivative", 7, 2}, {"antiderivative", -1, 0},
              {"antiderivative", false, 0}, {"aaorder", 10, 10}, {"aaorder", 11, 10},
              {"aaorder", 40, 16}, {"aaorder", 2, 8}};
  for (const auto& row : rows) {
    ASSERT_EQ(load(*e, layeredWith({{row.key, row.stored}})), 0);
    const qvaliasoptions& o = e->chain.aliasOptions;
    const std::string key = row.key;
    EXPECT_EQ(key == "aafactor" ? o.minFactor : key == "aaorder" ? o.filterOrder : o.stages.antiderivative,
              row.read)
        << row.key << " " << row.stored.dump();
  }
}

TEST(AliasOptions, MinimumFactorRaisesOnlyAnActiveOversampling) {
  const struct {
    int setting, minFactor, effective;
  } rows[] = {{1, 8, 1}, {2, 8, 8}, {4, 8, 8}, {16, 8, 16}, {4, 1, 4}, {0, 4, 0}};
  for (const auto& row : rows) {
    qvaliasoptions o;
    o.minFactor = row.minFactor;
    EXPECT_EQ(effectiveFactor(row.setting, o), row.effective) << row.setting << " " << row.minFactor;
  }
}

TEST(AliasOptions, StopbandBeginsAtTheHostNyquistAsDeepAsTheOrderMakesIt) {
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    for (int factor : {2, 4, 8, 16}) {
      SCOPED_TRACE(::testing::Message() << rate << " Hz, factor " << factor);
      qvprocstate st;
      st.sampleRate = static_cast<float>(rate);
      qvchain chain(st);
      chain.units.append(createUnit(kBlockBuffer, st, true, true));
      chain.sections = {0, 1};
      chain.setOversampling(factor);
      const double nyquist = rate / 2;
      EXPECT_GT(filterDb(chain, nyquist, rate, factor), -0.5) << "off: the passband reaches Nyquist";
      EXPECT_GT(filterDb(chain, 1.1 * nyquist, rate, factor), -60.0) << "and folds what lies just above";

      chain.aliasOptions.stopband = true;
      for (const auto& [order, depth] : {std::pair{8, -72.0}, {10, -96.0}, {12, -120.0}}) {
        chain.aliasOptions.filterOrder = order;
        chain.setOversampling(factor);
        for (double hz = nyquist; hz < nyquist * factor; hz += nyquist / 64)
          EXPECT_LT(filterDb(chain, hz, rate, factor), depth) << "order " << order << ", " << hz << " Hz";
        EXPECT_GT(filterDb(chain, 0.7 * nyquist, rate, factor), -0.5)
            << "order " << order << ": the passband still reaches 0.7 · Nyquist";
      }
    }
  }
}

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "data/impulseerrors.hpp"
#include "platform/files.hpp"
#include "tests/impulsefixture.hpp"
#include "tests/fixtures/testimpulse.hpp"

// The tests link the test resource set: resource 2 is the generated 24-bit,
// 96000 Hz impulse of tests/fixtures/testimpulse.hpp.

using ImpulseLoad = EngineFixture;

TEST_F(ImpulseLoad, FactoryImpulseAtTheHostRateFromOneCachedDecode) {
  const int32_t entry = addFactory(2);
  engine.setSampleRate(96000.0f, false);
  ASSERT_TRUE(engine.loadImpulse(entry, -1)) << engine.data.errorText;
  ASSERT_EQ(engine.chain.cabBlocks.count(), 1u);
  EXPECT_EQ(engine.data.currentCabBlock, 0);
  EXPECT_EQ(block(0).impulse, entry);
  EXPECT_TRUE(engine.chain.cabEngine->isActive(block(0).slot));
  EXPECT_FLOAT_EQ(block(0).params[qvusconv::kVolume]->getValue(), 0.18f) << "a New Sim's table";

  // At the file's own rate the slot plays the decoded samples themselves.
  ASSERT_EQ(blockLength(0), kTestImpulseCount);
  const std::vector<float> y = blockResponse(0, kTestImpulseCount);
  for (int n = 0; n < kTestImpulseCount; ++n)
    ASSERT_NEAR(y[size_t(n)], float(testImpulseSample(n)) / 8388608.0f, 2e-6f) << n;

  // Half the rate: count/2 + 1 samples, converted from the file-rate original.
  engine.setSampleRate(48000.0f, false);
  ASSERT_TRUE(engine.loadImpulse(entry, 0));
  EXPECT_EQ(blockLength(0), kTestImpulseCount / 2 + 1);
  // A catalogue rebuilt by a document load (bufferIndex -1) finds the same decode.
  const int32_t again = addFactory(2);
  ASSERT_TRUE(engine.loadImpulse(again, -1));
  EXPECT_EQ(engine.factoryImpulses.size(), 1u) << "decoded once";
  EXPECT_EQ(blockLength(1), kTestImpulseCount / 2 + 1);
}

TEST_F(ImpulseLoad, MissingFactoryResourceFails) {
  const int32_t entry = addFactory(17);  // the test set holds only resource 2
  EXPECT_FALSE(engine.loadImpulse(entry, -1));
  EXPECT_EQ(engine.data.errorText, "Resource not loaded.");
  EXPECT_TRUE(engine.chain.cabBlocks.empty());
  // Bad indices fail without touching anything.
  EXPECT_FALSE(engine.loadImpulse(entry + 1, -1));
  EXPECT_FALSE(engine.loadImpulse(-1, -1));
  EXPECT_FALSE(engine.loadImpulse(addFactory(2), 0)) << "no block 0 yet";
  EXPECT_TRUE(engine.data.errorText.empty()) << "cleared by every load";
  EXPECT_TRUE(engine.chain.cabBlocks.empty());
}

TEST_F(ImpulseLoad, SizeLimitAppliesToTheConvertedLength) {
  engine.setSampleRate(48000.0f, false);
  // 96000 Hz → 48000 Hz gives count/2 + 1 samples.
  const int32_t over = addUser(wav("over.wav", 96000, rampImpulse(200000)));     // 100001
  const int32_t at = addUser(wav("at.wav", 96000, rampImpulse(199998)));         // 100000
  ASSERT_EQ(engine.state.settingInt(kSetLimitImpulseFiles), 1) << "on by default";

  ASSERT_TRUE(engine.loadImpulse(at, -1)) << engine.data.errorText;
  EXPECT_EQ(blockLength(0), 100000);
  const int slot = block(0).slot;

  EXPECT_FALSE(engine.loadImpulse(over, 0));
  EXPECT_EQ(engine.data.errorText, "File was larger than max set in options: 100000");
  EXPECT_EQ(block(0).slot, slot) << "a failed load leaves the block as it was";
  EXPECT_EQ(block(0).impulse, at);
  EXPECT_EQ(engine.chain.cabBlocks.count(), 1u);

  engine.state.settings[kSetLimitImpulseFiles]->setValue(0.0f);
  ASSERT_TRUE(engine.loadImpulse(over, 0)) << "no limit when the option is off";
  EXPECT_EQ(blockLength(0), 100001);
  EXPECT_EQ(liveSlots(), 1) << "the old slot was released";
}

// A failed file load leaves the loader's text (every text is tested with the
// reader) and the block as it was, and makes no block of its own.
TEST_F(ImpulseLoad, UserFileFailuresLeaveTheLoadersTextAndTheBlock) {
  const int32_t good = addUser(wav("good.wav", 44100, rampImpulse(300)));
  ASSERT_TRUE(engine.loadImpulse(good, -1)) << engine.data.errorText;
  const int slot = block(0).slot;
  const std::string missing = dir.file("missing.wav");
  const int32_t entry = addUser(missing);
  EXPECT_FALSE(engine.loadImpulse(entry, 0));
  EXPECT_EQ(engine.data.errorText, missing + "\n - Could not open file: File or path not found. ");
  EXPECT_FALSE(engine.loadImpulse(entry, -1));
  EXPECT_EQ(engine.chain.cabBlocks.count(), 1u) << "no block for a failed load";
  EXPECT_EQ(block(0).slot, slot);
  EXPECT_EQ(block(0).impulse, good);
  ASSERT_TRUE(engine.loadImpulse(good, 0));
  EXPECT_TRUE(engine.data.errorText.empty());
}

TEST_F(ImpulseLoad, ReplacingKeepsTheBlockAndFollowsItsEnabledSwitch) {
  const std::vector<float> x = rampImpulse(200);
  const int32_t a = addUser(wav("a.wav", 44100, x));
  const int32_t b = addUser(wav("b.wav", 44100, rampImpulse(90)));
  ASSERT_TRUE(engine.loadImpulse(a, -1));
  ASSERT_TRUE(engine.loadImpulse(a, -1));
  EXPECT_EQ(engine.data.currentCabBlock, 1);

  qvusconv& first = *engine.chain.cabBlocks[0];
  first.params[qvusconv::kEnabled]->setValue(0.0f);
  const qvusconv* before = &first;
  ASSERT_TRUE(engine.loadImpulse(b, 0));
  EXPECT_EQ(engine.chain.cabBlocks[0], before) << "the same block, new impulse";
  EXPECT_EQ(block(0).impulse, b);
  EXPECT_FALSE(engine.chain.cabEngine->isActive(block(0).slot)) << "disabled block";
  EXPECT_EQ(engine.data.currentCabBlock, 1) << "replacing does not move the selection";

  // The user file plays its samples (rates equal: no conversion).
  const std::vector<float> y = blockResponse(1, x.size());
  for (size_t i = 0; i < x.size(); ++i) ASSERT_NEAR(y[i], x[i], 1e-6f) << i;
}

TEST_F(ImpulseLoad, HostRateChangeReloadsEveryCabBlock) {
  engine.setSampleRate(96000.0f, false);
  const int32_t user = addUser(wav("user.wav", 96000, rampImpulse(1000)));
  const int32_t factory = addFactory(2);
  ASSERT_TRUE(engine.loadImpulse(user, -1));
  ASSERT_TRUE(engine.loadImpulse(factory, -1));
  engine.chain.cabBlocks[1]->params[qvusconv::kEnabled]->setValue(0.0f);
  engine.chain.updateCabActivity();
  const int old_slot = block(0).slot;

  // No audio thread: the engine applies the rate at once.
  engine.setSampleRate(48000.0f, true);
  EXPECT_EQ(blockLength(0), 501);
  EXPECT_EQ(blockLength(1), kTestImpulseCount / 2 + 1);
  EXPECT_NE(block(0).slot, old_slot);
  EXPECT_EQ(liveSlots(), 2) << "the old slots were released";
  EXPECT_EQ(engine.chain.cabActiveCount, 1) << "the disabled block stays off";
  EXPECT_FALSE(engine.chain.cabEngine->isActive(block(1).slot));

  // With an audio thread running, the change waits for the next block.
  engine.state.audioIdle.store(0);
  engine.setSampleRate(24000.0f, true);
  EXPECT_EQ(blockLength(0), 501);
  engine.drainCommands(true);
  EXPECT_EQ(blockLength(0), 251);
  EXPECT_EQ(blockLength(1), kTestImpulseCount / 4 + 1);

  // A file gone since keeps its block at the old rate rather than removing it.
  ASSERT_EQ(std::remove(dir.file("user.wav").c_str()), 0);
  engine.state.audioIdle.store(1);
  engine.setSampleRate(96000.0f, true);
  EXPECT_EQ(engine.chain.cabBlocks.count(), 2u);
  EXPECT_EQ(blockLength(0), 251);
  EXPECT_EQ(blockLength(1), kTestImpulseCount);
}

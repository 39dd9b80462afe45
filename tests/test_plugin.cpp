// The built plug-in corvina.so through its binary interface, loaded by our test
// host the way a digital audio workstation loads it (see pluginfixture.hpp).
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "tests/pluginfixture.hpp"
#include "vst/audioeffect.hpp"

TEST(Plugin, IdentityLayoutAndEntryAlias) {
  auto module = PluginCopy::get().module();
  EXPECT_TRUE(module->mainIsEntryAlias());
  auto host = startPlugin();
  ASSERT_TRUE(host);
  const AEffect* e = host->effect();
  EXPECT_EQ(e->magic, kEffectMagic);
  EXPECT_EQ(e->uniqueID, vstFourCC('q', 'v', 'a', '8'));
  EXPECT_EQ(e->uniqueID, 0x71766138);
  EXPECT_EQ(e->numParams, 0);
  EXPECT_EQ(e->numPrograms, 1);
  EXPECT_EQ(e->numInputs, 2);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_TRUE(e->flags & effFlagsCanReplacing);
  EXPECT_TRUE(e->flags & effFlagsProgramChunks);
  EXPECT_FALSE(e->flags & effFlagsCanDoubleReplacing);
  EXPECT_FALSE(e->flags & effFlagsIsSynth);
}

TEST(Plugin, HostVersionZeroGetsNoEffect) {
  qvhostoptions old;
  old.hostVersion = 0;
  qvhostresult result = qvhostresult::ok;
  EXPECT_EQ(qvhostinstance::create(PluginCopy::get().module(), old, result), nullptr);
  EXPECT_EQ(result, qvhostresult::noEffect);
}

TEST(Plugin, InquiriesAnswerTheFixedIdentity) {
  auto host = startPlugin();
  ASSERT_TRUE(host);
  struct { VstInt32 opcode; const char* text; } names[] = {
      {effGetEffectName, "Corvina"}, {effGetProductString, "Corvina"}, {effGetVendorString, "Lumbrel"}};
  for (const auto& n : names) {
    const qvhosttext t = host->queryText(n.opcode);
    EXPECT_EQ(t.result, 1) << n.opcode;
    EXPECT_EQ(t.text, n.text) << n.opcode;
  }
  EXPECT_EQ(host->dispatch(effGetVendorVersion), 1000);
  EXPECT_EQ(host->dispatch(effGetPlugCategory), kPlugCategEffect);
  EXPECT_EQ(host->dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(host->dispatch(effGetTailSize), 0);
  EXPECT_EQ(host->dispatch(effSetBypass, 0, 1), 0) << "no soft bypass";
}

TEST(Plugin, NoParametersAndNoProgramNames) {
  auto host = startPlugin();
  ASSERT_TRUE(host);
  for (VstInt32 i : {-1, 0, 1, 17, 1000}) {
    host->setParameter(i, 0.75f);
    EXPECT_EQ(host->getParameter(i), 0.0f) << i;
    for (VstInt32 op : {effGetParamName, effGetParamLabel, effGetParamDisplay})
      EXPECT_FALSE(host->queryText(op, i).written) << "opcode " << op << " index " << i;
  }
  EXPECT_FALSE(host->queryText(effGetProgramName).written);
  EXPECT_FALSE(host->queryText(effGetProgramNameIndexed).written);
  char name[kVstMaxProgNameLen + 1] = "Renamed";
  host->dispatch(effSetProgramName, 0, 0, name);
  EXPECT_FALSE(host->queryText(effGetProgramName).written);
  EXPECT_EQ(host->dispatch(effGetProgram), 0);
}

TEST(Plugin, CanDoAnswersZeroForEveryCapability) {
  auto host = startPlugin();
  ASSERT_TRUE(host);
  for (const char* capability :
       {"receiveVstTimeInfo", "receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents",
        "sendVstMidiEvent", "bypass", "offline", "plugAsChannelInsert", "plugAsSend",
        "1in1out", "2in2out", "noRealTime", "", "corvina"})
    EXPECT_EQ(host->canDo(capability), 0) << capability;
}

TEST(Plugin, ChunkRoundTripGivesIdenticalBytesWithTheNul) {
  auto host = startPlugin();
  ASSERT_TRUE(host);
  const std::vector<uint8_t> first = host->getChunk();
  ASSERT_FALSE(first.empty()) << "even an empty rig is a one-byte chunk";
  EXPECT_EQ(first.back(), 0);
  EXPECT_EQ(first.size(), std::strlen(reinterpret_cast<const char*>(first.data())) + 1);
  EXPECT_EQ(host->setChunk(first.data(), first.size()), 0);
  EXPECT_EQ(host->getChunk(), first);
}

// Every preset of the embedded document: handed over as a chunk, read back,
// handed over again, read back: the bytes stay the same, and an instance given
// the read-back chunk plays exactly like one given the preset itself.
TEST(Plugin, EveryPresetSurvivesTheChunkRoundTrip) {
  const auto presets = factoryPresetChunks();
  ASSERT_FALSE(presets.empty()) << "the factory document holds no presets";
  const std::vector<float> x = testSignal(4096);
  for (const auto& [name, text] : presets) {
    auto a = startPlugin();
    auto b = startPlugin();
    ASSERT_TRUE(a && b);
    const auto preset = chunkOf(text);
    a->setChunk(preset.data(), preset.size());
    const std::vector<uint8_t> once = a->getChunk();
    ASSERT_FALSE(once.empty()) << name;
    EXPECT_EQ(once.size(), chunkText(once).size() + 1) << name;
    EXPECT_NE(chunkText(once).find(name), std::string::npos) << name;
    b->setChunk(once.data(), once.size());
    EXPECT_EQ(b->getChunk(), once) << name;
    a->resume();
    b->resume();
    EXPECT_EQ(render(*a, x, 256), render(*b, x, 256)) << name;
  }
}

// Bad chunks arrive while audio runs. The rig keeps playing: the instance
// sounds exactly like one that never saw them, and still hands out its chunk.
TEST(Plugin, BadChunksKeepTheRigPlaying) {
  auto good = startPlugin();
  auto hit = startPlugin();
  ASSERT_TRUE(good && hit);
  // A rig with pedals, amplifier and cab sims, not just the start-up one.
  const auto presets = factoryPresetChunks();
  ASSERT_FALSE(presets.empty());
  const auto preset = chunkOf(presets.back().second);
  good->setChunk(preset.data(), preset.size());
  hit->setChunk(preset.data(), preset.size());
  good->resume();
  hit->resume();
  const std::vector<uint8_t> before = hit->getChunk();
  const std::string valid = chunkText(before);

  const std::vector<float> x = testSignal(2048);
  EXPECT_EQ(render(*good, x, 512), render(*hit, x, 512));

  const std::string garbage = "\x01\xff{{[\"not a rig";
  const std::string truncated = valid.substr(0, valid.size() / 2);
  const std::string wrongShape = "[1,2,3]";
  struct { const char* what; const void* data; size_t size; } bad[] = {
      {"0 bytes", valid.data(), 0},
      {"garbage", garbage.data(), garbage.size()},
      {"truncated", truncated.data(), truncated.size()},
      {"an array", wrongShape.data(), wrongShape.size() + 1},
      {"a null pointer", nullptr, 64},
  };
  for (const auto& b : bad) {
    hit->setChunk(b.data, b.size);
    const stereo expect = render(*good, x, 512);
    const stereo got = render(*hit, x, 512);
    EXPECT_TRUE(allFinite(got)) << b.what;
    EXPECT_EQ(got, expect) << "after " << b.what;
    EXPECT_EQ(hit->getChunk(), before) << "after " << b.what;
  }
}

TEST(Plugin, BlockSizesDoNotChangeTheSound) {
  const std::vector<float> x = testSignal(4096 * 3);
  auto whole = startPlugin();
  auto single = startPlugin();
  auto mixed = startPlugin();
  ASSERT_TRUE(whole && single && mixed);
  for (auto* h : {whole.get(), single.get(), mixed.get()}) h->resume();

  const stereo big = render(*whole, x, 4096);
  EXPECT_TRUE(allFinite(big));
  EXPECT_GT(energy(big), 0.0);
  EXPECT_EQ(render(*single, x, 1), big);

  // Blocks of 0, 1, 7, 256 and 4096 frames, over and over, as an irregular host sends them.
  stereo out(x.size());
  const VstInt32 sizes[] = {0, 1, 7, 256, 4096};
  size_t done = 0;
  for (size_t k = 0; done < x.size(); ++k) {
    const VstInt32 n = VstInt32(std::min<size_t>(sizes[k % 5], x.size() - done));
    float* in[2] = {const_cast<float*>(x.data()) + done, const_cast<float*>(x.data()) + done};
    float* o[2] = {out.l.data() + done, out.r.data() + done};
    mixed->processBlock(in, o, n);
    done += size_t(n);
  }
  EXPECT_EQ(out, big);
}

TEST(Plugin, SampleRateChangeBetweenBlocksKeepsTheAudioFinite) {
  auto host = startPlugin();
  ASSERT_TRUE(host);
  host->resume();
  const std::vector<float> x = testSignal(96000);
  const stereo before = render(*host, x, 256);
  host->setSampleRate(44100.0f);
  const stereo after44 = render(*host, x, 256);
  host->setSampleRate(96000.0f);
  const stereo after96 = render(*host, x, 7);
  for (const stereo* s : {&before, &after44, &after96}) {
    EXPECT_TRUE(allFinite(*s));
    EXPECT_GT(energy(*s), 0.0);
  }
  // Once the earlier audio has died away, the rig at the new rate plays like a
  // rig started at that rate.
  auto fresh = startPlugin();
  ASSERT_TRUE(fresh);
  fresh->setSampleRate(96000.0f);
  fresh->resume();
  const stereo freshOut = render(*fresh, x, 7);
  auto lateEnergy = [](const stereo& s) {
    stereo late;
    late.l.assign(s.l.begin() + s.l.size() / 2, s.l.end());
    late.r.assign(s.r.begin() + s.r.size() / 2, s.r.end());
    return energy(late);
  };
  EXPECT_NEAR(lateEnergy(after96), lateEnergy(freshOut), 0.1 * lateEnergy(freshOut));
}

// The host's main thread asks for the chunk and hands it back while the audio
// thread plays: every chunk read out is whole and the audio stays finite.
TEST(Plugin, ChunkCallsFromOtherThreadsWhileAudioRuns) {
  auto host = startPlugin();
  ASSERT_TRUE(host);
  host->resume();
  const std::vector<uint8_t> start = host->getChunk();
  std::atomic<bool> stop{false};
  std::atomic<bool> finite{true};
  std::atomic<int> blocks{0};
  std::thread audio([&] {
    const std::vector<float> x = testSignal(256);
    while (!stop.load()) {
      if (!allFinite(render(*host, x, 256))) finite = false;
      ++blocks;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  // Only once audio runs do the chunk calls meet the audio thread.
  while (blocks.load() == 0) std::this_thread::yield();
  for (int i = 0; i < 50; ++i) {
    const std::vector<uint8_t> chunk = host->getChunk();
    EXPECT_EQ(chunk, start);
    host->setChunk(chunk.data(), chunk.size());
  }
  stop = true;
  audio.join();
  EXPECT_TRUE(finite.load());
  EXPECT_EQ(host->getChunk(), start);
}

// The built plug-in corvina.so through its binary interface, loaded by our test
// host the way a digital audio workstation loads it (see pluginfixture.hpp).
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "tests/pluginfixture.hpp"
#include "vst/audioeffect.hpp"

// What the host sees: the entry point (and our host's refusals of what has none),
// identity, layout, inquiries, no parameters or program names, no capabilities,
// and a chunk of the start-up rig that reads back byte for byte.
TEST(Plugin, IdentityInquiriesAndTheStartUpChunk) {
  EXPECT_TRUE(pluginModule()->mainIsEntryAlias()) << "main must sit at the address of VSTPluginMain";
  qvhostmodule missing, notAPlugin;
  EXPECT_EQ(missing.open("/nonexistent/plugin.so"), qvhostresult::cannotOpen);
  EXPECT_FALSE(missing.error().empty());
  EXPECT_EQ(notAPlugin.open("libm.so.6"), qvhostresult::noEntryPoint);
  qvhostoptions old;
  old.hostVersion = 0;
  qvhostresult result = qvhostresult::ok;
  EXPECT_EQ(qvhostinstance::create(pluginModule(), old, result), nullptr);
  EXPECT_EQ(result, qvhostresult::noEffect);

  auto host = startPlugin();
  ASSERT_TRUE(host);
  const AEffect* e = host->effect();
  EXPECT_EQ(e->uniqueID, 0x71766138) << "'qva8'";
  EXPECT_EQ(e->numParams, 0);
  EXPECT_EQ(e->numPrograms, 1);
  EXPECT_EQ(e->numInputs, 2);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->flags & (effFlagsCanReplacing | effFlagsProgramChunks | effFlagsCanDoubleReplacing |
                        effFlagsIsSynth),
            effFlagsCanReplacing | effFlagsProgramChunks);
  struct { VstInt32 opcode; const char* text; } names[] = {
      {effGetEffectName, "Corvina"}, {effGetProductString, "Corvina"}, {effGetVendorString, "Lumbrel"}};
  for (const auto& n : names) {
    const qvhosttext t = host->queryText(n.opcode);
    EXPECT_EQ(t.result, 1) << n.opcode;
    EXPECT_EQ(t.text, n.text) << n.opcode;
  }
  const struct { VstInt32 opcode; VstIntPtr value, expected; } answers[] = {
      {effGetVendorVersion, 0, 1000}, {effGetPlugCategory, 0, kPlugCategEffect},
      {effGetVstVersion, 0, 2400},    {effGetTailSize, 0, 0},
      {effSetBypass, 1, 0},           {effGetProgram, 0, 0}};
  for (const auto& a : answers) EXPECT_EQ(host->dispatch(a.opcode, 0, a.value), a.expected) << a.opcode;
  for (VstInt32 i : {-1, 0, 17}) {
    host->setParameter(i, 0.75f);
    EXPECT_EQ(host->getParameter(i), 0.0f) << i;
    for (VstInt32 op : {effGetParamName, effGetParamLabel, effGetParamDisplay})
      EXPECT_FALSE(host->queryText(op, i).written) << "opcode " << op << " index " << i;
  }
  char name[kVstMaxProgNameLen + 1] = "Renamed";
  host->dispatch(effSetProgramName, 0, 0, name);
  EXPECT_FALSE(host->queryText(effGetProgramName).written);
  EXPECT_FALSE(host->queryText(effGetProgramNameIndexed).written);
  for (const char* capability : {"receiveVstTimeInfo", "receiveVstEvents", "sendVstMidiEvent",
                                 "bypass", "offline", "2in2out", "noRealTime", ""})
    EXPECT_EQ(host->canDo(capability), 0) << capability;

  const std::vector<uint8_t> first = host->getChunk();
  ASSERT_FALSE(first.empty()) << "even an empty rig is a one-byte chunk";
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

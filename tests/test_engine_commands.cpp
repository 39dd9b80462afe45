// Engine commands where threads, files and the host's calls meet: the project
// save folder, a rate change against a running editor command, and host chunks
// parsed on the host's thread.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/files.hpp"
#include "tests/loadsavefixture.hpp"

using namespace lsfix;

TEST(EngineCommands, ProjectFolderIsMadeWhenTheSettingTurnsOn) {
  TempDir dir;
  auto e = engineIn(dir);
  ASSERT_EQ(e->loadDocument(true), 0);
  e->state.settings[kSetProjectFolder]->setNormalized(1.0f);
  e->settingChanged(kSetProjectFolder);
  e->saveDocument();
  EXPECT_TRUE(drainMessages(*e).empty()) << "the save found its folder";
  qvstring saved;
  EXPECT_TRUE(readWholeFile(dir.path() + "/qvproj-preset/corvina-save.fxda", saved));
  EXPECT_GT(saved.size(), 100u);

  // Back to the default folder: the document there is the one written next.
  e->state.settings[kSetProjectFolder]->setNormalized(0.0f);
  e->settingChanged(kSetProjectFolder);
  e->saveDocument();
  EXPECT_TRUE(readWholeFile(dir.path() + "/corvina-save.fxda", saved));
}

TEST(EngineThreads, RateChangeWaitsWhileAnEditorCommandRuns) {
  TempDir dir;
  auto e = engineIn(dir);
  ASSERT_EQ(e->loadDocument(true), 0);
  e->setSampleRate(48000.0f, false);
  render(*e);
  e->state.audioIdle.store(0);  // an audio thread drains from now on
  e->setSampleRate(96000.0f, true);

  // An editor command (which may grow the impulse catalogue) holds the lock on
  // its own thread: the block plays on at the old rate rather than reload the
  // cab sims from a catalogue under change.
  std::atomic<int> stage{0};
  std::thread editor([&] {
    e->mailbox.commandLock().lock();
    stage = 1;
    while (stage.load() != 2) std::this_thread::yield();
    e->mailbox.commandLock().unlock();
  });
  while (stage.load() != 1) std::this_thread::yield();
  float in[64] = {}, l[64], r[64];
  float* ins[2] = {in, in};
  float* outs[2] = {l, r};
  e->processReplacing(ins, outs, 64);
  EXPECT_EQ(e->state.sampleRate, 48000.0f) << "changed under a running editor command";
  stage = 2;
  editor.join();
  e->processReplacing(ins, outs, 64);
  EXPECT_EQ(e->state.sampleRate, 96000.0f) << "applied once the lock was free";
}

TEST(EngineCommands, HostChunkIsParsedByTheHostsCallNotByTheRigCommand) {
  TempDir dir;
  auto e = engineIn(dir);
  ASSERT_EQ(e->loadDocument(true), 0);
  const qvstring layered = writeJsonText(factoryDocument()["presets"][5]);
  e->data.chunkText = layered;
  e->applyChunk();
  ASSERT_EQ(e->data.currentPresetName, "Layered OD");

  // The rig command only swaps in the draft that the host's call parsed; the
  // text it came from may be changed meanwhile by another host call.
  qvjsonnode other = factoryDocument()["presets"][4];
  e->data.chunkText = writeJsonText(other);
  e->runRigCommand(kCmdSelectPreset, -1.0f);
  EXPECT_EQ(e->data.currentPresetName, "Layered OD");
  e->applyChunk();
  EXPECT_EQ(e->data.currentPresetName, "Full Clean");
}

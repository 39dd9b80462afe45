// What the audio thread does with the commands it runs inside processReplacing: a
// command that fails half-way (an allocation failing anywhere in a preset switch)
// is undone, counted and reported while the audio plays on exactly as before; and
// with commands pending, processReplacing neither allocates nor waits for the
// command lock, whatever the block size.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "tests/alloccounter.hpp"
#include "tests/factoryrig.hpp"

namespace {

constexpr float kRate = 48000.0f;
constexpr int kBlock = 256;
constexpr int kLongestBlock = 5000;  // beyond the chain's chunk and the usual host block

// An engine playing a preset through processReplacing on the calling thread.
struct Player {
  std::unique_ptr<qvengine> e;
  std::vector<float> in = factoryrig::guitarLike(48000, kRate);
  size_t at = 0;
  std::vector<float> x = std::vector<float>(kLongestBlock), left = x, right = x;

  bool open(const char* preset) {
    e = factoryrig::engineAt(kRate);
    if (!e) return false;
    const int32_t p = factoryrig::presetIndex(*e, preset);
    if (p < 0) return false;
    e->postCommand(kCmdSelectPreset, static_cast<float>(p));  // no audio yet: runs at once
    e->mailbox.startWait = 20000;  // a slow (sanitized) test thread still counts as the audio thread
    play(kBlock);  // from here on commands wait for processReplacing
    return e->data.currentPreset == p;
  }
  // Allocates nothing itself: the allocations counted are the engine's.
  void play(int n) {
    for (int i = 0; i < n; ++i) x[static_cast<size_t>(i)] = in[at++ % in.size()];
    float* ins[2] = {x.data(), x.data()};
    float* outs[2] = {left.data(), right.data()};
    e->processReplacing(ins, outs, n);
  }
  // The rig as a preset object; the current cab selection is the editor's, not the rig's.
  std::string rig() {
    qvjsoncursor n;
    e->writePresetNode("rig", false, -1, n);
    qvjsonnode rig = n.root();
    rig.erase("currentconvblock");
    return writeJsonText(rig);
  }
};

// Posts rig command `code` from another thread, as the editor does, and plays
// blocks here until it ran; `around` brackets the block that runs it.
template <class Around>
void runOnAudioThread(Player& p, int32_t code, float value, Around around) {
  std::thread poster([&p, code, value] { p.e->postCommand(code, value); });
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!p.e->mailbox.pending() && std::chrono::steady_clock::now() < until)
    std::this_thread::yield();
  EXPECT_TRUE(p.e->mailbox.pending()) << "the command never reached the mailbox";
  around([&p] { p.play(kBlock); });
  poster.join();
}

void plain(Player& p, int32_t code, float value) {
  runOnAudioThread(p, code, value, [](auto block) { block(); });
}

bool sameBlock(const Player& a, const Player& b) {
  return std::memcmp(a.left.data(), b.left.data(), sizeof(float) * kBlock) == 0 &&
         std::memcmp(a.right.data(), b.right.data(), sizeof(float) * kBlock) == 0;
}

std::string lastMessage(qvengine& e) {
  qvstring text, last;
  int32_t level = 0, lastLevel = 0;
  while (e.messages.pop(text, level)) {
    last = text;
    lastLevel = level;
  }
  return std::to_string(lastLevel) + ":" + last;
}

}  // namespace

// Every allocation of a switch from "Layered OD" to "Extreme Stack" is made to
// fail in turn (all of the last ones, where the new rig replaces the old, and a
// spread of the earlier ones). Each failure must leave the rig and its running
// state as they were: the engine plays on in step, sample for sample, with a
// twin that never got the command.
TEST(AudioThread, AFailedPresetSwitchLeavesTheRigPlayingAsItWas) {
  Player probe, tested, twin;
  ASSERT_TRUE(probe.open("Layered OD"));
  ASSERT_TRUE(tested.open("Layered OD"));
  ASSERT_TRUE(twin.open("Layered OD"));
  const int32_t target = factoryrig::presetIndex(*probe.e, "Extreme Stack");
  ASSERT_GE(target, 0);
  long total = 0;
  runOnAudioThread(probe, kCmdSelectPreset, float(target), [&total](auto block) {
    alloccounter::arm();
    block();
    total = alloccounter::disarm();
  });
  ASSERT_EQ(probe.e->data.currentPreset, target);
  ASSERT_GT(total, 100) << "a preset switch builds a whole rig";

  std::vector<long> points;
  for (long n = 0; n < total - 150; n += std::max(1L, total / 60)) points.push_back(n);
  for (long n = std::max(0L, total - 150); n < total; ++n) points.push_back(n);
  const std::string before = tested.rig();
  int failures = 0, absorbed = 0;
  for (long n : points) {
    const uint32_t failedBefore = tested.e->mailbox.failedCommands();
    bool hit = false;
    runOnAudioThread(tested, kCmdSelectPreset, float(target), [&](auto block) {
      alloccounter::armFailure(n);
      block();
      hit = alloccounter::failed();
      alloccounter::disarm();
    });
    twin.play(kBlock);
    if (!hit) break;  // past the switch's last allocation: it simply ran
    if (tested.e->mailbox.failedCommands() == failedBefore) {
      // Absorbed where running out of memory is allowed (a cab sim whose
      // convolution slot cannot be made is left out): the switch happened. Both
      // go back to the start and begin afresh.
      plain(tested, kCmdSelectPreset, float(tested.e->data.presetToSelect));
      plain(twin, kCmdSelectPreset, float(twin.e->data.presetToSelect));
      tested.e->chain.resetRunningState();
      twin.e->chain.resetRunningState();
      ++absorbed;
      continue;
    }
    ++failures;
    ASSERT_EQ(tested.e->mailbox.failedCommands(), failedBefore + 1);
    EXPECT_EQ(lastMessage(*tested.e), "2:Warning: command failed ~ 85003") << "allocation " << n;
    ASSERT_EQ(tested.rig(), before) << "allocation " << n;
    EXPECT_TRUE(sameBlock(tested, twin)) << "the block that ran the failed command, allocation " << n;
    tested.play(kBlock);
    twin.play(kBlock);
    ASSERT_TRUE(sameBlock(tested, twin)) << "the block after, allocation " << n;
  }
  EXPECT_GT(failures, 3 * absorbed) << "most allocations of a switch must not fail it quietly";

  // Memory back: the same command now switches, and both play the new rig alike
  // (from the same start: the last trial may already have switched).
  plain(tested, kCmdSelectPreset, float(target));
  plain(twin, kCmdSelectPreset, float(target));
  EXPECT_EQ(tested.rig(), probe.rig());
  tested.e->chain.resetRunningState();
  twin.e->chain.resetRunningState();
  tested.play(kBlock);
  twin.play(kBlock);
  EXPECT_TRUE(sameBlock(tested, twin));
}

// Knob moves on every continuous parameter of the rig and on the output level,
// one pending at every block, at block sizes from 0 to beyond the announced one:
// not one allocation inside processReplacing. Then a command waits while the
// editor holds the command lock: the blocks play on without waiting for it.
TEST(AudioThread, PendingCommandsNeitherAllocateNorWait) {
  Player p;
  ASSERT_TRUE(p.open("Layered OD"));
  qvengine& e = *p.e;
  std::vector<int32_t> knobs;
  e.mailbox.commandLock().lock();
  for (uint32_t u = 0; u < e.chain.units.count(); ++u)
    for (uint32_t k = 0; k < e.chain.units[u]->params.count(); ++k) {
      if (e.chain.units[u]->params[k]->getType() > 3) continue;  // switches and steps rebuild
      qvcontrol c;
      c.kind = kKindBlockParam;
      c.position = static_cast<int32_t>(u);
      c.index = static_cast<int32_t>(k);
      knobs.push_back(e.addControl(c));
    }
  qvcontrol level;
  level.kind = kKindOption;
  level.index = kSetOutputLevel;
  knobs.push_back(e.addControl(level));
  e.mailbox.commandLock().unlock();
  ASSERT_GT(knobs.size(), 20u);

  long allocations = 0;
  int ran = 0;
  const int sizes[] = {0, 1, 64, 256, 1000, 4096, kLongestBlock};
  for (size_t i = 0; i < 3 * knobs.size(); ++i) {
    e.postCommand(knobs[i % knobs.size()], 0.3f + 0.4f * float(i % 5) / 4.0f);
    ASSERT_TRUE(e.mailbox.pending());
    alloccounter::arm();
    p.play(sizes[i % std::size(sizes)]);
    allocations += alloccounter::disarm();
    ran += e.mailbox.pending() ? 0 : 1;
  }
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(ran, static_cast<int>(3 * knobs.size()));
  EXPECT_EQ(e.mailbox.failedCommands(), 0u);

  e.postCommand(knobs[0], 0.9f);
  std::atomic<bool> held{false}, release{false};
  std::thread editor([&] {
    e.mailbox.commandLock().lock();
    held = true;
    for (int waited = 0; !release && waited < 5000; ++waited)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    e.mailbox.commandLock().unlock();
  });
  while (!held) std::this_thread::yield();
  const auto start = std::chrono::steady_clock::now();
  for (int b = 0; b < 4; ++b) p.play(kBlock);
  const auto took = std::chrono::steady_clock::now() - start;
  const bool stillPending = e.mailbox.pending();
  release = true;
  editor.join();
  EXPECT_LT(took, std::chrono::seconds(2)) << "the blocks waited for the editor's lock";
  EXPECT_TRUE(stillPending) << "the command waits for a block after the lock is free";
  p.play(kBlock);
  EXPECT_FALSE(e.mailbox.pending());
}

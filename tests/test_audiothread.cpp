// What the audio thread does with the commands it runs inside processReplacing: a
// command that fails half-way (an allocation failing anywhere in a preset switch)
// is undone, counted and reported while the audio plays on exactly as before; and
// with commands pending, processReplacing allocates nothing, whatever the block size.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "tests/alloccounter.hpp"
#include "tests/factoryrig.hpp"

namespace {

constexpr int kBlock = 256;

// An engine playing a preset through processReplacing on the calling thread.
struct Player {
  std::unique_ptr<qvengine> e = factoryrig::engineAt(48000.0f);
  std::vector<float> in = factoryrig::guitarLike(48000, 48000.0f);
  size_t at = 0;
  std::vector<float> x = std::vector<float>(5000), left = x, right = x;  // up to 5000 frames

  explicit Player(const char* preset) {
    e->postCommand(kCmdSelectPreset, float(factoryrig::presetIndex(*e, preset)));  // runs at once
    e->mailbox.startWait = 20000;  // a slow (sanitized) test thread still counts as the audio thread
    play(kBlock);                  // from here on commands wait for processReplacing
  }
  void play(int n) {  // allocates nothing itself: what is counted is the engine's
    for (int i = 0; i < n; ++i) x[size_t(i)] = in[at++ % in.size()];
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
  bool sameBlockAs(const Player& o) const {
    return std::memcmp(left.data(), o.left.data(), sizeof(float) * kBlock) == 0 &&
           std::memcmp(right.data(), o.right.data(), sizeof(float) * kBlock) == 0;
  }
  // Posts preset `index` from another thread, as the editor does, and plays the
  // block that runs it, bracketed by `around`.
  template <class Around>
  void select(int32_t index, Around around) {
    std::thread poster([this, index] { e->postCommand(kCmdSelectPreset, float(index)); });
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!e->mailbox.pending() && std::chrono::steady_clock::now() < until)
      std::this_thread::yield();
    around();
    play(kBlock);
    alloccounter::disarm();
    poster.join();
  }
  void select(int32_t index) { select(index, [] {}); }
};

}  // namespace

// Every allocation of a switch from "Layered OD" to "Extreme Stack" is made to
// fail in turn (all of the last ones, where the new rig replaces the old, and a
// spread of the earlier ones). Each failure must leave the rig and its running
// state as they were: the engine plays on in step, sample for sample, with a
// twin that never got the command.
TEST(AudioThread, AFailedPresetSwitchLeavesTheRigPlayingAsItWas) {
  Player probe("Layered OD"), tested("Layered OD"), twin("Layered OD");
  const int32_t start = probe.e->data.currentPreset;
  const int32_t target = factoryrig::presetIndex(*probe.e, "Extreme Stack");
  probe.select(target, [] { alloccounter::arm(); });
  const long total = alloccounter::disarm();
  ASSERT_EQ(probe.e->data.currentPreset, target);
  ASSERT_GT(total, 100) << "a preset switch builds a whole rig";

  const std::string before = tested.rig();
  int failures = 0, absorbed = 0;
  for (long n = 0; n < total; n += n < total - 150 ? std::max(1L, total / 60) : 1) {
    const uint32_t failedBefore = tested.e->mailbox.failedCommands();
    tested.select(target, [n] { alloccounter::armFailure(n); });
    twin.play(kBlock);
    if (!alloccounter::failed()) break;  // past the switch's last allocation: it simply ran
    if (tested.e->mailbox.failedCommands() == failedBefore) {
      // Absorbed where running out of memory is allowed (a cab sim whose slot
      // cannot be made is left out): the switch happened. Both start afresh.
      tested.select(start);
      twin.select(start);
      tested.e->chain.resetRunningState();
      twin.e->chain.resetRunningState();
      ++absorbed;
      continue;
    }
    ++failures;
    ASSERT_EQ(tested.e->mailbox.failedCommands(), failedBefore + 1);
    qvstring text;
    int32_t level = 0;
    ASSERT_TRUE(tested.e->messages.peekLast(text, level));
    EXPECT_EQ(std::to_string(level) + ":" + text, "2:Warning: command failed ~ 85003") << n;
    ASSERT_EQ(tested.rig(), before) << "allocation " << n;
    EXPECT_TRUE(tested.sameBlockAs(twin)) << "the block that ran the failed switch, allocation " << n;
    tested.play(kBlock);
    twin.play(kBlock);
    ASSERT_TRUE(tested.sameBlockAs(twin)) << "the block after, allocation " << n;
  }
  EXPECT_GT(failures, 3 * absorbed) << "most allocations of a switch must not fail it quietly";
  // With memory back the command switches.
  tested.select(target);
  EXPECT_EQ(tested.rig(), probe.rig());
}

// Knob moves on every continuous parameter of the rig and on the output level,
// one pending at every block, at block sizes from 0 to beyond the announced one:
// not one allocation inside processReplacing. (That a block never waits for the
// command lock is the mailbox's test.)
TEST(AudioThread, PendingKnobMovesAllocateNothing) {
  Player p("Layered OD");
  qvengine& e = *p.e;
  std::vector<int32_t> knobs;
  e.mailbox.commandLock().lock();
  auto control = [](int32_t kind, int32_t position, int32_t index) {
    qvcontrol c;
    c.kind = kind;
    c.position = position;
    c.index = index;
    return c;
  };
  for (uint32_t u = 0; u < e.chain.units.count(); ++u)
    for (uint32_t k = 0; k < e.chain.units[u]->params.count(); ++k)
      if (e.chain.units[u]->params[k]->getType() <= 3)  // switches and steps rebuild
        knobs.push_back(e.addControl(control(kKindBlockParam, int32_t(u), int32_t(k))));
  knobs.push_back(e.addControl(control(kKindOption, -1, kSetOutputLevel)));
  e.mailbox.commandLock().unlock();
  ASSERT_GT(knobs.size(), 20u);

  long allocations = 0;
  const int sizes[] = {0, 1, 64, 256, 1000, 4096, 5000};
  for (size_t i = 0; i < 3 * knobs.size(); ++i) {
    e.postCommand(knobs[i % knobs.size()], 0.3f + 0.1f * float(i % 5));
    ASSERT_TRUE(e.mailbox.pending());
    alloccounter::arm();
    p.play(sizes[i % std::size(sizes)]);
    allocations += alloccounter::disarm();
    ASSERT_FALSE(e.mailbox.pending()) << "knob " << i;
  }
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(e.mailbox.failedCommands(), 0u);
}

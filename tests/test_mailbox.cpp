// The one-slot command mailbox between the editor and the audio thread, against
// a target that records what ran where.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "plugin/qvmailbox.hpp"

namespace {
// Records what ran where; controls below 100 are asynchronous knobs, the rest sync.
struct Target : qvcommandtarget {
  qvprocstate* state = nullptr;
  std::atomic<int> controlsRun{0};
  std::atomic<int> rigRun{0};
  std::atomic<int> editorRun{0};
  std::atomic<float> lastValue{-1.0f};
  std::atomic<bool> bypassSeenByCommand{false};
  std::thread::id lastThread;

  ControlPost classifyControl(int32_t code, float, int32_t& editorCode) override {
    if (code >= 60000) return ControlPost::Ignore;
    if (code == 500) {
      editorCode = 70001;
      return ControlPost::RunNow;
    }
    return code < 100 ? ControlPost::QueueAsync : ControlPost::QueueSync;
  }
  void runEditorCommand(int32_t, float) override { ++editorRun; }
  void runControlCommand(int32_t, float value) override { ran(value, controlsRun); }
  void runRigCommand(int32_t, float value) override { ran(value, rigRun); }
  void ran(float value, std::atomic<int>& count) {
    bypassSeenByCommand = state->bypass.load();
    lastValue = value;
    lastThread = std::this_thread::get_id();
    ++count;
  }
};

struct Box {
  qvprocstate state;
  Target target;
  qvmailbox box{state, target};
  Box() { target.state = &state; }
};
}  // namespace

TEST(Mailbox, CoalescesRepeatedControlsAndDropsADifferentCommand) {
  Box b;
  b.state.audioIdle = 0;  // an audio thread is draining
  b.box.postCommand(7, 0.1f);
  b.box.postCommand(7, 0.2f);
  ASSERT_TRUE(b.box.pending());
  EXPECT_FLOAT_EQ(b.box.pendingValue(), 0.2f) << "the latest knob position wins";
  b.box.postCommand(8, 0.9f);
  EXPECT_EQ(b.box.pendingCode(), 7) << "a different command is dropped while one is pending";
  b.box.drainCommands(true);
  EXPECT_FALSE(b.box.pending());
  EXPECT_EQ(b.target.controlsRun, 1);
  EXPECT_FLOAT_EQ(b.target.lastValue, 0.2f);
}

// A queued knob move must not swallow the user's next action: a command whose
// poster waits anyway waits for the slot instead of being dropped.
TEST(Mailbox, SyncCommandWaitsForAQueuedKnobInsteadOfBeingDropped) {
  Box b;
  b.state.audioIdle = 0;
  b.box.postCommand(7, 0.3f);  // async knob, queued
  ASSERT_TRUE(b.box.pending());
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    while (!stop) {
      b.box.drainCommands(true);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  b.box.postCommand(85003, 4.0f);
  stop = true;
  audio.join();
  EXPECT_EQ(b.target.controlsRun, 1);
  EXPECT_EQ(b.target.rigRun, 1);
  EXPECT_FLOAT_EQ(b.target.lastValue, 4.0f);
  EXPECT_EQ(b.state.audioIdle, 0) << "the audio thread ran it: still running";
}

TEST(Mailbox, CodeRangesAndIgnoredCodes) {
  Box b;
  b.state.audioIdle = 0;
  b.box.postCommand(-5, 1);
  b.box.postCommand(kNoCommand, 1);
  b.box.postCommand(65000, 1);  // not a valid control
  EXPECT_FALSE(b.box.pending());
  b.box.postCommand(70005, 1);
  b.box.postCommand(79998, 1);
  EXPECT_EQ(b.target.editorRun, 2) << "editor commands run at once";
  EXPECT_FALSE(b.box.pending());
  b.box.postCommand(500, 2);
  EXPECT_EQ(b.target.editorRun, 3) << "a control the editor handles itself";
  EXPECT_FALSE(b.box.pending());
}

TEST(Mailbox, IdleEngineRunsCommandsOnThePosterWithBypassForced) {
  Box b;  // audioIdle starts at 1
  b.box.postCommand(3, 0.5f);  // asynchronous control
  EXPECT_EQ(b.target.controlsRun, 1);
  EXPECT_TRUE(b.target.bypassSeenByCommand) << "processing is bypassed while it runs";
  EXPECT_FALSE(b.state.bypass) << "and bypass returns to savedBypass";
  b.state.savedBypass = true;
  b.box.postCommand(85003, -1.0f);
  EXPECT_EQ(b.target.rigRun, 1);
  EXPECT_TRUE(b.state.bypass);
}

TEST(Mailbox, SyncCommandWithoutAudioThreadRunsOnPosterAfterTheStartWait) {
  Box b;
  b.state.audioIdle = 0;  // believed running, but nobody drains
  const auto t0 = std::chrono::steady_clock::now();
  b.box.postCommand(85003, 2.0f);
  const auto waited = std::chrono::steady_clock::now() - t0;
  EXPECT_GE(waited, std::chrono::milliseconds(240));
  EXPECT_LT(waited, std::chrono::milliseconds(2000));
  EXPECT_EQ(b.target.rigRun, 1);
  EXPECT_EQ(b.target.lastThread, std::this_thread::get_id());
  EXPECT_TRUE(b.target.bypassSeenByCommand);
  EXPECT_EQ(b.state.audioIdle, 1) << "the engine counts as idle from then on";
  const auto t1 = std::chrono::steady_clock::now();
  b.box.postCommand(85003, 3.0f);
  EXPECT_LT(std::chrono::steady_clock::now() - t1, std::chrono::milliseconds(100))
      << "later commands run at once";
  EXPECT_EQ(b.target.rigRun, 2);
}

TEST(Mailbox, AudioThreadSkipsTheDrainWhileThePosterHoldsTheLock) {
  Box b;
  b.state.audioIdle = 0;
  b.box.postCommand(9, 0.7f);  // async: queued
  b.box.lockForTesting().lock();
  b.box.drainCommands(true);
  EXPECT_TRUE(b.box.pending()) << "the audio thread never waits for the lock";
  EXPECT_EQ(b.target.controlsRun, 0);
  b.box.lockForTesting().unlock();
  b.box.drainCommands(true);
  EXPECT_EQ(b.target.controlsRun, 1);
}

namespace {
// Records the change calls around each command; a command can be made to throw.
struct Guarded : Target, qvchangeguard {
  std::string calls;
  int throwWhat = 0;  // 0 nothing, 1 std::bad_alloc, 2 an int
  std::atomic<int> failedCode{-1};
  qvchangeguard* changeGuard() override { return this; }
  void commandFailed(int32_t code) noexcept override { failedCode = code; }
  void beginChange() noexcept override { calls += "begin "; }
  void commitChange() override { calls += "commit "; }
  void rollbackChange() noexcept override { calls += "rollback "; }
  void runRigCommand(int32_t code, float value) override {
    Target::runRigCommand(code, value);
    if (throwWhat == 1) throw std::bad_alloc();
    if (throwWhat == 2) throw 42;
  }
};
}  // namespace

// A command that throws on the audio thread is rolled back, counted and reported;
// its poster, waiting for it, is released as for any finished command, and the
// mailbox takes the next command.
TEST(Mailbox, AThrowingCommandIsRolledBackCountedAndReported) {
  for (int what : {1, 2}) {
    qvprocstate state;
    Guarded target;
    target.state = &state;
    qvmailbox box(state, target);
    state.audioIdle = 0;
    target.throwWhat = what;
    std::atomic<bool> stop{false};
    std::thread audio([&] {
      while (!stop) box.drainCommands(true);
    });
    const auto t0 = std::chrono::steady_clock::now();
    box.postCommand(85003, 1.0f);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2)) << "exception " << what;
    stop = true;
    audio.join();
    EXPECT_EQ(box.failedCommands(), 1u);
    EXPECT_EQ(target.failedCode, 85003);
    target.throwWhat = 0;
    state.audioIdle = 1;
    box.postCommand(85003, 2.0f);  // no audio thread now: runs on the poster
    EXPECT_EQ(target.calls, "begin rollback begin commit ");
    EXPECT_EQ(box.failedCommands(), 1u);
    EXPECT_EQ(target.rigRun, 2);
  }
}

// A UI thread posts thousands of knob moves and sync commands while an audio
// thread drains and "processes" blocks; nothing runs twice or tears, and a final
// sync post is applied before it returns.
TEST(Mailbox, StressUiAgainstAudioThread) {
  Box b;
  b.state.audioIdle = 0;
  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0};
  std::thread audio([&] {
    while (!stop) {
      b.box.drainCommands(true);
      b.box.beginBlock();
      std::this_thread::sleep_for(std::chrono::microseconds(100));
      b.box.endBlock();
      ++blocks;
    }
  });
  while (blocks == 0) std::this_thread::yield();
  constexpr int kPosts = 5000;
  int rigPosted = 0;
  for (int i = 1; i <= kPosts; ++i) {
    b.box.postCommand(5, static_cast<float>(i));
    if (i % 500 == 0) {
      b.box.postCommand(85003, static_cast<float>(i));  // sync, or dropped while a knob is pending
      ++rigPosted;
    }
  }
  while (b.box.pending()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  b.box.postCommand(150, static_cast<float>(kPosts + 1));  // sync control into an empty box
  EXPECT_FLOAT_EQ(b.target.lastValue, static_cast<float>(kPosts + 1));
  EXPECT_EQ(b.target.lastThread, audio.get_id()) << "drained by the audio thread";
  stop = true;
  audio.join();
  EXPECT_GT(b.target.controlsRun, 0);
  EXPECT_LE(b.target.rigRun, rigPosted);
  EXPECT_EQ(b.state.audioIdle, 0) << "no post timed out";
}

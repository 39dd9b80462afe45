// One-slot command mailbox between the editor's thread and the audio thread.
// A command is an int32 code with a float value. Controls and rig commands wait
// here until the audio thread drains the box at the start of its next block, so
// the rig never changes in the middle of a block; editor commands run at once.
// While no audio thread drains the box, the poster runs the command itself with
// processing bypassed.
//
// Threads: the poster (editor / host main thread) writes code, value, sync and
// count under the lock; the audio thread reads and clears them only after a
// successful try_lock. timedOut is the poster's alone.
#pragma once
#include <atomic>
#include <cstdint>

#include "platform/sync.hpp"
#include "units/qvprocstate.hpp"

// Code ranges.
constexpr int32_t kFirstEditorCommand = 70000;
constexpr int32_t kFirstRigCommand = 79999;
constexpr int32_t kNoCommand = 1000000;

// What a command's changes run inside, so that a command that fails half-way
// can be undone (the chain implements it). [between blocks, in the mailbox]
class qvchangeguard {
public:
  // Before the command: remember what an undo needs. Allocates nothing.
  virtual void beginChange() noexcept = 0;
  // After it: make the change final. May fail (throw) only before it lets go of
  // anything, so that the change can still be undone.
  virtual void commitChange() = 0;
  // After the command or commitChange() threw: put things back as they were.
  virtual void rollbackChange() noexcept = 0;

protected:
  ~qvchangeguard() = default;
};

// What the owner of the commands does with them; the engine implements it.
class qvcommandtarget {
public:
  enum class ControlPost { Ignore, RunNow, QueueSync, QueueAsync };
  virtual ~qvcommandtarget() = default;
  // [ui] How a control (code < 70000) is posted. RunNow: the editor handles the
  // control at once (runEditorCommand with the code given back in editorCode).
  virtual ControlPost classifyControl(int32_t code, float value, int32_t& editorCode) = 0;
  // [ui] Editor commands 70000..79998, run at once on the posting thread.
  virtual void runEditorCommand(int32_t code, float value) = 0;
  // [audio or ui while bypassed] Controls, by control index.
  virtual void runControlCommand(int32_t code, float value) = 0;
  // [audio or ui while bypassed] Rig commands, 79999 and above.
  virtual void runRigCommand(int32_t code, float value) = 0;
  // [any] What controls and rig commands run inside; null: nothing to undo.
  virtual qvchangeguard* changeGuard() { return nullptr; }
  // [audio or ui, never blocks] A command threw and was undone.
  virtual void commandFailed(int32_t code) noexcept { (void)code; }
};

class qvmailbox {
public:
  qvmailbox(qvprocstate& state, qvcommandtarget& target) : state_(state), target_(target) {}

  // [ui] Hands a command to the engine.
  void postCommand(int32_t code, float value);
  // [audio: fromAudioThread true] [ui: false] Runs the pending command, if any;
  // never waits for the lock. Never throws: a command that throws is undone
  // through the target's change guard, counted and reported to the target.
  void drainCommands(bool fromAudioThread) noexcept;

  // [audio] Brackets one block's processing, so that a poster about to run a
  // command itself first waits for a block already under way to finish.
  void beginBlock() { inBlock_.store(true, std::memory_order_seq_cst); }
  void endBlock() { inBlock_.store(false, std::memory_order_release); }

  // [ui] Returns once no block is running through the rig.
  void waitForBlockEnd() const {
    while (inBlock_.load(std::memory_order_seq_cst)) sleepMs(1);
  }

  bool pending() const { return count_.load(std::memory_order_acquire) != 0; }
  // [any] Commands that threw (and were undone) so far.
  uint32_t failedCommands() const { return failed_.load(std::memory_order_relaxed); }
  bool timedOut() const { return timedOut_; }
  int32_t pendingCode() const { return code_; }      // [tests] valid while pending()
  float pendingValue() const { return value_; }

  uint32_t startWait = 250;    // ms a poster waits for the audio thread to start a sync command
  uint32_t doneWait = 10000;   // ms it then waits for the command to finish

  // [ui] Held while a command runs, and by posters briefly. A non-audio thread
  // that reads or changes what commands use (the rig, the chunk text) holds it so
  // that no command runs meanwhile; the audio thread only tries it, so it never
  // waits, and the command runs at a later block.
  qvlock& commandLock() { return lock_; }
  qvlock& lockForTesting() { return lock_; }

  // [ui, holding the command lock] Forgets a pending control command: its tag
  // belongs to a control table that is being rebuilt, and would otherwise act
  // on whichever new control takes that tag. Controls are posted by the editor's
  // own thread, the one rebuilding, so no poster is left waiting for it.
  void dropPendingControl() {
    if (count_.load(std::memory_order_relaxed) == 1 && code_ >= 0 && code_ < kFirstEditorCommand)
      count_.store(0, std::memory_order_release);
  }

private:
  // [holding the lock] Stores the command, or folds a knob move into the pending
  // one; false when a different command is pending.
  bool store(int32_t code, float value, bool sync);
  void runOnPoster();
  void run(int32_t code, float value);
  // Runs the command inside a change of the target's guard; one that throws is
  // rolled back, counted and reported to the target.
  void runGuarded(int32_t code, float value) noexcept;

  qvprocstate& state_;
  qvcommandtarget& target_;
  std::atomic<int32_t> count_{0};  // 0 or 1
  int32_t code_ = -1;
  float value_ = 0.0f;
  bool sync_ = false;
  bool timedOut_ = false;
  qvlock lock_;
  qvevent startedEvent_;           // set by the audio thread before it runs a sync command
  qvevent doneEvent_;              // set after it ran one
  std::atomic<bool> inBlock_{false};
  std::atomic<uint32_t> failed_{0};
};

#include "plugin/qvmailbox.hpp"

void qvmailbox::run(int32_t code, float value) {
  if (code < kFirstEditorCommand - 1)
    target_.runControlCommand(code, value);
  else
    target_.runRigCommand(code, value);
}

void qvmailbox::postCommand(int32_t code, float value) {
  if (code < 0 || code == kNoCommand) return;
  bool sync = true;
  if (code < kFirstEditorCommand) {
    int32_t editorCode = -1;
    switch (target_.classifyControl(code, value, editorCode)) {
      case qvcommandtarget::ControlPost::Ignore: return;
      case qvcommandtarget::ControlPost::RunNow: target_.runEditorCommand(editorCode, value); return;
      case qvcommandtarget::ControlPost::QueueAsync: sync = false; break;
      case qvcommandtarget::ControlPost::QueueSync: break;
    }
  } else if (code < kFirstRigCommand) {
    target_.runEditorCommand(code, value);
    return;
  }

  lock_.lock();
  bool stored = store(code, value, sync);
  if (!stored && sync && state_.audioIdle.load(std::memory_order_acquire) != 1) {
    // A user's action (a preset, a new cab sim) must not vanish because a knob
    // move is still queued: wait for the audio thread to take that one, as long
    // as this poster would wait for its own command to be started.
    lock_.unlock();
    for (uint32_t waited = 0; waited < startWait && pending(); ++waited) sleepMs(1);
    lock_.lock();
    stored = store(code, value, sync);
  }

  if (state_.audioIdle.load(std::memory_order_acquire) != 1) {
    lock_.unlock();
    // A dropped command has nothing to wait for; waiting would only stall the
    // editor and then wrongly declare the running audio thread idle.
    if (!sync || !stored) return;
    const bool started = startedEvent_.wait(startWait);
    startedEvent_.reset();
    if (started) {
      timedOut_ = !doneEvent_.wait(doneWait);
      doneEvent_.reset();
      return;
    }
    // The audio thread did not pick the command up: treat the engine as idle.
    state_.audioIdle.store(1, std::memory_order_release);
  } else {
    lock_.unlock();
  }
  runOnPoster();
}

bool qvmailbox::store(int32_t code, float value, bool sync) {
  if (code < kFirstEditorCommand && count_.load(std::memory_order_relaxed) == 1 && code_ == code) {
    value_ = value;  // the latest knob position wins
    sync_ = sync;
    return true;
  }
  if (count_.load(std::memory_order_relaxed) != 0) return false;  // a different command is pending
  code_ = code;
  value_ = value;
  sync_ = sync;
  // Forget signals left over from a command this poster stopped waiting for.
  startedEvent_.reset();
  doneEvent_.reset();
  count_.store(1, std::memory_order_release);
  return true;
}

void qvmailbox::runOnPoster() {
  state_.bypass.store(true, std::memory_order_seq_cst);
  // A block that saw bypass clear may still be running through the rig; the
  // command must not change the rig under it.
  waitForBlockEnd();
  drainCommands(false);
  state_.bypass.store(state_.savedBypass.load(std::memory_order_acquire),
                      std::memory_order_release);
}

void qvmailbox::runGuarded(int32_t code, float value) noexcept {
  qvchangeguard* guard = target_.changeGuard();
  if (guard) guard->beginChange();
  try {
    run(code, value);
    if (guard) guard->commitChange();
  } catch (...) {
    // processReplacing is noexcept: an exception that left here would end the
    // host. The command's changes go, the rig plays on as it was.
    if (guard) guard->rollbackChange();
    failed_.fetch_add(1, std::memory_order_relaxed);
    target_.commandFailed(code);
  }
}

void qvmailbox::drainCommands(bool fromAudioThread) noexcept {
  if (count_.load(std::memory_order_acquire) == 0) return;
  if (!lock_.try_lock()) return;  // the poster holds it: try again next block
  if (count_.load(std::memory_order_relaxed) != 0) {
    const bool signal = sync_ && fromAudioThread;
    if (signal) startedEvent_.set();
    runGuarded(code_, value_);
    if (signal) doneEvent_.set();
    count_.store(0, std::memory_order_release);
  }
  lock_.unlock();
}

// Locking and signalling between the editor's thread and the audio thread.
// The audio thread only ever try-locks a qvlock and sets a qvevent; neither blocks.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>

class qvlock {
public:
  void lock() { m_.lock(); }                  // [ui] may wait
  bool try_lock() { return m_.try_lock(); }   // [audio] never waits
  void unlock() { m_.unlock(); }

private:
  std::mutex m_;
};

// Manual-reset event: stays signalled until reset. set() never blocks (a futex
// wake on Linux), so the audio thread may call it.
class qvevent {
public:
  void set();                        // [any]
  void reset();                      // [any]
  bool isSet() const { return state_.load(std::memory_order_acquire) != 0; }
  // [ui] Waits up to timeout_ms for the event; true when it was signalled.
  bool wait(uint32_t timeout_ms);

private:
  std::atomic<int32_t> state_{0};
};

// [ui] Sleeps the calling thread.
void sleepMs(uint32_t ms);

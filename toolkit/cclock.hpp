// Milliseconds for timers, caret blinking and double clicks. The frame reads its
// clock in idle and in event handling; tests drive a CTestClock instead of the
// system's. Times are 32-bit and wrap; take differences as unsigned numbers.
#pragma once
#include <cstdint>

class IClock {
public:
  virtual ~IClock() = default;
  virtual uint32_t now_ms() const = 0;
};

// The system's monotonic clock.
class CSystemClock final : public IClock {
public:
  uint32_t now_ms() const override;
};

// A clock that moves only when told.
class CTestClock final : public IClock {
public:
  explicit CTestClock(uint32_t start_ms = 0) : now_(start_ms) {}
  uint32_t now_ms() const override { return now_; }
  void advance(uint32_t ms) { now_ += ms; }
  void set(uint32_t ms) { now_ = ms; }

private:
  uint32_t now_;  // ms
};

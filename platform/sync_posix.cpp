#include <linux/futex.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/sync.hpp"

namespace {
long futex(std::atomic<int32_t>* addr, int op, int32_t val, const timespec* timeout) {
  return syscall(SYS_futex, reinterpret_cast<int32_t*>(addr), op, val, timeout, nullptr, 0);
}

uint64_t monotonicNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000000000ull + static_cast<uint64_t>(ts.tv_nsec);
}
}  // namespace

void qvevent::set() {
  state_.store(1, std::memory_order_release);
  futex(&state_, FUTEX_WAKE_PRIVATE, INT_MAX, nullptr);
}

void qvevent::reset() { state_.store(0, std::memory_order_release); }

bool qvevent::wait(uint32_t timeout_ms) {
  const uint64_t deadline = monotonicNs() + static_cast<uint64_t>(timeout_ms) * 1000000ull;
  while (state_.load(std::memory_order_acquire) == 0) {
    const uint64_t now = monotonicNs();
    if (now >= deadline) return false;
    const uint64_t left = deadline - now;
    timespec ts{static_cast<time_t>(left / 1000000000ull), static_cast<long>(left % 1000000000ull)};
    futex(&state_, FUTEX_WAIT_PRIVATE, 0, &ts);  // returns at once if already set
  }
  return true;
}

void sleepMs(uint32_t ms) {
  timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) == -1 && errno == EINTR) {
  }
}

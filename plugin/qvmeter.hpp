// Level meter: the squares of the last 2048 samples and their running sum. The
// audio thread updates it per sample and publishes the sum once per block, so the
// editor can read it from another thread without a lock.
#pragma once
#include <atomic>
#include <cstdint>

class qvmeter {
public:
  static constexpr int kLength = 2048;

  // [audio]
  void add(float sample) noexcept {
    if (++index_ == kLength) index_ = 0;
    sum_ -= ring_[index_];
    ring_[index_] = static_cast<double>(sample) * sample;
    sum_ += ring_[index_];
    if (sum_ < 0.0) sum_ = 0.0;  // rounding residue
  }
  // [audio] Empty ring and sum, as at the start.
  void reset() noexcept {
    for (double& v : ring_) v = 0.0;
    sum_ = 0.0;
    index_ = -1;
  }
  // [audio] Makes the running sum visible to readers.
  void publish() noexcept { published_.store(sum_, std::memory_order_relaxed); }
  // [any] Sum of squares over the last 2048 samples, as of the last published block.
  double level() const noexcept { return published_.load(std::memory_order_relaxed); }

private:
  double ring_[kLength] = {};
  double sum_ = 0.0;
  int32_t index_ = -1;  // the first sample lands in entry 0
  std::atomic<double> published_{0.0};
};

#include "plugin/qvmessages.hpp"

#include <algorithm>

void qvmessagering::post(std::string_view text, int32_t level) noexcept {
  const uint64_t n = written_.fetch_add(1, std::memory_order_acq_rel);
  Entry& e = entries_[n % kEntries];
  e.seq.store(2 * n + 1, std::memory_order_relaxed);  // odd: being written
  // Release stores: a reader that sees any of them also sees the odd mark above.
  const size_t len = std::min(text.size(), kTextBytes);
  for (size_t i = 0; i < len; ++i) e.text[i].store(text[i], std::memory_order_release);
  e.length.store(static_cast<uint32_t>(len), std::memory_order_release);
  e.level.store(level, std::memory_order_release);
  e.seq.store(2 * n + 2, std::memory_order_release);
}

bool qvmessagering::read(uint64_t n, qvstring& text, int32_t& level) const {
  const Entry& e = entries_[n % kEntries];
  if (e.seq.load(std::memory_order_acquire) != 2 * n + 2) return false;
  // Acquire loads: if one reads a newer writer's store, the check below sees that
  // writer's odd mark (or later), and the copy is dropped.
  const uint32_t len = std::min<uint32_t>(e.length.load(std::memory_order_acquire), kTextBytes);
  qvstring out(len, '\0');
  for (uint32_t i = 0; i < len; ++i) out[i] = e.text[i].load(std::memory_order_acquire);
  const int32_t lv = e.level.load(std::memory_order_acquire);
  if (e.seq.load(std::memory_order_relaxed) != 2 * n + 2) return false;  // overwritten meanwhile
  text = std::move(out);
  level = lv;
  return true;
}

bool qvmessagering::pop(qvstring& text, int32_t& level) {
  const uint64_t end = written_.load(std::memory_order_acquire);
  if (end > kEntries && read_ < end - kEntries) read_ = end - kEntries;
  while (read_ < end) {
    if (read(read_++, text, level)) return true;
  }
  return false;
}

bool qvmessagering::peekLast(qvstring& text, int32_t& level) const {
  const uint64_t end = written_.load(std::memory_order_acquire);
  return end > 0 && read(end - 1, text, level);
}

// Messages for the editor's one-line message area. Commands post them from
// whichever thread runs the command (the audio thread included), so posting never
// waits: each message claims the next entry of a fixed ring with one atomic add and
// fills it in place; the editor's thread reads the entries behind a per-entry
// sequence number and skips one caught half-written. The ring keeps the last
// kEntries messages; older ones are overwritten.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "data/qvstring.hpp"

class qvmessagering {
public:
  static constexpr uint32_t kEntries = 16;
  static constexpr size_t kTextBytes = 240;  // longer texts are cut

  // [any, never blocks] Appends a message (level 1 information, 2 warning).
  void post(std::string_view text, int32_t level) noexcept;
  // [ui] The oldest message not yet taken; false when there is none. Messages
  // overwritten before they were taken are skipped.
  bool pop(qvstring& text, int32_t& level);
  // [ui] The newest message, without taking it; false when none was ever posted.
  bool peekLast(qvstring& text, int32_t& level) const;
  // [any] Messages posted so far.
  uint64_t posted() const { return written_.load(std::memory_order_acquire); }

private:
  struct Entry {
    std::atomic<uint64_t> seq{0};  // 2·(n+1) once message n is complete, odd while being written
    std::atomic<int32_t> level{0};
    std::atomic<uint32_t> length{0};
    std::atomic<char> text[kTextBytes] = {};
  };
  bool read(uint64_t n, qvstring& text, int32_t& level) const;

  Entry entries_[kEntries];
  std::atomic<uint64_t> written_{0};  // messages claimed by writers
  uint64_t read_ = 0;                 // the reader's next message ([ui] only)
};

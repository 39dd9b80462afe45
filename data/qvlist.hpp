// Growable owning array of record pointers. A new list has room for 2 entries and
// doubles when full; indexing outside the list is a programming error and throws.
// Removing an entry hands the record back to the caller.
#pragma once
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

[[noreturn]] void qvlistIndexError(uint64_t index, uint64_t length);

template <class T>
class qvlist {
public:
  qvlist() : items_(new std::unique_ptr<T>[2]), capacity_(2) {}
  qvlist(const qvlist&) = delete;
  qvlist& operator=(const qvlist&) = delete;
  qvlist(qvlist&& o) noexcept
      : items_(std::move(o.items_)), count_(o.count_), capacity_(o.capacity_) {
    o.items_.reset(new std::unique_ptr<T>[2]);
    o.count_ = 0;
    o.capacity_ = 2;
  }

  uint32_t count() const { return count_; }
  uint32_t capacity() const { return capacity_; }
  bool empty() const { return count_ == 0; }

  // [any] checked access; the list keeps ownership.
  T* operator[](uint64_t i) const {
    if (i >= count_) qvlistIndexError(i, count_);
    return items_[i].get();
  }
  T* at(uint64_t i) const { return (*this)[i]; }

  // Takes ownership; returns the new entry's index.
  uint32_t append(std::unique_ptr<T> item) {
    reserveOne();
    items_[count_] = std::move(item);
    return count_++;
  }
  uint32_t append(T* item) { return append(std::unique_ptr<T>(item)); }

  // Inserts before position i (i == count appends).
  void insert(uint64_t i, std::unique_ptr<T> item) {
    if (i > count_) qvlistIndexError(i, count_);
    reserveOne();
    for (uint64_t k = count_; k > i; --k) items_[k] = std::move(items_[k - 1]);
    items_[i] = std::move(item);
    ++count_;
  }

  // Replaces entry i; the old record is freed.
  void replace(uint64_t i, std::unique_ptr<T> item) {
    if (i >= count_) qvlistIndexError(i, count_);
    items_[i] = std::move(item);
  }

  // Removes entry i and hands its record to the caller.
  std::unique_ptr<T> remove(uint64_t i) {
    if (i >= count_) qvlistIndexError(i, count_);
    std::unique_ptr<T> out = std::move(items_[i]);
    for (uint64_t k = i; k + 1 < count_; ++k) items_[k] = std::move(items_[k + 1]);
    --count_;
    return out;
  }

  // Moves entry from to position to (both indices of the current list).
  void move(uint64_t from, uint64_t to) {
    if (from >= count_) qvlistIndexError(from, count_);
    if (to >= count_) qvlistIndexError(to, count_);
    auto item = remove(from);
    insert(to, std::move(item));
  }

  void clear() {
    for (uint32_t k = 0; k < count_; ++k) items_[k].reset();
    count_ = 0;
  }

private:
  void reserveOne() {
    if (count_ < capacity_) return;
    uint32_t grown = capacity_ * 2;
    std::unique_ptr<std::unique_ptr<T>[]> bigger(new std::unique_ptr<T>[grown]);
    for (uint32_t k = 0; k < count_; ++k) bigger[k] = std::move(items_[k]);
    items_ = std::move(bigger);
    capacity_ = grown;
  }

  std::unique_ptr<std::unique_ptr<T>[]> items_;
  uint32_t count_ = 0;     // entries in use
  uint32_t capacity_ = 0;  // entries allocated
};

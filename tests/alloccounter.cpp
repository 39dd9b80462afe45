#include "tests/alloccounter.hpp"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> g_armed{false};
std::atomic<long> g_count{0};
std::atomic<long> g_failAt{-1};   // the allocation number that fails, -1 none
std::atomic<bool> g_failed{false};

void* countedAlloc(std::size_t n) noexcept {
  if (g_armed.load(std::memory_order_relaxed)) {
    const long k = g_count.fetch_add(1, std::memory_order_relaxed);
    if (k == g_failAt.load(std::memory_order_relaxed)) {
      g_failed = true;
      return nullptr;
    }
  }
  return std::malloc(n ? n : 1);
}
}  // namespace

void alloccounter::arm() {
  g_failAt = -1;
  g_failed = false;
  g_count = 0;
  g_armed = true;
}

void alloccounter::armFailure(long which) {
  g_failAt = which;
  g_failed = false;
  g_count = 0;
  g_armed = true;
}

bool alloccounter::failed() { return g_failed.load(); }

long alloccounter::disarm() {
  g_armed = false;
  g_failAt = -1;
  return g_count.load();
}

void* operator new(std::size_t n) {
  if (void* p = countedAlloc(n)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
  if (void* p = countedAlloc(n)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return countedAlloc(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return countedAlloc(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

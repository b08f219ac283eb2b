// Replacement of the global allocation functions that can fail on demand.
#include "AllocFail.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Atomic: a board is read on more than one thread.
std::atomic<long> gFailAt = 0;  // allocations left before the one that throws; 0: none
std::atomic<long> gCount = 0;
std::atomic<bool> gCounting = false;

void* Allocate(std::size_t n) {
  if (gCounting) ++gCount;
  if (gFailAt > 0 && --gFailAt == 0) throw std::bad_alloc();
  if (void* p = std::malloc(n == 0 ? 1 : n)) return p;
  throw std::bad_alloc();
}

}  // namespace

namespace ramvel::test {

void FailAllocation(long k) { gFailAt = k; }

long CountAllocations(bool on) {
  if (on) gCount = 0;
  gCounting = on;
  return gCount;
}

}  // namespace ramvel::test

void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

#include "allocation_limit.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<size_t> g_limit{0};  // 0: no limit

void* Allocate(size_t bytes) {
  const size_t limit = g_limit.load(std::memory_order_relaxed);
  if (limit != 0 && bytes >= limit) throw std::bad_alloc();
  if (void* p = std::malloc(bytes == 0 ? 1 : bytes)) return p;
  throw std::bad_alloc();
}

}  // namespace

namespace korvo::testing {

ScopedAllocationLimit::ScopedAllocationLimit(size_t bytes) { g_limit.store(bytes); }
ScopedAllocationLimit::~ScopedAllocationLimit() { g_limit.store(0); }

}  // namespace korvo::testing

void* operator new(size_t bytes) { return Allocate(bytes); }
void* operator new[](size_t bytes) { return Allocate(bytes); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

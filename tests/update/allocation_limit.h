// Out of memory on demand, for tests: while a ScopedAllocationLimit lives, every allocation of
// the program (through operator new) of at least `bytes` bytes throws std::bad_alloc, as it
// would on a machine (or a 32-bit process) without that much room. allocation_limit.cpp replaces
// the global operator new and delete of the test program that links it.
#ifndef KORVO_TESTS_UPDATE_ALLOCATION_LIMIT_H_
#define KORVO_TESTS_UPDATE_ALLOCATION_LIMIT_H_

#include <cstddef>

namespace korvo::testing {

class ScopedAllocationLimit {
 public:
  explicit ScopedAllocationLimit(size_t bytes);
  ~ScopedAllocationLimit();
  ScopedAllocationLimit(const ScopedAllocationLimit&) = delete;
  ScopedAllocationLimit& operator=(const ScopedAllocationLimit&) = delete;
};

}  // namespace korvo::testing

#endif  // KORVO_TESTS_UPDATE_ALLOCATION_LIMIT_H_

#include <mutex>

#include "platform/memory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace korvo::platform {

void ReturnLargeBlocksToTheSystem() {
#if defined(__GLIBC__)
  static std::once_flag once;
  // A fixed threshold also ends glibc's raising of it.
  std::call_once(once, [] { mallopt(M_MMAP_THRESHOLD, 256 * 1024); });
#endif
}

void ReleaseFreeMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

}  // namespace korvo::platform

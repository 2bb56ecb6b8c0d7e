#include <malloc.h>
#include <windows.h>

#include "platform/memory.h"

namespace korvo::platform {

void ReturnLargeBlocksToTheSystem() {}

void ReleaseFreeMemory() {
  _heapmin();
  HeapCompact(GetProcessHeap(), 0);
}

}  // namespace korvo::platform

// The process's free memory and the system.
//
// A program that runs for months must not keep the peak of its busiest moment: after an update
// run has parsed a few huge feeds, the memory they took is free again but the allocator may
// keep it. These calls give it back.
#ifndef KORVO_PLATFORM_MEMORY_H_
#define KORVO_PLATFORM_MEMORY_H_

namespace korvo::platform {

// Makes blocks of 256 KiB and more come straight from the system and go back to it when freed
// (glibc otherwise raises that limit to the largest block freed so far, up to 32 MiB, and keeps
// such blocks in its heaps). Windows' heap already does so for blocks above about 512 KiB, so
// there it does nothing. Call it once, early; later calls do nothing. Thread-safe.
void ReturnLargeBlocksToTheSystem();

// Gives the free memory the allocator keeps back to the system (glibc: malloc_trim of every
// heap; Windows: _heapmin and HeapCompact of the process heap). Takes a few milliseconds; call
// it after a burst of work, not in a loop. Thread-safe.
void ReleaseFreeMemory();

}  // namespace korvo::platform

#endif  // KORVO_PLATFORM_MEMORY_H_

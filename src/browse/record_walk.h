// Reading many records without holding the store lock for long: the numbers are read in groups,
// each group under one hold of the lock, so an update run (which takes the lock per item) and
// the ticker keep going while the browse window fills a list of thousands of rows.
//
// Runs on the calling thread (a worker thread of the browse window); takes the store lock of
// `guard` only inside ReadRecordsInGroups.
#ifndef KORVO_BROWSE_RECORD_WALK_H_
#define KORVO_BROWSE_RECORD_WALK_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "store/database_guard.h"
#include "store/meta_index.h"

namespace korvo {

constexpr size_t kRecordsPerLock = 64;

// The entries of index `k` (1-4) of the store, read under the lock; empty when the store cannot
// be locked.
std::vector<IndexEntry> ReadIndexEntries(DatabaseGuard& guard, int k);

// Reads the records `numbers` in order, kRecordsPerLock at a time under the store lock, and hands
// each to `take` in order, outside the lock: `record` is null for a number that does not read.
// Tests `cancel` (may be null) before each group: false when the walk was cancelled or the store
// could not be locked, true when every number was read.
bool ReadRecordsInGroups(DatabaseGuard& guard, const std::vector<uint32_t>& numbers,
                         const std::atomic<bool>* cancel,
                         const std::function<void(size_t index, NewsItem* record)>& take);

inline bool Cancelled(const std::atomic<bool>* cancel) {
  return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

}  // namespace korvo

#endif  // KORVO_BROWSE_RECORD_WALK_H_

#include "browse/record_walk.h"

#include <algorithm>
#include <utility>

namespace korvo {

std::vector<IndexEntry> ReadIndexEntries(DatabaseGuard& guard, int k) {
  ScopedDatabase db(guard);
  if (!db) return {};
  return db->ReadIndex(k);
}

bool ReadRecordsInGroups(DatabaseGuard& guard, const std::vector<uint32_t>& numbers,
                         const std::atomic<bool>* cancel,
                         const std::function<void(size_t index, NewsItem* record)>& take) {
  std::vector<NewsItem> group(kRecordsPerLock);
  std::vector<bool> read(kRecordsPerLock);
  for (size_t at = 0; at < numbers.size(); at += kRecordsPerLock) {
    if (Cancelled(cancel)) return false;
    const size_t count = std::min(numbers.size() - at, kRecordsPerLock);
    {
      ScopedDatabase db(guard);
      if (!db) return false;
      for (size_t i = 0; i < count; ++i) {
        group[i] = NewsItem();
        group[i].number = numbers[at + i];
        read[i] = db->ReadItem(&group[i]) != 0;
      }
    }
    for (size_t i = 0; i < count; ++i) take(at + i, read[i] ? &group[i] : nullptr);
  }
  return true;
}

}  // namespace korvo

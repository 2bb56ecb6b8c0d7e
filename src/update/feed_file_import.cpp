#include "update/feed_file_import.h"

#include "store/database_guard.h"
#include "store/known_item_table.h"
#include "update/item_record.h"

namespace korvo {

FeedImportReport ImportFeedFileAsUnread(const std::string& path, const FeedFileReader& reader,
                                        DatabaseGuard& guard, const UpdateClock& clock,
                                        std::mutex* run_mutex) {
  FeedImportReport report;
  ItemList items;
  if (reader) reader(path, ChannelContext(), &items);
  report.items_read = static_cast<int>(items.size());
  if (items.empty()) return report;

  std::unique_lock<std::mutex> run_lock;
  if (run_mutex != nullptr) run_lock = std::unique_lock<std::mutex>(*run_mutex);
  ScopedDatabase db(guard);
  if (!db) {
    report.store_available = false;
    return report;
  }
  KnownItemTable known;
  known.Build(*db);
  const platform::CalendarTime now = clock.LocalNow();
  const int offset = clock.LocalOffsetMinutes();
  db->BeginUpdateRun();
  db->BeginBatch(BlockStore::kBatchReadWrite);
  for (const FeedItem& item : items) {
    if (ImportItemAsUnread(*db, known, item.link, item.title, RecordFromFeedItem(item, now, offset),
                           now) != 0) {
      ++report.items_added;
    }
  }
  db->EndBatch();
  db->SaveTable();
  db->EndUpdateRun();
  return report;
}

}  // namespace korvo

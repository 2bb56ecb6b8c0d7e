#include "ticker/item_opening.h"

#include "platform/code_page.h"
#include "store/database_guard.h"
#include "ticker/ticker_lists.h"

namespace korvo {

namespace {

std::string MarkReadLocked(NewsDatabase& db, int32_t id, const platform::CalendarTime& now) {
  NewsItem record;
  record.number = static_cast<uint32_t>(id);
  if (db.ReadItem(&record) == 0) return std::string();
  if (record.check_day.empty()) {
    record.check_day.calendar = now;
    db.UpdateItem(record, NewsDatabase::kCheckDayKeep);
  }
  return platform::Utf16ToCp932(record.link);
}

}  // namespace

std::string MarkRecordRead(const std::string& working_folder, int32_t id,
                           const platform::CalendarTime& now) {
  if (id < 1 || working_folder.empty()) return std::string();
  DatabaseGuard guard(working_folder);
  ScopedDatabase db(guard);
  if (!db) return std::string();
  return MarkReadLocked(*db, id, now);
}

std::string OpenItemById(TickerLists& lists, const std::string& working_folder, int32_t id,
                         const platform::CalendarTime& now) {
  if (id < 1) return std::string();
  if (working_folder.empty()) {
    lists.MarkOpenedById(id);
    return std::string();
  }
  DatabaseGuard guard(working_folder);
  ScopedDatabase db(guard);
  lists.MarkOpenedById(id);
  return db ? MarkReadLocked(*db, id, now) : std::string();
}

}  // namespace korvo

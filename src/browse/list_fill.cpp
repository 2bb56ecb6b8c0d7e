#include "browse/list_fill.h"

#include "browse/record_walk.h"
#include "store/news_database.h"
#include "store/news_item.h"

namespace korvo {

namespace {

int IndexOfKind(ListKind kind) {
  switch (kind) {
    case ListKind::kAll:
    case ListKind::kUnread:
      return NewsDatabase::kDayIndex;
    case ListKind::kRead:
    case ListKind::kCommented:
    case ListKind::kMarked:
      return NewsDatabase::kHistoryIndex;
    case ListKind::kReadLater:
      return NewsDatabase::kUnreadIndex;
    case ListKind::kInTicker:
      break;
  }
  return 0;
}

bool FillFromTicker(DatabaseGuard& guard, const ShownItemsSource& shown,
                    const std::atomic<bool>* cancel, std::vector<ListRow>* rows) {
  if (!shown) return true;
  const std::vector<TickerItem> items = shown();
  std::vector<uint32_t> numbers;
  numbers.reserve(items.size());
  for (const TickerItem& item : items) {
    numbers.push_back(item.names_record() ? static_cast<uint32_t>(item.id) : 0);
  }
  return ReadRecordsInGroups(guard, numbers, cancel, [&](size_t i, NewsItem* record) {
    rows->push_back(record != nullptr ? RowFromRecord(*record) : RowFromTickerItem(items[i]));
  });
}

}  // namespace

bool RecordFitsKind(const NewsItem& record, ListKind kind, uint32_t day_packed) {
  switch (kind) {
    case ListKind::kAll:
      return PackedDate::SameDay(record.get_day.packed, day_packed);
    case ListKind::kUnread:
      return PackedDate::SameDay(record.get_day.packed, day_packed) && record.check_day.empty();
    case ListKind::kRead:
      return !record.check_day.empty() && PackedDate::SameDay(record.check_day.packed, day_packed);
    case ListKind::kCommented:
      return RecordFitsKind(record, ListKind::kRead, day_packed) && record.comment > u" ";
    case ListKind::kMarked:
      return RecordFitsKind(record, ListKind::kRead, day_packed) &&
             (record.flags & NewsItem::kMarked) != 0;
    case ListKind::kInTicker:
    case ListKind::kReadLater:
      return true;
  }
  return false;
}

bool FillRows(DatabaseGuard& guard, const FillRequest& request, const ShownItemsSource& shown,
              const std::atomic<bool>* cancel, std::vector<ListRow>* rows) {
  if (request.kind == ListKind::kInTicker) return FillFromTicker(guard, shown, cancel, rows);
  const int index = IndexOfKind(request.kind);
  if (index == 0) return true;
  const uint32_t day = PackedDate::Pack(request.day);
  // The index says which records may belong (its value is the date the kind is about); the
  // record itself decides, since an index can lag behind a record rewritten meanwhile.
  std::vector<uint32_t> numbers;
  for (const IndexEntry& entry : ReadIndexEntries(guard, index)) {
    if (index == NewsDatabase::kUnreadIndex || PackedDate::SameDay(entry.value, day)) {
      numbers.push_back(entry.number);
    }
  }
  return ReadRecordsInGroups(guard, numbers, cancel, [&](size_t, NewsItem* record) {
    if (record != nullptr && RecordFitsKind(*record, request.kind, day)) {
      rows->push_back(RowFromRecord(*record));
    }
  });
}

}  // namespace korvo

#include "browse/item_actions.h"

#include <functional>

#include "platform/code_page.h"
#include "store/news_database.h"
#include "store/news_item.h"

namespace korvo {

namespace {

// What to do with one record: false refuses it; true with `*changed` unset leaves it alone.
using RecordChange = std::function<bool(NewsDatabase& db, NewsItem& record, bool* changed)>;

ActionResult ForEachRecord(DatabaseGuard& guard, const std::vector<uint32_t>& numbers,
                           const RecordChange& change) {
  ActionResult result;
  for (uint32_t number : numbers) {
    ScopedDatabase db(guard);
    NewsItem record;
    record.number = number;
    if (!db || number == 0 || db->ReadItem(&record) == 0) {
      ++result.missing;
      continue;
    }
    bool changed = false;
    if (!change(*db, record, &changed)) {
      result.refused = true;
      continue;
    }
    if (!changed) continue;
    NewsItem now;
    now.number = number;
    if (db->ReadItem(&now) != 0) result.changed.push_back(RowFromRecord(now));
  }
  return result;
}

}  // namespace

ActionResult MarkRead(DatabaseGuard& guard, const std::vector<uint32_t>& numbers,
                      const platform::CalendarTime& now) {
  return ForEachRecord(guard, numbers, [&now](NewsDatabase& db, NewsItem& record, bool* changed) {
    if (!record.check_day.empty()) return false;
    record.check_day.calendar = now;
    *changed = db.UpdateItem(record, NewsDatabase::kCheckDayKeep) != 0;
    return true;
  });
}

ActionResult MarkUnread(DatabaseGuard& guard, const std::vector<uint32_t>& numbers) {
  return ForEachRecord(guard, numbers, [](NewsDatabase& db, NewsItem& record, bool* changed) {
    if (!record.comment.empty()) return false;
    if (db.MarkUnread(record) == 0) {
      *changed = true;
    } else if (!record.check_day.empty()) {
      // Already on the unread list yet read meanwhile: only the check day goes.
      record.check_day.Clear();
      *changed = db.UpdateItem(record, NewsDatabase::kCheckDayPacked) != 0;
    }
    return true;
  });
}

ActionResult SetMarked(DatabaseGuard& guard, const std::vector<uint32_t>& numbers, bool marked) {
  return ForEachRecord(guard, numbers, [marked](NewsDatabase& db, NewsItem& record, bool* changed) {
    const uint32_t flags =
        marked ? (record.flags | NewsItem::kMarked) : (record.flags & ~NewsItem::kMarked);
    if (flags == record.flags) return true;
    record.flags = flags;
    *changed = db.UpdateItem(record, NewsDatabase::kTakeFlags) != 0;
    return true;
  });
}

ActionResult AddToReadLater(DatabaseGuard& guard, const std::vector<uint32_t>& numbers) {
  return ForEachRecord(guard, numbers, [](NewsDatabase& db, NewsItem& record, bool* changed) {
    *changed = db.MarkUnread(record) == 0;  // 1 here: already listed
    return true;
  });
}

size_t DeleteRecords(DatabaseGuard& guard, const std::vector<uint32_t>& numbers) {
  size_t deleted = 0;
  for (uint32_t number : numbers) {
    if (number == 0) continue;
    ScopedDatabase db(guard);
    NewsItem record;
    record.number = number;
    if (db && db->ReadItem(&record) != 0 && db->DeleteItem(record) == 0) ++deleted;
  }
  return deleted;
}

std::optional<ListRow> OpenRecord(DatabaseGuard& guard, uint32_t number,
                                  const platform::CalendarTime& now) {
  ScopedDatabase db(guard);
  NewsItem record;
  record.number = number;
  if (!db || number == 0 || db->ReadItem(&record) == 0) return std::nullopt;
  if (record.check_day.empty()) {
    record.check_day.calendar = now;
    db->UpdateItem(record, NewsDatabase::kCheckDayKeep);
    db->ReadItem(&record);
  }
  return RowFromRecord(record);
}

std::optional<ListRow> WriteMemo(DatabaseGuard& guard, uint32_t number, const std::string& comment,
                                 bool marked) {
  ScopedDatabase db(guard);
  NewsItem record;
  record.number = number;
  if (!db || number == 0 || db->ReadItem(&record) == 0) return std::nullopt;
  record.comment = platform::Cp932ToUtf16(comment);
  record.flags = marked ? (record.flags | NewsItem::kMarked) : (record.flags & ~NewsItem::kMarked);
  if (db->UpdateItem(record, NewsDatabase::kTakeComment | NewsDatabase::kTakeFlags) == 0) {
    return std::nullopt;
  }
  if (db->ReadItem(&record) == 0) return std::nullopt;
  return RowFromRecord(record);
}

bool ReadMemo(DatabaseGuard& guard, uint32_t number, std::string* comment, bool* marked) {
  ScopedDatabase db(guard);
  NewsItem record;
  record.number = number;
  if (!db || number == 0 || db->ReadItem(&record) == 0) return false;
  *comment = platform::Utf16ToCp932(record.comment);
  *marked = (record.flags & NewsItem::kMarked) != 0;
  return true;
}

std::string ClipboardText(const std::vector<ListRow>& rows, CopyWhat what) {
  std::string text;
  for (const ListRow& row : rows) {
    if (what != CopyWhat::kUrl) text += row.cell(list_column::kTitle) + "\r\n";
    if (what != CopyWhat::kTitle) text += row.cell(list_column::kUrl) + "\r\n";
  }
  return text;
}

}  // namespace korvo

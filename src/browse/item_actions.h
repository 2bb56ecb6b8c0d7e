// What the browse window's commands do to the selected records: marking read, unread, marked and
// unmarked, opening, the memo, the read-later list, deleting, and the texts copied to the
// clipboard. Each store operation takes the store lock of `guard` for one record at a time and
// answers the refreshed rows, so the list shows what the store now holds.
//
// Refusals (the window shows catalog message 21 or 22 once for the command):
//   - marking read refuses a record that already has a check day (it would be overwritten);
//   - marking unread refuses a record with a comment.
//
// Called on the window thread (each is a handful of records).
#ifndef KORVO_BROWSE_ITEM_ACTIONS_H_
#define KORVO_BROWSE_ITEM_ACTIONS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "browse/list_row.h"
#include "platform/clock.h"
#include "store/database_guard.h"

namespace korvo {

struct ActionResult {
  std::vector<ListRow> changed;  // the rows of the records that changed, as they read now
  bool refused = false;          // some record was refused
  size_t missing = 0;            // numbers that name no record (0, deleted, unreadable)
};

// Catalog entries of the two refusals.
constexpr int kRefusedReadMessage = 21;
constexpr int kRefusedUnreadMessage = 22;

ActionResult MarkRead(DatabaseGuard& guard, const std::vector<uint32_t>& numbers,
                      const platform::CalendarTime& now);
// Empties the check day and puts the record on the unread (read-later) list.
ActionResult MarkUnread(DatabaseGuard& guard, const std::vector<uint32_t>& numbers);
ActionResult SetMarked(DatabaseGuard& guard, const std::vector<uint32_t>& numbers, bool marked);
// Puts the records on the read-later list (which makes them unread). A record already on the list
// is not refused; `missing` counts the numbers that are not in the store.
ActionResult AddToReadLater(DatabaseGuard& guard, const std::vector<uint32_t>& numbers);
// Deletes the records; returns how many were deleted.
size_t DeleteRecords(DatabaseGuard& guard, const std::vector<uint32_t>& numbers);

// Opening an item: an unread record is marked read with `now` (the first opening stays). The
// record's row as it reads afterwards; nothing for a number that names no record.
std::optional<ListRow> OpenRecord(DatabaseGuard& guard, uint32_t number,
                                  const platform::CalendarTime& now);

// The memo editor's write: the comment (CP932; line ends as typed) and the mark flag. The row as
// it reads afterwards; nothing when the record cannot be read or written.
std::optional<ListRow> WriteMemo(DatabaseGuard& guard, uint32_t number, const std::string& comment,
                                 bool marked);
// The comment (CP932) and mark of a record for the memo editor; false when it cannot be read.
bool ReadMemo(DatabaseGuard& guard, uint32_t number, std::string* comment, bool* marked);

// The texts of the copy commands for the selected rows, one item per line pair, CR LF line ends.
enum class CopyWhat { kUrl, kTitle, kUrlAndTitle };
std::string ClipboardText(const std::vector<ListRow>& rows, CopyWhat what);

}  // namespace korvo

#endif  // KORVO_BROWSE_ITEM_ACTIONS_H_

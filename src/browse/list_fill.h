// The browse window's list fills: the rows for a kind and a day, read from the news store.
//
//   kind 0 all        records whose get day falls on the day (get-day index, in its order)
//   kind 1 unread     those of them without a check day
//   kind 2 read       records whose check day falls on the day (check-day index)
//   kind 3 commented  those of them whose comment sorts after " " (they have a comment)
//   kind 4 marked     those of them with the mark flag
//   kind 5 in ticker  the ticker's shown list, in its order; an item whose record does not read
//                     is shown with its own texts (no dates, number 0)
//   kind 6 read later the read-later list, in list order
// Kinds 5 and 6 ignore the day.
//
// Runs on a worker thread (list_worker.h); reads through record_walk.h, so the store lock is held
// for one group of records at a time, and `cancel` ends the fill between groups.
#ifndef KORVO_BROWSE_LIST_FILL_H_
#define KORVO_BROWSE_LIST_FILL_H_

#include <atomic>
#include <functional>
#include <vector>

#include "browse/browse_ids.h"
#include "browse/list_row.h"
#include "platform/clock.h"
#include "store/database_guard.h"
#include "ticker/ticker_item.h"

namespace korvo {

struct FillRequest {
  ListKind kind = ListKind::kAll;
  platform::CalendarTime day;  // year, month and day count
};

// The ticker's shown list (a copy), for kind 5. May be empty: kind 5 then lists nothing.
using ShownItemsSource = std::function<std::vector<TickerItem>()>;

// Appends the rows of `request` to `rows`. False when cancelled or the store could not be locked
// (the rows read so far stay).
bool FillRows(DatabaseGuard& guard, const FillRequest& request, const ShownItemsSource& shown,
              const std::atomic<bool>* cancel, std::vector<ListRow>* rows);

// Whether `record` belongs to `kind` on `day_packed` (the packed day; only its date counts).
// Kinds 5 and 6 take every record.
bool RecordFitsKind(const NewsItem& record, ListKind kind, uint32_t day_packed);

}  // namespace korvo

#endif  // KORVO_BROWSE_LIST_FILL_H_

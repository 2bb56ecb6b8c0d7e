// Marking items read when the user opens them: the stored record gets its check day, the shown
// item its read mark (and leaves the rotation when it is hidden once opened).
//
// Used by the engine's *open current item*, the news-item menu (commands 40000 + i), the skin
// window's "open this link" message and the local server's redirect route.
//
// Threads: any. The store lock is taken inside (it nests before the lists' lock).
#ifndef KORVO_TICKER_ITEM_OPENING_H_
#define KORVO_TICKER_ITEM_OPENING_H_

#include <cstdint>
#include <string>

#include "platform/clock.h"

namespace korvo {

class TickerLists;

// Marks the record `id` of the store in `working_folder` read: when its check day is empty it
// becomes `now` (a record read before keeps its first check day). Ids below 1 name no record
// and are skipped. Returns the record's link (CP932), empty when it cannot be read.
std::string MarkRecordRead(const std::string& working_folder, int32_t id,
                           const platform::CalendarTime& now);

// "Open item by record number": fails (empty result, nothing done) for ids below 1; otherwise,
// under the store lock, marks the shown item with that id opened (TickerLists::MarkOpenedById)
// and the record read, and returns the record's link (empty when it cannot be read).
std::string OpenItemById(TickerLists& lists, const std::string& working_folder, int32_t id,
                         const platform::CalendarTime& now);

}  // namespace korvo

#endif  // KORVO_TICKER_ITEM_OPENING_H_

// The storing and showing decisions that the update cycle applies to the items of a run, from
// the options of each item's channel (drop, onlyNew, noAddToDb, skipAll, itemTtl and the keyword
// filter).
//
// Pure functions; safe on any thread.
#ifndef KORVO_CHANNELS_ITEM_SELECTION_H_
#define KORVO_CHANNELS_ITEM_SELECTION_H_

#include <cstdint>
#include <vector>

#include "channels/keyword_filter.h"

namespace korvo {

// True when an item not yet in the store is to be stored: its channel does not have noAddToDb
// and the keyword filter's storing verdict is not 0.
bool ShouldStoreItem(const ItemFilterOptions& options, const ItemTexts& texts);

// One item of the run's list, as the display selection sees it. Dates are packed dates (year <<
// 20 | month << 16 | day << 11 | hour << 6 | minute, local time); 0 is an empty date.
struct DisplayCandidate {
  const ItemFilterOptions* options = nullptr;  // the channel's options; must not be null
  ItemTexts texts;
  bool read = false;           // the stored item has a check day
  bool alreadyStored = false;  // the item was in the store before this run
  uint32_t createDay = 0;      // the item's own date
  uint32_t getDay = 0;         // when it was first fetched; used when createDay is empty
};

struct DisplayVerdict {
  bool removed = false;  // leaves the list (display filter, or onlyNew and not new)
  bool hidden = false;   // stays in the list but is marked as already shown
};

// Decides for every candidate, in list order, whether it leaves the list or is hidden.
// Removal: the keyword filter's showing verdict is 0, or onlyNew is set and the item was already
// stored. Hiding, among the items that stay: while more than one of them is still visible, an
// item is hidden when its channel has skipAll, or has drop and the item was read (so these two
// never hide the last visible item); otherwise, when itemTtl is set, an item whose date lies more
// than itemTtl hours before `now` (packed, local time) is hidden.
std::vector<DisplayVerdict> SelectForDisplay(const std::vector<DisplayCandidate>& items,
                                             uint32_t now);

// Minutes since 1970-01-01 00:00 of a packed date, read as a plain calendar date (no time zone).
// Out-of-range fields are taken as they are; the result is only used for differences.
int64_t PackedDateToMinutes(uint32_t packed);

}  // namespace korvo

#endif  // KORVO_CHANNELS_ITEM_SELECTION_H_

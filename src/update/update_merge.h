// UpdateMerge: the processing half of an update run. It turns the cached feeds of every channel
// into one item list, matches the items against the store, adds the new ones, selects what is
// shown and hands that list to the ticker.
//
// Steps (the store lock is taken and released per step, never held across two):
//   1. Parse: every channel's FeedCache body is parsed on a thread of its own (at most
//      `parse_threads` at once) into one item list, in channel order; a channel without a cache
//      file has its cache entry deleted and is skipped; one whose parser throws gives no items
//      (the others go on). Meanwhile the link index (KnownItemTable)
//      is built on another thread.
//   2. Match (store lock): each item is looked up by link hash, title and link (a further copy
//      from the same channel address takes the first copy's outcome without a look-up). An item
//      found in a channel that changed in this run has its record's last-seen time set to now (the
//      item is not new); one found in an unchanged channel takes its new state from the record.
//   3. Add (store lock, one batch): every item not found that its channel lets be stored
//      (noAddToDb off, keyword filter's storing verdict not 0) becomes a record; its ticker state
//      gets bit 3 (added by this run). A second copy of one item (same link and title) in the
//      same run gets the first copy's record instead of a record of its own. The table is then
//      saved. The store's interrupted-update marker is set from the start of step 2 to here.
//   4. Select: the channels' display options decide which items leave the list and which are
//      hidden (SelectForDisplay); of the items left, one with the link and title of an earlier
//      one is dropped, so each item is shown once however often its feed is listed or repeats
//      it; an empty list gets the placeholder item.
//   5. Hand over: the list goes to the ticker (TickerLists::SetTickerList).
// Once the abort flag is set, the merge stops at the next item and hands nothing over.
//
// Threads: Run is called on the scheduler thread (or the caller's) and blocks until done. The
// parser is called on parse threads, several at once.
#ifndef KORVO_UPDATE_UPDATE_MERGE_H_
#define KORVO_UPDATE_UPDATE_MERGE_H_

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "channels/channel.h"
#include "feed/feed_item.h"
#include "feed/item_list.h"
#include "update/changed_set.h"
#include "update/update_clock.h"

namespace korvo {

class TickerLists;

// Turns the raw bytes of one channel's cache file into items (encoding detection, conversion to
// the internal code page and extraction), appending them to `items`. Called on parse threads,
// several at once, each with its own list.
using FeedParser =
    std::function<void(std::string_view body, const ChannelContext& channel, ItemList* items)>;

// What one merge did, for the run's log line.
struct MergeReport {
  int channels_parsed = 0;   // channels whose cache file was read
  int channels_missing = 0;  // channels without a cache file
  int items_parsed = 0;
  int items_known = 0;           // found in the store
  int items_added = 0;           // new records
  int items_not_stored = 0;      // new items their channel kept out of the store
  int items_store_failed = 0;    // new items the store could not take (read-only, disk full)
  int items_repeated = 0;        // further copies of an item already in the list, not shown again
  int items_shown = 0;           // items handed to the ticker (0 when only the placeholder was)
  bool store_read_only = false;  // the store opened read-only: nothing could be stored
  bool store_damaged = false;    // the store found damage or failed a write: rebuilt at next start
  bool aborted = false;
  bool handed_over = false;
};

class UpdateMerge {
 public:
  struct Environment {
    std::string working_folder;  // UTF-8; the store and the cache folder ("cache") live there
    FeedParser parser;
    const UpdateClock* clock = nullptr;  // null: SystemUpdateClock()
    TickerLists* ticker = nullptr;       // null: nothing is handed over
    const std::atomic<bool>* abort = nullptr;
    int parse_threads = 4;
    // Given to every channel's extraction as ChannelContext::on_site_link (the site-icon fetch);
    // called on parse threads, several at once. May be empty.
    std::function<void(const std::string& site_link)> on_site_link;
  };

  // Merges the cached feeds of `channels` (the run's snapshot of the channel list); `changed`
  // holds the addresses whose cache file changed in this run (may be null: none changed).
  static MergeReport Run(const Environment& environment, const std::vector<Channel>& channels,
                         const ChangedSet* changed);
};

}  // namespace korvo

#endif  // KORVO_UPDATE_UPDATE_MERGE_H_

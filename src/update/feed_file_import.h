// The file-import variant of the merge: the items of a local feed file (one dropped on the ticker,
// for one) go into the store as unread items, without touching the ticker's list.
//
// Every item not yet stored (by link hash, title and link) becomes a record stamped with the
// current local time and is put on the store's unread list (MarkUnread); items already stored
// and second copies within the file are left alone. Storing options of channels do not apply:
// the user chose the file.
//
// Threads: any thread; the update run mutex (when given) is held for the whole import, so an
// import and an update run never add the same item twice. Lock order: run mutex, store lock.
#ifndef KORVO_UPDATE_FEED_FILE_IMPORT_H_
#define KORVO_UPDATE_FEED_FILE_IMPORT_H_

#include <functional>
#include <mutex>
#include <string>

#include "feed/feed_item.h"
#include "feed/item_list.h"
#include "update/update_clock.h"

namespace korvo {

class DatabaseGuard;

// Reads the feed file at `path` (UTF-8) into `items` (reading, encoding detection, conversion
// and extraction); returns the number of items appended, 0 when the file cannot be read.
using FeedFileReader =
    std::function<int(const std::string& path, const ChannelContext& channel, ItemList* items)>;

struct FeedImportReport {
  int items_read = 0;
  int items_added = 0;
  bool store_available = true;  // false: the store could not be locked; nothing was added
};

FeedImportReport ImportFeedFileAsUnread(const std::string& path, const FeedFileReader& reader,
                                        DatabaseGuard& guard, const UpdateClock& clock,
                                        std::mutex* run_mutex);

}  // namespace korvo

#endif  // KORVO_UPDATE_FEED_FILE_IMPORT_H_

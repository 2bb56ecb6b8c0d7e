// Turning a parsed feed item into what the store and the ticker keep: the store record an update
// run (or a feed file import) adds, its enclosure text, and the ticker's list entry.
//
// Pure functions; safe on any thread.
#ifndef KORVO_UPDATE_ITEM_RECORD_H_
#define KORVO_UPDATE_ITEM_RECORD_H_

#include <cstddef>
#include <string>

#include "feed/feed_item.h"
#include "platform/clock.h"
#include "store/news_item.h"
#include "ticker/ticker_item.h"

namespace korvo {

// What one item may keep of its long texts, so that no feed of huge items can fill the store
// (and make it drop everyone else's older items) in a few runs. Real feeds stay far below.
// The other texts are already bounded by the extraction (4,096 bytes; channel texts 1,024).
constexpr size_t kMaxKeptDescriptionBytes = 32 * 1024;  // CP932 bytes
constexpr size_t kMaxEnclosureTextBytes = 16 * 1024;    // CP932 bytes, whole entries only

// Cuts the item's description to kMaxKeptDescriptionBytes (whole characters). The update run
// applies it to every parsed item, so the store and the ticker keep the same text.
void BoundItemTexts(FeedItem* item);

// The enclosure text of a record (CP932): empty when the item has no enclosure url; otherwise
// size "\" type "\" url "\" of the enclosure, then the same three texts and separators for every
// MediaRef whose url is not empty, in list order. Absent texts are empty. Entries after the
// first are only added while the text stays within kMaxEnclosureTextBytes.
std::string EnclosureText(const FeedItem& item);

// The store record for `item`: its texts in UTF-16 (link, title, site name, site link, category,
// creator, description cut as BoundItemTexts does, enclosure text), `now` as both get day and
// last-seen time, and the item date parsed from its date text at `local_offset_minutes` (empty
// when the text holds no date).
NewsItem RecordFromFeedItem(const FeedItem& item, const platform::CalendarTime& now,
                            int local_offset_minutes);

// The ticker's entry for `item`: its texts, `id` (the record number or -1) and `state`; the
// creation date text stays empty. Items of channels whose read items are not shown (`drop`) are
// hidden once opened.
TickerItem TickerItemFromFeedItem(const FeedItem& item, int32_t id, uint32_t state);

}  // namespace korvo

#endif  // KORVO_UPDATE_ITEM_RECORD_H_

// Turning one feed into items: RSS (0.9x, 1.0 and 2.0) or Atom, read with the tolerant XML reader,
// one FeedItem per usable item or entry appended to an ItemList in document order.
//
// Two variants: the feed variant for fetched channels, and the file-import variant for feed files
// the user imports, which also honours an item's own "sitename" element (its text becomes the
// item's site name, its "url" attribute the site link).
//
// Every field of a produced item is CP932 text holding no NUL and no lone lead byte, at most
// kMaxItemTextBytes long (descriptions kMaxItemDescriptionBytes); one call appends at most
// kMaxItemsPerFeed items and each item holds at most kMaxMediaPerItem MediaRefs, so a hostile feed
// cannot make the result much larger than itself.
//
// Threads: the functions may run on several threads at once, each with its own ItemList.
// ChannelContext::on_site_link is called on the calling thread.
#ifndef KORVO_FEED_ITEM_EXTRACTION_H_
#define KORVO_FEED_ITEM_EXTRACTION_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "feed/feed_item.h"
#include "feed/item_list.h"

namespace korvo {

constexpr int kMaxItemsPerFeed = 10000;
constexpr size_t kMaxMediaPerItem = 256;
constexpr size_t kMaxItemTextBytes = 4096;
constexpr size_t kMaxItemDescriptionBytes = size_t{256} << 10;
// The channel's title and link are copied into every item, so they are held shorter.
constexpr size_t kMaxChannelTextBytes = 1024;
// Largest feed file ImportFeedFile reads.
constexpr size_t kMaxFeedFileBytes = size_t{64} << 20;

// Feed variant. Reads CP932 feed text and appends its items to `items`; returns `start_count`
// plus the number appended (`start_count` alone for an empty text, a null list, or a document
// that is neither RSS nor Atom). Calls channel.on_site_link once with the feed's site link when
// it has one.
int ExtractFeedItems(std::string_view cp932_text, ItemList* items, const ChannelContext& channel,
                     int start_count);

// File-import variant: as ExtractFeedItems, and an RSS item's "sitename" element gives that
// item's site name (its text) and site link (its "url" attribute).
int ExtractImportedItems(std::string_view cp932_text, ItemList* items,
                         const ChannelContext& channel, int start_count);

// Raw feed bytes (a channel's cached body): detects the encoding, converts to CP932 and runs the
// feed variant. Returns the number of items appended. Matches FeedParser.
int ParseFeedBytes(std::string_view bytes, const ChannelContext& channel, ItemList* items);

// A feed file on disk (UTF-8 path): reads it whole (0 when it cannot be read or is larger than
// kMaxFeedFileBytes), converts by its declared encoding, runs the file-import variant and
// rebuilds the list's display order. Returns the number of items appended. Matches
// FeedFileReader.
int ImportFeedFile(const std::string& path, const ChannelContext& channel, ItemList* items);

}  // namespace korvo

#endif  // KORVO_FEED_ITEM_EXTRACTION_H_

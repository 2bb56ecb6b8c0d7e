// Recognises an item that is already stored: buckets of record numbers keyed by link hash, built
// from meta_3. The update cycle builds one before each cycle and discards it afterwards; the
// import of a local feed file builds its own. Lookups read a record only when its link hash
// falls into the item's bucket.
//
// An item is known when a stored record has the same title and the same link (compared as
// stored, or after unescaping the basic entities in the stored link), so a changed title makes
// it a new item.
//
// Build and Lookup run under the database lock; the table itself is a plain value.
#ifndef KORVO_STORE_KNOWN_ITEM_TABLE_H_
#define KORVO_STORE_KNOWN_ITEM_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "store/news_database.h"

namespace korvo {

class KnownItemTable {
 public:
  // Links are compared and hashed up to this many bytes (CP932).
  static constexpr size_t kLinkLimit = 4095;

  // Reads meta_3 of `db`: count + 4 buckets, each entry's number appended to bucket
  // (link hash mod bucket count) in file order.
  void Build(NewsDatabase& db);
  // The number of the first record in the link's bucket that verifies, 0 when none does. The
  // bucket is that of the link cut to kLinkLimit bytes; for a longer link, the bucket of the
  // whole link (under whose hash its record is indexed) is searched next. Records remembered
  // since Build come last. `link` and `title` are CP932 text from the feed.
  uint32_t Lookup(NewsDatabase& db, std::string_view link, std::string_view title) const;
  // True when record `number` reads, its title equals `title` and its link equals `link`, as
  // stored or after its entities were unescaped.
  bool Verify(NewsDatabase& db, uint32_t number, std::string_view link,
              std::string_view title) const;

  // Adds a record stored after Build (its number and link hash), so a second copy of the same
  // item later in the same run is recognised.
  void Remember(uint32_t number, uint32_t link_hash);

  size_t bucket_count() const { return starts_.empty() ? 0 : starts_.size() - 1; }
  size_t size() const { return numbers_.size(); }

 private:
  uint32_t SearchBucket(NewsDatabase& db, size_t bucket, std::string_view link,
                        std::string_view title) const;

  // Bucket b holds numbers_[starts_[b] .. starts_[b + 1]).
  std::vector<uint32_t> starts_;
  std::vector<uint32_t> numbers_;
  std::vector<IndexEntry> remembered_;  // {number, link hash}, in the order added
};

// Stores an item read from a local feed file unless it is already known: a new item gets get_day
// and last_seen = `now`, is added, and is put on the unread list. `link` and `title` are the
// feed's CP932 texts of `item`; the new record is remembered in `known`. Returns the new record
// number; 0 when the item was known or could not be added.
uint32_t ImportItemAsUnread(NewsDatabase& db, KnownItemTable& known, std::string_view link,
                            std::string_view title, NewsItem item,
                            const platform::CalendarTime& now);

}  // namespace korvo

#endif  // KORVO_STORE_KNOWN_ITEM_TABLE_H_

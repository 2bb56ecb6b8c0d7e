#include "store/known_item_table.h"

#include "feed/entities.h"
#include "platform/code_page.h"
#include "store/link_hash.h"

namespace korvo {

void KnownItemTable::Build(NewsDatabase& db) {
  const std::vector<IndexEntry> entries = db.ReadIndex(NewsDatabase::kHashIndex);
  const size_t buckets = entries.size() + 4;
  starts_.assign(buckets + 1, 0);
  for (const IndexEntry& e : entries) ++starts_[e.value % buckets + 1];
  for (size_t b = 0; b < buckets; ++b) starts_[b + 1] += starts_[b];
  numbers_.assign(entries.size(), 0);
  std::vector<uint32_t> fill(starts_.begin(), starts_.end() - 1);
  for (const IndexEntry& e : entries) numbers_[fill[e.value % buckets]++] = e.number;
  remembered_.clear();
}

void KnownItemTable::Remember(uint32_t number, uint32_t link_hash) {
  remembered_.push_back({number, link_hash});
}

uint32_t KnownItemTable::Lookup(NewsDatabase& db, std::string_view link,
                                std::string_view title) const {
  // The bucket of the link as it is stored, cut to the limit. A record stores its whole link and
  // is indexed under the hash of all of it, so a longer link is also looked for under that.
  const uint32_t hash = LinkHash(platform::Cp932ToUtf16(link.substr(0, kLinkLimit)));
  const uint32_t whole_hash =
      link.size() > kLinkLimit ? LinkHash(platform::Cp932ToUtf16(link)) : hash;
  if (bucket_count() > 0) {
    const size_t bucket = hash % bucket_count();
    if (const uint32_t found = SearchBucket(db, bucket, link, title)) return found;
    const size_t whole_bucket = whole_hash % bucket_count();
    if (whole_bucket != bucket) {
      if (const uint32_t found = SearchBucket(db, whole_bucket, link, title)) return found;
    }
  }
  for (const IndexEntry& e : remembered_) {
    if ((e.value == hash || e.value == whole_hash) && Verify(db, e.number, link, title)) {
      return e.number;
    }
  }
  return 0;
}

uint32_t KnownItemTable::SearchBucket(NewsDatabase& db, size_t bucket, std::string_view link,
                                      std::string_view title) const {
  for (uint32_t i = starts_[bucket]; i < starts_[bucket + 1]; ++i) {
    if (Verify(db, numbers_[i], link, title)) return numbers_[i];
  }
  return 0;
}

bool KnownItemTable::Verify(NewsDatabase& db, uint32_t number, std::string_view link,
                            std::string_view title) const {
  NewsItem record;
  record.number = number;
  if (db.ReadItem(&record) == 0) return false;
  if (record.title != platform::Cp932ToUtf16(title)) return false;
  std::string stored = platform::Utf16ToCp932(record.link);
  if (stored == link) return true;
  if (stored.size() > kLinkLimit) stored.resize(kLinkLimit);
  UnescapeLink(&stored);
  return stored == link;
}

uint32_t ImportItemAsUnread(NewsDatabase& db, KnownItemTable& known, std::string_view link,
                            std::string_view title, NewsItem item,
                            const platform::CalendarTime& now) {
  if (known.Lookup(db, link, title) != 0) return 0;
  item.get_day.calendar = now;
  item.last_seen.calendar = now;
  const uint32_t number = db.AddItem(&item, nullptr);
  if (number == 0) return 0;
  known.Remember(number, item.link_hash);
  db.MarkUnread(item);
  return number;
}

}  // namespace korvo

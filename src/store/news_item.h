// One item of the news database and its stored form.
//
// Stored form (the byte string kept in the block store; words little-endian):
//   0  number        4  link_hash     8  get_day packed   12 last_seen packed
//   16 check_day packed               20 flags            24 create_day packed
//   28 reserved (0)
//   32 eleven UTF-16LE strings, each followed by a 0 code unit, in the order link, title, rss,
//      site, site_link, category, author, description, subelement, trackback, comment.
// Length = 54 + 2 * (sum of the string lengths in code units); the record takes
// ceil(length / block size) blocks and the rest of its last block is zero.
#ifndef KORVO_STORE_NEWS_ITEM_H_
#define KORVO_STORE_NEWS_ITEM_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/packed_date.h"

namespace korvo {

struct NewsItem {
  // Bit of `flags`: the user marked the item.
  static constexpr uint32_t kMarked = 1;

  uint32_t number = 0;     // head block of the record; 0 = not stored
  uint32_t link_hash = 0;  // LinkHash(link)
  PackedDate get_day;      // first fetched
  PackedDate last_seen;    // last found in its feed
  PackedDate check_day;    // first opened by the user; empty = unread
  uint32_t flags = 0;
  PackedDate create_day;  // the item's own date from the feed
  uint32_t reserved = 0;  // always 0
  std::u16string link;
  std::u16string title;
  std::u16string rss;  // carried over from the earlier database format
  std::u16string site;
  std::u16string site_link;
  std::u16string category;
  std::u16string author;
  std::u16string description;
  std::u16string subelement;  // enclosures: "length\type\address\" per enclosure
  std::u16string trackback;
  std::u16string comment;

  // The eleven texts in stored order.
  static constexpr int kTextCount = 11;
  static std::u16string NewsItem::*const kTexts[kTextCount];
};

// The smallest stored form: eight words and eleven empty strings.
constexpr size_t kMinStoredLength = 54;

// The length of `item`'s stored form. Each text counts up to its first 0 code unit, if any.
size_t StoredLength(const NewsItem& item);

// Builds the stored form of `item` with its packed dates as they are, padded with zero bytes to
// a whole number of `block_size` blocks, into `out`. A text is cut at its first 0 code unit,
// which could not be told from its terminator. Returns the unpadded length.
size_t BuildStoredForm(const NewsItem& item, uint32_t block_size, std::vector<unsigned char>* out);

// Parses a stored form held in `size` bytes. Never reads past `size`. Fills every field of
// `item` (dates in both forms) and returns the stored length, or 0 when the bytes do not hold
// eight words and eleven terminated strings.
size_t ParseStoredForm(const unsigned char* bytes, size_t size, NewsItem* item);

}  // namespace korvo

#endif  // KORVO_STORE_NEWS_ITEM_H_

// TickerItem: one entry of the ticker's item list, a projection of a stored news item (or of a
// parsed feed item before it was stored). Texts are CP932.
#ifndef KORVO_TICKER_TICKER_ITEM_H_
#define KORVO_TICKER_TICKER_ITEM_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "feed/feed_item.h"

namespace korvo {

struct NewsItem;

struct TickerItem {
  // Bits of `state`.
  static constexpr uint32_t kRead = 0x1;   // the stored item has been opened
  static constexpr uint32_t kNew = 0x6;    // bits 1 and 2, always set together
  static constexpr uint32_t kAdded = 0x8;  // added to the store by the run that built the list

  std::string title;
  std::string link;
  std::string site_name;
  std::string site_link;
  std::string description;
  std::string created;  // creation date text for the tooltip; the update cycle leaves it empty
  std::string category;
  std::string author;
  uint32_t state = 0;
  int32_t id = -1;                // the record number; 0, -1 and -2 (any value < 1) name none
  bool hide_once_opened = false;  // set by the update cycle
  bool hidden = false;            // set by the engine
  // The enclosures: the first one, then the further ones and thumbnails in feed order (the
  // local server's item pages and the plug-ins' item copies list them).
  std::string enclosure_url;
  std::string enclosure_size;  // a byte count, or "width height"
  std::string enclosure_type;
  std::vector<MediaRef> media;

  bool names_record() const { return id > 0; }
};

// The item shown while there is nothing else: title and site name "ニュース取得中" (fetching
// news), the default link, id -1.
TickerItem PlaceholderTickerItem();

// The read and new bits the stored record `item` gives: kRead when it has a check day; kNew when
// its get day equals its last-seen time to the minute (it first appeared in the latest update).
uint32_t StateFromRecord(const NewsItem& item);

// A ticker item with the record's texts (converted to CP932), its enclosures, its number as id
// and the state above; the creation date text stays empty.
TickerItem TickerItemFromRecord(const NewsItem& item);

// The enclosures of a record's enclosure text ("length\type\address\" per enclosure, UTF-16),
// in order, converted to CP932. A piece without its closing backslash is ignored.
std::vector<MediaRef> ParseEnclosureText(std::u16string_view text);

}  // namespace korvo

#endif  // KORVO_TICKER_TICKER_ITEM_H_

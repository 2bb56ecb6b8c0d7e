#include "ticker/ticker_item.h"

#include <limits>

#include "feed/feed_item.h"
#include "platform/code_page.h"
#include "store/news_item.h"

namespace korvo {

TickerItem PlaceholderTickerItem() {
  static const std::string kFetchingNews = platform::Utf8ToCp932(u8"ニュース取得中");
  TickerItem item;
  item.title = kFetchingNews;
  item.site_name = kFetchingNews;
  item.link = kDefaultItemLink;
  item.id = -1;
  return item;
}

uint32_t StateFromRecord(const NewsItem& item) {
  uint32_t state = 0;
  if (!item.check_day.empty()) state |= TickerItem::kRead;
  if (item.get_day.packed == item.last_seen.packed) state |= TickerItem::kNew;
  return state;
}

TickerItem TickerItemFromRecord(const NewsItem& item) {
  TickerItem ticker;
  ticker.title = platform::Utf16ToCp932(item.title);
  ticker.link = platform::Utf16ToCp932(item.link);
  ticker.site_name = platform::Utf16ToCp932(item.site);
  ticker.site_link = platform::Utf16ToCp932(item.site_link);
  ticker.description = platform::Utf16ToCp932(item.description);
  ticker.category = platform::Utf16ToCp932(item.category);
  ticker.author = platform::Utf16ToCp932(item.author);
  ticker.id = item.number <= static_cast<uint32_t>(std::numeric_limits<int32_t>::max())
                  ? static_cast<int32_t>(item.number)
                  : -1;
  ticker.state = StateFromRecord(item);
  return ticker;
}

}  // namespace korvo

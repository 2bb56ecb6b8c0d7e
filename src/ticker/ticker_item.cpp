#include "ticker/ticker_item.h"

#include <iterator>
#include <limits>
#include <utility>

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
  std::vector<MediaRef> enclosures = ParseEnclosureText(item.subelement);
  if (!enclosures.empty()) {
    ticker.enclosure_url = std::move(enclosures.front().url);
    ticker.enclosure_size = std::move(enclosures.front().size);
    ticker.enclosure_type = std::move(enclosures.front().type);
    ticker.media.assign(std::make_move_iterator(enclosures.begin() + 1),
                        std::make_move_iterator(enclosures.end()));
  }
  return ticker;
}

std::vector<MediaRef> ParseEnclosureText(std::u16string_view text) {
  std::vector<MediaRef> enclosures;
  // Split in UTF-16: a CP932 trail byte can be a backslash, a UTF-16 code unit cannot.
  std::u16string_view pieces[3];
  size_t count = 0;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\\') continue;
    pieces[count++] = text.substr(start, i - start);
    start = i + 1;
    if (count == 3) {
      MediaRef media;
      media.size = platform::Utf16ToCp932(pieces[0]);
      media.type = platform::Utf16ToCp932(pieces[1]);
      media.url = platform::Utf16ToCp932(pieces[2]);
      if (!media.url.empty()) enclosures.push_back(std::move(media));
      count = 0;
    }
  }
  return enclosures;
}

}  // namespace korvo

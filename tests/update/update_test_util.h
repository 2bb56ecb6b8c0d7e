// Helpers of the update-cycle tests: a line-based stand-in for feed parsing, cache filling and a
// fixed clock.
#ifndef KORVO_TESTS_UPDATE_UPDATE_TEST_UTIL_H_
#define KORVO_TESTS_UPDATE_UPDATE_TEST_UTIL_H_

#include <string>
#include <string_view>
#include <vector>

#include "feed/feed_item.h"
#include "feed/item_list.h"
#include "fetch/feed_cache.h"
#include "platform/clock.h"
#include "update/update_clock.h"

namespace korvo::testing {

// Cache bodies for the stand-in parser: one item per line,
//   title|link|date|category|enclosure url|enclosure type|enclosure size
// (trailing fields may be left out). Lines without a '|' are ignored.
inline void ParseLines(std::string_view body, const ChannelContext& channel, ItemList* items) {
  size_t start = 0;
  while (start < body.size()) {
    size_t end = body.find('\n', start);
    if (end == std::string_view::npos) end = body.size();
    const std::string_view line = body.substr(start, end - start);
    start = end + 1;
    if (line.find('|') == std::string_view::npos) continue;
    std::vector<std::string> fields;
    size_t from = 0;
    while (true) {
      const size_t bar = line.find('|', from);
      fields.emplace_back(
          line.substr(from, bar == std::string_view::npos ? line.size() - from : bar - from));
      if (bar == std::string_view::npos) break;
      from = bar + 1;
    }
    fields.resize(7);
    FeedItem item;
    item.title = fields[0];
    item.link = fields[1];
    item.date = fields[2];
    item.category = fields[3];
    item.enclosure_url = fields[4];
    item.enclosure_type = fields[5];
    item.enclosure_size = fields[6];
    item.site_name = channel.title;
    item.site_link = channel.site_url;
    item.description = "about " + fields[0];
    item.channel = channel.properties;
    items->Append(std::move(item));
  }
}

inline platform::CalendarTime Local(int year, int month, int day, int hour, int minute) {
  platform::CalendarTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  return t;
}

class FixedUpdateClock : public UpdateClock {
 public:
  platform::CalendarTime LocalNow() const override { return now; }
  int LocalOffsetMinutes() const override { return 540; }
  platform::CalendarTime now = Local(2024, 5, 10, 12, 0);
};

// Writes `body` as the cache file of `url` under `working_folder`/cache.
inline bool PutCache(const std::string& working_folder, const std::string& url,
                     const std::string& body) {
  FeedCache cache(working_folder + "/cache");
  bool changed = false;
  return cache.Store(url, Local(2024, 5, 10, 3, 0), body, &changed);
}

}  // namespace korvo::testing

#endif  // KORVO_TESTS_UPDATE_UPDATE_TEST_UTIL_H_

// Helpers shared by the store tests.
#ifndef KORVO_TESTS_STORE_STORE_TEST_UTIL_H_
#define KORVO_TESTS_STORE_STORE_TEST_UTIL_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "store/news_item.h"

namespace korvo::testing {

inline platform::CalendarTime Cal(int year, int month, int day, int hour = 0, int minute = 0,
                                  int second = 0) {
  platform::CalendarTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  return t;
}

// A realistic item fetched at `fetched`; `n` makes its texts distinct.
inline NewsItem SampleItem(int n, const platform::CalendarTime& fetched) {
  NewsItem item;
  const std::u16string s = u"" + std::u16string(1, static_cast<char16_t>(u'0' + n % 10));
  std::u16string num;
  for (char c : std::to_string(n)) num.push_back(static_cast<char16_t>(c));
  item.link = u"http://news.example.jp/articles/" + num + u".html";
  item.title = u"\u30CB\u30E5\u30FC\u30B9 " + num;  // "ニュース n"
  item.site = u"Example News";
  item.site_link = u"http://news.example.jp/";
  item.category = u"tech";
  item.author = u"writer" + s;
  item.description = u"Description of item " + num;
  item.get_day.calendar = fetched;
  item.last_seen.calendar = fetched;
  item.create_day.calendar = fetched;
  return item;
}

inline std::string FileBytes(const std::string& path) {
  std::string s;
  platform::ReadWholeFile(path, &s);
  return s;
}

}  // namespace korvo::testing

#endif  // KORVO_TESTS_STORE_STORE_TEST_UTIL_H_

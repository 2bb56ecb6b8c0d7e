// Self-checking records for the tests where two processes share one store: the title names the
// writer and the sequence number, and every other text follows from it, so a record put together
// from parts of two writes (a torn record) is recognised.
#ifndef KORVO_TESTS_STORE_CONCURRENT_RECORDS_H_
#define KORVO_TESTS_STORE_CONCURRENT_RECORDS_H_

#include <string>

#include "store/news_item.h"

namespace korvo::testing {

inline std::u16string Ascii16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

// Record `i` of writer `writer`: 1 to 7 blocks long.
inline NewsItem ConcurrentRecord(int writer, int i) {
  NewsItem item;
  const std::string tag = "w" + std::to_string(writer) + "-" + std::to_string(i);
  item.title = Ascii16(tag);
  item.link = Ascii16("http://example.org/" + tag);
  const size_t length = 40 + static_cast<size_t>((i * 977 + writer * 131) % 1700);
  item.description.assign(length, static_cast<char16_t>(u'A' + (i + writer) % 26));
  item.comment = Ascii16(tag + "!");
  item.get_day.calendar.year = 2020;
  item.get_day.calendar.month = 1 + i % 12;
  item.get_day.calendar.day = 1 + i % 28;
  return item;
}

// True when `item` is exactly a record that ConcurrentRecord makes.
inline bool IsWholeRecord(const NewsItem& item) {
  const std::string title(item.title.begin(), item.title.end());
  int writer = 0, i = 0;
  if (title.size() < 4 || title[0] != 'w') return false;
  const size_t dash = title.find('-');
  if (dash == std::string::npos) return false;
  try {
    writer = std::stoi(title.substr(1, dash - 1));
    i = std::stoi(title.substr(dash + 1));
  } catch (...) {
    return false;
  }
  const NewsItem expected = ConcurrentRecord(writer, i);
  return item.title == expected.title && item.link == expected.link &&
         item.description == expected.description && item.comment == expected.comment;
}

}  // namespace korvo::testing

#endif  // KORVO_TESTS_STORE_CONCURRENT_RECORDS_H_

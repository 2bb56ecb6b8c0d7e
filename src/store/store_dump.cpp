#include "store/store_dump.h"

#include <cstdio>

#include "platform/code_page.h"

namespace korvo {

namespace {

std::string DateText(const PackedDate& date) {
  if (date.empty()) return std::string();
  const platform::CalendarTime t = PackedDate::Unpack(date.packed);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d", t.year % 10000, t.month % 100,
                t.day % 100, t.hour % 100, t.minute % 100);
  return buffer;
}

std::string OneLine(const std::u16string& text) {
  std::string utf8 = platform::Utf16ToUtf8(text);
  for (char& c : utf8) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return utf8;
}

}  // namespace

std::string StoreDumpLine(const NewsItem& item) {
  std::string line = std::to_string(item.number);
  for (const PackedDate* date : {&item.get_day, &item.last_seen, &item.check_day}) {
    line += '\t';
    line += DateText(*date);
  }
  for (const std::u16string* text : {&item.site, &item.title, &item.link}) {
    line += '\t';
    line += OneLine(*text);
  }
  return line;
}

size_t DumpStore(NewsDatabase& db, std::ostream& out) {
  size_t written = 0;
  for (const IndexEntry& entry : db.ReadIndex(NewsDatabase::kDayIndex)) {
    NewsItem item;
    item.number = entry.number;
    if (db.ReadItem(&item) == 0) continue;
    out << StoreDumpLine(item) << '\n';
    ++written;
  }
  out.flush();
  return written;
}

}  // namespace korvo

#include "server/http_answer.h"

#include <algorithm>
#include <cstdio>

#include "feed/calendar_math.h"

namespace korvo {

namespace {

constexpr const char* kDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr char kServerLine[] = "Server: KorvoNewsReader(Windows)\n";

}  // namespace

std::string ServerDate(const platform::CalendarTime& utc) {
  const int year = std::clamp(utc.year, kFirstCalendarYear, 9999);
  const int month = std::clamp(utc.month, 1, 12);
  const int day = std::clamp(utc.day, 1, DaysInMonth(year, month));
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s, %d %s %04d %02d:%02d:%02d GMT",
                kDayNames[DayOfWeek(year, month, day)], day, kMonthNames[month - 1], year,
                std::clamp(utc.hour, 0, 23), std::clamp(utc.minute, 0, 59),
                std::clamp(utc.second, 0, 59));
  return buffer;
}

std::string StandardHead(ContentKind kind, std::string_view date) {
  std::string head = "HTTP/1.1 200 OK\nDate: ";
  head.append(date).append("\n").append(kServerLine).append("last-Modified: ").append(date);
  switch (kind) {
    case ContentKind::kHtml:
      head += "\nContent-Type: text/html; charset=shift_jis\n";
      break;
    case ContentKind::kCss:
      head += "\nContent-Type: text/css; charset=shift_jis\n";
      break;
    case ContentKind::kXml:
      head += "\nContent-Type: text/xml; charset=shift_jis\n";
      break;
  }
  head += "Cache-control: no-cache\nPragma: no-cache\nConnection: close\n\n";
  return head;
}

std::string RedirectAnswer(std::string_view location, std::string_view date) {
  location = location.substr(0, location.find_first_of(std::string_view("\r\n\0", 3)));
  std::string answer = "HTTP/1.1 303 See Other\nDate: ";
  answer.append(date).append("\n").append(kServerLine).append("Location: ").append(location);
  answer += "\nConnection: close\nContent-Type: text/html; charset=iso-8859-1\n\n";
  return answer;
}

std::string EchoHead(std::string_view date) {
  std::string head = "HTTP/1.1 200 OK\nDate: ";
  head.append(date).append("\n").append(kServerLine).append("last-Modified: ").append(date);
  head += "\nConnection: close\nContent-Type: text/html; charset=shift_jis\n\n";
  return head;
}

}  // namespace korvo

#include "feed/feed_date.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/clock.h"

namespace korvo {

namespace {

constexpr std::array<const char*, 7> kWeekdayNames = {"Sun", "Mon", "Tue", "Wed",
                                                      "Thu", "Fri", "Sat"};
constexpr std::array<const char*, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

struct ZoneName {
  const char* name;
  size_t compared;  // bytes compared; 3 for "BT" includes the end of the text
  int hours;
};

// Tried in this order; the first match wins.
constexpr ZoneName kZones[] = {
    {"ADT", 3, -3},  {"AST", 3, -4},  {"EDT", 3, -4}, {"EST", 3, -5},  {"CDT", 3, -5},
    {"CST", 3, -6},  {"MDT", 3, -6},  {"MST", 3, -7}, {"PDT", 3, -7},  {"PST", 3, -8},
    {"ALA", 3, -9},  {"HAW", 3, -10}, {"UTC", 3, 0},  {"GMT", 3, 0},   {"ZULU", 4, 0},
    {"CET", 3, 1},   {"FWT", 3, 1},   {"MET", 3, 1},  {"MEWT", 4, 1},  {"SWT", 3, 1},
    {"EET", 3, 2},   {"BT", 3, 3},    {"ZP4", 3, 4},  {"ZP5", 3, 5},   {"ZP6", 3, 6},
    {"WAST", 4, 7},  {"CCT", 3, 8},   {"JST", 3, 9},  {"EAST", 4, 10}, {"Guam", 4, 10},
    {"IDLE", 4, 12}, {"NZST", 4, 12}, {"NZT", 3, 12},
};

// A decimal number this large already makes any date field invalid; reading stops growing there
// so that long digit runs never overflow.
constexpr int kDigitCap = 1000000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Compares the first `n` bytes of `text` (a shorter text ends with a NUL, as a C string would)
// with `name` padded the same way, ignoring ASCII case.
bool PrefixEqualsIgnoringCase(std::string_view text, const char* name, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    const char a = i < text.size() ? text[i] : '\0';
    const char b = name[i];  // names are NUL-terminated and at least n-1 bytes long
    if (ToUpper(a) != ToUpper(b)) return false;
    if (b == '\0') return true;
  }
  return true;
}

// Reads decimal digits at `*pos`; advances past them. `*found` tells whether there was any.
int ReadDigits(std::string_view text, size_t* pos, bool* found = nullptr, size_t max_digits = 0) {
  int value = 0;
  size_t count = 0;
  while (*pos < text.size() && IsDigit(text[*pos]) && (max_digits == 0 || count < max_digits)) {
    if (value < kDigitCap) value = value * 10 + (text[*pos] - '0');
    ++*pos;
    ++count;
  }
  if (found) *found = count > 0;
  return value;
}

// The zone part of a time text, starting at `pos`: a sign with up to two digits of hours, an
// optional ':' and up to two digits of minutes; or a zone name; anything else is UTC. `*found`
// tells whether a sign or a name was there.
int ReadZoneMinutes(std::string_view text, size_t pos, bool* found) {
  *found = false;
  if (pos >= text.size()) return 0;
  const char c = text[pos];
  if (c == '+' || c == '-') {
    *found = true;
    ++pos;
    const int hours = ReadDigits(text, &pos, nullptr, 2);
    if (pos < text.size() && text[pos] == ':') ++pos;
    int minutes = ReadDigits(text, &pos, nullptr, 2);
    if (minutes > 59) minutes = 0;
    const int total = hours * 60 + minutes;
    return c == '-' ? -total : total;
  }
  if (IsAsciiLetter(c)) {
    *found = true;
    return ZoneHoursFromName(text.substr(pos)) * 60;
  }
  return 0;
}

struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int zone_minutes = 0;
  bool zone_found = false;
};

// "12:34", "12:34:56", "12:34:56.789", each optionally followed by a zone; a text that does not
// start with a digit holds only a zone.
TimeOfDay ReadTime(std::string_view text) {
  TimeOfDay time;
  size_t pos = 0;
  if (pos < text.size() && IsDigit(text[pos])) {
    time.hour = ReadDigits(text, &pos);
    // One separator byte, unless the hour is followed directly by its zone ("T12Z").
    if (pos < text.size() && text[pos] != '+' && text[pos] != '-' && !IsAsciiLetter(text[pos])) {
      ++pos;
    }
    time.minute = ReadDigits(text, &pos);
    if (pos < text.size() && text[pos] == ':') {
      ++pos;
      time.second = ReadDigits(text, &pos);
    }
    if (pos < text.size() && text[pos] == '.') {
      ++pos;
      ReadDigits(text, &pos);
    }
  }
  time.zone_minutes = ReadZoneMinutes(text, pos, &time.zone_found);
  return time;
}

// RFC 2822's reading of years written with two or three digits.
int ExpandYear(int year, size_t digits) {
  if (digits <= 2) return year < 50 ? 2000 + year : 1900 + year;
  if (digits == 3) return 1900 + year;
  return year;
}

struct ParsedFields {
  CalendarTime time;
  int zone_minutes = 0;
};

ParsedFields ParseRfc822(std::string_view text) {
  std::array<std::string_view, 10> fields;
  size_t count = 0;
  size_t pos = 0;
  while (pos < text.size() && count < fields.size()) {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    if (pos >= text.size()) break;
    const size_t start = pos;
    while (pos < text.size() && text[pos] != ' ') ++pos;
    fields[count++] = text.substr(start, pos - start);
  }
  ParsedFields parsed;
  // The weekday is optional: a first field that starts with a digit is already the day.
  size_t i = (count > 0 && !fields[0].empty() && IsDigit(fields[0][0])) ? 0 : 1;
  size_t p = 0;
  parsed.time.day = ReadDigits(fields[i], &p);
  parsed.time.month = MonthFromName(fields[i + 1]);
  p = 0;
  bool found = false;
  const int year = ReadDigits(fields[i + 2], &p, &found);
  parsed.time.year = found ? ExpandYear(year, p) : 0;
  const TimeOfDay time = ReadTime(fields[i + 3]);
  parsed.time.hour = time.hour;
  parsed.time.minute = time.minute;
  parsed.time.second = time.second;
  parsed.zone_minutes = time.zone_minutes;
  if (i + 4 < count) {
    const TimeOfDay zone = ReadTime(fields[i + 4]);
    if (zone.zone_found && !IsDigit(fields[i + 4][0])) parsed.zone_minutes = zone.zone_minutes;
  }
  return parsed;
}

ParsedFields ParseW3c(std::string_view text) {
  std::string_view date = text;
  std::string_view time;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == 'T' && IsDigit(text[i - 1]) && IsDigit(text[i + 1])) {
      date = text.substr(0, i);
      time = text.substr(i + 1);
      break;
    }
  }
  ParsedFields parsed;
  size_t pos = 0;
  parsed.time.year = ReadDigits(date, &pos);
  bool found = false;
  if (pos < date.size()) ++pos;
  parsed.time.month = ReadDigits(date, &pos, &found);
  if (!found) {
    parsed.time.month = 1;
    parsed.time.day = 1;
  } else {
    if (pos < date.size()) ++pos;
    parsed.time.day = ReadDigits(date, &pos, &found);
    if (!found) parsed.time.day = 1;
  }
  const TimeOfDay tod = ReadTime(time);
  parsed.time.hour = tod.hour;
  parsed.time.minute = tod.minute;
  parsed.time.second = tod.second;
  parsed.zone_minutes = tod.zone_minutes;
  return parsed;
}

int Clamp(int value, int low, int high) { return std::min(std::max(value, low), high); }

}  // namespace

int SystemLocalOffsetMinutes() {
  static const int offset = platform::LocalOffsetMinutes();
  return offset;
}

int ZoneHoursFromName(std::string_view name) {
  for (const ZoneName& zone : kZones) {
    if (PrefixEqualsIgnoringCase(name, zone.name, zone.compared)) return zone.hours;
  }
  return 0;
}

int MonthFromName(std::string_view name) {
  for (size_t i = 0; i < kMonthNames.size(); ++i) {
    if (name.size() >= 3 && PrefixEqualsIgnoringCase(name, kMonthNames[i], 3)) {
      return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

bool ParseFeedDate(std::string_view text, int local_offset_minutes, CalendarTime* out) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.empty() || text.size() > kMaxDateTextBytes) return false;

  const ParsedFields parsed =
      text.find(' ') != std::string_view::npos ? ParseRfc822(text) : ParseW3c(text);
  CalendarTime time = parsed.time;
  // A leap second is kept as the last second of its minute.
  if (time.second == 60) time.second = 59;
  time.millisecond = 0;
  const std::optional<int64_t> ticks = ToFileTime(time);
  if (!ticks) return false;
  const int64_t shifted =
      *ticks + (static_cast<int64_t>(local_offset_minutes) - parsed.zone_minutes) * kTicksPerMinute;
  if (shifted < 0 || shifted > kLastFileTime) return false;
  *out = FromFileTime(shifted);
  return true;
}

std::string FormatHttpDate(const CalendarTime& utc) {
  const int year = Clamp(utc.year, kFirstCalendarYear, kLastCalendarYear);
  const int month = Clamp(utc.month, 1, 12);
  const int day = Clamp(utc.day, 1, DaysInMonth(year, month));
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s, %02d %s %d %02d:%02d:%02d GMT",
                kWeekdayNames[DayOfWeek(year, month, day)], day, kMonthNames[month - 1], year,
                Clamp(utc.hour, 0, 23), Clamp(utc.minute, 0, 59), Clamp(utc.second, 0, 59));
  return buffer;
}

std::string FormatW3cDate(const CalendarTime& local, int local_offset_minutes) {
  const char sign = local_offset_minutes < 0 ? '-' : '+';
  const long long magnitude = local_offset_minutes < 0
                                  ? -static_cast<long long>(local_offset_minutes)
                                  : local_offset_minutes;
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d%c%02lld:%02lld", local.year,
                local.month, local.day, local.hour, local.minute, local.second, sign,
                magnitude / 60, magnitude % 60);
  return buffer;
}

}  // namespace korvo

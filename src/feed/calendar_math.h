// Calendar arithmetic on the SYSTEMTIME-shaped `CalendarTime`, through the Windows file-time scale
// (100-nanosecond ticks since 1601-01-01 00:00), so that every platform moves dates alike.
//
// Pure functions; safe on any thread. No time zone is involved: a calendar time is taken as it
// stands, and callers add or subtract offsets themselves.
#ifndef KORVO_FEED_CALENDAR_MATH_H_
#define KORVO_FEED_CALENDAR_MATH_H_

#include <cstdint>
#include <optional>

#include "platform/clock.h"

namespace korvo {

using platform::CalendarTime;

// Ticks per unit of the file-time scale.
constexpr int64_t kTicksPerMillisecond = 10000;
constexpr int64_t kTicksPerSecond = 1000 * kTicksPerMillisecond;
constexpr int64_t kTicksPerMinute = 60 * kTicksPerSecond;
constexpr int64_t kTicksPerDay = 1440 * kTicksPerMinute;

// The range a file time can be turned into a calendar time: 1601-01-01 00:00:00.000 to
// 30827-12-31 23:59:59.999 (the limits of the Windows conversion).
constexpr int kFirstCalendarYear = 1601;
constexpr int kLastCalendarYear = 30827;
// Days from 1601-01-01 to year-month-day of the proleptic Gregorian calendar (negative before).
// Month 1-12 and day are taken as given; use only on checked values.
constexpr int64_t DaysSince1601(int64_t year, int month, int day) {
  // Counting from 1 March makes the leap day the last day of the counted year.
  const int64_t y = year - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t year_of_era = y - era * 400;
  const int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  // 584694: days from 0000-03-01 to 1601-01-01.
  return era * 146097 + day_of_era - 584694;
}

// The last tick of the representable range (30827-12-31 23:59:59.9999999).
constexpr int64_t kLastFileTime = (DaysSince1601(kLastCalendarYear, 12, 31) + 1) * kTicksPerDay - 1;

// Number of days of `month` (1-12) in `year` of the Gregorian calendar; 0 for a month out of range.
int DaysInMonth(int year, int month);

// Day of the week (0 Sunday - 6 Saturday) of a Gregorian date; the date must be valid.
int DayOfWeek(int year, int month, int day);

// True when year, month, day, hour, minute, second and millisecond form a time the file-time
// scale can hold. The day-of-week field is not checked.
bool IsValidCalendarTime(const CalendarTime& time);

// The file time of a valid calendar time; nullopt when it is not valid.
std::optional<int64_t> ToFileTime(const CalendarTime& time);

// The calendar time of a file time, with its day of the week. Ticks below 0 or above the last
// representable tick are clamped to the ends of the range.
CalendarTime FromFileTime(int64_t ticks);

// Moves `time` by whole minutes: direction 0 adds, any other value subtracts. A time that is not
// valid starts from the origin of the scale (1601-01-01 00:00). The result is clamped to the
// representable range; seconds and milliseconds are kept.
CalendarTime AddMinutes(const CalendarTime& time, int64_t minutes, int direction);

// The same by whole days.
CalendarTime AddDays(const CalendarTime& time, int64_t days, int direction);

}  // namespace korvo

#endif  // KORVO_FEED_CALENDAR_MATH_H_

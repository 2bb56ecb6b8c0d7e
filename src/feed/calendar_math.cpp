#include "feed/calendar_math.h"

namespace korvo {

static_assert(DaysSince1601(1601, 1, 1) == 0);
static_assert(DaysSince1601(1970, 1, 1) == 134774);
static_assert(DaysSince1601(1600, 12, 31) == -1);

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Inverse of DaysSince1601 for days >= 0.
void CivilFromDays(int64_t days, int* year, int* month, int* day) {
  const int64_t z = days + 584694;
  const int64_t era = z / 146097;
  const int64_t day_of_era = z - era * 146097;
  const int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const int64_t mp = (5 * day_of_year + 2) / 153;
  const int64_t d = day_of_year - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  *year = static_cast<int>(year_of_era + era * 400 + (m <= 2 ? 1 : 0));
  *month = static_cast<int>(m);
  *day = static_cast<int>(d);
}

// Moves a file time (0 to kLastFileTime) by `delta` ticks, clamped to the representable range
// without ever forming a sum that could overflow.
int64_t MoveClamped(int64_t ticks, int64_t delta) {
  if (delta >= 0) return delta > kLastFileTime - ticks ? kLastFileTime : ticks + delta;
  return delta < -ticks ? 0 : ticks + delta;
}

// Units (minutes or days) times ticks per unit, saturated so the product never overflows.
int64_t UnitsToTicks(int64_t units, int64_t ticks_per_unit, int direction) {
  const int64_t limit = (kLastFileTime / ticks_per_unit) + 1;
  if (units > limit) units = limit;
  if (units < -limit) units = -limit;
  const int64_t ticks = units * ticks_per_unit;
  return direction == 0 ? ticks : -ticks;
}

}  // namespace

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[month - 1];
}

int DayOfWeek(int year, int month, int day) {
  // 1601-01-01 was a Monday.
  const int64_t days = DaysSince1601(year, month, day);
  const int64_t weekday = (days + 1) % 7;
  return static_cast<int>(weekday < 0 ? weekday + 7 : weekday);
}

bool IsValidCalendarTime(const CalendarTime& time) {
  return time.year >= kFirstCalendarYear && time.year <= kLastCalendarYear && time.month >= 1 &&
         time.month <= 12 && time.day >= 1 && time.day <= DaysInMonth(time.year, time.month) &&
         time.hour >= 0 && time.hour <= 23 && time.minute >= 0 && time.minute <= 59 &&
         time.second >= 0 && time.second <= 59 && time.millisecond >= 0 && time.millisecond <= 999;
}

std::optional<int64_t> ToFileTime(const CalendarTime& time) {
  if (!IsValidCalendarTime(time)) return std::nullopt;
  const int64_t days = DaysSince1601(time.year, time.month, time.day);
  return days * kTicksPerDay + time.hour * 60 * kTicksPerMinute + time.minute * kTicksPerMinute +
         time.second * kTicksPerSecond + time.millisecond * kTicksPerMillisecond;
}

CalendarTime FromFileTime(int64_t ticks) {
  if (ticks < 0) ticks = 0;
  if (ticks > kLastFileTime) ticks = kLastFileTime;
  const int64_t days = ticks / kTicksPerDay;
  int64_t rest = ticks % kTicksPerDay;
  CalendarTime time;
  CivilFromDays(days, &time.year, &time.month, &time.day);
  time.day_of_week = static_cast<int>((days + 1) % 7);
  time.hour = static_cast<int>(rest / (60 * kTicksPerMinute));
  rest %= 60 * kTicksPerMinute;
  time.minute = static_cast<int>(rest / kTicksPerMinute);
  rest %= kTicksPerMinute;
  time.second = static_cast<int>(rest / kTicksPerSecond);
  rest %= kTicksPerSecond;
  time.millisecond = static_cast<int>(rest / kTicksPerMillisecond);
  return time;
}

CalendarTime AddMinutes(const CalendarTime& time, int64_t minutes, int direction) {
  const int64_t start = ToFileTime(time).value_or(0);
  return FromFileTime(MoveClamped(start, UnitsToTicks(minutes, kTicksPerMinute, direction)));
}

CalendarTime AddDays(const CalendarTime& time, int64_t days, int direction) {
  const int64_t start = ToFileTime(time).value_or(0);
  return FromFileTime(MoveClamped(start, UnitsToTicks(days, kTicksPerDay, direction)));
}

}  // namespace korvo

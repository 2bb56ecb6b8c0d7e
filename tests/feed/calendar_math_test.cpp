#include "feed/calendar_math.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace korvo {
namespace {

CalendarTime Make(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                  int millisecond = 0) {
  CalendarTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  t.millisecond = millisecond;
  return t;
}

void ExpectTime(const CalendarTime& t, int year, int month, int day, int hour, int minute,
                int second = 0, int millisecond = 0) {
  EXPECT_EQ(t.year, year);
  EXPECT_EQ(t.month, month);
  EXPECT_EQ(t.day, day);
  EXPECT_EQ(t.hour, hour);
  EXPECT_EQ(t.minute, minute);
  EXPECT_EQ(t.second, second);
  EXPECT_EQ(t.millisecond, millisecond);
}

TEST(CalendarMathTest, FileTimeMatchesTheWindowsScale) {
  // 1970-01-01 is 116444736000000000 ticks after 1601-01-01, as in every Windows program.
  EXPECT_EQ(ToFileTime(Make(1970, 1, 1)).value(), 116444736000000000LL);
  EXPECT_EQ(ToFileTime(Make(1601, 1, 1)).value(), 0);
  EXPECT_EQ(ToFileTime(Make(2005, 2, 1, 12, 34, 56, 789)).value(), 127517348967890000LL);
  const CalendarTime back = FromFileTime(127517348967890000LL);
  ExpectTime(back, 2005, 2, 1, 12, 34, 56, 789);
  EXPECT_EQ(back.day_of_week, 2);  // Tuesday
}

TEST(CalendarMathTest, RoundTripsEveryDayAcrossCenturyRules) {
  // Walk day by day over 1899-2101 (covers 1900 not leap, 2000 leap, 2100 not leap).
  int64_t ticks = ToFileTime(Make(1899, 12, 31)).value();
  int previous_weekday = FromFileTime(ticks).day_of_week;
  for (int i = 0; i < 74000; ++i) {
    ticks += kTicksPerDay;
    const CalendarTime t = FromFileTime(ticks);
    ASSERT_TRUE(IsValidCalendarTime(t)) << i;
    ASSERT_EQ(ToFileTime(t).value(), ticks) << i;
    ASSERT_EQ(t.day_of_week, (previous_weekday + 1) % 7) << i;
    ASSERT_EQ(t.day_of_week, DayOfWeek(t.year, t.month, t.day)) << i;
    previous_weekday = t.day_of_week;
  }
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(2004, 2), 29);
  EXPECT_EQ(DaysInMonth(2100, 2), 28);
  EXPECT_EQ(DaysInMonth(2005, 13), 0);
}

TEST(CalendarMathTest, ValidityFollowsTheSystemTimeLimits) {
  EXPECT_TRUE(IsValidCalendarTime(Make(1601, 1, 1)));
  EXPECT_TRUE(IsValidCalendarTime(Make(30827, 12, 31, 23, 59, 59, 999)));
  EXPECT_FALSE(IsValidCalendarTime(Make(1600, 12, 31)));
  EXPECT_FALSE(IsValidCalendarTime(Make(30828, 1, 1)));
  EXPECT_FALSE(IsValidCalendarTime(Make(2005, 0, 1)));
  EXPECT_FALSE(IsValidCalendarTime(Make(2005, 2, 29)));
  EXPECT_FALSE(IsValidCalendarTime(Make(2005, 4, 31)));
  EXPECT_FALSE(IsValidCalendarTime(Make(2005, 1, 1, 24)));
  EXPECT_FALSE(IsValidCalendarTime(Make(2005, 1, 1, 0, 60)));
  EXPECT_FALSE(IsValidCalendarTime(Make(2005, 1, 1, 0, 0, 60)));
  EXPECT_FALSE(IsValidCalendarTime(Make(2005, 1, 1, 0, 0, 0, 1000)));
  EXPECT_FALSE(IsValidCalendarTime(Make(2005, 1, 1, -1)));
  EXPECT_FALSE(ToFileTime(Make(2005, 2, 30)).has_value());
}

TEST(CalendarMathTest, MinuteAndDayArithmetic) {
  // Across a month end, a leap day and a year end; seconds and milliseconds are kept.
  ExpectTime(AddMinutes(Make(2005, 1, 31, 23, 59, 30, 250), 2, 0), 2005, 2, 1, 0, 1, 30, 250);
  ExpectTime(AddMinutes(Make(2004, 3, 1, 0, 10), 20, 1), 2004, 2, 29, 23, 50);
  ExpectTime(AddMinutes(Make(2005, 12, 31, 23, 0), 60, 0), 2006, 1, 1, 0, 0);
  ExpectTime(AddMinutes(Make(2005, 6, 1, 12, 0), -90, 0), 2005, 6, 1, 10, 30);
  ExpectTime(AddDays(Make(2004, 2, 28, 8, 0), 1, 0), 2004, 2, 29, 8, 0);
  ExpectTime(AddDays(Make(2005, 3, 1, 8, 0), 1, 1), 2005, 2, 28, 8, 0);
  ExpectTime(AddDays(Make(2000, 1, 1), 366, 0), 2001, 1, 1, 0, 0);
  // Any non-zero direction subtracts.
  ExpectTime(AddDays(Make(2005, 3, 10), 3, 7), 2005, 3, 7, 0, 0);
  EXPECT_EQ(AddDays(Make(2005, 3, 10), 0, 0).day_of_week, 4);  // the weekday is filled in
}

TEST(CalendarMathTest, InvalidStartsAtTheOriginAndResultsAreClamped) {
  // A time that is not a date starts from 1601-01-01 00:00.
  ExpectTime(AddMinutes(Make(2005, 0, 1, 12, 0), 90, 0), 1601, 1, 1, 1, 30);
  ExpectTime(AddDays(Make(0, 0, 0), 0, 0), 1601, 1, 1, 0, 0);
  // Moving past either end stops there instead of wrapping.
  ExpectTime(AddMinutes(Make(1601, 1, 1, 0, 5), 10, 1), 1601, 1, 1, 0, 0);
  ExpectTime(AddDays(Make(30827, 12, 31), 2, 0), 30827, 12, 31, 23, 59, 59, 999);
  const int64_t huge = std::numeric_limits<int64_t>::max();
  ExpectTime(AddMinutes(Make(2005, 1, 1), huge, 0), 30827, 12, 31, 23, 59, 59, 999);
  ExpectTime(AddMinutes(Make(2005, 1, 1), huge, 1), 1601, 1, 1, 0, 0);
  ExpectTime(AddDays(Make(2005, 1, 1), std::numeric_limits<int64_t>::min(), 0), 1601, 1, 1, 0, 0);
  ExpectTime(AddDays(Make(2005, 1, 1), std::numeric_limits<int64_t>::min(), 1), 30827, 12, 31, 23,
             59, 59, 999);
  ExpectTime(FromFileTime(-5), 1601, 1, 1, 0, 0);
}

}  // namespace
}  // namespace korvo

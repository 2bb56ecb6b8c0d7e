#include <windows.h>

#include "platform/clock.h"

namespace korvo::platform {

namespace {

CalendarTime FromSystemTime(const SYSTEMTIME& t) {
  CalendarTime c;
  c.year = t.wYear;
  c.month = t.wMonth;
  c.day_of_week = t.wDayOfWeek;
  c.day = t.wDay;
  c.hour = t.wHour;
  c.minute = t.wMinute;
  c.second = t.wSecond;
  c.millisecond = t.wMilliseconds;
  return c;
}

// 100-ns intervals between 1601-01-01 and 1970-01-01.
constexpr int64_t kUnixEpochInFileTime = 116444736000000000LL;

}  // namespace

CalendarTime UtcNow() {
  SYSTEMTIME t;
  GetSystemTime(&t);
  return FromSystemTime(t);
}

CalendarTime LocalNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return FromSystemTime(t);
}

int LocalOffsetMinutes() {
  TIME_ZONE_INFORMATION tz;
  // A record that could not be read holds nothing to use.
  if (GetTimeZoneInformation(&tz) == TIME_ZONE_ID_INVALID) return 0;
  // Bias: minutes to add to local time to get UTC; standard time, whatever the season.
  return static_cast<int>(-(tz.Bias + tz.StandardBias));
}

uint64_t MonotonicMilliseconds() { return GetTickCount64(); }

int64_t UnixSecondsNow() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  const int64_t ticks = (static_cast<int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return (ticks - kUnixEpochInFileTime) / 10000000;
}

}  // namespace korvo::platform

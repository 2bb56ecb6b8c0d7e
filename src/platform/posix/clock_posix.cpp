#include <sys/time.h>
#include <time.h>

#include "platform/clock.h"

namespace korvo::platform {

namespace {

CalendarTime FromTm(const struct tm& t, long nanoseconds) {
  CalendarTime c;
  c.year = t.tm_year + 1900;
  c.month = t.tm_mon + 1;
  c.day_of_week = t.tm_wday;
  c.day = t.tm_mday;
  c.hour = t.tm_hour;
  c.minute = t.tm_min;
  c.second = t.tm_sec > 59 ? 59 : t.tm_sec;  // a leap second is shown as :59
  c.millisecond = static_cast<int>(nanoseconds / 1000000);
  return c;
}

}  // namespace

CalendarTime UtcNow() {
  struct timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  struct tm t;
  gmtime_r(&ts.tv_sec, &t);
  return FromTm(t, ts.tv_nsec);
}

CalendarTime LocalNow() {
  struct timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  struct tm t;
  localtime_r(&ts.tv_sec, &t);
  return FromTm(t, ts.tv_nsec);
}

int LocalOffsetMinutes() {
  // `timezone`: seconds west of UTC in standard time, set by tzset from TZ or the system zone.
  tzset();
  return static_cast<int>(-timezone / 60);
}

uint64_t MonotonicMilliseconds() {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
}

int64_t UnixSecondsNow() { return static_cast<int64_t>(time(nullptr)); }

}  // namespace korvo::platform

// Wall-clock and monotonic time.
//
// All functions are thread-safe. Code that must be tested at a fixed time or offset takes these
// values as parameters (or through a small clock object of its own) instead of calling here.
#ifndef KORVO_PLATFORM_CLOCK_H_
#define KORVO_PLATFORM_CLOCK_H_

#include <cstdint>

namespace korvo::platform {

// A calendar time with the fields of the Windows SYSTEMTIME, in its order.
struct CalendarTime {
  int year = 0;
  int month = 0;        // 1-12
  int day_of_week = 0;  // 0 Sunday - 6 Saturday
  int day = 0;          // 1-31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

CalendarTime UtcNow();
CalendarTime LocalNow();
// Minutes to add to UTC to get local standard time (Japan: +540): the zone's bias without any
// daylight saving, as feed dates are read; 0 when the system's time-zone information cannot be
// read.
int LocalOffsetMinutes();
// Milliseconds from an arbitrary fixed start; never goes back.
uint64_t MonotonicMilliseconds();
// Seconds since 1970-01-01 00:00 UTC.
int64_t UnixSecondsNow();

}  // namespace korvo::platform

#endif  // KORVO_PLATFORM_CLOCK_H_

#include "platform/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

namespace korvo::platform {
namespace {

int MinutesOfDay(const CalendarTime& t) { return t.hour * 60 + t.minute; }

TEST(ClockTest, LocalIsUtcPlusTheOffset) {
  const CalendarTime utc = UtcNow();
  const CalendarTime local = LocalNow();
  EXPECT_GE(utc.year, 2020);
  EXPECT_GE(utc.month, 1);
  EXPECT_LE(utc.month, 12);
  EXPECT_GE(utc.day_of_week, 0);
  EXPECT_LE(utc.day_of_week, 6);
  EXPECT_LT(utc.millisecond, 1000);
  const int offset = LocalOffsetMinutes();
  EXPECT_GE(offset, -14 * 60);
  EXPECT_LE(offset, 14 * 60);
  // Compare minutes of the day modulo a day; allow a minute's turn between the two readings,
  // and an hour of daylight saving time, which the standard offset leaves out.
  const int diff = ((MinutesOfDay(local) - MinutesOfDay(utc) - offset) % 1440 + 1440) % 1440;
  EXPECT_TRUE(diff <= 1 || diff >= 1439 || (diff >= 59 && diff <= 61)) << diff;
}

#ifndef _WIN32
// Feed dates are read at the standard offset: a zone in daylight saving time all year still
// gives its standard offset.
TEST(ClockTest, OffsetIsStandardTimeEvenWhileDaylightSavingHolds) {
  const char* saved = std::getenv("TZ");
  const std::string before = saved != nullptr ? saved : "";
  setenv("TZ", "XST5XDT,J1/0,J365/25", 1);  // UTC-5, daylight time (UTC-4) the whole year
  tzset();
  const CalendarTime utc = UtcNow();
  const CalendarTime local = LocalNow();
  const int offset = LocalOffsetMinutes();
  const int shown = ((MinutesOfDay(local) - MinutesOfDay(utc)) % 1440 + 1440) % 1440;
  if (saved != nullptr) {
    setenv("TZ", before.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
  EXPECT_EQ(offset, -300);
  EXPECT_TRUE(shown >= 1440 - 241 && shown <= 1440 - 239) << shown;  // the clock shows UTC-4
}
#endif

TEST(ClockTest, MonotonicClockAdvances) {
  const uint64_t a = MonotonicMilliseconds();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const uint64_t b = MonotonicMilliseconds();
  EXPECT_GE(b - a, 15u);
  EXPECT_LT(b - a, 5000u);
  EXPECT_GT(UnixSecondsNow(), 1600000000);
}

}  // namespace
}  // namespace korvo::platform

#include "platform/clock.h"

#include <gtest/gtest.h>

#include <chrono>
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
  // Compare minutes of the day modulo a day; allow a minute's turn between the two readings.
  const int diff = ((MinutesOfDay(local) - MinutesOfDay(utc) - offset) % 1440 + 1440) % 1440;
  EXPECT_TRUE(diff <= 1 || diff >= 1439) << diff;
}

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

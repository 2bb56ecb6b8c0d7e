// Shared pieces of the fetching tests: a settable clock and a working folder with a context.
#ifndef KORVO_TESTS_FETCH_FETCH_TEST_SUPPORT_H_
#define KORVO_TESTS_FETCH_FETCH_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/temp_folder.h"
#include "fetch/fetch_context.h"

namespace korvo::testing {

class FakeClock final : public FetchClock {
 public:
  platform::CalendarTime UtcNow() const override { return utc; }
  int64_t UnixSecondsNow() const override { return unix_seconds; }

  platform::CalendarTime utc;
  int64_t unix_seconds = 0;
};

inline platform::CalendarTime Utc(int year, int month, int day, int hour, int minute, int second,
                                  int day_of_week) {
  platform::CalendarTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  t.day_of_week = day_of_week;
  return t;
}

// A working folder of its own, direct connections, a 5 s time-out and a fixed clock
// (2024-05-01 12:34:56 UTC, a Wednesday).
class FetchTestBase : public ::testing::Test {
 protected:
  FetchTestBase() {
    clock_.utc = Utc(2024, 5, 1, 12, 34, 56, 3);
    clock_.unix_seconds = 1714566896;
    context_.settings.type = 1;
    context_.settings.time_out = 5;
    context_.working_folder = folder_.path();
    context_.clock = &clock_;
  }

  // An absolute path of a file in the working folder in the form IsLocalPath accepts:
  // "C:\...\name" on Windows, "/.../name" on POSIX.
  std::string LocalPath(const std::string& name) const {
    std::string p = folder_ / name;
#ifdef _WIN32
    std::replace(p.begin(), p.end(), '/', '\\');
#endif
    return p;
  }

  TempFolder folder_;
  FakeClock clock_;
  FetchContext context_;
};

}  // namespace korvo::testing

#endif  // KORVO_TESTS_FETCH_FETCH_TEST_SUPPORT_H_

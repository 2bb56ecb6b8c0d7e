// Any bytes as a feed date: a parse either leaves the output alone or gives a valid calendar time
// that survives formatting and parsing again; date arithmetic and formatting stay in range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "feed/calendar_math.h"
#include "feed/feed_date.h"

using korvo::CalendarTime;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  static constexpr int kOffsets[] = {9 * 60, 0, -(3 * 60 + 30), 14 * 60, -12 * 60};
  for (int offset : kOffsets) {
    CalendarTime out;
    out.year = 77;
    if (!korvo::ParseFeedDate(text, offset, &out)) {
      if (out.year != 77) std::abort();
      continue;
    }
    if (!korvo::IsValidCalendarTime(out)) std::abort();
    if (out.day_of_week != korvo::DayOfWeek(out.year, out.month, out.day)) std::abort();
    CalendarTime again;
    if (!korvo::ParseFeedDate(korvo::FormatW3cDate(out, offset), offset, &again)) std::abort();
    if (korvo::ToFileTime(again) != korvo::ToFileTime(out)) std::abort();
    if (korvo::FormatHttpDate(out).size() < 29) std::abort();
  }

  // The first 24 bytes as raw calendar fields and amounts of arithmetic.
  int32_t fields[6] = {};
  std::memcpy(fields, data, size < sizeof fields ? size : sizeof fields);
  CalendarTime raw;
  raw.year = fields[0];
  raw.month = fields[1] & 0xFF;
  raw.day = (fields[1] >> 8) & 0xFF;
  raw.hour = (fields[1] >> 16) & 0xFF;
  raw.minute = fields[2];
  const CalendarTime moved = korvo::AddMinutes(raw, fields[3] * int64_t{fields[4]}, fields[5] & 1);
  if (!korvo::IsValidCalendarTime(moved)) std::abort();
  const CalendarTime days = korvo::AddDays(moved, fields[4], fields[5] & 2);
  if (!korvo::IsValidCalendarTime(days)) std::abort();
  if (korvo::FormatHttpDate(raw).size() > 40) std::abort();
  if (korvo::FormatW3cDate(raw, fields[3]).empty()) std::abort();
  return 0;
}

// Dates of the news store: a calendar time and its packed 32-bit form
//   year * 2^20 + month * 2^16 + day * 2^11 + hour * 2^6 + minute
// (year in bits 20-31, month 16-19, day 11-15, hour 6-10, minute 0-5). Seconds and milliseconds
// are dropped; unpacking sets day of week, seconds and milliseconds to 0. An empty date is packed
// 0 with an all-zero calendar time. Packed values order like the times they stand for.
#ifndef KORVO_STORE_PACKED_DATE_H_
#define KORVO_STORE_PACKED_DATE_H_

#include <cstdint>

#include "platform/clock.h"

namespace korvo {

struct PackedDate {
  platform::CalendarTime calendar;
  uint32_t packed = 0;

  // Each field is cut to its bit width, so a field out of range never spills into another.
  static uint32_t Pack(const platform::CalendarTime& time);
  static platform::CalendarTime Unpack(uint32_t packed);
  // Both forms from one of them.
  static PackedDate FromCalendar(const platform::CalendarTime& time);
  static PackedDate FromPacked(uint32_t packed);
  // True when every field of `time` is 0.
  static bool IsEmptyCalendar(const platform::CalendarTime& time);
  // True when `a` and `b` fall on the same year, month and day.
  static bool SameDay(uint32_t a, uint32_t b) { return (a >> 11) == (b >> 11); }

  bool empty() const { return packed == 0; }
  void Clear() { *this = PackedDate(); }
};

}  // namespace korvo

#endif  // KORVO_STORE_PACKED_DATE_H_

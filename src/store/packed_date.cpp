#include "store/packed_date.h"

namespace korvo {

uint32_t PackedDate::Pack(const platform::CalendarTime& time) {
  return (static_cast<uint32_t>(time.year) & 0xFFF) << 20 |
         (static_cast<uint32_t>(time.month) & 0xF) << 16 |
         (static_cast<uint32_t>(time.day) & 0x1F) << 11 |
         (static_cast<uint32_t>(time.hour) & 0x1F) << 6 |
         (static_cast<uint32_t>(time.minute) & 0x3F);
}

platform::CalendarTime PackedDate::Unpack(uint32_t packed) {
  platform::CalendarTime time;
  time.year = static_cast<int>(packed >> 20);
  time.month = static_cast<int>((packed >> 16) & 0xF);
  time.day = static_cast<int>((packed >> 11) & 0x1F);
  time.hour = static_cast<int>((packed >> 6) & 0x1F);
  time.minute = static_cast<int>(packed & 0x3F);
  return time;
}

PackedDate PackedDate::FromCalendar(const platform::CalendarTime& time) {
  PackedDate d;
  d.packed = Pack(time);
  d.calendar = time;
  return d;
}

PackedDate PackedDate::FromPacked(uint32_t packed) {
  PackedDate d;
  d.packed = packed;
  d.calendar = Unpack(packed);
  return d;
}

bool PackedDate::IsEmptyCalendar(const platform::CalendarTime& t) {
  return t.year == 0 && t.month == 0 && t.day_of_week == 0 && t.day == 0 && t.hour == 0 &&
         t.minute == 0 && t.second == 0 && t.millisecond == 0;
}

}  // namespace korvo

// Dates of feed items and of HTTP: parsing the RFC 822 and W3C date-time forms into local
// calendar time, the table of zone names, and formatting HTTP dates and W3C date-times.
//
// Every function takes the machine's offset from UTC as a parameter so that tests run at a fixed
// offset; SystemLocalOffsetMinutes() gives the real one. All functions are safe on any thread.
#ifndef KORVO_FEED_FEED_DATE_H_
#define KORVO_FEED_FEED_DATE_H_

#include <string>
#include <string_view>

#include "feed/calendar_math.h"

namespace korvo {

// Longest date text that is parsed, after surrounding blanks are trimmed.
constexpr size_t kMaxDateTextBytes = 32;

// Minutes east of UTC of this machine, read from the platform on first use and kept for the
// rest of the run (0 when the platform cannot tell).
int SystemLocalOffsetMinutes();

// Hours east of UTC of a zone name, from the program's fixed table: the three-letter names
// match any word beginning with them ("ESTX" is EST), the four-letter ones ("ZULU", "MEWT",
// "WAST", "EAST", "Guam", "IDLE", "NZST") their first four bytes, "BT" only itself; case is
// ignored. Unknown names give 0.
int ZoneHoursFromName(std::string_view name);

// Month (1-12) of a three-letter English name, case ignored; 0 if unknown.
int MonthFromName(std::string_view name);

// Parses a feed date and turns it into local time at `local_offset_minutes` east of UTC.
//
// Forms read: RFC 822 with or without the weekday ("Tue, 01 Feb 2005 12:34:56 +0900",
// "01 Feb 05 12:34 JST"; two-digit years are 1950-2049) and the W3C profile of ISO 8601
// ("2005-02-01T12:34:56.5+09:00", "2005-02-01", "2005-02", "2005"). Zones are a sign with hours
// and optional minutes, a name of the zone table, or "Z"; a missing zone is UTC.
//
// Returns true and sets `*out` (milliseconds 0, day of week set) when the text holds a valid date;
// returns false and leaves `*out` as the caller prepared it when the text is empty, longer than
// kMaxDateTextBytes, or does not give a valid calendar time between 1601 and 30827.
bool ParseFeedDate(std::string_view text, int local_offset_minutes, CalendarTime* out);

// "Tue, 01 Feb 2005 12:34:56 GMT" from a calendar time in UTC. The weekday is computed from the
// date; fields out of range are clamped to the nearest valid value so the result is always a
// well-formed date of the same length.
std::string FormatHttpDate(const CalendarTime& utc);

// "2005-02-01T12:34:56+09:00" from a local calendar time and its offset east of UTC in minutes.
// Fields are written as they are (no range check); the offset is written with its hours and
// minutes ("+05:30").
std::string FormatW3cDate(const CalendarTime& local, int local_offset_minutes);

}  // namespace korvo

#endif  // KORVO_FEED_FEED_DATE_H_

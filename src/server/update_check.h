// The update check of the routes `isupdate` and `xmlisupdate`: has anything new arrived since
// the time a page last knew of?
//
// `date` is read at fixed positions of its first 31 characters: year 1-4, month 6-7, day 9-10,
// hour 12-13, minute 15-16, second 18-19 (the characters between are separators of any kind;
// each field is its leading decimal digits, 0 when it has none). The latest arrival is newer
// when it is strictly later than that time, compared field by field to the second (so dates
// that are not valid calendar times still compare); before anything has arrived (year 0), and
// without `date`, it is not newer.
//
// Pure functions; thread-safe.
#ifndef KORVO_SERVER_UPDATE_CHECK_H_
#define KORVO_SERVER_UPDATE_CHECK_H_

#include <string>
#include <string_view>

#include "platform/clock.h"

namespace korvo {

// `date` may be null (no parameter).
bool IsNewerThan(const platform::CalendarTime& latest, const std::string* date);

// The bodies: `latest` is written only when `newer`.
std::string UpdateCheckPage(bool newer, const platform::CalendarTime& latest);
std::string UpdateCheckDocument(bool newer, const platform::CalendarTime& latest);

}  // namespace korvo

#endif  // KORVO_SERVER_UPDATE_CHECK_H_

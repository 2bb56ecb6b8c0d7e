// The last-write time of a file, as the file system keeps it.
#ifndef KORVO_PLATFORM_FILE_TIMES_H_
#define KORVO_PLATFORM_FILE_TIMES_H_

#include <cstdint>
#include <string>

namespace korvo::platform {

// Seconds since 1970-01-01 00:00 UTC of the file's last write (UTC on every OS, so the result
// never depends on the time zone). False when the file cannot be examined. Thread-safe.
bool FileWriteTime(const std::string& path, int64_t* unix_seconds);

}  // namespace korvo::platform

#endif  // KORVO_PLATFORM_FILE_TIMES_H_

// The time source of the fetching code, so tests can set the date (feed cache headers, the
// 14-day freshness of site icons).
#ifndef KORVO_FETCH_FETCH_CLOCK_H_
#define KORVO_FETCH_FETCH_CLOCK_H_

#include <cstdint>

#include "platform/clock.h"

namespace korvo {

class FetchClock {
 public:
  virtual ~FetchClock() = default;
  virtual platform::CalendarTime UtcNow() const = 0;
  virtual int64_t UnixSecondsNow() const = 0;  // seconds since 1970-01-01 00:00 UTC
};

// The system's clock (through the platform seam). Lives for the whole program; thread-safe.
const FetchClock& SystemFetchClock();

}  // namespace korvo

#endif  // KORVO_FETCH_FETCH_CLOCK_H_

#include "fetch/fetch_clock.h"

namespace korvo {

namespace {

class SystemClock final : public FetchClock {
 public:
  platform::CalendarTime UtcNow() const override { return platform::UtcNow(); }
  int64_t UnixSecondsNow() const override { return platform::UnixSecondsNow(); }
};

}  // namespace

const FetchClock& SystemFetchClock() {
  static const SystemClock clock;
  return clock;
}

}  // namespace korvo

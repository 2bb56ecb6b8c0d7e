#include "update/update_clock.h"

#include "feed/feed_date.h"

namespace korvo {

namespace {

class SystemClock : public UpdateClock {
 public:
  platform::CalendarTime LocalNow() const override { return platform::LocalNow(); }
  int LocalOffsetMinutes() const override { return SystemLocalOffsetMinutes(); }
};

}  // namespace

const UpdateClock& SystemUpdateClock() {
  static const SystemClock clock;
  return clock;
}

}  // namespace korvo

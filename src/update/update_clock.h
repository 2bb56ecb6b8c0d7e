// The local time the update cycle stamps items with and compares item ages against, so tests can
// fix it.
#ifndef KORVO_UPDATE_UPDATE_CLOCK_H_
#define KORVO_UPDATE_UPDATE_CLOCK_H_

#include "platform/clock.h"

namespace korvo {

class UpdateClock {
 public:
  virtual ~UpdateClock() = default;
  virtual platform::CalendarTime LocalNow() const = 0;
  // Minutes east of UTC used to turn feed dates into local time.
  virtual int LocalOffsetMinutes() const = 0;
};

// The machine's local time and offset (through the platform seam). Lives for the whole program;
// thread-safe.
const UpdateClock& SystemUpdateClock();

}  // namespace korvo

#endif  // KORVO_UPDATE_UPDATE_CLOCK_H_

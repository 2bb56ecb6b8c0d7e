// The update dialog's wait ("更新中", dialog 145): after the browse window asked for an update
// run, the dialog looks every 100 ms whether the run has ended and closes with OK when it has;
// after 300,000 ms it closes as cancelled. "停止" closes it as cancelled without stopping the run.
//
// Runs are serial, so the run asked for has ended once the number of ended runs passes the
// number of runs begun before the request (a run already going then ends first, ours after it).
//
// Pure; the dialog calls Poll from its timer on the window thread.
#ifndef KORVO_BROWSE_UPDATE_WAIT_H_
#define KORVO_BROWSE_UPDATE_WAIT_H_

#include <cstdint>

namespace korvo {

class UpdateWait {
 public:
  static constexpr unsigned kPollMs = 100;
  static constexpr uint64_t kTimeoutMs = 300000;

  enum class State { kWaiting, kFinished, kTimedOut };

  // `runs_started` when the run was asked for; `now_ms` on a monotonic clock.
  UpdateWait(uint64_t runs_started, uint64_t now_ms)
      : target_(runs_started + 1), start_ms_(now_ms) {}

  State Poll(uint64_t runs_finished, uint64_t now_ms) const {
    if (runs_finished >= target_) return State::kFinished;
    if (now_ms - start_ms_ >= kTimeoutMs) return State::kTimedOut;
    return State::kWaiting;
  }

 private:
  uint64_t target_;
  uint64_t start_ms_;
};

}  // namespace korvo

#endif  // KORVO_BROWSE_UPDATE_WAIT_H_

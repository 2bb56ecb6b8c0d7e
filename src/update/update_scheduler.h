// UpdateScheduler: decides when each channel is fetched. One thread for the life of the program
// ticks every 120,000 ms and takes commands (stop, run now) from a 30-slot ring; each tick that
// finds channels due hands them, as one UpdateRequest, to the run handler, which does the run on
// the scheduler thread (so only one run exists at a time).
//
// The schedule is an ordered map from channel address text to entry (ascending byte order), so
// channels are queued in that order. Rebuilding it from the channel list keeps every entry ever
// scheduled: entries of channels that left the list stay, disabled. Each channel's countdown is
// set so that it is due at whole multiples of its interval after the scheduler started (its
// phase), and a tick that finds it due carries the overshoot into the next countdown, so the
// phase holds whatever the tick granularity.
//
// Time comes from an injected SchedulerClock; the thread itself sleeps 100 ms between turns. Tests
// drive Turn() directly with a fake clock and need no thread.
//
// Threads and locks: Post*, RebuildSchedule and ScheduleSnapshot may be called from any thread.
// The schedule lock is held only while the map is read or rebuilt, never while the channel source
// or the run handler is called (it comes after the run mutex and the store lock in the nesting
// order). The command ring has a small lock of its own that nests inside nothing.
#ifndef KORVO_UPDATE_UPDATE_SCHEDULER_H_
#define KORVO_UPDATE_UPDATE_SCHEDULER_H_

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "update/fetch_worker_pool.h"

namespace korvo {

// Milliseconds on a clock that never goes back (the process clock).
class SchedulerClock {
 public:
  virtual ~SchedulerClock() = default;
  virtual int64_t NowMs() const = 0;
};

// platform::MonotonicMilliseconds. Lives for the whole program; thread-safe.
const SchedulerClock& SystemSchedulerClock();

// One channel as the schedule needs it.
struct ScheduledChannel {
  std::string url;          // address text, the key of the map
  int64_t interval_ms = 0;  // the channel's own interval; 0 (or less) = the global interval
  uint32_t flags = 0;       // the channel's option word for the fetcher
};

// One entry of the schedule.
struct ScheduleEntry {
  std::string url;
  int64_t countdown_ms = 0;  // time left until due; the tick that takes it to 0 or less queues it
  int64_t interval_ms = 0;
  bool enabled = false;
  uint32_t flags = 0;
};

// What one tick hands to the run handler.
struct UpdateRequest {
  bool forced = false;         // run now (command 4) rather than a periodic tick
  bool no_fetch = false;       // run now without fetching: only re-parse and merge the cache
  std::vector<FetchJob> jobs;  // the queued channels, in ascending byte order of their addresses
};

class UpdateScheduler {
 public:
  static constexpr int kTickPeriodMs = 120000;
  static constexpr int kDefaultTickPeriodMs = 300000;           // a period of 0 given at creation
  static constexpr int64_t kDefaultGlobalIntervalMs = 3600000;  // a global interval of 0
  static constexpr int64_t kMaxIntervalMs = int64_t{365} * 24 * 3600000;
  static constexpr int kTurnMs = 100;
  static constexpr int kStopWaitMs = 5000;
  static constexpr size_t kCommandSlots = 30;
  static constexpr int kCommandStop = 3;
  static constexpr int kCommandRunNow = 4;

  // The current channel list. Called on the calling thread of RebuildSchedule / Start.
  using ChannelSource = std::function<std::vector<ScheduledChannel>()>;
  // Does one run. Called on the scheduler thread (or the thread calling Turn), without locks.
  using RunHandler = std::function<void(const UpdateRequest&)>;

  struct Options {
    int tick_period_ms = kTickPeriodMs;     // 0 means kDefaultTickPeriodMs
    int64_t global_interval_ms = 0;         // the user's interval in ms; 0 means 3,600,000
    const SchedulerClock* clock = nullptr;  // null: SystemSchedulerClock(); not owned
  };

  UpdateScheduler(Options options, ChannelSource channels, RunHandler run);
  // Stops the thread if it still runs (as Stop()).
  ~UpdateScheduler();
  UpdateScheduler(const UpdateScheduler&) = delete;
  UpdateScheduler& operator=(const UpdateScheduler&) = delete;

  // Records the start time, builds the schedule and queues run now with fetching (the initial
  // forced run). With `start_thread` the scheduler thread is started; without, the caller drives
  // Turn() itself (tests). False when the thread could not be started or Begin ran before.
  bool Begin(bool start_thread = true);
  // Posts stop and waits up to `wait_ms` for the thread. True when it ended (or never ran). On a
  // time-out the thread is detached and false is returned; it still holds the scheduler's shared
  // state, including the run handler, so whatever the handler captures must be owned by it
  // (shared_ptr), not borrowed. The clock given in Options must then outlive the thread too (the
  // system clock does).
  bool Stop(int wait_ms = kStopWaitMs);

  // Posting commands; false when the ring is full (the command is refused).
  bool RunNow() { return Post(kCommandRunNow, false); }
  bool RunNowWithoutFetching() { return Post(kCommandRunNow, true); }
  bool Post(int command, bool no_fetch = false);

  // Rebuilds the schedule from the channel source, in phase with the scheduler's start. Before
  // Begin the phase counts from the time of the call.
  void RebuildSchedule();

  // One turn of the thread's loop: a periodic tick when the tick period has passed since the
  // last periodic tick, then one command from the ring. False when the command was stop.
  bool Turn();

  std::vector<ScheduleEntry> ScheduleSnapshot() const;
  int64_t global_interval_ms() const;
  int tick_period_ms() const;
  // True while the thread runs (started and not yet out of its loop).
  bool running() const;

 private:
  struct State;  // everything the thread touches, shared with it (update_scheduler.cpp)

  std::shared_ptr<State> state_;
  std::thread thread_;
};

}  // namespace korvo

#endif  // KORVO_UPDATE_UPDATE_SCHEDULER_H_

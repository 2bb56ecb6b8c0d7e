#include "update/update_scheduler.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <utility>

#include "platform/clock.h"

namespace korvo {

namespace {

class SystemClock : public SchedulerClock {
 public:
  int64_t NowMs() const override { return static_cast<int64_t>(platform::MonotonicMilliseconds()); }
};

}  // namespace

const SchedulerClock& SystemSchedulerClock() {
  static const SystemClock clock;
  return clock;
}

struct UpdateScheduler::State {
  struct Command {
    int code = 0;
    bool no_fetch = false;
  };

  State(const SchedulerClock& clock, int tick_period_ms, int64_t global_interval_ms,
        ChannelSource channels, RunHandler run)
      : clock(clock),
        tick_period_ms(tick_period_ms),
        global_interval_ms(global_interval_ms),
        channels(std::move(channels)),
        run(std::move(run)) {}

  const SchedulerClock& clock;
  const int tick_period_ms;
  const int64_t global_interval_ms;
  const ChannelSource channels;
  const RunHandler run;

  // Schedule lock: the map and the times it is phased against.
  mutable std::mutex schedule_mutex;
  std::map<std::string, ScheduleEntry> schedule;
  int64_t start_ms = 0;      // when the scheduler started
  int64_t last_tick_ms = 0;  // the last tick (periodic or forced); countdowns count from it
  bool begun = false;

  // Touched only by the thread that drives Turn.
  int64_t last_periodic_ms = 0;

  // Command ring: written by any thread, read by the thread that drives Turn.
  std::mutex command_mutex;
  std::condition_variable command_signal;
  std::array<Command, kCommandSlots> ring{};
  size_t ring_head = 0;
  size_t ring_count = 0;
  bool stop_requested = false;  // survives a full ring: Stop always reaches the thread

  // Set by the thread as it leaves its loop (under command_mutex, signalled on command_signal).
  bool thread_done = false;

  bool Post(int code, bool no_fetch) {
    {
      std::lock_guard<std::mutex> lock(command_mutex);
      if (code == kCommandStop) stop_requested = true;
      if (ring_count == ring.size()) return false;
      ring[(ring_head + ring_count) % ring.size()] = Command{code, no_fetch};
      ++ring_count;
    }
    command_signal.notify_all();
    return true;
  }

  bool Pop(Command* command) {
    std::lock_guard<std::mutex> lock(command_mutex);
    // A stop overtakes whatever else waits: runs still queued at shut-down are dropped.
    if (stop_requested) {
      *command = Command{kCommandStop, false};
      return true;
    }
    if (ring_count == 0) return false;
    *command = ring[ring_head];
    ring_head = (ring_head + 1) % ring.size();
    --ring_count;
    return true;
  }

  int64_t IntervalFor(int64_t own_ms) const {
    const int64_t interval = own_ms > 0 ? own_ms : global_interval_ms;
    return std::min(interval, kMaxIntervalMs);
  }

  void Rebuild() {
    // The channel source may take its own locks; it is called before the schedule lock.
    const std::vector<ScheduledChannel> list =
        channels ? channels() : std::vector<ScheduledChannel>{};
    std::lock_guard<std::mutex> lock(schedule_mutex);
    if (!begun) start_ms = last_tick_ms = clock.NowMs();
    for (auto& [url, entry] : schedule) entry.enabled = false;
    // Countdowns are measured from the last tick; the channel is due at whole multiples of its
    // interval after the start, so the countdown is what remains of the current period.
    const int64_t since_start = std::max<int64_t>(0, last_tick_ms - start_ms);
    for (const ScheduledChannel& channel : list) {
      const int64_t interval = IntervalFor(channel.interval_ms);
      ScheduleEntry& entry = schedule[channel.url];
      // An entry left due by a run without fetching stays due for the next tick.
      const bool still_due = entry.countdown_ms <= 0 && entry.interval_ms == interval;
      entry.url = channel.url;
      entry.enabled = true;
      entry.interval_ms = interval;
      if (!still_due) entry.countdown_ms = interval - since_start % interval;
      entry.flags = channel.flags;
    }
  }

  void Tick(bool forced, bool no_fetch) {
    UpdateRequest request;
    request.forced = forced;
    request.no_fetch = no_fetch;
    {
      std::lock_guard<std::mutex> lock(schedule_mutex);
      const int64_t now = clock.NowMs();
      const int64_t elapsed = std::max<int64_t>(0, now - last_tick_ms);
      last_tick_ms = now;
      for (auto& [url, entry] : schedule) {
        if (!entry.enabled) continue;
        entry.countdown_ms -= elapsed;
        if (entry.countdown_ms <= 0 && forced && no_fetch) {
          // A run without fetching does not fetch this channel: it stays due (its countdown
          // is not restarted), so the next fetching tick still takes it, on its phase.
          request.jobs.push_back(FetchJob{entry.url, entry.flags});
        } else if (entry.countdown_ms <= 0) {
          request.jobs.push_back(FetchJob{entry.url, entry.flags});
          // Carry the overshoot so the next due time stays on the channel's phase; after a
          // long gap (more than a whole interval) skip the missed periods.
          entry.countdown_ms += entry.interval_ms;
          if (entry.countdown_ms <= 0) {
            entry.countdown_ms = entry.interval_ms - (-entry.countdown_ms) % entry.interval_ms;
          }
        } else if (forced) {
          request.jobs.push_back(FetchJob{entry.url, entry.flags});
        }
      }
    }
    if (request.jobs.empty()) return;
    if (run) run(request);
  }

  bool StopRequested() {
    std::lock_guard<std::mutex> lock(command_mutex);
    return stop_requested;
  }

  bool Turn() {
    if (StopRequested()) return false;
    const int64_t now = clock.NowMs();
    if (now - last_periodic_ms >= tick_period_ms) {
      last_periodic_ms = now;
      Tick(false, false);
    }
    Command command;
    if (Pop(&command)) {
      if (command.code == kCommandStop) return false;
      if (command.code == kCommandRunNow) Tick(true, command.no_fetch);
    }
    return true;
  }

  static void ThreadLoop(std::shared_ptr<State> state) {
    while (state->Turn()) {
      std::unique_lock<std::mutex> lock(state->command_mutex);
      state->command_signal.wait_for(lock, std::chrono::milliseconds(kTurnMs), [&] {
        return state->ring_count > 0 || state->stop_requested;
      });
    }
    {
      std::lock_guard<std::mutex> lock(state->command_mutex);
      state->thread_done = true;
    }
    state->command_signal.notify_all();
  }
};

UpdateScheduler::UpdateScheduler(Options options, ChannelSource channels, RunHandler run) {
  const SchedulerClock& clock = options.clock ? *options.clock : SystemSchedulerClock();
  const int period = options.tick_period_ms > 0 ? options.tick_period_ms : kDefaultTickPeriodMs;
  const int64_t global =
      options.global_interval_ms > 0 ? options.global_interval_ms : kDefaultGlobalIntervalMs;
  state_ = std::make_shared<State>(clock, period, std::min(global, kMaxIntervalMs),
                                   std::move(channels), std::move(run));
}

UpdateScheduler::~UpdateScheduler() { Stop(); }

bool UpdateScheduler::Begin(bool start_thread) {
  {
    std::lock_guard<std::mutex> lock(state_->schedule_mutex);
    if (state_->begun) return false;
    state_->start_ms = state_->last_tick_ms = state_->clock.NowMs();
    state_->last_periodic_ms = state_->start_ms;
    state_->begun = true;
  }
  state_->Rebuild();
  state_->Post(kCommandRunNow, false);
  if (!start_thread) return true;
  try {
    thread_ = std::thread(&State::ThreadLoop, state_);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

bool UpdateScheduler::Stop(int wait_ms) {
  if (!thread_.joinable()) return true;
  state_->Post(kCommandStop, false);
  bool ended;
  {
    std::unique_lock<std::mutex> lock(state_->command_mutex);
    ended = state_->command_signal.wait_for(lock, std::chrono::milliseconds(std::max(0, wait_ms)),
                                            [&] { return state_->thread_done; });
  }
  if (ended) {
    thread_.join();
  } else {
    thread_.detach();
  }
  return ended;
}

bool UpdateScheduler::Post(int command, bool no_fetch) { return state_->Post(command, no_fetch); }

void UpdateScheduler::RebuildSchedule() { state_->Rebuild(); }

bool UpdateScheduler::Turn() { return state_->Turn(); }

std::vector<ScheduleEntry> UpdateScheduler::ScheduleSnapshot() const {
  std::lock_guard<std::mutex> lock(state_->schedule_mutex);
  std::vector<ScheduleEntry> entries;
  entries.reserve(state_->schedule.size());
  for (const auto& [url, entry] : state_->schedule) entries.push_back(entry);
  return entries;
}

int64_t UpdateScheduler::global_interval_ms() const { return state_->global_interval_ms; }

int UpdateScheduler::tick_period_ms() const { return state_->tick_period_ms; }

bool UpdateScheduler::running() const {
  if (!thread_.joinable()) return false;
  std::lock_guard<std::mutex> lock(state_->command_mutex);
  return !state_->thread_done;
}

}  // namespace korvo

#include "update/update_scheduler.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace korvo {
namespace {

constexpr int64_t kMinute = 60000;

class FakeClock : public SchedulerClock {
 public:
  int64_t NowMs() const override { return now_.load(); }
  void Advance(int64_t ms) { now_ += ms; }

 private:
  std::atomic<int64_t> now_{5000000};  // an arbitrary process time at which the scheduler starts
};

// Drives a scheduler without a thread and records what each tick queued and when.
struct Harness {
  FakeClock clock;
  std::vector<ScheduledChannel> channels;
  struct Run {
    int64_t at;  // ms since the scheduler started
    UpdateRequest request;
  };
  std::vector<Run> runs;
  int64_t start = 0;
  std::unique_ptr<UpdateScheduler> scheduler;

  explicit Harness(int64_t global_ms, int tick_ms = UpdateScheduler::kTickPeriodMs) {
    UpdateScheduler::Options options;
    options.tick_period_ms = tick_ms;
    options.global_interval_ms = global_ms;
    options.clock = &clock;
    scheduler = std::make_unique<UpdateScheduler>(
        options, [this] { return channels; },
        [this](const UpdateRequest& request) {
          runs.push_back({clock.NowMs() - start, request});
        });
  }
  void Begin() {
    start = clock.NowMs();
    ASSERT_TRUE(scheduler->Begin(false));
  }
  // Turns every 100 ms, as the thread does, for `ms`.
  void RunFor(int64_t ms) {
    for (int64_t t = 0; t < ms; t += UpdateScheduler::kTurnMs) {
      clock.Advance(UpdateScheduler::kTurnMs);
      ASSERT_TRUE(scheduler->Turn());
    }
  }
  // The times (ms since start) at which `url` was queued, and whether by a forced tick.
  std::vector<int64_t> TimesOf(const std::string& url) const {
    std::vector<int64_t> times;
    for (const Run& run : runs) {
      for (const FetchJob& job : run.request.jobs) {
        if (job.url == url) times.push_back(run.at);
      }
    }
    return times;
  }
};

// Every due time k * interval after the start is met by exactly one fetch, no earlier than the
// due time and within one tick (plus one turn) after it.
void ExpectInPhase(const std::vector<int64_t>& times, int64_t interval, int64_t span) {
  ASSERT_FALSE(times.empty());
  EXPECT_LE(times[0], UpdateScheduler::kTurnMs);  // the initial forced run
  const int64_t due_count = span / interval;
  ASSERT_EQ(static_cast<int64_t>(times.size()), 1 + due_count) << "interval " << interval;
  for (int64_t k = 1; k <= due_count; ++k) {
    EXPECT_GE(times[k], k * interval) << "fetch " << k << " too early";
    EXPECT_LE(times[k], k * interval + UpdateScheduler::kTickPeriodMs + UpdateScheduler::kTurnMs)
        << "fetch " << k << " too late";
  }
}

TEST(UpdateScheduler, ThirtyMinuteChannelInsideSixtyMinuteGlobalIntervalStaysInPhase) {
  Harness h(60 * kMinute);
  h.channels = {{"http://127.0.0.1/b", 30 * kMinute, 1}, {"http://127.0.0.1/a", 0, 0}};
  h.Begin();
  // The initial forced run takes every channel, in ascending byte order, with fetching.
  ASSERT_TRUE(h.scheduler->Turn());
  ASSERT_EQ(h.runs.size(), 1u);
  EXPECT_TRUE(h.runs[0].request.forced);
  EXPECT_FALSE(h.runs[0].request.no_fetch);
  ASSERT_EQ(h.runs[0].request.jobs.size(), 2u);
  EXPECT_EQ(h.runs[0].request.jobs[0].url, "http://127.0.0.1/a");
  EXPECT_EQ(h.runs[0].request.jobs[1].url, "http://127.0.0.1/b");
  EXPECT_EQ(h.runs[0].request.jobs[1].flags, 1u);

  const int64_t span = 4 * 60 * kMinute + 5 * kMinute;
  h.RunFor(span);
  ExpectInPhase(h.TimesOf("http://127.0.0.1/b"), 30 * kMinute, span);
  ExpectInPhase(h.TimesOf("http://127.0.0.1/a"), 60 * kMinute, span);
  for (size_t i = 1; i < h.runs.size(); ++i) EXPECT_FALSE(h.runs[i].request.forced);
}

// Intervals that are no multiple of the tick keep their phase too: the overshoot of a tick is
// carried into the next countdown instead of being lost each time.
TEST(UpdateScheduler, IntervalsThatAreNoMultipleOfTheTickDoNotDrift) {
  Harness h(60 * kMinute);
  h.channels = {{"http://127.0.0.1/c", 25 * kMinute, 0}, {"http://127.0.0.1/d", 7 * kMinute, 0}};
  h.Begin();
  const int64_t span = 6 * 60 * kMinute;
  h.RunFor(span);
  ExpectInPhase(h.TimesOf("http://127.0.0.1/c"), 25 * kMinute, span);
  ExpectInPhase(h.TimesOf("http://127.0.0.1/d"), 7 * kMinute, span);
}

// After the machine slept through several periods, the first tick fetches the channel once, and
// the fetches after it are back on the scheduler's phase (whole multiples of the interval after
// the start), not one interval after waking.
TEST(UpdateScheduler, AfterALongSleepFetchesKeepThePhase) {
  Harness h(60 * kMinute);
  h.channels = {{"http://127.0.0.1/s", 30 * kMinute, 0}};
  h.Begin();
  h.RunFor(35 * kMinute);
  h.clock.Advance(95 * kMinute);  // asleep from minute 35 to minute 130
  h.RunFor(60 * kMinute);
  const std::vector<int64_t> times = h.TimesOf("http://127.0.0.1/s");
  const int64_t late = UpdateScheduler::kTickPeriodMs + UpdateScheduler::kTurnMs;
  ASSERT_EQ(times.size(), 5u);
  const int64_t due[] = {0, 30 * kMinute, 130 * kMinute, 150 * kMinute, 180 * kMinute};
  for (size_t i = 1; i < times.size(); ++i) {
    EXPECT_GE(times[i], due[i]) << i;
    EXPECT_LE(times[i], due[i] + late) << i;
  }
}

TEST(UpdateScheduler, RebuildKeepsPhaseAndKeepsLeftChannelsDisabled) {
  Harness h(60 * kMinute);
  h.channels = {{"http://127.0.0.1/old", 30 * kMinute, 0}};
  h.Begin();
  h.RunFor(47 * kMinute);
  // At minute 47 the list changes: a new 30-minute channel, and the old one leaves.
  h.channels = {{"http://127.0.0.1/new", 30 * kMinute, 2}};
  h.scheduler->RebuildSchedule();
  h.RunFor(80 * kMinute);

  const std::vector<ScheduleEntry> entries = h.scheduler->ScheduleSnapshot();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].url, "http://127.0.0.1/new");
  EXPECT_TRUE(entries[0].enabled);
  EXPECT_EQ(entries[0].flags, 2u);
  EXPECT_EQ(entries[1].url, "http://127.0.0.1/old");
  EXPECT_FALSE(entries[1].enabled);

  // The new channel is due on the scheduler's phase (minutes 60, 90, 120), not 30 minutes after
  // it was added; the old one was fetched at 0 and 30 only.
  const std::vector<int64_t> added = h.TimesOf("http://127.0.0.1/new");
  ASSERT_EQ(added.size(), 3u);
  for (size_t k = 0; k < added.size(); ++k) {
    const int64_t due = (60 + 30 * static_cast<int64_t>(k)) * kMinute;
    EXPECT_GE(added[k], due);
    EXPECT_LE(added[k], due + UpdateScheduler::kTickPeriodMs + UpdateScheduler::kTurnMs);
  }
  EXPECT_EQ(h.TimesOf("http://127.0.0.1/old").size(), 2u);

  // A forced run takes only enabled entries and does not restart their countdowns.
  const std::vector<ScheduleEntry> before = h.scheduler->ScheduleSnapshot();
  h.runs.clear();
  ASSERT_TRUE(h.scheduler->RunNowWithoutFetching());
  ASSERT_TRUE(h.scheduler->Turn());
  ASSERT_EQ(h.runs.size(), 1u);
  EXPECT_TRUE(h.runs[0].request.no_fetch);
  ASSERT_EQ(h.runs[0].request.jobs.size(), 1u);
  EXPECT_EQ(h.runs[0].request.jobs[0].url, "http://127.0.0.1/new");
  const int64_t after = h.scheduler->ScheduleSnapshot()[0].countdown_ms;
  EXPECT_LE(after, before[0].countdown_ms);
  EXPECT_GT(after, 0);
  EXPECT_LT(after, 30 * kMinute);

  // Coming back re-enables the kept entry with its new interval.
  h.channels.push_back({"http://127.0.0.1/old", 0, 0});
  h.scheduler->RebuildSchedule();
  EXPECT_TRUE(h.scheduler->ScheduleSnapshot()[1].enabled);
  EXPECT_EQ(h.scheduler->ScheduleSnapshot()[1].interval_ms, 60 * kMinute);
}

TEST(UpdateScheduler, PeriodicTickWithNothingDueStartsNoRunAndDefaultsApply) {
  Harness h(0, 0);
  EXPECT_EQ(h.scheduler->global_interval_ms(), UpdateScheduler::kDefaultGlobalIntervalMs);
  EXPECT_EQ(h.scheduler->tick_period_ms(), UpdateScheduler::kDefaultTickPeriodMs);
  h.channels = {{"http://127.0.0.1/x", 0, 0}};
  h.Begin();
  ASSERT_TRUE(h.scheduler->Turn());  // the initial forced run
  h.runs.clear();
  h.RunFor(59 * kMinute);
  EXPECT_TRUE(h.runs.empty());
  h.RunFor(6 * kMinute);
  ASSERT_EQ(h.runs.size(), 1u);
  EXPECT_GE(h.runs[0].at, 60 * kMinute);
  EXPECT_LE(h.runs[0].at, 65 * kMinute + 100);
}

// A run without fetching between a channel's due time and the next periodic tick must not use
// up that due time: the channel is still fetched by the next tick, on its phase.
TEST(UpdateScheduler, RunWithoutFetchingLeavesADueChannelToTheNextTick) {
  Harness h(61 * kMinute);
  h.channels = {{"http://127.0.0.1/x", 0, 0}};
  h.Begin();
  ASSERT_TRUE(h.scheduler->Turn());  // the initial forced run
  h.RunFor(61 * kMinute + 30000);    // the last periodic tick (60 min) found it not yet due
  h.runs.clear();
  ASSERT_TRUE(h.scheduler->RunNowWithoutFetching());
  ASSERT_TRUE(h.scheduler->Turn());
  ASSERT_EQ(h.runs.size(), 1u);
  EXPECT_TRUE(h.runs[0].request.no_fetch);
  h.scheduler->RebuildSchedule();  // a change of the channel list keeps it due
  h.runs.clear();
  h.RunFor(kMinute);  // the periodic tick at 62 min; now 62.5 min
  ASSERT_EQ(h.runs.size(), 1u);
  EXPECT_FALSE(h.runs[0].request.no_fetch);
  EXPECT_EQ(h.TimesOf("http://127.0.0.1/x").size(), 1u);
  // And the phase holds: the next fetch is due at 122 min, not 61 minutes after 62.
  h.runs.clear();
  h.RunFor(59 * kMinute);  // to 121.5 min
  EXPECT_TRUE(h.runs.empty());
  h.RunFor(2 * kMinute);
  EXPECT_EQ(h.TimesOf("http://127.0.0.1/x").size(), 1u);
}

TEST(UpdateScheduler, CommandRingHoldsThirtyInOrderAndCarriesTheNoFetchChoice) {
  Harness h(60 * kMinute);
  h.channels = {{"http://127.0.0.1/x", 0, 0}};
  h.Begin();  // posts the initial run now: one slot taken
  for (int i = 1; i < 30; ++i) {
    ASSERT_TRUE(i % 2 ? h.scheduler->RunNowWithoutFetching() : h.scheduler->RunNow()) << i;
  }
  EXPECT_FALSE(h.scheduler->RunNow());  // the 31st is refused
  for (int i = 0; i < 30; ++i) ASSERT_TRUE(h.scheduler->Turn());
  ASSERT_EQ(h.runs.size(), 30u);
  for (int i = 0; i < 30; ++i) {
    EXPECT_TRUE(h.runs[i].request.forced);
    EXPECT_EQ(h.runs[i].request.no_fetch, i % 2 == 1) << i;
  }
  EXPECT_TRUE(h.scheduler->RunNow());  // room again
  // Stop overtakes what still waits.
  EXPECT_TRUE(h.scheduler->Post(UpdateScheduler::kCommandStop));
  EXPECT_FALSE(h.scheduler->Turn());
  EXPECT_EQ(h.runs.size(), 30u);
}

TEST(UpdateScheduler, UnknownCommandsAreIgnoredAndBeginRunsOnce) {
  Harness h(60 * kMinute);
  h.Begin();
  EXPECT_FALSE(h.scheduler->Begin(false));
  ASSERT_TRUE(h.scheduler->Turn());
  EXPECT_TRUE(h.runs.empty());  // no channels: nothing queued, no run
  ASSERT_TRUE(h.scheduler->Post(17));
  EXPECT_TRUE(h.scheduler->Turn());
  EXPECT_TRUE(h.runs.empty());
}

TEST(UpdateScheduler, ThreadRunsTheInitialRunAndStopsWithinTheLimit) {
  auto count = std::make_shared<std::atomic<int>>(0);
  auto no_fetch_seen = std::make_shared<std::atomic<bool>>(false);
  UpdateScheduler scheduler(
      {},
      [] {
        return std::vector<ScheduledChannel>{{"http://127.0.0.1/t", 0, 0}};
      },
      [count, no_fetch_seen](const UpdateRequest& request) {
        if (request.no_fetch) *no_fetch_seen = true;
        ++*count;
      });
  ASSERT_TRUE(scheduler.Begin());
  EXPECT_TRUE(scheduler.running());
  for (int i = 0; i < 300 && count->load() < 1; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(count->load(), 1);
  ASSERT_TRUE(scheduler.RunNowWithoutFetching());
  for (int i = 0; i < 300 && count->load() < 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(count->load(), 2);
  EXPECT_TRUE(no_fetch_seen->load());
  const auto begin = std::chrono::steady_clock::now();
  EXPECT_TRUE(scheduler.Stop());
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(1000));
  EXPECT_FALSE(scheduler.running());
}

// A run that does not end within the stop limit: Stop gives up after the limit and the thread,
// which shares the scheduler's state, finishes safely after the scheduler object is gone.
TEST(UpdateScheduler, StopGivesUpOnAHungRunWithoutHarm) {
  struct Blocker {
    std::mutex mutex;
    std::condition_variable signal;
    bool entered = false;
    bool release = false;
    bool left = false;
  };
  auto blocker = std::make_shared<Blocker>();
  {
    UpdateScheduler scheduler(
        {},
        [] {
          return std::vector<ScheduledChannel>{{"http://127.0.0.1/h", 0, 0}};
        },
        [blocker](const UpdateRequest&) {
          std::unique_lock<std::mutex> lock(blocker->mutex);
          blocker->entered = true;
          blocker->signal.notify_all();
          blocker->signal.wait(lock, [&] { return blocker->release; });
        });
    ASSERT_TRUE(scheduler.Begin());
    {
      std::unique_lock<std::mutex> lock(blocker->mutex);
      ASSERT_TRUE(blocker->signal.wait_for(lock, std::chrono::seconds(5),
                                           [&] { return blocker->entered; }));
    }
    EXPECT_FALSE(scheduler.Stop(200));
  }  // the scheduler is destroyed while its thread is still inside the run
  {
    std::lock_guard<std::mutex> lock(blocker->mutex);
    blocker->release = true;
  }
  blocker->signal.notify_all();
  // Give the detached thread time to leave; it must not touch freed memory (ASan watches).
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

}  // namespace
}  // namespace korvo

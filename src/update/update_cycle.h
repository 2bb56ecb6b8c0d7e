// UpdateCycle: one update run from the queued channels to the ticker's new list. It is the
// scheduler's run handler: fetch the queued channels with the FetchWorker pool into a ChangedSet
// of the run's own, stop when a periodic run changed nothing, otherwise take the run mutex and
// merge (update_merge.h), then ask the ticker for random order when the user wants it.
//
// Memory: creating a cycle makes large blocks come straight from the system
// (platform::ReturnLargeBlocksToTheSystem), and every run gives back what it freed.
//
// Ownership: hold the cycle in a shared_ptr and let the scheduler's run handler capture that
// pointer: the scheduler thread may outlive a timed-out stop, and everything it touches (the
// cycle, the fetch pool, the ticker lists) is then still owned by it.
//
// Threads: Execute runs on the scheduler thread. Abort and the accessors may be called from any
// thread. The run mutex comes first in the lock order (run mutex, store lock, schedule lock,
// changed-set lock); a feed-file import takes it too. The arrival-time lock nests inside nothing.
#ifndef KORVO_UPDATE_UPDATE_CYCLE_H_
#define KORVO_UPDATE_UPDATE_CYCLE_H_

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "channels/channel.h"
#include "fetch/fetch_context.h"
#include "update/fetch_worker_pool.h"
#include "update/update_merge.h"
#include "update/update_scheduler.h"

namespace korvo {

class TickerLists;

// What one run did: the log line of the run.
struct RunReport {
  bool forced = false;
  bool no_fetch = false;
  int queued = 0;          // channels the tick queued
  FetchSummary fetch;      // all zero for a run without fetching
  int changed = 0;         // channels whose cache file changed
  bool processed = false;  // the merge ran (a periodic run without changes ends before it)
  MergeReport merge;
};

// "run: forced, 3 queued, 3 fetched, 2 changed, 17 added, 40 shown" and the like (ASCII).
std::string FormatRunReport(const RunReport& report);

// How long a run waits for one fetch worker before it leaves it behind: the fetch's deadline
// (FetchDeadlineMilliseconds) and one more time-out for writing the cache file.
int WorkerLimitMilliseconds(const HttpSettings& settings);

class UpdateCycle {
 public:
  // The channel list as the run sees it (a snapshot taken when the processing starts).
  using ChannelSnapshot = std::function<std::vector<Channel>()>;

  struct Options {
    std::string working_folder;  // UTF-8, absolute
    // Fetches one channel; null: a FeedFetcher with `fetch_context` for each channel.
    FetchFunction fetch;
    FetchContext fetch_context;
    FeedParser parser;
    // The site-icon fetch (UpdateMerge::Environment::on_site_link); may be empty.
    std::function<void(const std::string& site_link)> on_site_link;
    ChannelSnapshot channels;
    std::shared_ptr<TickerLists> ticker;  // may be null: nothing is handed over
    const UpdateClock* clock = nullptr;   // null: the system's; must outlive the cycle
    bool random_order = false;            // push Shuffle to the ticker after each merge
    int max_workers = FetchWorkerPool::kMaxWorkers;
    // The limit of each fetch worker; 0: WorkerLimitMilliseconds of the fetch context's settings.
    int wait_ms = 0;
    int parse_threads = 4;
    // Called after every run on the scheduler thread (the run's log line).
    std::function<void(const RunReport&)> on_run;
  };

  explicit UpdateCycle(Options options);
  UpdateCycle(const UpdateCycle&) = delete;
  UpdateCycle& operator=(const UpdateCycle&) = delete;

  // Runs one update. Returns what it did (also given to on_run). The memory the run freed is
  // given back to the system before it returns (platform::ReleaseFreeMemory).
  RunReport Execute(const UpdateRequest& request);

  // Sets the abort flag: a fetch stops waiting, a merge stops at the next item, and no later run
  // does anything.
  void Abort() { abort_.store(true, std::memory_order_release); }
  bool aborted() const { return abort_.load(std::memory_order_acquire); }

  // One update run at a time; also taken by a feed-file import.
  std::mutex& run_mutex() { return run_mutex_; }
  // The local time (to the second, milliseconds 0) at which the latest run that added at least
  // one item to the store finished its merge; year 0 until a run of this cycle did.
  platform::CalendarTime latest_arrival() const;
  const FetchWorkerPool& pool() const { return pool_; }

 private:
  Options options_;
  FetchWorkerPool pool_;
  std::mutex run_mutex_;
  std::atomic<bool> abort_{false};
  mutable std::mutex arrival_mutex_;
  platform::CalendarTime latest_arrival_;  // guarded by arrival_mutex_
};

}  // namespace korvo

#endif  // KORVO_UPDATE_UPDATE_CYCLE_H_

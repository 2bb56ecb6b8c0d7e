// FetchWorkerPool: the fetching half of an update run. Each queued channel is fetched by a
// FetchWorker thread of its own; at most four of them run at once.
//
// Waiting: each worker is given `wait_ms` (the fetch's own deadline and a margin). While it runs,
// its slot is busy; when it ends, the slot takes the next channel. A worker still running at its
// limit is left behind: its slot takes the next channel at once, so one stuck fetch never delays
// the other channels by more than that limit, and the run goes on to processing with what it
// has. The abort flag stops the starting and the waiting at once.
//
// Workers left behind: they are detached, never stopped. What keeps them from touching
// a later run is ownership, not timing:
//   - each worker holds shared references to its own run's ChangedSet and to a copy of the fetch
//     function, so it only ever reports into the set of the run that started it (a later run
//     makes a new set) and nothing it uses can disappear under it;
//   - the pool remembers, across runs, which channels still have a worker (InFlight). A later
//     run does not start a second worker for such a channel, so two threads never write one
//     channel's cache file; the late worker's only effect on the cache is the single atomic
//     replacement of its own channel's file that FeedCache::Store does, which a later run reads
//     either whole before or whole after.
//
// Threads: Run is called by one thread at a time (the scheduler thread). The fetch function is
// called on the worker threads, several at once, with different channels.
#ifndef KORVO_UPDATE_FETCH_WORKER_POOL_H_
#define KORVO_UPDATE_FETCH_WORKER_POOL_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "update/changed_set.h"

namespace korvo {

// One channel queued for fetching: its address text and its option word for the fetcher.
struct FetchJob {
  std::string url;
  uint32_t flags = 0;
};

// Fetches one channel into its cache file; true when the stored bytes changed. It is copied into
// every worker and may run after the run that started it has ended, so it must own everything it
// uses (capture by value, not references to the caller's locals).
using FetchFunction = std::function<bool(const std::string& url, uint32_t flags)>;

// What one Run did.
struct FetchSummary {
  int started = 0;         // workers started
  int finished = 0;        // workers that ended while the run waited for them
  int changed = 0;         // of those, fetches that changed a cache file
  int busy = 0;            // channels not started because an earlier run's worker still has them
  int not_started = 0;     // channels left out because a thread failed to start, or abort
  int left_running = 0;    // workers left behind (past their limit, or running at an abort)
  bool timed_out = false;  // a worker was left behind past its limit, or a thread failed
};

class FetchInFlightChannels;  // fetch_worker_pool.cpp

class FetchWorkerPool {
 public:
  static constexpr int kMaxWorkers = 4;
  static constexpr int kWaitMs = 600000;  // the longest a run waits for one worker

  // `max_workers` (at least 1) and `wait_ms` (at least 1: the limit of each worker) are fixed
  // for the pool's life; tests pass short limits.
  explicit FetchWorkerPool(int max_workers = kMaxWorkers, int wait_ms = kWaitMs);
  ~FetchWorkerPool();
  FetchWorkerPool(const FetchWorkerPool&) = delete;
  FetchWorkerPool& operator=(const FetchWorkerPool&) = delete;

  // Fetches `jobs` in order with the limits above. Every job whose fetch reports a change has its
  // address added to `changed` (by its worker, under the set's lock). `abort` (may be null) is
  // checked at least every 100 ms while waiting; once set, no worker is started and the run stops
  // waiting. Returns when every job has ended or was left behind (or at abort), possibly
  // leaving workers running.
  FetchSummary Run(const std::vector<FetchJob>& jobs, const FetchFunction& fetch,
                   const std::shared_ptr<ChangedSet>& changed,
                   const std::atomic<bool>* abort = nullptr);

  // The number of channels that still have a worker (from this or an earlier run).
  size_t in_flight() const;

  int max_workers() const { return max_workers_; }
  int wait_ms() const { return wait_ms_; }

 private:
  int max_workers_;
  int wait_ms_;
  std::shared_ptr<FetchInFlightChannels> in_flight_;
};

}  // namespace korvo

#endif  // KORVO_UPDATE_FETCH_WORKER_POOL_H_

#include "update/fetch_worker_pool.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>
#include <utility>

namespace korvo {

// Channels that have a running worker, shared by the pool and every worker it started.
class FetchInFlightChannels {
 public:
  bool TryClaim(const std::string& url) {
    std::lock_guard<std::mutex> lock(mutex_);
    return urls_.insert(url).second;
  }
  void Release(const std::string& url) {
    std::lock_guard<std::mutex> lock(mutex_);
    urls_.erase(url);
  }
  size_t size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return urls_.size();
  }

 private:
  mutable std::mutex mutex_;
  std::set<std::string> urls_;
};

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kAbortPoll = std::chrono::milliseconds(100);

// What the workers of one Run share with it. Held by shared_ptr from the run and from every
// worker, so a worker left running after the run ends still has it.
struct RunShared {
  std::shared_ptr<const FetchFunction> fetch;
  std::shared_ptr<ChangedSet> changed;
  std::shared_ptr<FetchInFlightChannels> in_flight;
  std::mutex mutex;
  std::condition_variable done_signal;
  std::deque<size_t> done_jobs;  // jobs whose worker has ended, in order of ending
  int changed_count = 0;         // guarded by `mutex`; counts every ended worker's change
};

// The body of one FetchWorker thread: fetch, report a change, free the channel, say it ended.
// An exception from the fetch function counts as a failed fetch and ends nothing else.
void FetchWorker(std::shared_ptr<RunShared> shared, size_t job_index, FetchJob job) {
  bool changed = false;
  try {
    changed = (*shared->fetch)(job.url, job.flags);
  } catch (...) {
    changed = false;
  }
  if (changed) shared->changed->Add(job.url);
  shared->in_flight->Release(job.url);
  {
    std::lock_guard<std::mutex> lock(shared->mutex);
    shared->done_jobs.push_back(job_index);
    if (changed) ++shared->changed_count;
  }
  shared->done_signal.notify_all();
}

bool Aborted(const std::atomic<bool>* abort) {
  return abort != nullptr && abort->load(std::memory_order_acquire);
}

// One of the run's worker places.
struct Slot {
  std::thread thread;
  size_t job = 0;  // the job its worker fetches
  Clock::time_point deadline;
  bool busy = false;
};

}  // namespace

FetchWorkerPool::FetchWorkerPool(int max_workers, int wait_ms)
    : max_workers_(std::max(1, max_workers)),
      wait_ms_(std::max(1, wait_ms)),
      in_flight_(std::make_shared<FetchInFlightChannels>()) {}

FetchWorkerPool::~FetchWorkerPool() = default;

size_t FetchWorkerPool::in_flight() const { return in_flight_->size(); }

FetchSummary FetchWorkerPool::Run(const std::vector<FetchJob>& jobs, const FetchFunction& fetch,
                                  const std::shared_ptr<ChangedSet>& changed,
                                  const std::atomic<bool>* abort) {
  FetchSummary summary;
  if (jobs.empty()) return summary;
  auto shared = std::make_shared<RunShared>();
  shared->fetch = std::make_shared<const FetchFunction>(fetch);
  shared->changed = changed ? changed : std::make_shared<ChangedSet>();
  shared->in_flight = in_flight_;

  std::vector<Slot> slots(std::min(jobs.size(), static_cast<size_t>(max_workers_)));
  size_t next = 0;       // the next job to start
  int running = 0;       // busy slots
  bool stopped = false;  // no more workers are started

  // Starts the next startable job in the free `slot`.
  auto start_next = [&](Slot& slot) {
    while (!stopped && next < jobs.size()) {
      if (Aborted(abort)) {
        stopped = true;
        break;
      }
      const FetchJob& job = jobs[next];
      if (!in_flight_->TryClaim(job.url)) {
        ++summary.busy;
        ++next;
        continue;
      }
      try {
        slot.thread = std::thread(FetchWorker, shared, next, job);
      } catch (const std::system_error&) {
        in_flight_->Release(job.url);
        summary.timed_out = true;  // a failure to start counts as a failed wait: stop here
        stopped = true;
        break;
      }
      slot.job = next;
      slot.deadline = Clock::now() + std::chrono::milliseconds(wait_ms_);
      slot.busy = true;
      ++next;
      ++running;
      ++summary.started;
      return;
    }
  };

  for (;;) {
    for (Slot& slot : slots) {
      if (!slot.busy) start_next(slot);
    }
    if (running == 0) break;

    // Wait for a worker to end, the earliest deadline of a busy slot, or abort.
    Clock::time_point earliest = Clock::time_point::max();
    for (const Slot& slot : slots) {
      if (slot.busy) earliest = std::min(earliest, slot.deadline);
    }
    bool have_done = false;
    size_t done_job = 0;
    {
      std::unique_lock<std::mutex> lock(shared->mutex);
      for (;;) {
        // Reports of workers left behind earlier in this run are dropped here.
        while (!shared->done_jobs.empty() && !have_done) {
          const size_t job = shared->done_jobs.front();
          shared->done_jobs.pop_front();
          for (const Slot& slot : slots) {
            if (slot.busy && slot.job == job) {
              have_done = true;
              done_job = job;
            }
          }
        }
        const auto now = Clock::now();
        if (have_done || Aborted(abort) || now >= earliest) break;
        shared->done_signal.wait_until(lock, std::min(earliest, now + kAbortPoll));
      }
    }
    if (have_done) {
      for (Slot& slot : slots) {
        if (slot.busy && slot.job == done_job) {
          slot.thread.join();
          slot.busy = false;
          --running;
          ++summary.finished;
        }
      }
      continue;
    }
    if (Aborted(abort)) {
      stopped = true;
      break;
    }
    // Workers past their deadline are left behind: their slots take the next channels, and
    // their channels stay claimed until they end.
    const auto now = Clock::now();
    for (Slot& slot : slots) {
      if (slot.busy && now >= slot.deadline) {
        slot.thread.detach();
        slot.busy = false;
        --running;
        ++summary.left_running;
        summary.timed_out = true;
      }
    }
  }

  // Workers still running at an abort are left to finish alone; those that ended meanwhile are
  // joined.
  {
    std::lock_guard<std::mutex> lock(shared->mutex);
    for (size_t job : shared->done_jobs) {
      for (Slot& slot : slots) {
        if (slot.busy && slot.job == job) {
          slot.thread.join();
          slot.busy = false;
          --running;
          ++summary.finished;
        }
      }
    }
    shared->done_jobs.clear();
  }
  for (Slot& slot : slots) {
    if (slot.busy) {
      slot.thread.detach();
      ++summary.left_running;
    }
  }
  // Changes of the workers that ended while the run waited (a late worker's change still lands
  // in its run's set, which nobody reads any more).
  {
    std::lock_guard<std::mutex> lock(shared->mutex);
    summary.changed = shared->changed_count;
  }
  summary.not_started = static_cast<int>(jobs.size() - next);
  return summary;
}

}  // namespace korvo

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
  std::deque<size_t> done_slots;  // slots whose worker has ended, in order of ending
  int changed_count = 0;          // guarded by `mutex`
};

// The body of one FetchWorker thread: fetch, report a change, free the channel, say it ended.
// An exception from the fetch function counts as a failed fetch and ends nothing else.
void FetchWorker(std::shared_ptr<RunShared> shared, size_t slot, FetchJob job) {
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
    shared->done_slots.push_back(slot);
    if (changed) ++shared->changed_count;
  }
  shared->done_signal.notify_all();
}

bool Aborted(const std::atomic<bool>* abort) {
  return abort != nullptr && abort->load(std::memory_order_acquire);
}

// Waits until a worker has ended or `deadline` passed (or abort). The ended slot, or -1.
long WaitForSlot(RunShared& shared, Clock::time_point deadline, const std::atomic<bool>* abort) {
  std::unique_lock<std::mutex> lock(shared.mutex);
  while (shared.done_slots.empty()) {
    if (Aborted(abort)) return -1;
    const auto now = Clock::now();
    if (now >= deadline) return -1;
    shared.done_signal.wait_until(lock, std::min(deadline, now + kAbortPoll));
  }
  const size_t slot = shared.done_slots.front();
  shared.done_slots.pop_front();
  return static_cast<long>(slot);
}

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

  const size_t slot_count = std::min(jobs.size(), static_cast<size_t>(max_workers_));
  std::vector<std::thread> slots(slot_count);
  size_t next = 0;       // the next job to start
  int running = 0;       // workers started and not yet seen ending
  bool stopped = false;  // no more workers are started

  // Starts the next startable job in `slot`. False when none was started (no jobs left, or the
  // fetching must stop).
  auto start_next = [&](size_t slot) {
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
        slots[slot] = std::thread(FetchWorker, shared, slot, job);
      } catch (const std::system_error&) {
        in_flight_->Release(job.url);
        summary.timed_out = true;  // a failure to start counts as a failed wait: stop here
        stopped = true;
        break;
      }
      ++next;
      ++running;
      ++summary.started;
      return true;
    }
    return false;
  };

  for (size_t slot = 0; slot < slot_count; ++slot) {
    if (!start_next(slot)) break;
  }

  // While jobs remain: each ended worker's slot takes the next job.
  while (!stopped && next < jobs.size() && running > 0) {
    const long slot =
        WaitForSlot(*shared, Clock::now() + std::chrono::milliseconds(wait_ms_), abort);
    if (slot < 0) {
      if (!Aborted(abort)) summary.timed_out = true;
      stopped = true;
      break;
    }
    slots[static_cast<size_t>(slot)].join();
    --running;
    ++summary.finished;
    start_next(static_cast<size_t>(slot));
  }

  // Every job has a worker (or the fetching stopped): wait once for all that still run.
  if (!stopped) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(wait_ms_);
    while (running > 0) {
      const long slot = WaitForSlot(*shared, deadline, abort);
      if (slot < 0) {
        if (!Aborted(abort)) summary.timed_out = true;
        break;
      }
      slots[static_cast<size_t>(slot)].join();
      --running;
      ++summary.finished;
    }
  }

  // Workers already seen ending are joined; those still running are left to finish alone.
  {
    std::lock_guard<std::mutex> lock(shared->mutex);
    for (size_t slot : shared->done_slots) {
      if (slots[slot].joinable()) {
        slots[slot].join();
        --running;
        ++summary.finished;
      }
    }
    shared->done_slots.clear();
    summary.changed = shared->changed_count;
  }
  for (std::thread& thread : slots) {
    if (thread.joinable()) thread.detach();
  }
  summary.left_running = running;
  summary.not_started = static_cast<int>(jobs.size() - next);
  return summary;
}

}  // namespace korvo

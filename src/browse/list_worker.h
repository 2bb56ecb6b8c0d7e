// The browse window's worker thread: list fills and searches run here, off the window thread, so
// the window stays responsive over a store of 100,000 items.
//
// One thread for the worker's life. Start() hands it a job and returns the job's generation; a
// newer Start() cancels the job still running (its `cancel` flag is set; a job tests it between
// groups of records) and replaces any job not yet begun. A job fills the rows it is given; when
// it ends, `done(generation)` is called on the worker thread (the window posts itself a message
// there) and Take() hands the rows to the window thread. Rows of a superseded job are dropped.
//
// Threads: Start, Take, CancelAll and the destructor on the owner's thread; jobs and `done` on the
// worker thread. The worker's lock is never held while a job or `done` runs.
#ifndef KORVO_BROWSE_LIST_WORKER_H_
#define KORVO_BROWSE_LIST_WORKER_H_

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "browse/list_row.h"

namespace korvo {

class ListWorker {
 public:
  // Fills `rows`; returns false when cancelled or failed (the rows found so far still count).
  using Job = std::function<bool(const std::atomic<bool>& cancel, std::vector<ListRow>* rows)>;
  using Done = std::function<void(uint64_t generation)>;

  explicit ListWorker(Done done);
  // Cancels the running job and waits for the thread.
  ~ListWorker();
  ListWorker(const ListWorker&) = delete;
  ListWorker& operator=(const ListWorker&) = delete;

  uint64_t Start(Job job);
  // Sets the cancel flag of the running job (the job then ends at its next test).
  void CancelRunning();
  // The rows of job `generation` when it is the newest and has ended; `*complete` tells whether
  // it ran to its end. False (nothing taken) otherwise.
  bool Take(uint64_t generation, std::vector<ListRow>* rows, bool* complete);
  // True while a job is queued or running.
  bool busy() const;

 private:
  void Run();

  const Done done_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  Job pending_;
  uint64_t pending_generation_ = 0;
  uint64_t newest_ = 0;
  bool running_ = false;
  bool stop_ = false;
  std::shared_ptr<std::atomic<bool>> cancel_;  // of the running job
  uint64_t finished_generation_ = 0;
  bool finished_complete_ = false;
  std::vector<ListRow> finished_rows_;
  std::thread thread_;
};

}  // namespace korvo

#endif  // KORVO_BROWSE_LIST_WORKER_H_

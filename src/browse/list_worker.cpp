#include "browse/list_worker.h"

#include <utility>

namespace korvo {

ListWorker::ListWorker(Done done) : done_(std::move(done)) {
  thread_ = std::thread([this] { Run(); });
}

ListWorker::~ListWorker() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
    pending_ = nullptr;
    if (cancel_) cancel_->store(true);
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

uint64_t ListWorker::Start(Job job) {
  uint64_t generation;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    generation = ++newest_;
    pending_ = std::move(job);
    pending_generation_ = generation;
    if (cancel_) cancel_->store(true);
  }
  wake_.notify_all();
  return generation;
}

void ListWorker::CancelRunning() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (cancel_) cancel_->store(true);
}

bool ListWorker::Take(uint64_t generation, std::vector<ListRow>* rows, bool* complete) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (generation != newest_ || finished_generation_ != generation) return false;
  *rows = std::move(finished_rows_);
  finished_rows_.clear();
  *complete = finished_complete_;
  finished_generation_ = 0;
  return true;
}

bool ListWorker::busy() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return running_ || pending_ != nullptr;
}

void ListWorker::Run() {
  for (;;) {
    Job job;
    uint64_t generation;
    std::shared_ptr<std::atomic<bool>> cancel;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stop_ || pending_ != nullptr; });
      if (stop_) return;
      job = std::move(pending_);
      pending_ = nullptr;
      generation = pending_generation_;
      cancel = std::make_shared<std::atomic<bool>>(false);
      cancel_ = cancel;
      running_ = true;
    }
    std::vector<ListRow> rows;
    const bool complete = job(*cancel, &rows);
    bool current;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      running_ = false;
      cancel_.reset();
      current = generation == newest_;
      if (current) {
        finished_generation_ = generation;
        finished_complete_ = complete;
        finished_rows_ = std::move(rows);
      }
    }
    if (current && done_) done_(generation);
  }
}

}  // namespace korvo

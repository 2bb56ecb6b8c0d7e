#include "update/fetch_worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace korvo {
namespace {

using std::chrono::milliseconds;

// A gate that hung fetches wait at until the test opens it.
class Gate {
 public:
  void Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    signal_.wait(lock, [&] { return open_; });
  }
  void Open() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      open_ = true;
    }
    signal_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable signal_;
  bool open_ = false;
};

// Counts fetches and the most that ran at once.
struct Meter {
  std::atomic<int> now{0};
  std::atomic<int> peak{0};
  std::mutex mutex;
  std::vector<std::string> order;  // start order

  void Enter(const std::string& url) {
    const int running = ++now;
    int seen = peak.load();
    while (running > seen && !peak.compare_exchange_weak(seen, running)) {
    }
    std::lock_guard<std::mutex> lock(mutex);
    order.push_back(url);
  }
  void Leave() { --now; }
};

std::vector<FetchJob> Jobs(int n) {
  std::vector<FetchJob> jobs;
  for (int i = 0; i < n; ++i) jobs.push_back({"http://127.0.0.1/feed" + std::to_string(i), 0});
  return jobs;
}

void WaitUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 500 && !done(); ++i) std::this_thread::sleep_for(milliseconds(10));
  ASSERT_TRUE(done());
}

TEST(FetchWorkerPool, TwelveChannelsNeverMoreThanFourAtOnceEachFetchedOnce) {
  auto meter = std::make_shared<Meter>();
  FetchWorkerPool pool;
  auto changed = std::make_shared<ChangedSet>();
  const std::vector<FetchJob> jobs = Jobs(12);
  const FetchSummary summary = pool.Run(
      jobs,
      [meter](const std::string& url, uint32_t) {
        meter->Enter(url);
        std::this_thread::sleep_for(milliseconds(30));
        meter->Leave();
        return url.back() == '3' || url.back() == '7';  // feed3, feed7
      },
      changed);
  EXPECT_EQ(meter->peak.load(), 4);
  EXPECT_EQ(summary.started, 12);
  EXPECT_EQ(summary.finished, 12);
  EXPECT_EQ(summary.changed, 2);
  EXPECT_FALSE(summary.timed_out);
  EXPECT_EQ(summary.left_running, 0);
  EXPECT_EQ(summary.not_started, 0);
  ASSERT_EQ(meter->order.size(), 12u);
  EXPECT_EQ(std::set<std::string>(meter->order.begin(), meter->order.end()).size(), 12u);
  // The first four channels go out first.
  EXPECT_EQ(std::set<std::string>(meter->order.begin(), meter->order.begin() + 4),
            (std::set<std::string>{jobs[0].url, jobs[1].url, jobs[2].url, jobs[3].url}));
  EXPECT_EQ(changed->Snapshot(), (std::set<std::string>{jobs[3].url, jobs[7].url}));
  EXPECT_TRUE(changed->any());
  EXPECT_EQ(pool.in_flight(), 0u);
}

TEST(FetchWorkerPool, FewerChannelsThanWorkersAndFailuresAddNothing) {
  FetchWorkerPool pool;
  auto changed = std::make_shared<ChangedSet>();
  const FetchSummary summary = pool.Run(
      Jobs(2),
      [](const std::string& url, uint32_t flags) -> bool {
        if (url.back() == '0') throw std::runtime_error("fetch blew up");
        return flags == 0;  // a plain failure is "not changed"; here the other one changed
      },
      changed);
  EXPECT_EQ(summary.started, 2);
  EXPECT_EQ(summary.finished, 2);
  EXPECT_EQ(summary.changed, 1);
  EXPECT_EQ(changed->size(), 1u);
  EXPECT_FALSE(changed->Contains("http://127.0.0.1/feed0"));

  const FetchSummary none = pool.Run(
      {}, [](const std::string&, uint32_t) { return true; }, changed);
  EXPECT_EQ(none.started, 0);
}

TEST(FetchWorkerPool, FlagsReachTheFetch) {
  FetchWorkerPool pool;
  auto seen = std::make_shared<std::atomic<uint32_t>>(0);
  pool.Run(
      {{"http://127.0.0.1/a", 1}, {"http://127.0.0.1/b", 4}},
      [seen](const std::string&, uint32_t flags) {
        seen->fetch_or(flags);
        return false;
      },
      std::make_shared<ChangedSet>());
  EXPECT_EQ(seen->load(), 5u);
}

// A worker that hangs past the wait: the run goes on without it, the next run neither starts a
// second worker for that channel nor sees its late change.
TEST(FetchWorkerPool, HungWorkerIsLeftBehindAndNeverTouchesTheNextRun) {
  auto gate = std::make_shared<Gate>();
  auto fetched = std::make_shared<std::atomic<int>>(0);
  const std::string hung_url = "http://127.0.0.1/feed0";
  FetchFunction fetch = [gate, fetched, hung_url](const std::string& url, uint32_t) {
    ++*fetched;
    if (url == hung_url) {
      gate->Wait();
      return true;
    }
    return false;
  };
  FetchWorkerPool pool(4, 200);
  auto first_set = std::make_shared<ChangedSet>();
  const auto begin = std::chrono::steady_clock::now();
  const FetchSummary first = pool.Run(Jobs(6), fetch, first_set);
  EXPECT_LT(std::chrono::steady_clock::now() - begin, milliseconds(5000));
  EXPECT_TRUE(first.timed_out);
  EXPECT_EQ(first.started, 6);
  EXPECT_EQ(first.finished, 5);
  EXPECT_EQ(first.left_running, 1);
  EXPECT_EQ(pool.in_flight(), 1u);

  auto second_set = std::make_shared<ChangedSet>();
  const FetchSummary second = pool.Run(Jobs(3), fetch, second_set);
  EXPECT_EQ(second.busy, 1);
  EXPECT_EQ(second.started, 2);
  EXPECT_FALSE(second.timed_out);
  EXPECT_EQ(fetched->load(), 8);  // the hung channel was not fetched a second time

  gate->Open();
  WaitUntil([&] { return pool.in_flight() == 0; });
  EXPECT_TRUE(first_set->Contains(hung_url));  // the late change went to its own run
  EXPECT_FALSE(second_set->any());
}

// Stuck fetches in every slot never keep the other channels waiting: each is left behind at its
// limit and its slot takes the next channel.
TEST(FetchWorkerPool, StuckWorkersAreLeftBehindAndTheirSlotsTakeTheOtherChannels) {
  auto gate = std::make_shared<Gate>();
  FetchWorkerPool pool(2, 150);
  auto quick = std::make_shared<std::atomic<int>>(0);
  auto finished = std::make_shared<std::atomic<int>>(0);
  const auto begin = std::chrono::steady_clock::now();
  const FetchSummary summary = pool.Run(
      Jobs(8),
      [gate, quick, finished](const std::string& url, uint32_t) {
        // feed0, feed1 and feed4 hang; the others answer at once.
        if (url.back() == '0' || url.back() == '1' || url.back() == '4') {
          gate->Wait();
          ++*finished;
          return false;
        }
        ++*quick;
        return true;
      },
      std::make_shared<ChangedSet>());
  EXPECT_LT(std::chrono::steady_clock::now() - begin, milliseconds(2000));
  EXPECT_TRUE(summary.timed_out);
  EXPECT_EQ(summary.started, 8);
  EXPECT_EQ(summary.finished, 5);
  EXPECT_EQ(summary.changed, 5);
  EXPECT_EQ(summary.left_running, 3);
  EXPECT_EQ(summary.not_started, 0);
  EXPECT_EQ(quick->load(), 5);
  EXPECT_EQ(pool.in_flight(), 3u);
  gate->Open();
  WaitUntil([&] { return pool.in_flight() == 0 && finished->load() == 3; });
}

TEST(FetchWorkerPool, AbortStopsWaitingAndStarting) {
  auto gate = std::make_shared<Gate>();
  FetchWorkerPool pool(1, FetchWorkerPool::kWaitMs);
  std::atomic<bool> abort{false};
  std::thread aborter([&] {
    std::this_thread::sleep_for(milliseconds(100));
    abort = true;
  });
  const auto begin = std::chrono::steady_clock::now();
  const FetchSummary summary = pool.Run(
      Jobs(3),
      [gate](const std::string&, uint32_t) {
        gate->Wait();
        return false;
      },
      std::make_shared<ChangedSet>(), &abort);
  aborter.join();
  EXPECT_LT(std::chrono::steady_clock::now() - begin, milliseconds(3000));
  EXPECT_FALSE(summary.timed_out);
  EXPECT_EQ(summary.started, 1);
  EXPECT_EQ(summary.not_started, 2);
  gate->Open();
  WaitUntil([&] { return pool.in_flight() == 0; });
}

TEST(ChangedSet, ClearAddContainsFromManyThreads) {
  ChangedSet set;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&set, t] {
      for (int i = 0; i < 100; ++i)
        set.Add("u" + std::to_string(i % 50) + "_" + std::to_string(t % 2));
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(set.size(), 100u);
  EXPECT_TRUE(set.Contains("u49_1"));
  EXPECT_FALSE(set.Contains("u50_0"));
  set.Clear();
  EXPECT_FALSE(set.any());
}

}  // namespace
}  // namespace korvo

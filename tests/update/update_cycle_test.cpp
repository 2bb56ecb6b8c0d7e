#include "update/update_cycle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "store/database_guard.h"
#include "ticker/ticker_lists.h"
#include "update_test_util.h"

namespace korvo {
namespace {

using korvo::testing::FixedUpdateClock;
using korvo::testing::PutCache;
using korvo::testing::TempFolder;

// Feeds "served" by a fake fetch: it stores the current body of a channel into the cache and
// says whether it changed, as the real fetcher does.
struct FakeServer {
  std::mutex mutex;
  std::map<std::string, std::string> bodies;
  std::map<std::string, std::string> served;  // what the cache got last
  std::atomic<int> fetches{0};
};

class UpdateCycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    holder_ = std::make_unique<DatabaseGuard>(dir_.path());
    ticker_ = std::make_shared<TickerLists>(dir_.path());
    ticker_->SetCommandSink([this](uint8_t command) {
      commands_.push_back(command);
      ticker_->SwapLists();  // the engine would swap on Reload
      return true;
    });
  }
  void TearDown() override {
    cycle_.reset();
    ticker_.reset();
    holder_.reset();
  }

  void MakeCycle(bool random_order) {
    UpdateCycle::Options options;
    options.working_folder = dir_.path();
    const std::string folder = dir_.path();
    auto server = server_;
    options.fetch = [server, folder](const std::string& url, uint32_t) {
      ++server->fetches;
      std::lock_guard<std::mutex> lock(server->mutex);
      const std::string body = server->bodies[url];
      if (server->served.count(url) != 0 && server->served[url] == body) return false;  // 304
      server->served[url] = body;
      return PutCache(folder, url, body);
    };
    // The parser hands on each feed's site link, as the extraction does.
    options.parser = [](std::string_view body, const ChannelContext& channel, ItemList* items) {
      korvo::testing::ParseLines(body, channel, items);
      if (channel.on_site_link) channel.on_site_link("http://127.0.0.1/site/");
    };
    options.on_site_link = [this](const std::string&) { ++site_links_; };
    options.channels = [this] { return channels_; };
    options.ticker = ticker_;
    options.clock = &clock_;
    options.random_order = random_order;
    options.on_run = [this](const RunReport& report) { lines_.push_back(FormatRunReport(report)); };
    cycle_ = std::make_unique<UpdateCycle>(options);
  }

  UpdateRequest Request(bool forced, bool no_fetch) {
    UpdateRequest request;
    request.forced = forced;
    request.no_fetch = no_fetch;
    for (const Channel& channel : channels_) request.jobs.push_back({channel.url, 0});
    return request;
  }

  void AddChannel(const std::string& url, const std::string& body) {
    Channel channel;
    channel.url = url;
    channel.title = url;
    channels_.push_back(channel);
    server_->bodies[url] = body;
  }

  TempFolder dir_;
  FixedUpdateClock clock_;
  std::unique_ptr<DatabaseGuard> holder_;
  std::shared_ptr<TickerLists> ticker_;
  std::vector<uint8_t> commands_;
  std::vector<Channel> channels_;
  std::shared_ptr<FakeServer> server_ = std::make_shared<FakeServer>();
  std::unique_ptr<UpdateCycle> cycle_;
  std::vector<std::string> lines_;
  std::atomic<int> site_links_{0};
};

TEST_F(UpdateCycleTest, PeriodicRunWithoutChangesStopsBeforeTheMerge) {
  AddChannel("http://127.0.0.1/a.xml", "A1|http://127.0.0.1/a/1\n");
  AddChannel("http://127.0.0.1/b.xml", "B1|http://127.0.0.1/b/1\n");
  MakeCycle(false);
  const RunReport first = cycle_->Execute(Request(true, false));
  EXPECT_TRUE(first.processed);
  EXPECT_EQ(first.fetch.finished, 2);
  EXPECT_EQ(first.changed, 2);
  EXPECT_EQ(first.merge.items_added, 2);
  ASSERT_EQ(lines_.size(), 1u);
  EXPECT_EQ(lines_[0], "run: forced, 2 queued, 2 fetched, 2 changed, 2 added, 2 shown");

  commands_.clear();
  const RunReport idle = cycle_->Execute(Request(false, false));
  EXPECT_EQ(idle.fetch.finished, 2);
  EXPECT_EQ(idle.changed, 0);
  EXPECT_FALSE(idle.processed);
  EXPECT_TRUE(commands_.empty());  // the ticker was not touched
  EXPECT_EQ(lines_.back(), "run: periodic, 2 queued, 2 fetched, 0 changed, no merge");

  // One feed changes: the periodic run merges and adds only the new item.
  server_->bodies["http://127.0.0.1/b.xml"] = "B1|http://127.0.0.1/b/1\nB2|http://127.0.0.1/b/2\n";
  const RunReport grown = cycle_->Execute(Request(false, false));
  EXPECT_TRUE(grown.processed);
  EXPECT_EQ(grown.changed, 1);
  EXPECT_EQ(grown.merge.items_added, 1);
  EXPECT_EQ(ticker_->shown_count(), 3u);
}

TEST_F(UpdateCycleTest, RunWithoutFetchingReparsesTheCacheAndRandomOrderShuffles) {
  AddChannel("http://127.0.0.1/a.xml", "A1|http://127.0.0.1/a/1\n");
  MakeCycle(true);
  cycle_->Execute(Request(true, false));
  const int fetched = server_->fetches.load();
  EXPECT_EQ(site_links_.load(), 1);
  EXPECT_EQ(commands_,
            (std::vector<uint8_t>{TickerLists::kCommandShuffle}));  // first list: no Reload

  commands_.clear();
  const RunReport again = cycle_->Execute(Request(true, true));
  EXPECT_EQ(server_->fetches.load(), fetched);  // no network at all, site icons included
  EXPECT_EQ(site_links_.load(), 1);
  EXPECT_TRUE(again.processed);
  EXPECT_EQ(again.merge.items_known, 1);
  EXPECT_EQ(again.merge.items_added, 0);
  EXPECT_EQ(commands_,
            (std::vector<uint8_t>{TickerLists::kCommandReload, TickerLists::kCommandShuffle}));
  EXPECT_EQ(lines_.back(),
            "run: forced without fetching, 1 queued, 0 fetched, 0 changed, 0 added, 1 shown");
}

TEST_F(UpdateCycleTest, AfterAbortNoRunDoesAnything) {
  AddChannel("http://127.0.0.1/a.xml", "A1|http://127.0.0.1/a/1\n");
  MakeCycle(false);
  cycle_->Abort();
  const RunReport report = cycle_->Execute(Request(true, false));
  EXPECT_EQ(server_->fetches.load(), 0);
  EXPECT_FALSE(report.processed);
  EXPECT_EQ(ticker_->shown_count(), 0u);
}

// The scheduler and the cycle together: the initial forced run fetches every channel once, a
// channel on its own 30-minute interval is fetched again at 30 minutes, the 60-minute one not.
TEST_F(UpdateCycleTest, SchedulerDrivesTheCycle) {
  AddChannel("http://127.0.0.1/fast.xml", "F1|http://127.0.0.1/f/1\n");
  AddChannel("http://127.0.0.1/slow.xml", "S1|http://127.0.0.1/s/1\n");
  channels_[0].refreshMs = 30 * 60000;
  MakeCycle(false);
  struct Clock : SchedulerClock {
    int64_t NowMs() const override { return now; }
    int64_t now = 0;
  } clock;
  UpdateScheduler::Options options;
  options.global_interval_ms = 60 * 60000;
  options.clock = &clock;
  std::vector<std::set<std::string>> runs;
  UpdateScheduler scheduler(
      options,
      [this] {
        std::vector<ScheduledChannel> list;
        for (const Channel& c : channels_) list.push_back({c.url, c.refreshMs, c.authMode});
        return list;
      },
      [&](const UpdateRequest& request) {
        std::set<std::string> urls;
        for (const FetchJob& job : request.jobs) urls.insert(job.url);
        runs.push_back(urls);
        cycle_->Execute(request);
      });
  ASSERT_TRUE(scheduler.Begin(false));
  ASSERT_TRUE(scheduler.Turn());
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].size(), 2u);
  EXPECT_EQ(ticker_->shown_count(), 2u);
  for (int i = 0; i < 31 * 600; ++i) {
    clock.now += 100;
    ASSERT_TRUE(scheduler.Turn());
  }
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[1], (std::set<std::string>{"http://127.0.0.1/fast.xml"}));
  EXPECT_EQ(server_->fetches.load(), 3);
}

}  // namespace
}  // namespace korvo

// The update cycle and the ticker lists in the shell's start-up and shut-down.
#include "update/update_component.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/temp_folder.h"
#include "platform/files.h"
#include "shell/app_shell.h"
#include "store/store_holder.h"
#include "ticker/ticker_dump.h"
#include "ticker/ticker_list_stage.h"
#include "ticker/ticker_lists.h"
#include "update_test_util.h"

namespace korvo {
namespace {

using korvo::testing::FixedUpdateClock;
using korvo::testing::PutCache;
using korvo::testing::ScopedCurrentDirectory;
using korvo::testing::TempFolder;

// Collects log lines and lets the test wait for them.
struct Log {
  std::mutex mutex;
  std::condition_variable signal;
  std::vector<std::string> lines;

  void Add(const std::string& line) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      lines.push_back(line);
    }
    signal.notify_all();
  }
  bool WaitFor(size_t count) {
    std::unique_lock<std::mutex> lock(mutex);
    return signal.wait_for(lock, std::chrono::seconds(20), [&] { return lines.size() >= count; });
  }
  std::string At(size_t i) {
    std::lock_guard<std::mutex> lock(mutex);
    return lines.at(i);
  }
};

class UpdateComponentTest : public ::testing::Test {
 protected:
  ProcessEnvironment Environment() {
    ProcessEnvironment environment;
    environment.system = {6, 1};
    environment.language_id = 1041;
    environment.start_folder = program_.path();
    environment.app_data = app_data_.path();
    return environment;
  }

  // Starts a shell with the store holder, the ticker lists and the update cycle over
  // `channels`, whose feeds the fake fetch copies from `feeds_` into the cache.
  std::unique_ptr<AppShell> StartShell(std::vector<Channel> channels,
                                       std::shared_ptr<TickerLists>* lists,
                                       UpdateComponent** update) {
    auto shell = std::make_unique<AppShell>();
    shell->RecordSystem(Environment().system, 1041);
    EXPECT_TRUE(shell->ClaimInstance(program_.path()));
    shell->EnterWorkingFolder(program_.path(), app_data_.path());
    const std::string folder = shell->folders().working_folder;
    *lists = std::make_shared<TickerLists>(folder);
    UpdateComponent::Parts parts;
    parts.ticker = *lists;
    parts.channels = [channels] { return channels; };
    parts.parser = korvo::testing::ParseLines;
    auto feeds = feeds_;
    parts.fetch = [feeds, folder](const std::string& url, uint32_t) {
      return PutCache(folder, url, feeds->at(url));
    };
    parts.clock = &clock_;
    auto log = log_;
    parts.log = [log](const std::string& line) { log->Add(line); };
    auto component = std::make_unique<UpdateComponent>(parts);
    *update = component.get();
    shell->Attach(AppStage::kStoreHolder, std::make_unique<StoreHolder>(nullptr));
    shell->Attach(AppStage::kTickerEngine, std::make_unique<TickerListStage>(*lists));
    shell->Attach(AppStage::kUpdateScheduler, std::move(component));
    shell->TakeStoreHolder();
    shell->OpenMainWindowParts();
    shell->ContinueStartup();
    return shell;
  }

  TempFolder program_;
  TempFolder app_data_;
  ScopedCurrentDirectory restore_{program_.path()};
  FixedUpdateClock clock_;
  std::shared_ptr<std::map<std::string, std::string>> feeds_ =
      std::make_shared<std::map<std::string, std::string>>();
  std::shared_ptr<Log> log_ = std::make_shared<Log>();
};

TEST_F(UpdateComponentTest, InitialRunThenSavedListAtExitAndAtTheNextStart) {
  Channel a;
  a.url = "http://127.0.0.1/a.xml";
  a.title = "A";
  (*feeds_)[a.url] = "A1|http://127.0.0.1/a/1\nA2|http://127.0.0.1/a/2\nA3|http://127.0.0.1/a/3\n";
  std::shared_ptr<TickerLists> lists;
  UpdateComponent* update = nullptr;
  std::vector<int32_t> ids;
  {
    auto shell = StartShell({a}, &lists, &update);
    ASSERT_TRUE(shell->running(AppStage::kUpdateScheduler));
    ASSERT_TRUE(log_->WaitFor(1));
    EXPECT_EQ(log_->At(0), "run: forced, 1 queued, 1 fetched, 1 changed, 3 added, 3 shown");
    const std::vector<TickerItem> shown = lists->shown();
    ASSERT_EQ(shown.size(), 3u);
    for (const TickerItem& item : shown) ids.push_back(item.id);

    // Run now without fetching: the cache is parsed again, nothing is added.
    ASSERT_TRUE(update->RunNowWithoutFetching());
    ASSERT_TRUE(log_->WaitFor(2));
    EXPECT_EQ(log_->At(1),
              "run: forced without fetching, 1 queued, 0 fetched, 0 changed, 0 added, 3 shown");
    shell->ShutDown();
  }
  std::vector<uint32_t> saved;
  ASSERT_TRUE(ReadTickerDump(program_ / kTickerDumpName, &saved));
  ASSERT_EQ(saved.size(), 3u);
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(static_cast<int32_t>(saved[i]), ids[i]);

  // Next start without channels: no run, and the saved items are shown at once.
  auto shell = StartShell({}, &lists, &update);
  const std::vector<TickerItem> shown = lists->shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].title, "A1");
  EXPECT_EQ(shown[2].title, "A3");
  shell->ShutDown();
}

}  // namespace
}  // namespace korvo

// The engine's command semantics, driven pass by pass with a display that the test ends.
#include "ticker/ticker_engine.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "shell/app_shell.h"
#include "shell/main_window_ids.h"
#include "store/database_guard.h"
#include "ticker/headline_display.h"
#include "ticker/ticker_dump.h"
#include "ticker/ticker_engine_component.h"
#include "ticker/ticker_test_support.h"

namespace korvo {
namespace {

using testing::TestItems;

// Shows nothing; the test says when an item ends.
class FakeDisplay : public TickerDisplay {
 public:
  bool Show(HeadlineJob job) override {
    shown.push_back(job.item.title);
    running_ = true;
    return true;
  }
  bool running() const override { return running_; }
  void StopNow() override {
    if (running_) ++stops;
    running_ = false;
  }
  void SetPaused(bool paused) override { pauses.push_back(paused); }
  void SetIdleCallback(std::function<void()>) override {}
  void Shutdown() override { shut_down = true; }
  void Finish() { running_ = false; }

  std::vector<std::string> shown;
  std::vector<bool> pauses;
  int stops = 0;
  bool shut_down = false;

 private:
  bool running_ = false;
};

class RecordingHost : public TickerEngineHost {
 public:
  void ListReloaded(bool refresh) override { calls.push_back(refresh ? "reloaded+" : "reloaded"); }
  void Relayout(bool repaint) override { calls.push_back(repaint ? "relayout+" : "relayout"); }
  void AnimationPaused(bool paused) override { calls.push_back(paused ? "anim-pause" : "anim-go"); }
  bool CopyToClipboard(const std::string& text) override {
    calls.push_back("copy " + text);
    return true;
  }
  void OpenLink(const std::string& link) override { calls.push_back("open " + link); }
  void ItemOpened(int32_t id) override { calls.push_back("opened " + std::to_string(id)); }
  std::vector<std::string> calls;
};

// Records notifications and vetoes the codes it is told to.
class RecordingDispatcher : public NotificationDispatcher {
 public:
  int Notify(int code, std::string_view link) override {
    codes.push_back(code);
    if (!link.empty()) links.emplace_back(link);
    for (int v : veto) {
      if (v == code) return kVeto;
    }
    return 0;
  }
  std::vector<int> codes;
  std::vector<std::string> links;
  std::vector<int> veto;
};

uint8_t Code(EngineCommand command) { return static_cast<uint8_t>(command); }

class TickerEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lists_ = std::make_shared<TickerLists>(folder_.path());
    lists_->SetTickerList(TestItems({"a1", "a2", "b1", "b2", "c1"}));
    Make(std::make_shared<FakeDisplay>());
  }
  void Make(std::shared_ptr<TickerDisplay> display) {
    display_ = display;
    TickerEngine::Parts parts;
    parts.lists = lists_;
    parts.display = display;
    parts.host = host_;
    parts.working_folder = folder_.path();
    parts.now = [] { return platform::CalendarTime{2024, 7, 0, 1, 12, 0, 0, 0}; };
    parts.seed = 77;
    engine_ = std::make_unique<TickerEngine>(std::move(parts));
    engine_->SetDispatcher(dispatcher_);
    lists_->SetCommandSink([this](uint8_t c) { return engine_->Push(c) == 0; });
  }
  FakeDisplay& fake() { return static_cast<FakeDisplay&>(*display_); }
  // Pushes `commands`, then runs passes until the queue is empty.
  void Run(std::initializer_list<EngineCommand> commands = {}) {
    for (EngineCommand c : commands) ASSERT_EQ(engine_->Push(Code(c)), 0);
    for (int i = 0; i < 100 && (engine_->queued() > 0 || i == 0); ++i) engine_->RunPass();
    engine_->RunPass();  // a last pass selects after the last command
  }
  std::vector<std::string>& shown() { return fake().shown; }

  testing::TempFolder folder_;
  std::shared_ptr<TickerLists> lists_;
  std::shared_ptr<TickerDisplay> display_;
  std::shared_ptr<RecordingHost> host_ = std::make_shared<RecordingHost>();
  std::shared_ptr<RecordingDispatcher> dispatcher_ = std::make_shared<RecordingDispatcher>();
  std::unique_ptr<TickerEngine> engine_;
};

TEST_F(TickerEngineTest, NothingShowsBeforeTheFirstNextAndItemsFollowInOrder) {
  Run();
  EXPECT_TRUE(shown().empty());
  Run({EngineCommand::kNext});
  EXPECT_EQ(shown(), std::vector<std::string>{"a1"});  // the first Next shows the first item
  // Items end by themselves: the next one follows; a wrap starts again at the top.
  for (int i = 0; i < 5; ++i) {
    fake().Finish();
    Run();
  }
  EXPECT_EQ(shown(), (std::vector<std::string>{"a1", "a2", "b1", "b2", "c1", "a1"}));
  // Next mid-item stops it and shows the next; Previous goes back; both are notified.
  Run({EngineCommand::kNext, EngineCommand::kPrevious, EngineCommand::kPrevious});
  EXPECT_EQ(fake().stops, 3);
  EXPECT_EQ(shown().back(), "c1");
  // The first item is not reached by a step: no notification 1 for it.
  EXPECT_EQ(dispatcher_->codes, (std::vector<int>{0, 1, 1, 1, 1, 1, 0, 1, 2, 3, 2, 3}));
  // Site jumps and showing again.
  Run({EngineCommand::kNextSite});
  EXPECT_EQ(shown().back(), "a1");
  Run({EngineCommand::kPreviousSite});
  EXPECT_EQ(shown().back(), "c1");
  Run({EngineCommand::kShowAgain});
  EXPECT_EQ(shown().back(), "c1");
  const size_t count = shown().size();
  // Unknown codes and the tray codes change nothing.
  for (uint8_t code : {0, 16, 17, 21, 255}) engine_->Push(code);
  Run();
  EXPECT_EQ(shown().size(), count);
}

TEST_F(TickerEngineTest, PauseIgnoresSteppingAndQuitEndsIt) {
  Run({EngineCommand::kNext});
  Run({EngineCommand::kPause, EngineCommand::kPause});
  EXPECT_EQ(fake().pauses, std::vector<bool>{true});
  EXPECT_TRUE(engine_->paused());
  Run({EngineCommand::kNext, EngineCommand::kPrevious, EngineCommand::kNextSite,
       EngineCommand::kPreviousSite, EngineCommand::kShowAgain});
  EXPECT_EQ(shown(), std::vector<std::string>{"a1"});
  EXPECT_EQ(fake().stops, 0);
  Run({EngineCommand::kResume, EngineCommand::kResume, EngineCommand::kNext});
  EXPECT_EQ(fake().pauses, (std::vector<bool>{true, false}));
  EXPECT_EQ(shown().back(), "a2");
  EXPECT_EQ(host_->calls, (std::vector<std::string>{"anim-pause", "anim-go"}));
  // Quit while paused: the pause ends, the item stops, the loop ends.
  Run({EngineCommand::kPause});
  engine_->Push(Code(EngineCommand::kQuit));
  EXPECT_FALSE(engine_->RunPass());
  EXPECT_FALSE(engine_->paused());
  EXPECT_EQ(fake().pauses.back(), false);
  EXPECT_FALSE(fake().running());
  EXPECT_TRUE(engine_->quit());
}

TEST_F(TickerEngineTest, ReloadSwapsBetweenItemsAndKeepsThePlace) {
  Run({EngineCommand::kNext, EngineCommand::kNext});
  EXPECT_EQ(shown().back(), "a2");
  lists_->SetTickerList(TestItems({"x1", "a1", "a2", "b1"}));  // pushes Reload
  Run();
  EXPECT_EQ(lists_->shown()[0].title, "a1");  // not while an item is on display
  fake().Finish();
  Run();
  EXPECT_EQ(lists_->shown()[0].title, "x1");
  EXPECT_EQ(shown().back(), "b1");              // the item after the one on display
  EXPECT_EQ(host_->calls.back(), "reloaded+");  // live bookmarks are refreshed by default
  // A vetoed reload keeps the old list.
  dispatcher_->veto = {4};
  lists_->SetTickerList(TestItems({"y1"}));
  fake().Finish();
  Run();
  EXPECT_EQ(lists_->shown()[0].title, "x1");
  EXPECT_EQ(shown().back(), "x1");
  dispatcher_->veto = {};
  // With live bookmarks off, they are not.
  HeadlineStyle style;
  style.flags = ticker_flags::kNoLiveBookmarks;
  engine_->SetStyle(style);
  lists_->SetTickerList(TestItems({"z1", "z2"}));
  fake().Finish();
  Run();
  EXPECT_EQ(host_->calls.back(), "reloaded");
}

TEST_F(TickerEngineTest, ShuffleAndUnshuffleRewindForTheNextItem) {
  lists_->SetTickerList(TestItems({"a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8", "a9"}));
  Run({EngineCommand::kNext});
  Run({EngineCommand::kShuffle});
  EXPECT_TRUE(engine_->random_order());
  fake().Finish();
  Run();
  const TickerSnapshot snapshot = lists_->Snapshot();
  EXPECT_EQ(shown().back(), snapshot.items[snapshot.order[0]].title);
  EXPECT_NE(snapshot.order, (std::vector<size_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  Run({EngineCommand::kUnshuffle, EngineCommand::kNext});
  EXPECT_FALSE(engine_->random_order());
  EXPECT_EQ(shown().back(), "a1");
}

TEST_F(TickerEngineTest, VetoesCancelStepsOpeningAndCopying) {
  Run({EngineCommand::kNext});
  dispatcher_->veto = {0, 2, 12, 16};
  Run({EngineCommand::kNext, EngineCommand::kPrevious, EngineCommand::kOpenCurrent,
       EngineCommand::kCopyUrl});
  EXPECT_EQ(shown(), std::vector<std::string>{"a1"});
  EXPECT_EQ(fake().stops, 0);
  EXPECT_TRUE(host_->calls.empty());
  dispatcher_->veto = {};
  Run({EngineCommand::kCopyUrl});
  EXPECT_EQ(host_->calls, std::vector<std::string>{"copy http://127.0.0.1/a1"});
  EXPECT_EQ(dispatcher_->codes.back(), 17);
}

TEST_F(TickerEngineTest, OpenCurrentMarksTheRecordReadAndHidesOnceOpenedItems) {
  uint32_t numbers[3] = {};
  {
    DatabaseGuard guard(folder_.path());
    ScopedDatabase db(guard);
    ASSERT_TRUE(db);
    for (uint32_t& number : numbers) {
      NewsItem record;
      record.title = u"R";
      record.link = u"http://127.0.0.1/r" + std::u16string(1, u'0' + (&number - numbers));
      number = db->AddItem(&record, nullptr);
      ASSERT_NE(number, 0u);
    }
  }
  std::vector<TickerItem> items = TestItems({"r1", "r2", "r3"});
  for (size_t i = 0; i < 3; ++i) {
    items[i].id = static_cast<int32_t>(numbers[i]);
    items[i].hide_once_opened = true;
  }
  lists_->SetTickerList(items);
  Run({EngineCommand::kNext, EngineCommand::kOpenCurrent});
  EXPECT_EQ(host_->calls, (std::vector<std::string>{"reloaded+", "open http://127.0.0.1/r1",
                                                    "opened " + std::to_string(numbers[0])}));
  EXPECT_EQ(dispatcher_->links,
            (std::vector<std::string>{"http://127.0.0.1/r1", "http://127.0.0.1/r1"}));
  EXPECT_TRUE(lists_->shown()[0].hidden);
  EXPECT_EQ(lists_->shown()[0].state & TickerItem::kRead, TickerItem::kRead);
  // Read later puts the current record on the store's list.
  Run({EngineCommand::kNext, EngineCommand::kReadLater});
  {
    DatabaseGuard guard(folder_.path());
    ScopedDatabase db(guard);
    NewsItem record;
    record.number = numbers[0];
    ASSERT_NE(db->ReadItem(&record), 0u);
    EXPECT_EQ(record.check_day.calendar.month, 7);
    const std::vector<NewsItem> later = db->ReadLaterItems();
    ASSERT_EQ(later.size(), 1u);
    EXPECT_EQ(later[0].number, numbers[1]);
  }
  // Opening the next two: the second stays, two would no longer be visible.
  Run({EngineCommand::kOpenCurrent, EngineCommand::kNext, EngineCommand::kOpenCurrent});
  const std::vector<TickerItem> shown_items = lists_->shown();
  EXPECT_TRUE(shown_items[1].hidden);
  EXPECT_FALSE(shown_items[2].hidden);
}

TEST_F(TickerEngineTest, NextMidScrollEndsTheItemAndStartsTheNextFromItsFirstFrame) {
  auto renderer_owned = std::make_unique<testing::RecordingRenderer>();
  auto ticks_owned = std::make_unique<testing::GatedTicks>();
  testing::RecordingRenderer* renderer = renderer_owned.get();
  testing::GatedTicks* ticks = ticks_owned.get();
  Make(std::make_shared<HeadlineDisplay>(std::move(renderer_owned), std::move(ticks_owned)));
  HeadlineStyle style;
  style.flags = 0;
  engine_->SetStyle(style);
  engine_->Push(Code(EngineCommand::kNext));
  engine_->RunPass();
  engine_->RunPass();
  ticks->Release(40);
  renderer->WaitFrames(40);
  engine_->Push(Code(EngineCommand::kNext));
  engine_->RunPass();  // stops a1 at once
  engine_->RunPass();  // shows a2
  ticks->Release(1);
  renderer->WaitFrames(41);
  const auto frames = renderer->frames();
  EXPECT_EQ(frames[39].first, "a1");
  EXPECT_EQ(frames[39].second.x, 39);
  EXPECT_EQ(frames[40].first, "a2");
  EXPECT_EQ(frames[40].second.x, 0);
  engine_->Push(Code(EngineCommand::kQuit));
  EXPECT_FALSE(engine_->RunPass());
  display_->Shutdown();
}

// A display whose stop hangs until the test lets it go, as a display thread stuck in a driver
// would.
class HangingDisplay : public FakeDisplay {
 public:
  void StopNow() override {
    std::unique_lock<std::mutex> lock(mutex_);
    released_.wait(lock, [&] { return release_; });
    FakeDisplay::StopNow();
  }
  void Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    release_ = true;
    released_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool release_ = false;
};

class TickerEngineComponentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    shell_.RecordSystem({6, 1}, 1041);
    ASSERT_TRUE(shell_.ClaimInstance(program_.path()));
    shell_.EnterWorkingFolder(program_.path(), app_data_.path());
    lists_ = std::make_shared<TickerLists>(shell_.folders().working_folder);
  }
  std::shared_ptr<TickerEngine> Engine(std::shared_ptr<TickerDisplay> display) {
    TickerEngine::Parts parts;
    parts.lists = lists_;
    parts.display = std::move(display);
    parts.working_folder = shell_.folders().working_folder;
    return std::make_shared<TickerEngine>(std::move(parts));
  }

  testing::TempFolder program_;
  testing::TempFolder app_data_;
  testing::ScopedCurrentDirectory restore_{program_.path()};
  AppShell shell_;
  std::shared_ptr<TickerLists> lists_;
};

TEST_F(TickerEngineComponentTest, StartsWithTheFirstListAndStopsWithinItsLimit) {
  auto engine = Engine(std::make_shared<FakeDisplay>());
  int waits = 0;
  TickerEngineComponent component(lists_, engine, [&] { ++waits; });
  ASSERT_TRUE(component.Start(shell_));
  EXPECT_EQ(component.first_list_count(), 1u);  // no dump.dat: the placeholder, shown at once
  EXPECT_EQ(lists_->shown_count(), 1u);
  // From now on hand-overs go to the engine's queue (the engine thread takes the Reload).
  lists_->SetTickerList(TestItems({"a1", "a2", "b1"}));
  component.Stop(shell_);
  EXPECT_TRUE(component.stopped_in_time());
  EXPECT_TRUE(engine->quit());
  EXPECT_EQ(lists_->shown_count(), 0u);  // freed; the list was saved first
  std::vector<uint32_t> saved;
  EXPECT_TRUE(ReadTickerDump(shell_.folders().working_folder + "/" + kTickerDumpName, &saved));
  EXPECT_TRUE(saved.empty());  // three items, none names a record
}

TEST_F(TickerEngineComponentTest, AnEngineThatHangsIsLeftBehindAfterTheTimeLimit) {
  auto display = std::make_shared<HangingDisplay>();
  auto engine = Engine(display);
  int waits = 0;
  TickerEngineComponent component(
      lists_, engine, [&] { ++waits; }, 100);
  ASSERT_TRUE(component.Start(shell_));
  engine->Push(static_cast<uint8_t>(EngineCommand::kNext));
  component.Stop(shell_);  // Quit waits for the display's stop, which hangs
  EXPECT_FALSE(component.stopped_in_time());
  EXPECT_GT(waits, 0);  // the window thread's messages were let through meanwhile
  EXPECT_EQ(lists_->shown_count(), 0u);
  display->Release();  // the engine thread ends on its own; it co-owns what it uses
}

}  // namespace
}  // namespace korvo

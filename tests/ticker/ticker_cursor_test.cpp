// The engine's cursor over the shown list, the command queue and what readers of the list see.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "store/database_guard.h"
#include "ticker/display_order.h"
#include "ticker/engine_command_queue.h"
#include "ticker/item_opening.h"
#include "ticker/ticker_lists.h"
#include "ticker/ticker_test_support.h"

namespace korvo {
namespace {

using testing::TestItems;

std::string Title(const std::vector<TickerItem>& items, const DisplayOrder& order) {
  return order.current() == DisplayOrder::kNone ? "-" : items[order.current()].title;
}

TEST(EngineCommandQueue, HoldsTwoHundredFiftySixCommandsInOrder) {
  EngineCommandQueue queue;
  uint8_t command = 0;
  EXPECT_FALSE(queue.Pop(&command));
  // Push and pop a few first, so the full queue wraps around its array.
  for (uint8_t c : {11, 12, 13}) ASSERT_EQ(queue.Push(c), 0);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(queue.Pop(&command));
  for (size_t i = 0; i < EngineCommandQueue::kCapacity; ++i) {
    ASSERT_EQ(queue.Push(static_cast<uint8_t>(i % 21)), 0) << i;
  }
  const std::vector<uint8_t> before = queue.Contents();
  EXPECT_EQ(queue.Push(1), -1);  // the 257th
  EXPECT_EQ(queue.Contents(), before);
  EXPECT_EQ(queue.size(), EngineCommandQueue::kCapacity);
  for (size_t i = 0; i < EngineCommandQueue::kCapacity; ++i) {
    ASSERT_TRUE(queue.Pop(&command));
    EXPECT_EQ(command, i % 21);
  }
  EXPECT_FALSE(queue.Pop(&command));
}

TEST(DisplayOrder, StepsWrapAndSkipHiddenItems) {
  std::vector<TickerItem> items = TestItems({"a1", "a2", "b1", "b2", "c1"});
  items[1].hidden = true;
  DisplayOrder order;
  order.Rewind(items, nullptr);
  EXPECT_EQ(Title(items, order), "a1");
  struct Step {
    bool forward;
    const char* title;
    bool wrapped;
  };
  const Step steps[] = {{true, "b1", false},  {true, "b2", false},  {true, "c1", false},
                        {true, "a1", true},   {false, "c1", false}, {false, "b2", false},
                        {false, "b1", false}, {false, "a1", true}};
  for (const Step& step : steps) {
    if (step.forward) {
      order.StepForward(items);
    } else {
      order.StepBack(items);
    }
    EXPECT_EQ(Title(items, order), step.title);
    EXPECT_EQ(order.wrapped(), step.wrapped) << step.title;
  }
  // A hidden first item: rewind starts on the first visible one; all hidden never loops.
  items[0].hidden = true;
  order.Rewind(items, nullptr);
  EXPECT_EQ(Title(items, order), "b1");
  for (TickerItem& item : items) item.hidden = true;
  EXPECT_TRUE(order.StepForward(items));
  EXPECT_TRUE(order.StepBack(items));
  // An empty list has no current item and no steps.
  const std::vector<TickerItem> none;
  order.Rewind(none, nullptr);
  EXPECT_EQ(order.current(), DisplayOrder::kNone);
  EXPECT_FALSE(order.StepForward(none));
  EXPECT_FALSE(order.StepToPreviousSite(none));
}

TEST(DisplayOrder, SiteJumpsLandOnTheFirstItemOfTheSiteAndWrap) {
  const std::vector<TickerItem> items = TestItems({"a1", "a2", "b1", "b2", "b3", "c1"});
  struct Case {
    const char* from;
    bool next;
    const char* to;
  };
  const Case cases[] = {
      {"a1", true, "b1"},  {"a2", true, "b1"},  {"b2", true, "c1"},
      {"c1", true, "a1"},  {"b1", false, "a1"}, {"b3", false, "a1"},
      {"a1", false, "c1"}, {"a2", false, "c1"}, {"c1", false, "b1"},
  };
  for (const Case& c : cases) {
    DisplayOrder order;
    order.Rewind(items, nullptr);
    while (Title(items, order) != c.from) order.StepForward(items);
    if (c.next) {
      order.StepToNextSite(items);
    } else {
      order.StepToPreviousSite(items);
    }
    EXPECT_EQ(Title(items, order), c.to) << c.from << (c.next ? " next" : " previous");
  }
  // One site only: the cursor stays.
  const std::vector<TickerItem> single = TestItems({"a1", "a2", "a3"});
  DisplayOrder order;
  order.Rewind(single, nullptr);
  order.StepForward(single);
  order.StepToPreviousSite(single);
  EXPECT_EQ(Title(single, order), "a2");
  order.StepToNextSite(single);
  EXPECT_EQ(Title(single, order), "a2");
}

TEST(DisplayOrder, ShuffleIsAPermutationThatDependsOnTheGenerator) {
  const std::vector<TickerItem> items = TestItems({"a1", "a2", "a3", "b1", "b2", "b3", "c1", "c2"});
  std::vector<std::vector<size_t>> orders;
  for (uint32_t seed : {1u, 2u, 3u}) {
    TickerRandom random(seed);
    DisplayOrder order;
    order.Rewind(items, &random);
    std::vector<size_t> sorted = order.positions();
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<size_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    orders.push_back(order.positions());
  }
  EXPECT_NE(orders[0], orders[1]);
  EXPECT_NE(orders[1], orders[2]);
  // The generator is the C library's: the first numbers of seed 1 are fixed.
  TickerRandom random(1);
  EXPECT_EQ(random.Next(), 41);
  EXPECT_EQ(random.Next(), 18467);
  EXPECT_EQ(random.Next(), 6334);
}

class ShownListTest : public ::testing::Test {
 protected:
  // Hands `names` over and selects `current` as on display.
  void Show(const std::vector<std::string>& names, const std::string& current = "") {
    lists_.SetTickerList(TestItems(names));
    lists_.SwapLists();  // with a command sink the hand-over waits for the engine's Reload
    if (!current.empty()) MoveTo(current);
  }
  void MoveTo(const std::string& title) {
    TickerItem item;
    for (size_t i = 0; i <= lists_.shown_count(); ++i) {
      ASSERT_TRUE(lists_.Select(i == 0 ? TickerMove::kCurrent : TickerMove::kNext, nullptr, &item,
                                nullptr));
      if (item.title == title) return;
    }
    FAIL() << title << " not found";
  }
  // Hands over `names` as an update would and reloads as the engine does.
  std::string ReloadWith(const std::vector<std::string>& names) {
    const TickerPlace place = lists_.CurrentPlace();
    lists_.SetCommandSink([](uint8_t) { return true; });
    lists_.SetTickerList(TestItems(names));
    lists_.SwapLists();
    lists_.PlaceAfterReload(place, nullptr);
    TickerItem item;
    EXPECT_TRUE(lists_.Select(TickerMove::kCurrent, nullptr, &item, nullptr));
    return item.title;
  }

  TickerLists lists_{""};
};

TEST_F(ShownListTest, ReloadContinuesAfterTheItemBySiteOrByPosition) {
  // The item on display is found by link: the one after it comes next.
  Show({"a1", "a2", "b1", "b2"}, "a2");
  EXPECT_EQ(ReloadWith({"x1", "a1", "a2", "b1", "b2"}), "b1");
  // Found as the last item: the next is the first.
  Show({"a1", "b1"}, "b1");
  EXPECT_EQ(ReloadWith({"a1", "b1"}), "a1");
  // Gone, but its site is still there: its first item.
  Show({"a1", "b1", "b2", "c1"}, "b2");
  EXPECT_EQ(ReloadWith({"a3", "c3", "b3", "b4"}), "b3");
  // Neither: the same position number.
  Show({"a1", "a2", "b1", "b2"}, "b1");
  EXPECT_EQ(ReloadWith({"x1", "x2", "y1", "y2", "z1"}), "y1");
  // Random order rewinds the new list, shuffled.
  Show({"a1", "a2", "b1"}, "a2");
  const TickerPlace place = lists_.CurrentPlace();
  lists_.SetTickerList(TestItems({"a1", "a2", "b1", "b2", "b3", "c1"}));
  lists_.SwapLists();
  TickerRandom random(7);
  lists_.PlaceAfterReload(place, &random);
  EXPECT_EQ(lists_.Snapshot().order.size(), 6u);
  EXPECT_NE(lists_.Snapshot().order, (std::vector<size_t>{0, 1, 2, 3, 4, 5}));
}

TEST_F(ShownListTest, RandomOrderReshufflesOnEveryPass) {
  Show({"a1", "a2", "a3", "b1", "b2", "b3", "c1", "c2", "c3", "d1"});
  TickerRandom random(12345);
  lists_.Rewind(&random);
  TickerItem item;
  ASSERT_TRUE(lists_.Select(TickerMove::kCurrent, &random, &item, nullptr));
  std::vector<std::vector<std::string>> passes(1, {item.title});
  for (int i = 0; i < 39; ++i) {
    ASSERT_TRUE(lists_.Select(TickerMove::kNext, &random, &item, nullptr));
    if (passes.back().size() == 10) passes.emplace_back();
    passes.back().push_back(item.title);
  }
  ASSERT_EQ(passes.size(), 4u);
  for (size_t p = 0; p < passes.size(); ++p) {
    std::vector<std::string> sorted = passes[p];
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end()) << "pass " << p;
    if (p > 0) {
      EXPECT_NE(passes[p], passes[p - 1]) << "pass " << p;
    }
  }
}

TEST_F(ShownListTest, ReadersGetCopiesAndOpeningHidesOnlyWhileTwoStayVisible) {
  Show({"a1", "a2", "b1"}, "a2");
  TickerSnapshot snapshot = lists_.Snapshot();
  ASSERT_EQ(snapshot.items.size(), 3u);
  EXPECT_EQ(snapshot.items[snapshot.on_display].title, "a2");
  TickerItem on_display;
  ASSERT_TRUE(lists_.OnDisplay(&on_display));
  EXPECT_EQ(on_display.title, "a2");

  std::vector<TickerItem> items = TestItems({"a1", "a2", "b1"});
  for (int i = 0; i < 3; ++i) {
    items[static_cast<size_t>(i)].id = 10 + i;
    items[static_cast<size_t>(i)].hide_once_opened = true;
  }
  lists_.SetTickerList(items);
  EXPECT_FALSE(lists_.OnDisplay(&on_display));  // a new list: nothing on display yet
  EXPECT_FALSE(lists_.MarkOpenedById(-1));
  EXPECT_FALSE(lists_.MarkOpenedById(99));
  EXPECT_TRUE(lists_.MarkOpenedById(11));
  EXPECT_TRUE(lists_.MarkOpenedById(10));
  EXPECT_TRUE(lists_.MarkOpenedById(12));  // the last visible one stays
  snapshot = lists_.Snapshot();
  EXPECT_TRUE(snapshot.items[0].hidden);
  EXPECT_TRUE(snapshot.items[1].hidden);
  EXPECT_FALSE(snapshot.items[2].hidden);
  for (const TickerItem& item : snapshot.items) EXPECT_EQ(item.state & TickerItem::kRead, 1u);
  // The cursor skips the hidden items.
  TickerItem item;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(lists_.Select(TickerMove::kNext, nullptr, &item, nullptr));
    EXPECT_EQ(item.title, "b1");
  }
  // A reference to a replaced list marks nothing.
  TickerItemRef ref;
  ASSERT_TRUE(lists_.Current(&item, &ref));
  lists_.SetTickerList(TestItems({"z1"}));
  EXPECT_FALSE(lists_.MarkOpened(ref));
  EXPECT_GT(lists_.Snapshot().generation, snapshot.generation);
  // An empty hand-over becomes the placeholder: the list is never empty.
  EXPECT_EQ(lists_.SetTickerList({}), 1u);
  EXPECT_EQ(lists_.shown()[0].id, -1);
}

TEST(ItemOpening, MarksTheRecordReadOnceAndGivesItsLink) {
  testing::TempFolder dir;
  uint32_t number = 0;
  {
    DatabaseGuard guard(dir.path());
    ScopedDatabase db(guard);
    ASSERT_TRUE(db);
    NewsItem item;
    item.title = u"T";
    item.link = u"http://127.0.0.1/t";
    item.get_day.calendar = {2024, 5, 0, 1, 10, 0, 0, 0};
    number = db->AddItem(&item, nullptr);
    ASSERT_NE(number, 0u);
  }
  TickerLists lists(dir.path());
  std::vector<TickerItem> shown = TestItems({"t1", "t2"});
  shown[1].id = static_cast<int32_t>(number);
  lists.SetTickerList(shown);
  const platform::CalendarTime first = {2024, 5, 0, 2, 9, 30, 0, 0};
  EXPECT_EQ(OpenItemById(lists, dir.path(), static_cast<int32_t>(number), first),
            "http://127.0.0.1/t");
  EXPECT_EQ(lists.shown()[1].state & TickerItem::kRead, TickerItem::kRead);
  // A second opening keeps the first check day.
  EXPECT_EQ(MarkRecordRead(dir.path(), static_cast<int32_t>(number), {2024, 6, 0, 3, 9, 0, 0, 0}),
            "http://127.0.0.1/t");
  DatabaseGuard guard(dir.path());
  ScopedDatabase db(guard);
  NewsItem record;
  record.number = number;
  ASSERT_NE(db->ReadItem(&record), 0u);
  EXPECT_EQ(record.check_day.packed, PackedDate::Pack(first));
  // No record: nothing.
  EXPECT_EQ(OpenItemById(lists, dir.path(), -1, first), "");
  EXPECT_EQ(MarkRecordRead(dir.path(), 424242, first), "");
}

}  // namespace
}  // namespace korvo

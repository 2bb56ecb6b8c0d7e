#include "feed/item_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace korvo {
namespace {

ItemList ListOf(int count, std::vector<int> shown = {}) {
  ItemList list;
  for (int i = 0; i < count; ++i) {
    FeedItem item;
    item.title = "t" + std::to_string(i);
    item.shown = std::find(shown.begin(), shown.end(), i) != shown.end();
    list.Append(std::move(item));
  }
  return list;
}

// Hands out the given numbers in turn, then repeats them.
RandomSource Sequence(std::vector<uint32_t> values) {
  auto next = std::make_shared<size_t>(0);
  return [values, next] { return values[(*next)++ % values.size()]; };
}

TEST(ItemListTest, IndexFollowsDocumentOrderAndCursorSkipsShownItems) {
  ItemList list = ListOf(4, {0, 1});
  EXPECT_EQ(list.Index(), (std::vector<size_t>{0, 1, 2, 3}));
  EXPECT_EQ(list.cursor(), 2u);
  ASSERT_NE(list.Current(), nullptr);
  EXPECT_EQ(list.Current()->title, "t2");

  // Appending makes the next read rebuild the order.
  FeedItem extra;
  extra.title = "t4";
  list.Append(std::move(extra));
  EXPECT_EQ(list.Index().size(), 5u);
  EXPECT_EQ(list[4].store_index, -1);
  EXPECT_EQ(list[4].new_flag, 1);

  ItemList all_shown = ListOf(3, {0, 1, 2});
  EXPECT_EQ(all_shown.cursor(), ItemList::kNoItem);
  EXPECT_EQ(all_shown.Current(), nullptr);

  ItemList empty;
  empty.RebuildIndex(true, Sequence({7}));
  EXPECT_TRUE(empty.Index().empty());
  EXPECT_EQ(empty.Current(), nullptr);
}

TEST(ItemListTest, ShuffleMakesTheGivenPassesOfSwaps) {
  ItemList list = ListOf(4);
  // 0 % 10 + 1 = one pass; position i swaps with 3, 2, 0, 1 in turn:
  // [0,1,2,3] -> [3,1,2,0] -> [3,2,1,0] -> [1,2,3,0] -> [1,0,3,2]
  list.RebuildIndex(true, Sequence({0, 3, 2, 0, 1}));
  EXPECT_EQ(list.Index(), (std::vector<size_t>{1, 0, 3, 2}));
  EXPECT_EQ(list.Current()->title, "t1");

  // 11 % 10 + 1 = two passes, each taking four more numbers.
  int calls = 0;
  list.RebuildIndex(true, [&calls] {
    ++calls;
    return calls == 1 ? 11u : 0u;
  });
  EXPECT_EQ(calls, 1 + 2 * 4);

  // Any shuffle is a permutation, and the cursor lands on the first unshown item in that order.
  ItemList big = ListOf(50, {3, 7});
  big.RebuildIndex(true, DefaultRandomSource());
  std::vector<size_t> sorted = big.Index();
  std::sort(sorted.begin(), sorted.end());
  for (size_t i = 0; i < sorted.size(); ++i) ASSERT_EQ(sorted[i], i);
  const size_t first = big.Index()[big.cursor()];
  EXPECT_FALSE(big[first].shown);
  for (size_t p = 0; p < big.cursor(); ++p) EXPECT_TRUE(big[big.Index()[p]].shown);

  // Without shuffle, or without a random source, the order is document order again.
  big.RebuildIndex(false, Sequence({5}));
  EXPECT_EQ(big.Index()[10], 10u);
  big.RebuildIndex(true, RandomSource{});
  EXPECT_EQ(big.Index()[10], 10u);

  big.Clear();
  EXPECT_TRUE(big.empty());
  EXPECT_EQ(big.Current(), nullptr);
}

}  // namespace
}  // namespace korvo

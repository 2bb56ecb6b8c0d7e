#include "channels/item_selection.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvo {
namespace {

constexpr uint32_t Packed(uint32_t y, uint32_t mo, uint32_t d, uint32_t h, uint32_t mi) {
  return (y << 20) | (mo << 16) | (d << 11) | (h << 6) | mi;
}

DisplayCandidate Candidate(const ItemFilterOptions* options, const char* title = "t") {
  DisplayCandidate candidate;
  candidate.options = options;
  candidate.texts.title = title;
  return candidate;
}

TEST(PackedDateTest, MinutesAcrossMonthsAndLeapYears) {
  EXPECT_EQ(PackedDateToMinutes(Packed(1970, 1, 1, 0, 0)), 0);
  EXPECT_EQ(PackedDateToMinutes(Packed(2024, 3, 1, 0, 0)) -
                PackedDateToMinutes(Packed(2024, 2, 28, 0, 0)),
            2 * 1440);
  EXPECT_EQ(PackedDateToMinutes(Packed(2023, 3, 1, 0, 0)) -
                PackedDateToMinutes(Packed(2023, 2, 28, 23, 59)),
            1);
  // Garbage fields give some number, never a fault.
  (void)PackedDateToMinutes(0xFFFFFFFFu);
}

TEST(ShouldStoreItemTest, NoAddToDbAndStoringVerdict) {
  ItemFilterOptions plain;
  EXPECT_TRUE(ShouldStoreItem(plain, ItemTexts{}));
  ItemFilterOptions no_add;
  no_add.noAddToDb = true;
  EXPECT_FALSE(ShouldStoreItem(no_add, ItemTexts{}));

  ItemFilterOptions filtered;
  filtered.keyword = "news";
  filtered.filterFlags = kFilterOn | kFilterStoreMatches;
  ItemTexts hit;
  hit.title = "NEWS";
  EXPECT_TRUE(ShouldStoreItem(filtered, hit));
  EXPECT_FALSE(ShouldStoreItem(filtered, ItemTexts{}));
  // A showing-only filter never keeps an item out of the store.
  filtered.filterFlags = kFilterOn | kFilterShowMatches;
  EXPECT_TRUE(ShouldStoreItem(filtered, ItemTexts{}));
}

TEST(SelectForDisplayTest, SkipAllAndDropNeverHideTheLastVisibleItem) {
  ItemFilterOptions skip;
  skip.skipAll = true;
  std::vector<DisplayCandidate> items(4, Candidate(&skip));
  auto verdicts = SelectForDisplay(items, Packed(2024, 1, 1, 0, 0));
  int visible = 0;
  for (const auto& v : verdicts) {
    EXPECT_FALSE(v.removed);
    visible += v.hidden ? 0 : 1;
  }
  EXPECT_EQ(visible, 1);
  EXPECT_FALSE(verdicts.back().hidden);

  ItemFilterOptions drop;
  drop.drop = true;
  std::vector<DisplayCandidate> mixed = {Candidate(&drop), Candidate(&drop), Candidate(&drop)};
  mixed[0].read = true;
  mixed[2].read = true;
  verdicts = SelectForDisplay(mixed, Packed(2024, 1, 1, 0, 0));
  EXPECT_TRUE(verdicts[0].hidden);
  EXPECT_FALSE(verdicts[1].hidden);  // unread
  EXPECT_TRUE(verdicts[2].hidden);   // one unread item is still visible

  // Removed items do not count as visible: the one item left keeps showing.
  ItemFilterOptions only_new = skip;
  only_new.onlyNew = true;
  std::vector<DisplayCandidate> pair = {Candidate(&only_new), Candidate(&skip)};
  pair[0].alreadyStored = true;
  verdicts = SelectForDisplay(pair, Packed(2024, 1, 1, 0, 0));
  EXPECT_TRUE(verdicts[0].removed);
  EXPECT_FALSE(verdicts[1].hidden);
}

TEST(SelectForDisplayTest, ItemLifetimeInHours) {
  ItemFilterOptions day;
  day.itemTtl = 24;
  const uint32_t now = Packed(2024, 3, 3, 12, 0);
  std::vector<DisplayCandidate> items(4, Candidate(&day));
  items[0].createDay = Packed(2024, 3, 1, 12, 0);  // two days old, even if new to the store
  items[1].createDay = Packed(2024, 3, 2, 12, 0);  // exactly 24 hours: kept
  items[2].createDay = 0;
  items[2].getDay = Packed(2024, 3, 2, 11, 59);    // no own date: the fetch date counts
  items[3].createDay = Packed(2024, 3, 3, 13, 0);  // from the future: kept
  auto verdicts = SelectForDisplay(items, now);
  EXPECT_TRUE(verdicts[0].hidden);
  EXPECT_FALSE(verdicts[1].hidden);
  EXPECT_TRUE(verdicts[2].hidden);
  EXPECT_FALSE(verdicts[3].hidden);
  for (const auto& v : verdicts) EXPECT_FALSE(v.removed);
}

TEST(SelectForDisplayTest, RemovalByShowingFilterAndOnlyNew) {
  ItemFilterOptions news;
  news.keyword = "news";
  news.filterFlags = kFilterOn | kFilterShowMatches;
  ItemFilterOptions only_new;
  only_new.onlyNew = true;
  std::vector<DisplayCandidate> items = {Candidate(&news, "World NEWS"), Candidate(&news, "sports"),
                                         Candidate(&only_new), Candidate(&only_new)};
  items[3].alreadyStored = true;
  auto verdicts = SelectForDisplay(items, 0);
  EXPECT_FALSE(verdicts[0].removed);
  EXPECT_TRUE(verdicts[1].removed);
  EXPECT_FALSE(verdicts[2].removed);
  EXPECT_TRUE(verdicts[3].removed);
}

}  // namespace
}  // namespace korvo

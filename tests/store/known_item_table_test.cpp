// Recognising stored items: buckets by link hash, title and link compared, entity-escaped links,
// items stored during the same run, and the import of a local feed file.
#include "store/known_item_table.h"

#include <gtest/gtest.h>

#include <string>

#include "common/temp_folder.h"
#include "platform/code_page.h"
#include "store/news_database.h"
#include "store_test_util.h"

namespace korvo {
namespace {

using korvo::testing::Cal;
using korvo::testing::SampleItem;
using korvo::testing::TempFolder;

std::string Cp932(const std::u16string& text) { return platform::Utf16ToCp932(text); }

class KnownItemTableTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(db_.Open(folder_.path())); }

  uint32_t Add(NewsItem item) { return db_.AddItem(&item, nullptr); }

  TempFolder folder_;
  NewsDatabase db_;
  const platform::CalendarTime now_ = Cal(2005, 2, 1, 10, 30);
};

TEST_F(KnownItemTableTest, FindsStoredItemsByLinkAndTitle) {
  uint32_t numbers[40];
  for (int i = 0; i < 40; ++i) numbers[i] = Add(SampleItem(i, now_));
  KnownItemTable known;
  known.Build(db_);
  EXPECT_EQ(known.size(), 40u);
  EXPECT_EQ(known.bucket_count(), 44u);
  for (int i = 0; i < 40; ++i) {
    const NewsItem item = SampleItem(i, now_);
    EXPECT_EQ(known.Lookup(db_, Cp932(item.link), Cp932(item.title)), numbers[i]) << i;
  }
  const NewsItem item = SampleItem(3, now_);
  // A changed title is a new item; so is an unknown link.
  EXPECT_EQ(known.Lookup(db_, Cp932(item.link), "other title"), 0u);
  EXPECT_EQ(known.Lookup(db_, "http://elsewhere/", Cp932(item.title)), 0u);
}

TEST_F(KnownItemTableTest, OneLinkWithTwoTitlesGivesTwoItems) {
  NewsItem first = SampleItem(1, now_);
  NewsItem second = first;
  second.title = u"\u7D9A\u5831";  // "続報"
  const uint32_t a = Add(first);
  const uint32_t b = Add(second);
  KnownItemTable known;
  known.Build(db_);
  EXPECT_EQ(known.Lookup(db_, Cp932(first.link), Cp932(first.title)), a);
  EXPECT_EQ(known.Lookup(db_, Cp932(second.link), Cp932(second.title)), b);
}

TEST_F(KnownItemTableTest, StoredLinksWithEntitiesMatchAfterUnescaping) {
  NewsItem item = SampleItem(7, now_);
  item.link = u"http://a.example/?x=1&amp;y=2";
  const uint32_t n = Add(item);
  KnownItemTable known;
  known.Build(db_);
  // The bucket is the one of the feed's link: an escaped stored link is only found through it
  // when the hashes agree, so look the stored form up and verify the unescaped comparison.
  EXPECT_EQ(known.Lookup(db_, "http://a.example/?x=1&amp;y=2", Cp932(item.title)), n);
  EXPECT_TRUE(known.Verify(db_, n, "http://a.example/?x=1&y=2", Cp932(item.title)));
  EXPECT_FALSE(known.Verify(db_, n, "http://a.example/?x=1&y=3", Cp932(item.title)));
}

TEST_F(KnownItemTableTest, ItemsStoredDuringTheRunAreRemembered) {
  KnownItemTable known;
  known.Build(db_);  // an empty store: four buckets
  EXPECT_EQ(known.bucket_count(), 4u);
  NewsItem item = SampleItem(5, now_);
  const uint32_t n = db_.AddItem(&item, nullptr);
  ASSERT_NE(n, 0u);
  EXPECT_EQ(known.Lookup(db_, Cp932(item.link), Cp932(item.title)), 0u);
  known.Remember(n, item.link_hash);
  EXPECT_EQ(known.Lookup(db_, Cp932(item.link), Cp932(item.title)), n);
}

TEST_F(KnownItemTableTest, ImportAddsNewItemsOnceAndMarksThemUnread) {
  KnownItemTable known;
  known.Build(db_);
  const NewsItem item = SampleItem(9, now_);
  const uint32_t n =
      ImportItemAsUnread(db_, known, Cp932(item.link), Cp932(item.title), item, now_);
  ASSERT_NE(n, 0u);
  EXPECT_EQ(ImportItemAsUnread(db_, known, Cp932(item.link), Cp932(item.title), item, now_), 0u);
  const std::vector<NewsItem> unread = db_.ReadLaterItems();
  ASSERT_EQ(unread.size(), 1u);
  EXPECT_EQ(unread[0].number, n);
  EXPECT_EQ(unread[0].title, item.title);
  // A fresh table over the store knows it too.
  KnownItemTable again;
  again.Build(db_);
  EXPECT_EQ(again.Lookup(db_, Cp932(item.link), Cp932(item.title)), n);
}

TEST_F(KnownItemTableTest, RecordsThatNoLongerReadAreNotMatches) {
  const NewsItem item = SampleItem(2, now_);
  const uint32_t n = Add(item);
  KnownItemTable known;
  known.Build(db_);
  NewsItem gone;
  gone.number = n;
  ASSERT_EQ(db_.DeleteItem(gone), 0);
  EXPECT_EQ(known.Lookup(db_, Cp932(item.link), Cp932(item.title)), 0u);
}

}  // namespace
}  // namespace korvo

// Marking, opening, the memo, the read-later list, deleting and the clipboard texts.
#include "browse/item_actions.h"

#include <gtest/gtest.h>

#include "browse/read_later_file.h"
#include "browse_test_util.h"
#include "store/news_database.h"

namespace korvo::testing {
namespace {

const platform::CalendarTime kNow = Cal(2006, 1, 2, 12, 30);

class ItemActionsTest : public StoreFixture {
 protected:
  void SetUp() override {
    StoreFixture::SetUp();
    unread_ = AddTitled(1, "unread", Cal(2006, 1, 2, 9, 0));
    read_ = AddTitled(2, "read", Cal(2006, 1, 2, 9, 0), Cal(2006, 1, 2, 10, 0));
    NewsItem noted = SampleItem(3, Cal(2006, 1, 2, 9, 0));
    noted.check_day.calendar = Cal(2006, 1, 2, 11, 0);
    noted.comment = u"keep";
    noted_ = Add(noted);
  }
  uint32_t unread_ = 0, read_ = 0, noted_ = 0;
};

TEST_F(ItemActionsTest, MarkReadRefusesToOverwriteACheckDay) {
  const ActionResult result = MarkRead(*guard_, {unread_, read_, 0, 777777}, kNow);
  EXPECT_TRUE(result.refused);
  EXPECT_EQ(result.missing, 2u);
  ASSERT_EQ(result.changed.size(), 1u);
  EXPECT_EQ(result.changed[0].cell(list_column::kCheckDay), "2006/01/02 12:30");
  EXPECT_EQ(Read(read_).check_day.packed, PackedDate::Pack(Cal(2006, 1, 2, 10, 0)));
}

TEST_F(ItemActionsTest, MarkUnreadRefusesCommentedItemsAndListsTheRest) {
  const ActionResult result = MarkUnread(*guard_, {read_, noted_});
  EXPECT_TRUE(result.refused);
  ASSERT_EQ(result.changed.size(), 1u);
  EXPECT_FALSE(result.changed[0].read());
  EXPECT_FALSE(Read(noted_).check_day.empty());
  ScopedDatabase db(*guard_);
  const std::vector<NewsItem> later = db->ReadLaterItems();
  ASSERT_EQ(later.size(), 1u);
  EXPECT_EQ(later[0].number, read_);
}

TEST_F(ItemActionsTest, MarkAndUnmarkAndTheMemo) {
  EXPECT_EQ(SetMarked(*guard_, {unread_, read_}, true).changed.size(), 2u);
  EXPECT_TRUE(SetMarked(*guard_, {unread_}, true).changed.empty());  // already marked
  EXPECT_EQ(Read(read_).flags, NewsItem::kMarked);
  EXPECT_EQ(SetMarked(*guard_, {read_}, false).changed.size(), 1u);
  EXPECT_EQ(Read(read_).flags, 0u);

  const auto row = WriteMemo(*guard_, read_, Sjis(u8"一行目\r\n二行目"), true);
  ASSERT_TRUE(row.has_value());
  EXPECT_TRUE(row->marked);
  EXPECT_EQ(row->cell(list_column::kComment), Sjis(u8"一行目 二行目"));
  std::string comment;
  bool marked = false;
  ASSERT_TRUE(ReadMemo(*guard_, read_, &comment, &marked));
  EXPECT_EQ(comment, Sjis(u8"一行目\r\n二行目"));
  EXPECT_TRUE(marked);
  EXPECT_FALSE(WriteMemo(*guard_, 0, "x", false).has_value());
}

TEST_F(ItemActionsTest, OpeningMarksReadOnceAndKeepsTheFirstCheckDay) {
  const auto first = OpenRecord(*guard_, unread_, kNow);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->cell(list_column::kCheckDay), "2006/01/02 12:30");
  const auto again = OpenRecord(*guard_, unread_, Cal(2006, 1, 3, 8, 0));
  EXPECT_EQ(again->cell(list_column::kCheckDay), "2006/01/02 12:30");
  EXPECT_FALSE(OpenRecord(*guard_, 555555, kNow).has_value());
}

TEST_F(ItemActionsTest, ReadLaterCountsMissingRecordsOnlyAndDeleteRemoves) {
  const ActionResult later = AddToReadLater(*guard_, {read_, read_, 0, 424242});
  EXPECT_EQ(later.missing, 2u);  // 0 and a number that names no record
  EXPECT_FALSE(later.refused);   // the second read_ is already listed: not an error
  EXPECT_EQ(later.changed.size(), 1u);
  EXPECT_EQ(DeleteRecords(*guard_, {read_, 0, 424242}), 1u);
  ScopedDatabase db(*guard_);
  EXPECT_TRUE(db->ReadLaterItems().empty());
}

TEST_F(ItemActionsTest, ExportedReadLaterListIsEscapedRss) {
  NewsItem item = Read(noted_);
  item.title = u"a < b & \u3042";
  const std::string feed = ReadLaterFeed({item}, 540);
  EXPECT_NE(feed.find("<title>a &lt; b &amp; \xE3\x81\x82</title>"), std::string::npos);
  EXPECT_NE(feed.find("<link>http://news.example.jp/articles/3.html</link>"), std::string::npos);
  EXPECT_NE(feed.find("<pubDate>Mon, 02 Jan 2006 00:00:00 GMT</pubDate>"), std::string::npos);
  EXPECT_NE(feed.find("<source url=\"http://news.example.jp/\">Example News</source>"),
            std::string::npos);
}

TEST(ClipboardTextTest, UrlTitleAndBoth) {
  ListRow a;
  a.cells[list_column::kTitle] = "A";
  a.cells[list_column::kUrl] = "http://a/";
  ListRow b = a;
  b.cells[list_column::kTitle] = "B";
  EXPECT_EQ(ClipboardText({a, b}, CopyWhat::kUrl), "http://a/\r\nhttp://a/\r\n");
  EXPECT_EQ(ClipboardText({a}, CopyWhat::kTitle), "A\r\n");
  EXPECT_EQ(ClipboardText({a, b}, CopyWhat::kUrlAndTitle), "A\r\nhttp://a/\r\nB\r\nhttp://a/\r\n");
}

}  // namespace
}  // namespace korvo::testing

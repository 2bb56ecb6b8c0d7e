// Recognising stored items: buckets from the link index, title and link checks, links with
// entities and over-long links, and the import of a local feed file.
#include "store/known_item_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "platform/code_page.h"
#include "store/link_hash.h"
#include "store_test_util.h"

namespace korvo {
namespace {

using korvo::testing::Cal;
using korvo::testing::SampleItem;
using korvo::testing::TempFolder;

std::u16string Wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

class KnownItemTableTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(db_.Open(dir_.path())); }
  uint32_t Add(const std::u16string& link, const std::u16string& title) {
    NewsItem item = SampleItem(++added_, Cal(2024, 5, 1, 12, 0));
    item.link = link;
    item.title = title;
    const uint32_t n = db_.AddItem(&item, nullptr);
    EXPECT_NE(n, 0u);
    return n;
  }
  // The feed's CP932 form of a stored text.
  static std::string Narrow(const std::u16string& text) { return platform::Utf16ToCp932(text); }
  uint32_t Lookup(const std::u16string& link, const std::u16string& title) {
    return known_.Lookup(db_, Narrow(link), Narrow(title));
  }

  TempFolder dir_;
  NewsDatabase db_;
  KnownItemTable known_;
  int added_ = 0;
};

// "速報 ニュース" and "続報 ニュース": titles that differ in one kanji.
const std::u16string kTitle = u"\u901F\u5831 \u30CB\u30E5\u30FC\u30B9";
const std::u16string kOtherTitle = u"\u7D9A\u5831 \u30CB\u30E5\u30FC\u30B9";

TEST_F(KnownItemTableTest, KnownOnlyWithTheSameLinkAndTitle) {
  known_.Build(db_);
  EXPECT_EQ(known_.bucket_count(), 4u);
  EXPECT_EQ(Lookup(u"http://a.example.jp/1", kTitle), 0u);

  const uint32_t a = Add(u"http://a.example.jp/1", kTitle);
  const uint32_t b = Add(u"http://a.example.jp/2", kTitle);
  const uint32_t c = Add(u"http://a.example.jp/1", kOtherTitle);
  const uint32_t twin = Add(u"http://a.example.jp/1", kTitle);
  known_.Build(db_);
  EXPECT_EQ(known_.bucket_count(), 8u);  // records + 4
  EXPECT_EQ(known_.size(), 4u);

  // The first record of the bucket that verifies, in index order.
  EXPECT_EQ(Lookup(u"http://a.example.jp/1", kTitle), a);
  EXPECT_EQ(Lookup(u"http://a.example.jp/2", kTitle), b);
  EXPECT_EQ(Lookup(u"http://a.example.jp/1", kOtherTitle), c);
  EXPECT_NE(twin, a);
  // A changed title or link makes a new item.
  EXPECT_EQ(Lookup(u"http://a.example.jp/2", kOtherTitle), 0u);
  EXPECT_EQ(Lookup(u"http://a.example.jp/3", kTitle), 0u);
  EXPECT_EQ(Lookup(u"http://a.example.jp/1", u""), 0u);
  EXPECT_TRUE(known_.Verify(db_, a, Narrow(u"http://a.example.jp/1"), Narrow(kTitle)));
  EXPECT_FALSE(known_.Verify(db_, a, Narrow(u"http://a.example.jp/1"), Narrow(kOtherTitle)));
}

TEST_F(KnownItemTableTest, FindsEachOfManyStoredItems) {
  uint32_t numbers[40];
  for (int i = 0; i < 40; ++i) {
    NewsItem item = SampleItem(i, Cal(2005, 2, 1, 10, 30));
    numbers[i] = db_.AddItem(&item, nullptr);
  }
  known_.Build(db_);
  EXPECT_EQ(known_.size(), 40u);
  EXPECT_EQ(known_.bucket_count(), 44u);
  for (int i = 0; i < 40; ++i) {
    const NewsItem item = SampleItem(i, Cal(2005, 2, 1, 10, 30));
    EXPECT_EQ(Lookup(item.link, item.title), numbers[i]) << i;
  }
}

TEST_F(KnownItemTableTest, RecordsThatNoLongerReadAreSkipped) {
  const uint32_t a = Add(u"http://a.example.jp/1", kTitle);
  const uint32_t b = Add(u"http://a.example.jp/1", kTitle);
  known_.Build(db_);
  NewsItem gone;
  gone.number = a;
  ASSERT_EQ(db_.DeleteItem(gone), 0);
  EXPECT_EQ(Lookup(u"http://a.example.jp/1", kTitle), b);
  EXPECT_FALSE(known_.Verify(db_, a, Narrow(u"http://a.example.jp/1"), Narrow(kTitle)));
  EXPECT_FALSE(known_.Verify(db_, 0, "", ""));
  EXPECT_FALSE(known_.Verify(db_, 0xFFFFFFFF, "", ""));
}

TEST_F(KnownItemTableTest, StoredLinkMatchesAfterItsEntitiesAreUnescaped) {
  // The bucket is chosen by the feed's link, so the stored escaped link is a candidate only when
  // both hashes fall into the same bucket: pick such a link (one record: 5 buckets).
  for (int i = 0;; ++i) {
    ASSERT_LT(i, 1000);
    const std::string n = std::to_string(i);
    const std::u16string stored =
        Wide("http://e.example.jp/?id=" + n + "&amp;amp;q=&quot;x&quot;&nbsp;&lt;&gt;&apos;");
    const std::u16string plain = Wide("http://e.example.jp/?id=" + n + "&q=\"x\" <>'");
    if (LinkHash(stored) % 5 != LinkHash(plain) % 5) continue;
    const uint32_t number = Add(stored, kTitle);
    known_.Build(db_);
    EXPECT_EQ(Lookup(plain, kTitle), number);
    EXPECT_EQ(Lookup(stored, kTitle), number);
    EXPECT_EQ(Lookup(plain, kOtherTitle), 0u);
    EXPECT_FALSE(known_.Verify(db_, number, Narrow(plain) + "x", Narrow(kTitle)));
    break;
  }
}

TEST_F(KnownItemTableTest, LinksLongerThanTheLimitAreStillRecognised) {
  // Two long links that share their first 4,095 bytes and one short link.
  const std::u16string head = Wide("http://l.example.jp/?" + std::string(4200, 'q'));
  const uint32_t a = Add(head + u"&a", kTitle);
  const uint32_t b = Add(head + u"&b", kTitle);
  const uint32_t c = Add(u"http://l.example.jp/", kTitle);
  known_.Build(db_);
  EXPECT_EQ(Lookup(head + u"&a", kTitle), a);
  EXPECT_EQ(Lookup(head + u"&b", kTitle), b);
  EXPECT_EQ(Lookup(u"http://l.example.jp/", kTitle), c);
  EXPECT_EQ(Lookup(head + u"&c", kTitle), 0u);
  EXPECT_EQ(Lookup(head, kTitle), 0u);
  // Japanese text cut in the middle of a double-byte character.
  const std::u16string japanese =
      u"http://l.example.jp/" + std::u16string(2100, u'\u3042');  // 4,220 CP932 bytes
  const uint32_t d = Add(japanese, kTitle);
  known_.Build(db_);
  EXPECT_EQ(Lookup(japanese, kTitle), d);
  const uint32_t e = Add(u"http://l.example.jp/" + std::u16string(2037, u'\u3042') + u"x",
                         kTitle);  // 4,095 bytes: the key is the whole link
  known_.Build(db_);
  EXPECT_EQ(Lookup(u"http://l.example.jp/" + std::u16string(2037, u'\u3042') + u"x", kTitle), e);
}

TEST_F(KnownItemTableTest, RememberedRecordsAreKnownWithinTheSameRun) {
  known_.Build(db_);
  NewsItem item = SampleItem(1, Cal(2024, 5, 1));
  const uint32_t n = db_.AddItem(&item, nullptr);
  ASSERT_NE(n, 0u);
  EXPECT_EQ(Lookup(item.link, item.title), 0u);
  known_.Remember(n, item.link_hash);
  EXPECT_EQ(Lookup(item.link, item.title), n);
  EXPECT_EQ(Lookup(item.link, kOtherTitle), 0u);
  // A new Build starts from the link index alone, which now lists the record.
  known_.Build(db_);
  EXPECT_EQ(Lookup(item.link, item.title), n);
}

TEST_F(KnownItemTableTest, ImportedItemsAreAddedOnceAndListedUnread) {
  const platform::CalendarTime now = Cal(2024, 6, 2, 21, 15);
  known_.Build(db_);
  NewsItem item = SampleItem(7, Cal(2024, 6, 1, 8, 0));
  item.get_day = PackedDate();
  item.last_seen = PackedDate();
  const std::string link = Narrow(item.link), title = Narrow(item.title);

  const uint32_t n = ImportItemAsUnread(db_, known_, link, title, item, now);
  ASSERT_NE(n, 0u);
  NewsItem back;
  back.number = n;
  ASSERT_NE(db_.ReadItem(&back), 0u);
  EXPECT_EQ(back.get_day.packed, PackedDate::Pack(now));
  EXPECT_EQ(back.last_seen.packed, PackedDate::Pack(now));
  EXPECT_EQ(back.create_day.packed, PackedDate::Pack(Cal(2024, 6, 1, 8, 0)));
  EXPECT_EQ(back.check_day.packed, 0u);
  ASSERT_EQ(db_.ReadLaterItems().size(), 1u);
  EXPECT_EQ(db_.ReadLaterItems()[0].number, n);

  // The same item again, in the same file or a later import, is left as it is.
  EXPECT_EQ(ImportItemAsUnread(db_, known_, link, title, item, now), 0u);
  KnownItemTable fresh;
  fresh.Build(db_);
  EXPECT_EQ(ImportItemAsUnread(db_, fresh, link, title, item, now), 0u);
  EXPECT_EQ(db_.ReadIndex(NewsDatabase::kDayIndex).size(), 1u);

  // A changed title is a new item.
  NewsItem retitled = item;
  retitled.title = kOtherTitle;
  const uint32_t m = ImportItemAsUnread(db_, fresh, link, Narrow(kOtherTitle), retitled, now);
  EXPECT_NE(m, 0u);
  EXPECT_NE(m, n);
  EXPECT_EQ(db_.ReadLaterItems().size(), 2u);
}

}  // namespace
}  // namespace korvo

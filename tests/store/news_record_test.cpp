// Records in memory and in their stored form: dates, link hash, stored bytes, queries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/item_query.h"
#include "store/link_hash.h"
#include "store/news_item.h"
#include "store/packed_date.h"
#include "store_test_util.h"

namespace korvo {
namespace {

using korvo::testing::Cal;

TEST(PackedDateTest, PacksAndUnpacks) {
  platform::CalendarTime t = Cal(2005, 2, 1, 10, 30, 45);
  t.day_of_week = 2;
  t.millisecond = 500;
  EXPECT_EQ(PackedDate::Pack(t), 0x7D520A9Eu);
  const platform::CalendarTime back = PackedDate::Unpack(0x7D520A9Eu);
  EXPECT_EQ(back.year, 2005);
  EXPECT_EQ(back.month, 2);
  EXPECT_EQ(back.day, 1);
  EXPECT_EQ(back.hour, 10);
  EXPECT_EQ(back.minute, 30);
  EXPECT_EQ(back.day_of_week, 0);
  EXPECT_EQ(back.second, 0);
  EXPECT_EQ(back.millisecond, 0);
  // Every minute and hour survives (minutes 32-59 need the sixth bit).
  for (int minute : {0, 31, 32, 45, 59}) {
    for (int hour : {0, 12, 23}) {
      const platform::CalendarTime u =
          PackedDate::Unpack(PackedDate::Pack(Cal(2021, 7, 9, hour, minute)));
      EXPECT_EQ(u.hour * 60 + u.minute, hour * 60 + minute);
    }
  }
  EXPECT_EQ(PackedDate::Pack(platform::CalendarTime()), 0u);
  EXPECT_TRUE(PackedDate::IsEmptyCalendar(platform::CalendarTime()));
  EXPECT_FALSE(PackedDate::IsEmptyCalendar(t));
  // Later times pack to larger values; a field out of range does not reach its neighbour.
  EXPECT_LT(PackedDate::Pack(Cal(2005, 12, 31, 23, 59)), PackedDate::Pack(Cal(2006, 1, 1)));
  EXPECT_EQ(PackedDate::Pack(Cal(2005, 2, 1, 10, 64 + 30)), 0x7D520A9Eu);
  EXPECT_TRUE(PackedDate::SameDay(PackedDate::Pack(Cal(2005, 2, 1, 0, 0)),
                                  PackedDate::Pack(Cal(2005, 2, 1, 23, 59))));
  EXPECT_FALSE(
      PackedDate::SameDay(PackedDate::Pack(Cal(2005, 2, 1)), PackedDate::Pack(Cal(2005, 2, 2))));
}

TEST(LinkHashTest, KnownValues) {
  EXPECT_EQ(LinkHash(u"abc"), 187171u);
  EXPECT_EQ(LinkHash(u""), 1u);
  // Wraps modulo 2^32 and keeps 31 bits.
  const uint32_t h = LinkHash(u"http://example.com/a/very/long/link/that/overflows?x=1");
  EXPECT_EQ(h & 0x80000000u, 0u);
  uint32_t expected = 1;
  for (char16_t c : std::u16string(u"\u3042\uFFFF")) expected = expected * 37 + c;
  EXPECT_EQ(LinkHash(u"\u3042\uFFFF"), expected & 0x7FFFFFFFu);
}

TEST(StoredFormTest, EmptyRecordIs54BytesInOneBlock) {
  NewsItem item;
  item.number = 7;
  item.link_hash = 1;
  std::vector<unsigned char> bytes;
  EXPECT_EQ(StoredLength(item), 54u);
  EXPECT_EQ(BuildStoredForm(item, 512, &bytes), 54u);
  ASSERT_EQ(bytes.size(), 512u);
  EXPECT_EQ(bytes[0], 7);
  EXPECT_EQ(bytes[4], 1);
  EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + 8, bytes.end()),
            std::vector<unsigned char>(504, 0));
}

TEST(StoredFormTest, ExactBytes) {
  NewsItem item;
  item.number = 0x01020304;
  item.link_hash = 0x11223344;
  item.get_day.packed = 0x7D520A9E;
  item.last_seen.packed = 5;
  item.check_day.packed = 6;
  item.flags = 1;
  item.create_day.packed = 8;
  item.link = u"a";
  item.title = u"\u30CB";
  item.comment = u"zz";
  std::vector<unsigned char> bytes;
  const size_t length = BuildStoredForm(item, 512, &bytes);
  EXPECT_EQ(length, 54u + 2 * 4);
  const std::vector<unsigned char> expected = {0x04, 0x03, 0x02, 0x01, 0x44, 0x33,
                                               0x22, 0x11, 0x9E, 0x0A, 0x52, 0x7D,
                                               5,    0,    0,    0,    6,    0,
                                               0,    0,    1,    0,    0,    0,
                                               8,    0,    0,    0,    0,    0,
                                               0,    0,    'a',  0,    0,    0,  // link
                                               0xCB, 0x30, 0,    0,              // title
                                               0,    0,    0,    0,    0,    0,
                                               0,    0,    0,    0,    0,    0,
                                               0,    0,  // rss .. subelement, trackback
                                               0,    0,    'z',  0,    'z',  0,
                                               0,    0};  // ... comment
  ASSERT_EQ(expected.size(), length);
  EXPECT_EQ(std::vector<unsigned char>(bytes.begin(), bytes.begin() + length), expected);

  NewsItem parsed;
  EXPECT_EQ(ParseStoredForm(bytes.data(), bytes.size(), &parsed), length);
  EXPECT_EQ(parsed.number, item.number);
  EXPECT_EQ(parsed.get_day.calendar.year, 2005);
  EXPECT_EQ(parsed.title, item.title);
  EXPECT_EQ(parsed.comment, item.comment);
  EXPECT_TRUE(parsed.rss.empty());
}

TEST(StoredFormTest, SizesAcrossBlocksAndEmbeddedNul) {
  NewsItem item;
  item.description = std::u16string((512 - 54) / 2, u'x');  // exactly 512 bytes
  std::vector<unsigned char> bytes;
  EXPECT_EQ(BuildStoredForm(item, 512, &bytes), 512u);
  EXPECT_EQ(bytes.size(), 512u);
  item.description.push_back(u'y');  // 514 bytes: two blocks
  EXPECT_EQ(BuildStoredForm(item, 512, &bytes), 514u);
  EXPECT_EQ(bytes.size(), 1024u);
  // A 0 code unit inside a text would shift every later field: the text is cut there.
  NewsItem nul;
  nul.title = std::u16string(u"ab\0cd", 5);
  nul.author = u"me";
  EXPECT_EQ(BuildStoredForm(nul, 512, &bytes), 54u + 2 * 4);
  NewsItem parsed;
  ASSERT_NE(ParseStoredForm(bytes.data(), bytes.size(), &parsed), 0u);
  EXPECT_EQ(parsed.title, u"ab");
  EXPECT_EQ(parsed.author, u"me");
}

TEST(StoredFormTest, NeverReadsPastTheBytes) {
  NewsItem item = korvo::testing::SampleItem(3, Cal(2020, 1, 2));
  std::vector<unsigned char> bytes;
  const size_t length = BuildStoredForm(item, 512, &bytes);
  // Every cut that loses a terminator is refused; the exact length parses.
  for (size_t size = 0; size < length; ++size) {
    std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + size);
    NewsItem parsed;
    parsed.number = 99;
    EXPECT_EQ(ParseStoredForm(cut.data(), cut.size(), &parsed), 0u) << size;
    EXPECT_EQ(parsed.number, 99u);
  }
  std::vector<unsigned char> exact(bytes.begin(), bytes.begin() + length);
  NewsItem parsed;
  EXPECT_EQ(ParseStoredForm(exact.data(), exact.size(), &parsed), length);
  EXPECT_EQ(parsed.description, item.description);
  // Garbage without terminators.
  std::vector<unsigned char> garbage(1024, 0xAB);
  EXPECT_EQ(ParseStoredForm(garbage.data(), garbage.size(), &parsed), 0u);
}

NewsItem QueryRecord() {
  NewsItem r;
  r.number = 10;
  r.link_hash = 0x30;
  r.flags = 1;
  r.link = u"http://a/";
  r.title = u"Title";
  r.comment = u"note";
  r.get_day = PackedDate::FromCalendar(Cal(2021, 5, 6, 12, 0));
  r.check_day = PackedDate::FromCalendar(Cal(2021, 5, 7, 8, 15));
  return r;
}

TEST(ItemQueryTest, OperatorsByKind) {
  const NewsItem r = QueryRecord();
  using C = QueryCondition;
  auto eval = [&](ItemQuery q) { return q.Matches(r); };
  EXPECT_TRUE(eval(ItemQuery()));
  EXPECT_TRUE(eval(ItemQuery().Add(C::kNumber, C::kEqual, 10u)));
  EXPECT_TRUE(eval(ItemQuery().Add(C::kNumber, C::kGreater, 9u)));
  EXPECT_FALSE(eval(ItemQuery().Add(C::kNumber, C::kLess, 10u)));
  EXPECT_TRUE(eval(ItemQuery().Add(C::kNumber, C::kLessEqual, 10u)));
  EXPECT_TRUE(eval(ItemQuery().Add(C::kLinkHash, C::kBitAnd, 0x10u)));
  EXPECT_FALSE(eval(ItemQuery().Add(C::kFlags, C::kBitAnd, 2u)));
  EXPECT_TRUE(eval(ItemQuery().Add(C::kFlags, C::kBitOr, 2u)));
  EXPECT_FALSE(eval(ItemQuery().Add(C::kFlags, C::kContains, 1u)));
  // Strings: code-unit order; operators 5 and 6 never hold.
  EXPECT_TRUE(eval(ItemQuery().Add(C::kComment, C::kGreater, std::u16string(u" "))));
  EXPECT_TRUE(eval(ItemQuery().Add(C::kTitle, C::kContains, std::u16string(u"itl"))));
  EXPECT_FALSE(eval(ItemQuery().Add(C::kTitle, C::kBitAnd, std::u16string(u"T"))));
  EXPECT_TRUE(eval(ItemQuery().Add(C::kLink, C::kEqual, std::u16string(u"http://a/"))));
  EXPECT_FALSE(eval(ItemQuery().Add(C::kRss, C::kGreater, std::u16string(u""))));
  // Dates: equal is the same day; the others compare to the minute.
  EXPECT_TRUE(eval(ItemQuery().Add(C::kGetDay, C::kEqual, Cal(2021, 5, 6, 23, 59))));
  EXPECT_FALSE(eval(ItemQuery().Add(C::kGetDay, C::kGreater, Cal(2021, 5, 6, 12, 0, 30))));
  EXPECT_TRUE(eval(ItemQuery().Add(C::kGetDay, C::kGreaterEqual, Cal(2021, 5, 6, 12, 0, 30))));
  EXPECT_TRUE(eval(ItemQuery().Add(C::kCheckDay, C::kLess, Cal(2021, 5, 7, 8, 16))));
  EXPECT_FALSE(eval(ItemQuery().Add(C::kLastSeen, C::kGreater, Cal(1, 1, 1))));
  EXPECT_FALSE(eval(ItemQuery().Add(C::kGetDay, C::kContains, Cal(2021, 5, 6))));
  EXPECT_FALSE(eval(ItemQuery().Add(42, C::kEqual, 0u)));
  EXPECT_FALSE(eval(ItemQuery().Add(C::kNumber, 42, 10u)));
}

TEST(ItemQueryTest, Joins) {
  const NewsItem r = QueryRecord();
  using C = QueryCondition;
  const uint32_t yes = 10, no = 11;
  auto q = [](uint32_t a, int join, uint32_t b) {
    return ItemQuery().Add(C::kNumber, C::kEqual, a, join).Add(C::kNumber, C::kEqual, b);
  };
  EXPECT_TRUE(q(yes, C::kJoinAnd, yes).Matches(r));
  EXPECT_FALSE(q(yes, C::kJoinAnd, no).Matches(r));
  EXPECT_FALSE(q(no, C::kJoinAnd, yes).Matches(r));  // stops at once
  EXPECT_TRUE(q(no, C::kJoinOr, yes).Matches(r));
  EXPECT_TRUE(q(yes, C::kJoinOr, no).Matches(r));
  EXPECT_FALSE(q(yes, C::kJoinNone, no).Matches(r));  // the later result replaces
  EXPECT_TRUE(q(no, C::kJoinNone, yes).Matches(r));
  // (no OR yes) AND yes: the OR sum stays non-zero through the AND.
  ItemQuery three;
  three.Add(C::kNumber, C::kEqual, no, C::kJoinOr)
      .Add(C::kNumber, C::kEqual, yes, C::kJoinAnd)
      .Add(C::kNumber, C::kEqual, yes);
  EXPECT_TRUE(three.Matches(r));
  // no AND ... stops even when a later OR would hold.
  ItemQuery stop;
  stop.Add(C::kNumber, C::kEqual, no, C::kJoinAnd)
      .Add(C::kNumber, C::kEqual, yes, C::kJoinOr)
      .Add(C::kNumber, C::kEqual, yes);
  EXPECT_FALSE(stop.Matches(r));
}

}  // namespace
}  // namespace korvo

// The news database: operations, index files, compaction, rebuild and recovery.
#include "store/news_database.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/fault_files.h"
#include "common/temp_folder.h"
#include "platform/files.h"
#include "store/link_hash.h"
#include "store/little_endian.h"
#include "store_test_util.h"

namespace korvo {
namespace {

using korvo::testing::Cal;
using korvo::testing::FaultFiles;
using korvo::testing::FileBytes;
using korvo::testing::SampleItem;
using korvo::testing::TempFolder;
using C = QueryCondition;

std::vector<uint32_t> Numbers(const std::vector<IndexEntry>& entries) {
  std::vector<uint32_t> n;
  for (const IndexEntry& e : entries) n.push_back(e.number);
  return n;
}

std::vector<uint32_t> Numbers(const std::vector<NewsItem>& items) {
  std::vector<uint32_t> n;
  for (const NewsItem& i : items) n.push_back(i.number);
  return n;
}

// Records that reach the progress display.
class RecordingProgress : public Progress {
 public:
  explicit RecordingProgress(std::vector<std::string>* log) : log_(log) {}
  void SetRange(uint32_t range) override { log_->push_back("range " + std::to_string(range)); }
  void Step() override { ++steps; }
  void SetPosition(uint32_t p) override { log_->push_back("pos " + std::to_string(p)); }
  bool IsOpen() const override { return true; }
  void Close() override { log_->push_back("close " + std::to_string(steps)); }
  uint32_t steps = 0;

 private:
  std::vector<std::string>* log_;
};

class RecordingProvider : public ProgressProvider {
 public:
  std::unique_ptr<Progress> Start(const std::string& title) override {
    log.push_back("start " + title);
    return std::make_unique<RecordingProgress>(&log);
  }
  bool ConfirmStop() override { return false; }
  std::vector<std::string> log;
};

class NewsDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(db_.Open(dir_.path())); }
  std::string Path(const std::string& name) { return dir_ / ("database/" + name); }
  uint32_t Add(NewsItem item) {
    bool compacted = true;
    const uint32_t n = db_.AddItem(&item, &compacted);
    EXPECT_FALSE(compacted);
    return n;
  }
  NewsItem Read(uint32_t number) {
    NewsItem item;
    item.number = number;
    EXPECT_NE(db_.ReadItem(&item), 0u) << number;
    return item;
  }

  TempFolder dir_;
  NewsDatabase db_;
};

TEST_F(NewsDatabaseTest, FreshStoreAndEmptyRecord) {
  EXPECT_EQ(FileBytes(Path("fat")), std::string(1048560, '\0'));
  EXPECT_EQ(db_.blocks().FreeCount(), 262139u);
  NewsItem empty;
  bool compacted = true;
  EXPECT_EQ(db_.AddItem(&empty, &compacted), 1u);
  EXPECT_FALSE(compacted);
  EXPECT_EQ(empty.number, 1u);
  EXPECT_EQ(empty.link_hash, 1u);
  EXPECT_EQ(db_.blocks().Entry(1), 0x80FFFFFFu);
  NewsItem back;
  back.number = 1;
  EXPECT_EQ(db_.ReadItem(&back), 54u);
  const std::string data = FileBytes(Path("data"));
  ASSERT_EQ(data.size(), 1024u);
  EXPECT_EQ(data.substr(512, 8), std::string("\x01\0\0\0\x01\0\0\0", 8));
  EXPECT_EQ(data.substr(520), std::string(504, '\0'));
  EXPECT_EQ(FileBytes(Path("meta_1")), std::string(8, '\0').replace(0, 1, "\x01"));
  EXPECT_EQ(FileBytes(Path("meta_3")), std::string("\x01\0\0\0\x01\0\0\0", 8));
  EXPECT_FALSE(platform::FileExists(Path("meta_2")));
}

TEST_F(NewsDatabaseTest, AddReadRoundTripAndIndexes) {
  NewsItem item = SampleItem(1, Cal(2005, 2, 1, 10, 30, 12));
  item.check_day.calendar = Cal(2005, 2, 2, 9, 0);
  item.subelement = u"1234\\audio/mpeg\\http://a/b.mp3\\";
  const uint32_t n = Add(item);
  ASSERT_EQ(n, 1u);
  NewsItem back = Read(n);
  EXPECT_EQ(back.link, item.link);
  EXPECT_EQ(back.title, item.title);
  EXPECT_EQ(back.subelement, item.subelement);
  EXPECT_EQ(back.link_hash, LinkHash(item.link));
  EXPECT_EQ(back.get_day.packed, 0x7D520A9Eu);
  EXPECT_EQ(back.get_day.calendar.second, 0);
  EXPECT_EQ(back.check_day.calendar.day, 2);
  EXPECT_EQ(db_.ReadIndex(1), (std::vector<IndexEntry>{{1, 0x7D520A9Eu}}));
  EXPECT_EQ(db_.ReadIndex(2), (std::vector<IndexEntry>{{1, back.check_day.packed}}));
  EXPECT_EQ(db_.ReadIndex(3), (std::vector<IndexEntry>{{1, back.link_hash}}));
  // A long record spans blocks; the next one starts after it.
  NewsItem big = SampleItem(2, Cal(2005, 2, 1));
  big.description = std::u16string(500, u'\u3042');
  EXPECT_EQ(Add(big), 2u);
  EXPECT_EQ(db_.blocks().CountBlocks(2), 3u);
  EXPECT_EQ(Add(SampleItem(3, Cal(2005, 2, 1))), 5u);
  EXPECT_EQ(Read(2).description, big.description);
  // Numbers that are no record head.
  NewsItem none;
  for (uint32_t bad : {0u, 3u, 4u, 6u, 262140u, 0xFFFFFFFFu}) {
    none.number = bad;
    EXPECT_EQ(db_.ReadItem(&none), 0u) << bad;
  }
}

TEST_F(NewsDatabaseTest, UpdateMaskFieldsAndDates) {
  NewsItem item = SampleItem(1, Cal(2010, 3, 4, 5, 6));
  const uint32_t n = Add(item);
  NewsItem change = SampleItem(9, Cal(2011, 1, 1, 1, 1));
  change.number = n;
  change.comment = u"my note";
  change.flags = NewsItem::kMarked;
  change.rss = u"r";
  change.trackback = u"t";
  change.site = u"other site";
  // Only comment and flags; site never changes.
  ASSERT_NE(db_.UpdateItem(change, NewsDatabase::kTakeComment | NewsDatabase::kTakeFlags | 0x800),
            0);
  NewsItem back = Read(n);
  EXPECT_EQ(back.comment, u"my note");
  EXPECT_EQ(back.flags, 1u);
  EXPECT_EQ(back.title, item.title);
  EXPECT_EQ(back.site, item.site);
  EXPECT_TRUE(back.rss.empty());
  // Link and title: the hash is recomputed even when bit 1 asks to take it.
  change.link_hash = 5;
  ASSERT_NE(db_.UpdateItem(change, NewsDatabase::kTakeLinkHash | NewsDatabase::kTakeTitle), 0);
  back = Read(n);
  EXPECT_EQ(back.title, change.title);
  EXPECT_EQ(back.link_hash, LinkHash(item.link));
  ASSERT_NE(db_.UpdateItem(change, NewsDatabase::kTakeLinkHash), 0);
  EXPECT_EQ(Read(n).link_hash, 5u);
  ASSERT_NE(
      db_.UpdateItem(change, NewsDatabase::kTakeLink | NewsDatabase::kTakeRss |
                                 NewsDatabase::kTakeTrackback | NewsDatabase::kTakeDescription |
                                 NewsDatabase::kTakeSubelement),
      0);
  back = Read(n);
  EXPECT_EQ(back.link, change.link);
  EXPECT_EQ(back.link_hash, LinkHash(change.link));
  EXPECT_EQ(back.rss, u"r");
  EXPECT_EQ(back.trackback, u"t");
  EXPECT_EQ(back.description, change.description);

  // Dates: calendar rule, packed rule, and the packed rule winning over the calendar rule.
  NewsItem dates;
  dates.number = n;
  dates.last_seen.calendar = Cal(2012, 6, 7, 8, 9);
  dates.get_day.packed = PackedDate::Pack(Cal(2013, 1, 1));
  dates.get_day.calendar = Cal(2014, 1, 1);
  ASSERT_NE(db_.UpdateItem(dates, NewsDatabase::kLastSeenCalendar | NewsDatabase::kGetDayCalendar |
                                      NewsDatabase::kGetDayPacked),
            0);
  back = Read(n);
  EXPECT_EQ(back.last_seen.packed, PackedDate::Pack(Cal(2012, 6, 7, 8, 9)));
  EXPECT_EQ(back.get_day.calendar.year, 2013);
  // A get-day change reaches meta_1.
  EXPECT_EQ(db_.ReadIndex(1), (std::vector<IndexEntry>{{n, back.get_day.packed}}));
  // Bit 18: create day from the calendar form.
  dates.create_day.calendar = Cal(2001, 2, 3);
  ASSERT_NE(db_.UpdateItem(dates, NewsDatabase::kCreateDayCalendar), 0);
  EXPECT_EQ(Read(n).create_day.calendar.year, 2001);
  // The whole record is still one, and unreadable numbers fail.
  dates.number = n + 1;
  EXPECT_EQ(db_.UpdateItem(dates, NewsDatabase::kTakeComment), 0);
}

TEST_F(NewsDatabaseTest, OpeningTwiceKeepsFirstCheckDay) {
  const uint32_t n = Add(SampleItem(1, Cal(2020, 1, 1)));
  NewsItem open = Read(n);
  open.check_day.calendar = Cal(2020, 1, 2, 10, 0);
  ASSERT_NE(db_.UpdateItem(open, NewsDatabase::kCheckDayKeep), 0);
  const uint32_t first = PackedDate::Pack(Cal(2020, 1, 2, 10, 0));
  EXPECT_EQ(db_.ReadIndex(2), (std::vector<IndexEntry>{{n, first}}));
  open = Read(n);
  open.check_day.calendar = Cal(2020, 1, 5, 11, 0);
  ASSERT_NE(db_.UpdateItem(open, NewsDatabase::kCheckDayKeep), 0);
  EXPECT_EQ(Read(n).check_day.packed, first);
  EXPECT_EQ(db_.ReadIndex(2).size(), 1u);
  // Unmark and make unread at once (0x280 with the check day emptied).
  open = Read(n);
  open.flags = 0;
  open.check_day.Clear();
  ASSERT_NE(db_.UpdateItem(open, NewsDatabase::kTakeFlags | NewsDatabase::kCheckDayKeep), 0);
  EXPECT_TRUE(Read(n).check_day.empty());
  EXPECT_TRUE(db_.ReadIndex(2).empty());
}

TEST_F(NewsDatabaseTest, DeleteAndMarkUnread) {
  const uint32_t a = Add(SampleItem(1, Cal(2020, 1, 1)));
  NewsItem read_item = SampleItem(2, Cal(2020, 1, 1));
  read_item.check_day.calendar = Cal(2020, 1, 3);
  const uint32_t b = Add(read_item);
  NewsItem item;
  for (uint32_t bad : {0u, 0xFFFFFFFEu, 0xFFFFFFFFu, 77u}) {
    item.number = bad;
    EXPECT_EQ(db_.MarkUnread(item), 1) << bad;
  }
  item.number = b;
  EXPECT_EQ(db_.MarkUnread(item), 0);
  EXPECT_EQ(db_.MarkUnread(item), 1);  // already listed
  EXPECT_TRUE(Read(b).check_day.empty());
  EXPECT_TRUE(db_.ReadIndex(2).empty());
  EXPECT_EQ(db_.ReadIndex(4), (std::vector<IndexEntry>{{b, 0}}));
  EXPECT_EQ(db_.ReadLater(a), 0);
  EXPECT_EQ(Numbers(db_.ReadLaterItems()), (std::vector<uint32_t>{b, a}));
  // Reading the item again takes it off the list.
  NewsItem open = Read(b);
  open.check_day.calendar = Cal(2020, 2, 1);
  ASSERT_NE(db_.UpdateItem(open, NewsDatabase::kCheckDayKeep), 0);
  EXPECT_EQ(Numbers(db_.ReadIndex(4)), (std::vector<uint32_t>{a}));

  item.number = 0;
  EXPECT_EQ(db_.DeleteItem(item), 0);
  item.number = 12345;
  EXPECT_EQ(db_.DeleteItem(item), 1);
  item.number = a;
  EXPECT_EQ(db_.DeleteItem(item), 0);
  EXPECT_EQ(db_.DeleteItem(item), 1);
  for (int k = 1; k <= 4; ++k) {
    for (const IndexEntry& e : db_.ReadIndex(k)) EXPECT_NE(e.number, a) << k;
  }
  // The freed number is reused by the next record, which a stale unread entry does not reach.
  db_.index().Append(4, a, 0);
  EXPECT_EQ(Add(SampleItem(5, Cal(2020, 1, 1))), a);
  EXPECT_TRUE(db_.ReadIndex(4).empty());
  EXPECT_TRUE(db_.VerifyLink(a, SampleItem(5, Cal(2020, 1, 1)).link));
  EXPECT_FALSE(db_.VerifyLink(a, SampleItem(1, Cal(2020, 1, 1)).link));
  EXPECT_FALSE(db_.VerifyLink(262140, u""));
}

TEST_F(NewsDatabaseTest, QueryDayByIndexAndConditions) {
  // Three items fetched on 5 May, one on 6 May; two read on 7 May, one of them marked and with a
  // comment.
  std::vector<uint32_t> n;
  for (int i = 0; i < 3; ++i) n.push_back(Add(SampleItem(i, Cal(2021, 5, 5, 10 + i, 0))));
  n.push_back(Add(SampleItem(3, Cal(2021, 5, 6, 1, 0))));
  NewsItem a = Read(n[0]);
  a.check_day.calendar = Cal(2021, 5, 7, 9, 0);
  a.flags = 1;
  a.comment = u"good";
  ASSERT_NE(db_.UpdateItem(a, NewsDatabase::kCheckDayKeep | NewsDatabase::kTakeFlags |
                                  NewsDatabase::kTakeComment),
            0);
  NewsItem b = Read(n[2]);
  b.check_day.calendar = Cal(2021, 5, 7, 20, 0);
  ASSERT_NE(db_.UpdateItem(b, NewsDatabase::kCheckDayKeep), 0);

  const ItemQuery all;
  EXPECT_EQ(Numbers(db_.QueryDay(1, Cal(2021, 5, 5), all)),
            (std::vector<uint32_t>{n[0], n[1], n[2]}));
  EXPECT_EQ(Numbers(db_.QueryDay(0, Cal(2021, 5, 6, 23, 0), all)), (std::vector<uint32_t>{n[3]}));
  EXPECT_TRUE(db_.QueryDay(1, Cal(2021, 5, 4), all).empty());
  EXPECT_EQ(Numbers(db_.QueryDay(2, Cal(2021, 5, 7), all)), (std::vector<uint32_t>{n[0], n[2]}));
  // Marked items read that day; items read that day with a comment.
  EXPECT_EQ(Numbers(db_.QueryDay(2, Cal(2021, 5, 7), ItemQuery().Add(C::kFlags, C::kBitAnd, 1u))),
            (std::vector<uint32_t>{n[0]}));
  EXPECT_EQ(Numbers(db_.QueryDay(2, Cal(2021, 5, 7),
                                 ItemQuery().Add(C::kComment, C::kGreater, std::u16string(u" ")))),
            (std::vector<uint32_t>{n[0]}));
  // Unread items of a fetch day.
  EXPECT_EQ(Numbers(db_.QueryDay(1, Cal(2021, 5, 5),
                                 ItemQuery().Add(C::kCheckDay, C::kLess, Cal(1, 1, 1)))),
            (std::vector<uint32_t>{n[1]}));
  EXPECT_TRUE(db_.QueryDay(5, Cal(2021, 5, 5), all).empty());
}

TEST_F(NewsDatabaseTest, ClearAllEmptiesEverything) {
  for (int i = 0; i < 3; ++i) Add(SampleItem(i, Cal(2021, 1, 1)));
  NewsItem item;
  item.number = 2;
  ASSERT_EQ(db_.MarkUnread(item), 0);
  db_.ClearAll();
  EXPECT_EQ(db_.blocks().FreeCount(), 262139u);
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(FileBytes(Path("meta_" + std::to_string(k))), "");
  EXPECT_EQ(FileBytes(Path("fat")), std::string(1048560, '\0'));
  EXPECT_EQ(Add(SampleItem(9, Cal(2021, 1, 1))), 1u);
}

// An item whose stored form takes exactly `blocks` blocks.
NewsItem BigItem(int n, uint32_t blocks) {
  NewsItem item = SampleItem(n, Cal(2019, 1 + n % 12, 1 + n % 28));
  const size_t rest = StoredLength(item) - 2 * item.description.size();
  item.description =
      std::u16string((blocks * 512 - rest) / 2, static_cast<char16_t>(u'a' + n % 26));
  return item;
}

TEST_F(NewsDatabaseTest, CompactionWhenFullDropsOlderHalf) {
  uint32_t added = 0;
  while (db_.blocks().FreeCount() >= 256) {
    NewsItem item = BigItem(static_cast<int>(added++), 256);
    bool compacted = false;
    ASSERT_NE(db_.AddItem(&item, &compacted), 0u);
    ASSERT_FALSE(compacted) << added;
  }
  ASSERT_EQ(added, 1023u);
  const std::vector<IndexEntry> before = db_.ReadIndex(1);
  ASSERT_EQ(before.size(), 1023u);
  // A marked item of the older half goes as well.
  NewsItem old = Read(before[3].number);
  old.flags = 1;
  ASSERT_NE(db_.UpdateItem(old, NewsDatabase::kTakeFlags), 0);

  NewsItem next = BigItem(5000, 256);
  bool compacted = false;
  const uint32_t n = db_.AddItem(&next, &compacted);
  ASSERT_EQ(n, 1u);
  EXPECT_TRUE(compacted);
  const std::vector<IndexEntry> after = db_.ReadIndex(1);
  EXPECT_EQ(after.size(), 1023u - 511u + 1u);
  NewsItem gone;
  for (size_t i = 1; i < 511; ++i) {
    gone.number = before[i].number;
    EXPECT_EQ(db_.ReadItem(&gone), 0u) << i;
  }
  for (size_t i = 511; i < before.size(); ++i) Read(before[i].number);
  EXPECT_EQ(Read(n).description, next.description);
  // meta_1 is in received-date order after the rebuild; the new item follows.
  for (size_t i = 1; i + 1 < after.size(); ++i) EXPECT_LE(after[i - 1].value, after[i].value);
  EXPECT_EQ(after.back().number, n);
  EXPECT_EQ(db_.ReadIndex(3).size(), after.size());
}

TEST_F(NewsDatabaseTest, UpdateWhenFull) {
  // 100 small items first, then big ones (2,600 blocks each) until the store is full: a
  // compaction drops only the small ones.
  for (int i = 0; i < 100; ++i) ASSERT_NE(Add(SampleItem(i, Cal(2018, 1, 1))), 0u);
  int big = 0;
  while (db_.blocks().FreeCount() >= 2600) {
    NewsItem item = BigItem(1000 + big++, 2600);
    ASSERT_NE(db_.AddItem(&item, nullptr), 0u);
  }
  ASSERT_EQ(big, 100);
  const uint32_t newest = db_.ReadIndex(1).back().number;
  const std::u16string kept = Read(newest).description;
  // Growing the newest record by 3,000 blocks does not fit even after compaction: it stays.
  NewsItem grow = Read(newest);
  grow.description.append(3000 * 256, u'x');
  EXPECT_EQ(db_.UpdateItem(grow, NewsDatabase::kTakeDescription), 0);
  EXPECT_EQ(Read(newest).description, kept);
  ASSERT_EQ(db_.ReadIndex(1).size(), 100u);  // the small items were dropped

  // Growing the oldest record: compaction drops it, and it is written back whole and indexed.
  const uint32_t oldest = db_.ReadIndex(1).front().number;
  NewsItem old = Read(oldest);
  old.description.append(3000 * 256, u'y');
  old.comment = u"kept";
  EXPECT_NE(db_.UpdateItem(old, NewsDatabase::kTakeDescription | NewsDatabase::kTakeComment), 0);
  NewsItem back = Read(oldest);
  EXPECT_EQ(back.description, old.description);
  EXPECT_EQ(back.comment, u"kept");
  uint32_t value = 0;
  EXPECT_TRUE(db_.index().Find(1, oldest, &value));
  EXPECT_TRUE(db_.index().Find(3, oldest, &value));
  EXPECT_EQ(db_.ReadIndex(1).size(), 51u);
}

TEST_F(NewsDatabaseTest, RebuildAfterInterruptedUpdate) {
  // Added out of date order, so a rebuilt meta_1 differs from the order of addition.
  const uint32_t a = Add(SampleItem(1, Cal(2022, 3, 3)));
  const uint32_t b = Add(SampleItem(2, Cal(2022, 3, 1)));
  NewsItem c_item = SampleItem(3, Cal(2022, 3, 2));
  c_item.check_day.calendar = Cal(2022, 3, 4);
  const uint32_t c = Add(c_item);
  NewsItem item;
  item.number = a;
  ASSERT_EQ(db_.MarkUnread(item), 0);
  db_.BeginUpdateRun();
  EXPECT_EQ(FileBytes(Path("check")), "");
  // The run is cut off: one record was written but its index entries are lost, and a stale
  // entry names a free block.
  const uint32_t d = Add(SampleItem(4, Cal(2022, 2, 28)));
  db_.index().WriteAll(1, {{a, 0}, {b, 0}, {c, 0}, {200, 0}});
  db_.index().WriteAll(3, {});
  db_.Close();

  RecordingProvider provider;
  ASSERT_TRUE(db_.Open(dir_.path(), &provider));
  EXPECT_FALSE(platform::FileExists(Path("check")));
  ASSERT_EQ(provider.log.size(), 3u);
  EXPECT_EQ(provider.log[0],
            "start KorvoNewsReader \x83\x81\x83\x5E\x83\x66\x81\x5B\x83\x5E"
            "\x82\xF0\x8D\xC4\x8D\x5C\x92\x7A\x92\x86...");
  EXPECT_EQ(provider.log[1], "range 262140");
  EXPECT_EQ(provider.log[2], "close 262139");
  EXPECT_EQ(Numbers(db_.ReadIndex(1)), (std::vector<uint32_t>{d, b, c, a}));
  EXPECT_EQ(db_.ReadIndex(1)[0].value, PackedDate::Pack(Cal(2022, 2, 28)));
  EXPECT_EQ(Numbers(db_.ReadIndex(3)), (std::vector<uint32_t>{a, b, c, d}));
  EXPECT_EQ(Numbers(db_.ReadIndex(2)), (std::vector<uint32_t>{c}));
  // The user's unread list is kept for records that still exist.
  EXPECT_EQ(Numbers(db_.ReadIndex(4)), (std::vector<uint32_t>{a}));
}

TEST_F(NewsDatabaseTest, EndSessionMarkerOnlyDeletesTheFile) {
  // Added out of date order: a rebuild would sort meta_1.
  const uint32_t a = Add(SampleItem(1, Cal(2022, 3, 3)));
  const uint32_t b = Add(SampleItem(2, Cal(2022, 3, 1)));
  db_.BeginUpdateRun();
  EXPECT_TRUE(db_.update_run());
  db_.MarkShutdown();
  EXPECT_EQ(FileBytes(Path("check")), "EndSession");
  db_.Close();
  RecordingProvider provider;
  ASSERT_TRUE(db_.Open(dir_.path(), &provider));
  EXPECT_TRUE(provider.log.empty());
  EXPECT_FALSE(platform::FileExists(Path("check")));
  EXPECT_EQ(Numbers(db_.ReadIndex(1)), (std::vector<uint32_t>{a, b}));  // no rebuild
  // A finished run leaves no marker; MarkShutdown outside a run writes nothing.
  db_.BeginUpdateRun();
  db_.EndUpdateRun();
  EXPECT_FALSE(db_.update_run());
  EXPECT_FALSE(platform::FileExists(Path("check")));
  db_.MarkShutdown();
  EXPECT_FALSE(platform::FileExists(Path("check")));
}

TEST_F(NewsDatabaseTest, DamagedStoreLosesOnlyDamagedRecords) {
  const uint32_t a = Add(SampleItem(1, Cal(2022, 1, 1)));
  NewsItem long_item = SampleItem(2, Cal(2022, 1, 2));
  long_item.description = std::u16string(600, u'd');
  const uint32_t b = Add(long_item);  // blocks 2-4
  const uint32_t c = Add(SampleItem(3, Cal(2022, 1, 3)));
  const uint32_t e = Add(SampleItem(4, Cal(2022, 1, 4)));
  db_.Close();
  // Garbage over record c's block; b's chain broken in the middle; an orphan block 40; an index
  // entry naming a free block.
  std::string data = FileBytes(Path("data"));
  for (size_t i = 512 * c; i < 512 * c + 512; ++i) data[i] = '\xA5';
  ASSERT_TRUE(platform::WriteWholeFile(Path("data"), data));
  std::string fat = FileBytes(Path("fat"));
  store_bytes::PutWord(reinterpret_cast<unsigned char*>(&fat[4 * 3]), 0);  // b: 2 -> 3 -> (free)
  store_bytes::PutWord(reinterpret_cast<unsigned char*>(&fat[4 * 40]), 0x00FFFFFF);
  ASSERT_TRUE(platform::WriteWholeFile(Path("fat"), fat));
  ASSERT_TRUE(platform::WriteWholeFile(
      Path("meta_1"), std::string("\x63\0\0\0\0\0\0\0", 8) + FileBytes(Path("meta_1"))));
  // The index entry naming a free block is damage the open finds: it rebuilds at once.
  ASSERT_TRUE(db_.Open(dir_.path()));
  NewsItem item;
  for (uint32_t bad : {b, c}) {
    item.number = bad;
    EXPECT_EQ(db_.ReadItem(&item), 0u) << bad;
  }
  EXPECT_EQ(Numbers(db_.ReadIndex(1)), (std::vector<uint32_t>{a, e}));
  EXPECT_EQ(Numbers(db_.QueryDay(1, Cal(2022, 1, 1), ItemQuery())), (std::vector<uint32_t>{a}));
  EXPECT_TRUE(db_.QueryDay(1, Cal(2022, 1, 3), ItemQuery()).empty());
  // b's head and remaining tail block, c, and the orphan are free again.
  EXPECT_EQ(db_.blocks().FreeCount(), db_.blocks().EntryCount() - 3);
  EXPECT_EQ(db_.blocks().Entry(40), 0u);
  EXPECT_EQ(Read(e).title, SampleItem(4, Cal(2022, 1, 4)).title);
  EXPECT_FALSE(db_.needs_rebuild());
}

// Whatever damage drops or spoils records, the indexes end up naming exactly the records that
// read, so the next run neither lists a record twice nor stores a known item again.
TEST(NewsDatabaseDamageTest, DamageIsFoundAtOpenOrOnReadAndRebuilt) {
  struct Case {
    const char* name;
    std::string file;
    // Damages the bytes of `file`, given the store's records 1 (block 1), 2 (blocks 2-4), 5.
    std::string (*damage)(std::string bytes);
    std::vector<uint32_t> kept;
    bool found_on_read;  // the open finds nothing; reading the record marks the store
  };
  const Case cases[] = {
      {"table one byte short",
       "fat",
       [](std::string b) { return b.substr(0, b.size() - 1); },
       {1, 2, 3},
       false},
      {"meta_1 of garbage",
       "meta_1",
       [](std::string) { return std::string(40, '\xA5'); },
       {1, 2, 3},
       false},
      {"meta_3 of garbage",
       "meta_3",
       [](std::string b) { return std::string(b.size(), '\x5A'); },
       {1, 2, 3},
       false},
      {"data cut before the last record",
       "data",
       [](std::string b) { return b.substr(0, 2560); },
       {1, 2},
       false},
      {"garbage over a record",
       "data",
       [](std::string b) { return b.substr(0, 2560) + std::string(512, '\xA5'); },
       {1, 2},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder dir;
    const std::string path = dir / ("database/" + c.file);
    NewsDatabase db;
    ASSERT_TRUE(db.Open(dir.path()));
    for (int n = 1; n <= 3; ++n) {
      NewsItem item = SampleItem(n, Cal(2022, 1, n));
      if (n == 2) item.description = std::u16string(600, u'd');
      ASSERT_EQ(db.AddItem(&item, nullptr), n == 3 ? 5u : static_cast<uint32_t>(n));
    }
    db.Close();
    ASSERT_TRUE(platform::WriteWholeFile(path, c.damage(FileBytes(path))));
    ASSERT_TRUE(db.Open(dir.path()));
    if (c.found_on_read) {
      NewsItem item;
      item.number = 5;
      EXPECT_EQ(db.ReadItem(&item), 0u);
      EXPECT_TRUE(db.needs_rebuild());
      EXPECT_EQ(FileBytes(dir / "database/check"), "");
      db.Close();
      ASSERT_TRUE(db.Open(dir.path()));
    }
    EXPECT_FALSE(db.needs_rebuild());
    EXPECT_FALSE(platform::FileExists(dir / "database/check"));
    // One more item, as the next run stores it, takes a free number.
    NewsItem next = SampleItem(9, Cal(2022, 1, 9));
    const uint32_t added = db.AddItem(&next, nullptr);
    ASSERT_NE(added, 0u);
    std::vector<uint32_t> expected;
    for (uint32_t n : c.kept) expected.push_back(n == 3 ? 5u : n);
    expected.push_back(added);
    EXPECT_EQ(Numbers(db.ReadIndex(1)), expected);
    EXPECT_EQ(Numbers(db.ReadIndex(3)), expected);
    for (uint32_t n : expected) {
      NewsItem item;
      item.number = n;
      EXPECT_NE(db.ReadItem(&item), 0u) << n;
      uint32_t hash = 0;
      EXPECT_TRUE(db.index().Find(3, n, &hash));
      EXPECT_EQ(hash, item.link_hash) << n;
    }
    EXPECT_EQ(db.blocks().FreeCount(),
              db.blocks().EntryCount() - 1 - static_cast<uint32_t>(expected.size()) - 2);
  }
}

TEST(NewsDatabaseDamageTest, IndexWriteOnAFullDiskTakesTheRecordBack) {
  TempFolder dir;
  FaultFiles files;
  NewsDatabase db;
  ASSERT_TRUE(db.Open(dir.path(), nullptr, files));
  NewsItem first = SampleItem(1, Cal(2022, 1, 1));
  const uint32_t a = db.AddItem(&first, nullptr);
  ASSERT_NE(a, 0u);
  db.BeginUpdateRun();
  // Room for the record's block and its meta_1 entry, not for its meta_3 entry.
  files.SetSpaceLeft(512 + 8);
  NewsItem second = SampleItem(2, Cal(2022, 1, 2));
  EXPECT_EQ(db.AddItem(&second, nullptr), 0u);
  EXPECT_EQ(second.number, 0u);
  EXPECT_EQ(db.blocks().Entry(a + 1), 0u);
  EXPECT_EQ(Numbers(db.ReadIndex(1)), (std::vector<uint32_t>{a}));
  EXPECT_TRUE(db.needs_rebuild());
  // The run's end leaves the marker empty, and so does a shut-down: the next open rebuilds.
  db.EndUpdateRun();
  db.MarkShutdown();
  EXPECT_EQ(FileBytes(dir / "database/check"), "");
  db.Close();
  RecordingProvider provider;
  ASSERT_TRUE(db.Open(dir.path(), &provider));
  EXPECT_FALSE(provider.log.empty());
  EXPECT_FALSE(platform::FileExists(dir / "database/check"));
  EXPECT_EQ(Numbers(db.ReadIndex(1)), (std::vector<uint32_t>{a}));
  EXPECT_EQ(Numbers(db.ReadIndex(3)), (std::vector<uint32_t>{a}));
}

TEST(NewsDatabaseDamageTest, ReadOnlyStoreListsEverythingAndChangesNothing) {
  TempFolder dir;
  uint32_t a = 0, b = 0;
  {
    NewsDatabase db;
    ASSERT_TRUE(db.Open(dir.path()));
    NewsItem item = SampleItem(1, Cal(2022, 1, 1));
    a = db.AddItem(&item, nullptr);
    item = SampleItem(2, Cal(2022, 1, 2));
    item.check_day.calendar = Cal(2022, 1, 3);
    b = db.AddItem(&item, nullptr);
    ASSERT_EQ(db.MarkUnread(item), 0);
  }
  const char* names[] = {"fat", "data", "meta_1", "meta_2", "meta_3", "meta_4", "sequence"};
  std::vector<std::string> before;
  for (const char* name : names) before.push_back(FileBytes(dir / "database/" + name));
  FaultFiles files;
  files.FailChangesTo("database");
  NewsDatabase db;
  ASSERT_TRUE(db.Open(dir.path(), nullptr, files));
  EXPECT_TRUE(db.read_only());
  EXPECT_EQ(Numbers(db.ReadIndex(1)), (std::vector<uint32_t>{a, b}));
  EXPECT_EQ(Numbers(db.QueryDay(1, Cal(2022, 1, 2), ItemQuery())), (std::vector<uint32_t>{b}));
  EXPECT_EQ(db.ReadLaterItems().size(), 1u);
  NewsItem item = SampleItem(3, Cal(2022, 1, 4));
  EXPECT_EQ(db.AddItem(&item, nullptr), 0u);
  item.number = a;
  EXPECT_EQ(db.UpdateItem(item, NewsDatabase::kLastSeenCalendar), 0);
  EXPECT_NE(db.MarkUnread(item), 0);
  db.DeleteItem(item);
  db.BeginUpdateRun();
  EXPECT_FALSE(db.update_run());
  db.Compact();
  db.ClearAll();
  db.Close();
  for (size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(FileBytes(dir / "database/" + names[i]), before[i]) << names[i];
  }
  EXPECT_FALSE(platform::FileExists(dir / "database/check"));
}

TEST_F(NewsDatabaseTest, RecordWhoseDataNamesAnotherNumberIsRefused) {
  const uint32_t a = Add(SampleItem(1, Cal(2022, 1, 1)));
  std::string fat = FileBytes(Path("fat"));
  db_.Close();
  // Block 7 claims to be a record head but holds a copy of record a.
  std::string data = FileBytes(Path("data"));
  data.resize(512 * 8, '\0');
  data.replace(512 * 7, 512, data.substr(512 * a, 512));
  ASSERT_TRUE(platform::WriteWholeFile(Path("data"), data));
  store_bytes::PutWord(reinterpret_cast<unsigned char*>(&fat[4 * 7]), 0x80FFFFFF);
  ASSERT_TRUE(platform::WriteWholeFile(Path("fat"), fat));
  ASSERT_TRUE(db_.Open(dir_.path()));
  NewsItem item;
  item.number = 7;
  EXPECT_EQ(db_.ReadItem(&item), 0u);
}

}  // namespace
}  // namespace korvo

#include "ticker/ticker_lists.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "feed/feed_item.h"
#include "platform/files.h"
#include "store/database_guard.h"
#include "ticker/ticker_dump.h"

namespace korvo {
namespace {

using korvo::testing::TempFolder;

platform::CalendarTime At(int day, int hour, int minute) {
  platform::CalendarTime t;
  t.year = 2024;
  t.month = 5;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  return t;
}

// A store in a temporary folder with a few records.
class TickerListsTest : public ::testing::Test {
 protected:
  void SetUp() override { guard_ = std::make_unique<DatabaseGuard>(dir_.path()); }
  void TearDown() override { guard_.reset(); }

  // Adds a record; `read` gives it a check day, `fresh` makes get day equal last seen.
  uint32_t Add(const std::u16string& title, const std::u16string& link, bool read, bool fresh) {
    NewsItem item;
    item.title = title;
    item.link = link;
    item.site = u"Site";
    item.site_link = u"http://127.0.0.1/site/";
    item.description = u"desc";
    item.get_day.calendar = At(1, 10, 0);
    item.last_seen.calendar = fresh ? At(1, 10, 0) : At(2, 8, 30);
    if (read) item.check_day.calendar = At(2, 9, 0);
    ScopedDatabase db(*guard_);
    EXPECT_TRUE(db);
    return db->AddItem(&item, nullptr);
  }

  static TickerItem Item(int32_t id, const std::string& title) {
    TickerItem item;
    item.id = id;
    item.title = title;
    item.link = "http://127.0.0.1/" + title;
    return item;
  }

  std::string DumpPath() const { return dir_ / kTickerDumpName; }

  TempFolder dir_;
  std::unique_ptr<DatabaseGuard> guard_;
};

TEST(TickerDump, NumbersAreLittleEndianWordsAndPartialTailsAndExcessAreIgnored) {
  const std::vector<uint32_t> numbers = {1, 0x01020304, 0xFFFFFFFF, 0};
  const std::string bytes = EncodeTickerDump(numbers);
  ASSERT_EQ(bytes.size(), 16u);
  EXPECT_EQ(bytes.substr(4, 4), std::string("\x04\x03\x02\x01", 4));
  EXPECT_EQ(DecodeTickerDump(bytes), numbers);
  EXPECT_EQ(DecodeTickerDump(bytes + "\x07\x07\x07"), numbers);
  EXPECT_TRUE(DecodeTickerDump("abc").empty());

  TempFolder dir;
  std::vector<uint32_t> read;
  EXPECT_FALSE(ReadTickerDump(dir / "none.dat", &read));
  EXPECT_FALSE(ReadTickerDump(dir.path(), &read));  // a folder
  ASSERT_TRUE(WriteTickerDump(dir / "d.dat", numbers));
  ASSERT_TRUE(ReadTickerDump(dir / "d.dat", &read));
  EXPECT_EQ(read, numbers);
  // A file far larger than any list is read up to the largest list only.
  ASSERT_TRUE(platform::WriteWholeFile(dir / "big.dat",
                                       std::string(kMaxTickerDumpNumbers * 4 + 4000, '\x01')));
  ASSERT_TRUE(ReadTickerDump(dir / "big.dat", &read));
  EXPECT_EQ(read.size(), kMaxTickerDumpNumbers);
  EXPECT_EQ(read.front(), 0x01010101u);
}

TEST_F(TickerListsTest, FirstStartWithoutSavedListShowsThePlaceholder) {
  TickerLists lists(dir_.path());
  EXPECT_EQ(lists.LoadSavedList(DumpPath()), 1u);
  const std::vector<TickerItem> shown = lists.shown();
  ASSERT_EQ(shown.size(), 1u);
  // "ニュース取得中" in CP932.
  const std::string fetching = "\x83\x6A\x83\x85\x81\x5B\x83\x58\x8E\xE6\x93\xBE\x92\x86";
  EXPECT_EQ(shown[0].title, fetching);
  EXPECT_EQ(shown[0].site_name, fetching);
  EXPECT_EQ(shown[0].link, kDefaultItemLink);
  EXPECT_EQ(shown[0].id, -1);
  // A one-item list is not saved at exit.
  EXPECT_FALSE(lists.SaveShownList(DumpPath()));
  EXPECT_FALSE(platform::FileExists(DumpPath()));
}

TEST_F(TickerListsTest, SavedListIsRebuiltFromRecordsThatReadAndHaveTitleAndLink) {
  const uint32_t a = Add(u"A", u"http://127.0.0.1/a", /*read=*/true, /*fresh=*/false);
  const uint32_t b = Add(u"B", u"http://127.0.0.1/b", false, true);
  const uint32_t untitled = Add(u"", u"http://127.0.0.1/c", false, true);
  const uint32_t c = Add(u"C", u"http://127.0.0.1/c2", false, false);
  ASSERT_NE(a, 0u);
  ASSERT_NE(c, 0u);
  // Display order c, a, b; between them numbers that name no record, a record without title,
  // a block inside nothing, and the placeholder's -1.
  ASSERT_TRUE(WriteTickerDump(DumpPath(), {c, 999999, untitled, a, 0, 0xFFFFFFFF, b, 7777}));

  TickerLists lists(dir_.path());
  EXPECT_EQ(lists.LoadSavedList(DumpPath()), 3u);
  const std::vector<TickerItem> shown = lists.shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].title, "C");
  EXPECT_EQ(shown[0].id, static_cast<int32_t>(c));
  EXPECT_EQ(shown[0].state, 0u);  // unread, not new: old
  EXPECT_EQ(shown[1].title, "A");
  EXPECT_EQ(shown[1].link, "http://127.0.0.1/a");
  EXPECT_EQ(shown[1].site_name, "Site");
  EXPECT_EQ(shown[1].state, TickerItem::kRead);
  EXPECT_EQ(shown[2].title, "B");
  EXPECT_EQ(shown[2].state, TickerItem::kNew);
  EXPECT_TRUE(shown[2].created.empty());

  // At exit the same numbers go back in display order.
  ASSERT_TRUE(platform::RemoveFile(DumpPath()));
  lists.SetShownOrder({2, 0, 1, 17});
  ASSERT_TRUE(lists.SaveShownList(DumpPath()));
  std::vector<uint32_t> saved;
  ASSERT_TRUE(ReadTickerDump(DumpPath(), &saved));
  EXPECT_EQ(saved, (std::vector<uint32_t>{b, c, a}));
}

TEST_F(TickerListsTest, DamagedSavedListIsIgnored) {
  Add(u"A", u"http://127.0.0.1/a", false, true);
  std::string junk;
  for (int i = 0; i < 4099; ++i) junk.push_back(static_cast<char>((i * 151 + 7) & 0xFF));
  ASSERT_TRUE(platform::WriteWholeFile(DumpPath(), junk));
  TickerLists lists(dir_.path());
  lists.LoadSavedList(DumpPath());
  for (const TickerItem& item : lists.shown()) {
    EXPECT_FALSE(item.title.empty());
    EXPECT_FALSE(item.link.empty());
  }
  ASSERT_TRUE(platform::WriteWholeFile(DumpPath(), std::string("\x01\x00", 2)));
  EXPECT_EQ(lists.LoadSavedList(DumpPath()), 1u);
  EXPECT_EQ(lists.shown()[0].id, -1);
}

TEST_F(TickerListsTest, HandOverOrsStoreMarksIntoTheRunsState) {
  const uint32_t read = Add(u"R", u"http://127.0.0.1/r", true, true);
  const uint32_t old = Add(u"O", u"http://127.0.0.1/o", false, false);
  TickerLists lists(dir_.path());
  std::vector<TickerItem> items = {Item(static_cast<int32_t>(read), "R"),
                                   Item(static_cast<int32_t>(old), "O"), Item(-1, "unstored"),
                                   Item(0x7FFFFFF0, "gone")};
  items[1].state = TickerItem::kAdded;
  items[2].state = TickerItem::kAdded;
  EXPECT_EQ(lists.SetTickerList(items), 4u);
  const std::vector<TickerItem> shown = lists.shown();  // no engine: swapped at once
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0].state, TickerItem::kRead | TickerItem::kNew);
  EXPECT_EQ(shown[1].state, TickerItem::kAdded);
  EXPECT_EQ(shown[2].state, TickerItem::kAdded);
  EXPECT_EQ(shown[3].state, 0u);
}

TEST_F(TickerListsTest, WithAnEngineTheListWaitsForReload) {
  TickerLists lists(dir_.path());
  std::vector<uint8_t> pushed;
  bool accept = true;
  lists.SetCommandSink([&](uint8_t command) {
    pushed.push_back(command);
    return accept;
  });
  // Start-up always pushes Reload.
  lists.LoadSavedList(DumpPath());
  EXPECT_EQ(pushed, std::vector<uint8_t>{TickerLists::kCommandReload});
  EXPECT_EQ(lists.shown_count(), 0u);
  EXPECT_TRUE(lists.SwapLists());
  EXPECT_EQ(lists.shown_count(), 1u);
  EXPECT_FALSE(lists.SwapLists());  // nothing pending

  lists.SetTickerList({Item(-1, "x"), Item(-1, "y")});
  EXPECT_EQ(pushed.size(), 2u);
  EXPECT_EQ(lists.shown()[0].id, -1);  // still the placeholder
  EXPECT_EQ(lists.spare().size(), 2u);
  EXPECT_TRUE(lists.reload_pending());
  // A refused Reload leaves the list waiting; the next hand-over replaces it.
  accept = false;
  lists.SetTickerList({Item(-1, "p"), Item(-1, "q"), Item(-1, "r")});
  EXPECT_EQ(lists.spare().size(), 3u);
  EXPECT_TRUE(lists.SwapLists());
  EXPECT_EQ(lists.shown()[2].title, "r");
  EXPECT_TRUE(lists.spare().empty());
}

TEST_F(TickerListsTest, ShortListsAreNotSavedAndTheOldFileStays) {
  const uint32_t a = Add(u"A", u"http://127.0.0.1/a", false, true);
  const uint32_t b = Add(u"B", u"http://127.0.0.1/b", false, true);
  ASSERT_TRUE(WriteTickerDump(DumpPath(), {a, b, a}));
  TickerLists lists(dir_.path());
  lists.SetTickerList({Item(static_cast<int32_t>(a), "A"), Item(static_cast<int32_t>(b), "B")});
  EXPECT_FALSE(lists.SaveShownList(DumpPath()));
  std::vector<uint32_t> saved;
  ASSERT_TRUE(ReadTickerDump(DumpPath(), &saved));
  EXPECT_EQ(saved, (std::vector<uint32_t>{a, b, a}));
  // Three items are saved; the unstored one is left out of the file.
  lists.SetTickerList(
      {Item(static_cast<int32_t>(b), "B"), Item(-1, "none"), Item(static_cast<int32_t>(a), "A")});
  ASSERT_TRUE(lists.SaveShownList(DumpPath()));
  ASSERT_TRUE(ReadTickerDump(DumpPath(), &saved));
  EXPECT_EQ(saved, (std::vector<uint32_t>{b, a}));
  lists.Clear();
  EXPECT_EQ(lists.shown_count(), 0u);
}

TEST_F(TickerListsTest, OpenItemByRecordMarksReadOnceAndDropsItemsThatLeaveWhenOpened) {
  const uint32_t a = Add(u"A", u"http://127.0.0.1/a", false, true);
  const uint32_t b = Add(u"B", u"http://127.0.0.1/b", false, true);
  TickerLists lists(dir_.path());
  TickerItem leaving = Item(static_cast<int32_t>(a), "A");
  leaving.hide_once_opened = true;
  TickerItem other = Item(static_cast<int32_t>(b), "B");
  other.hide_once_opened = true;
  lists.SetTickerList({leaving, other});

  std::string link = "stale";
  for (int32_t none : {0, -1, -2}) {
    EXPECT_FALSE(lists.OpenItemByRecord(none, &link));
    EXPECT_EQ(link, "");
  }
  ASSERT_TRUE(lists.OpenItemByRecord(static_cast<int32_t>(a), &link));
  EXPECT_EQ(link, "http://127.0.0.1/a");
  EXPECT_TRUE(lists.shown()[0].state & TickerItem::kRead);
  EXPECT_TRUE(lists.shown()[0].hidden);
  NewsItem record;
  record.number = a;
  platform::CalendarTime first_check;
  {
    ScopedDatabase db(*guard_);
    ASSERT_GT(db->ReadItem(&record), 0u);
    ASSERT_FALSE(record.check_day.empty());
    first_check = record.check_day.calendar;
  }
  // The last visible item stays in the list; an earlier check day is kept.
  ASSERT_TRUE(lists.OpenItemByRecord(static_cast<int32_t>(b), &link));
  EXPECT_TRUE(lists.shown()[1].state & TickerItem::kRead);
  EXPECT_FALSE(lists.shown()[1].hidden);
  ASSERT_TRUE(lists.OpenItemByRecord(static_cast<int32_t>(a), &link));
  {
    ScopedDatabase db(*guard_);
    ASSERT_GT(db->ReadItem(&record), 0u);
    EXPECT_EQ(record.check_day.calendar.minute, first_check.minute);
    EXPECT_EQ(record.check_day.calendar.hour, first_check.hour);
  }
  // A number that names no record opens nothing but still answers (with an empty link).
  EXPECT_TRUE(lists.OpenItemByRecord(999999, &link));
  EXPECT_EQ(link, "");
}

TEST(TickerItemEnclosures, RecordEnclosureTextGivesFirstAndFurtherEnclosures) {
  NewsItem record;
  record.number = 7;
  record.title = u"t";
  record.link = u"http://127.0.0.1/t";
  // The second type holds a character whose CP932 form ends in a backslash byte.
  record.subelement =
      u"1234\\audio/mpeg\\http://127.0.0.1/a.mp3\\120 90\\thumb!\u30bd\\"
      u"http://127.0.0.1/t.jpg\\\\\\\\cut";
  const TickerItem item = TickerItemFromRecord(record);
  EXPECT_EQ(item.enclosure_url, "http://127.0.0.1/a.mp3");
  EXPECT_EQ(item.enclosure_size, "1234");
  EXPECT_EQ(item.enclosure_type, "audio/mpeg");
  ASSERT_EQ(item.media.size(), 1u);  // the empty entry and the unterminated tail are dropped
  EXPECT_EQ(item.media[0].url, "http://127.0.0.1/t.jpg");
  EXPECT_EQ(item.media[0].size, "120 90");
  EXPECT_EQ(item.media[0].type, std::string("thumb!\x83\x5c"));
  EXPECT_TRUE(ParseEnclosureText(u"").empty());
}

}  // namespace
}  // namespace korvo

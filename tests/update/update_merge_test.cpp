#include "update/update_merge.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "channels/keyword_filter.h"
#include "common/fault_files.h"
#include "common/temp_folder.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "store/database_guard.h"
#include "ticker/ticker_lists.h"
#include "update/feed_file_import.h"
#include "update/item_record.h"
#include "update/update_cycle.h"
#include "update_test_util.h"

namespace korvo {
namespace {

using korvo::testing::FixedUpdateClock;
using korvo::testing::Local;
using korvo::testing::PutCache;
using korvo::testing::TempFolder;

Channel MakeChannel(const std::string& url, const std::string& title) {
  Channel channel;
  channel.url = url;
  channel.title = title;
  channel.siteUrl = url + "/site";
  return channel;
}

class UpdateMergeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    holder_ = std::make_unique<DatabaseGuard>(dir_.path());
    ticker_ = std::make_unique<TickerLists>(dir_.path());
  }
  void TearDown() override {
    ticker_.reset();
    holder_.reset();
  }

  MergeReport Merge(const std::vector<Channel>& channels, const ChangedSet* changed,
                    const std::atomic<bool>* abort = nullptr) {
    UpdateMerge::Environment env;
    env.working_folder = dir_.path();
    env.parser = korvo::testing::ParseLines;
    env.clock = &clock_;
    env.ticker = ticker_.get();
    env.abort = abort;
    return UpdateMerge::Run(env, channels, changed);
  }

  // Every stored record, by number.
  std::map<uint32_t, NewsItem> Records() {
    std::map<uint32_t, NewsItem> records;
    ScopedDatabase db(*holder_);
    for (const IndexEntry& entry : db->ReadIndex(NewsDatabase::kHashIndex)) {
      NewsItem item;
      item.number = entry.number;
      if (db->ReadItem(&item) != 0) records[entry.number] = item;
    }
    return records;
  }

  std::map<std::string, TickerItem> ShownByTitle() {
    std::map<std::string, TickerItem> items;
    for (const TickerItem& item : ticker_->shown()) items[item.title] = item;
    return items;
  }

  TempFolder dir_;
  FixedUpdateClock clock_;
  std::unique_ptr<DatabaseGuard> holder_;
  std::unique_ptr<TickerLists> ticker_;
};

TEST_F(UpdateMergeTest, FirstRunStoresEveryItemOnceWithItsFields) {
  const Channel a = MakeChannel("http://127.0.0.1/a.xml", "Site A");
  const Channel b = MakeChannel("http://127.0.0.1/b.xml", "Site B");
  ASSERT_TRUE(PutCache(dir_.path(), a.url,
                       "A1|http://127.0.0.1/a/1|Fri, 10 May 2024 01:30:00 GMT|news|"
                       "http://127.0.0.1/a/1.mp3|audio/mpeg|1234\n"
                       "A2|http://127.0.0.1/a/2|2024-05-09T08:00:00+09:00\n"));
  ASSERT_TRUE(PutCache(dir_.path(), b.url, "B1|http://127.0.0.1/b/1\n"));
  ChangedSet changed;
  changed.Add(a.url);
  changed.Add(b.url);

  const MergeReport report = Merge({a, b}, &changed);
  EXPECT_EQ(report.channels_parsed, 2);
  EXPECT_EQ(report.items_parsed, 3);
  EXPECT_EQ(report.items_added, 3);
  EXPECT_EQ(report.items_known, 0);
  EXPECT_TRUE(report.handed_over);
  EXPECT_FALSE(platform::FileExists(dir_ / "database/check"));  // the run finished

  const std::map<uint32_t, NewsItem> records = Records();
  ASSERT_EQ(records.size(), 3u);
  const NewsItem* a1 = nullptr;
  for (const auto& [number, record] : records) {
    if (record.title == u"A1") a1 = &record;
  }
  ASSERT_NE(a1, nullptr);
  EXPECT_EQ(a1->link, u"http://127.0.0.1/a/1");
  EXPECT_EQ(a1->site, u"Site A");
  EXPECT_EQ(a1->site_link, u"http://127.0.0.1/a.xml/site");
  EXPECT_EQ(a1->category, u"news");
  EXPECT_EQ(a1->description, u"about A1");
  EXPECT_EQ(a1->subelement, u"1234\\audio/mpeg\\http://127.0.0.1/a/1.mp3\\");
  EXPECT_EQ(a1->get_day.packed, PackedDate::Pack(clock_.now));
  EXPECT_EQ(a1->last_seen.packed, PackedDate::Pack(clock_.now));
  // 01:30 GMT is 10:30 at the clock's +09:00.
  EXPECT_EQ(a1->create_day.packed, PackedDate::Pack(Local(2024, 5, 10, 10, 30)));

  // The ticker got the three items in channel and document order, added by this run and new.
  const std::vector<TickerItem> shown = ticker_->shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].title, "A1");
  EXPECT_EQ(shown[1].title, "A2");
  EXPECT_EQ(shown[2].title, "B1");
  for (const TickerItem& item : shown) {
    EXPECT_GT(item.id, 0);
    EXPECT_EQ(item.state, TickerItem::kAdded | TickerItem::kNew) << item.title;
    EXPECT_TRUE(item.created.empty());
  }
}

TEST_F(UpdateMergeTest, UnchangedRunAddsNothingAndChangedFeedAddsOnlyItsNewItems) {
  const Channel a = MakeChannel("http://127.0.0.1/a.xml", "Site A");
  ASSERT_TRUE(PutCache(dir_.path(), a.url, "A1|http://127.0.0.1/a/1\nA2|http://127.0.0.1/a/2\n"));
  ChangedSet changed;
  changed.Add(a.url);
  ASSERT_EQ(Merge({a}, &changed).items_added, 2);
  const std::map<uint32_t, NewsItem> first = Records();

  // Nothing changed (a run without fetching): the same items are found, nothing is written.
  clock_.now = Local(2024, 5, 10, 12, 30);
  const MergeReport same = Merge({a}, nullptr);
  EXPECT_EQ(same.items_added, 0);
  EXPECT_EQ(same.items_known, 2);
  const std::map<uint32_t, NewsItem> second = Records();
  ASSERT_EQ(second.size(), 2u);
  for (const auto& [number, record] : second) {
    EXPECT_EQ(record.last_seen.packed, first.at(number).last_seen.packed);
  }
  for (const TickerItem& item : ticker_->shown()) {
    EXPECT_EQ(item.state, TickerItem::kNew) << item.title;  // still new: not seen again since
  }

  // The feed changed: a new item, a retitled one (same link), A1 unchanged.
  clock_.now = Local(2024, 5, 10, 13, 0);
  ASSERT_TRUE(PutCache(dir_.path(), a.url,
                       "A1|http://127.0.0.1/a/1\nA2 (updated)|http://127.0.0.1/a/2\n"
                       "A3|http://127.0.0.1/a/3\n"));
  const MergeReport grown = Merge({a}, &changed);
  EXPECT_EQ(grown.items_added, 2);
  EXPECT_EQ(grown.items_known, 1);
  const std::map<uint32_t, NewsItem> third = Records();
  ASSERT_EQ(third.size(), 4u);  // the old A2 record stays beside the retitled one
  const std::map<std::string, TickerItem> shown = ShownByTitle();
  ASSERT_EQ(shown.size(), 3u);
  // A1 was seen again in a changed feed: its last-seen time moved, so it is no longer new.
  EXPECT_EQ(shown.at("A1").state, 0u);
  EXPECT_EQ(third.at(static_cast<uint32_t>(shown.at("A1").id)).last_seen.packed,
            PackedDate::Pack(clock_.now));
  EXPECT_EQ(shown.at("A2 (updated)").state, TickerItem::kAdded | TickerItem::kNew);
  EXPECT_EQ(shown.at("A3").state, TickerItem::kAdded | TickerItem::kNew);
}

// A store that cannot take the new items says so: the run counts only what was stored, and its
// line says why the rest was not; the items are still shown.
TEST_F(UpdateMergeTest, AStoreThatCannotTakeItemsSaysSoInTheRunLine) {
  struct Case {
    const char* name;
    bool read_only;
    uint64_t space_left;  // for the second run's store; 0: unlimited
    const char* line_end;
  };
  const Case cases[] = {
      {"read-only store", true, 0, ", 0 added, store read-only: nothing can be stored, 2 shown"},
      // Room for one record and its first index entries: the second entry's write fails.
      {"disk fills in an index", false, 512 + 8,
       ", 0 added, 1 could not be stored, store damaged: rebuilt at next start, 2 shown"},
  };
  const Channel a = MakeChannel("http://127.0.0.1/a.xml", "Site A");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder dir;
    ASSERT_TRUE(PutCache(dir.path(), a.url, "A1|http://127.0.0.1/a/1\n"));
    ChangedSet changed;
    changed.Add(a.url);
    UpdateMerge::Environment env;
    env.working_folder = dir.path();
    env.parser = korvo::testing::ParseLines;
    env.clock = &clock_;
    env.ticker = ticker_.get();
    holder_.reset();
    ASSERT_EQ(UpdateMerge::Run(env, {a}, &changed).items_added, 1);
    ASSERT_TRUE(PutCache(dir.path(), a.url, "A1|http://127.0.0.1/a/1\nA2|http://127.0.0.1/a/2\n"));
    korvo::testing::FaultFiles files;
    if (c.read_only) files.FailChangesTo("database");
    DatabaseGuard::SetFiles(&files);
    {
      DatabaseGuard guard(dir.path());  // opens the store through `files`
      if (c.space_left != 0) files.SetSpaceLeft(c.space_left);
      RunReport run;
      run.merge = UpdateMerge::Run(env, {a}, nullptr);  // A1's record is not rewritten
      run.processed = true;
      EXPECT_EQ(run.merge.items_added, 0);
      EXPECT_EQ(run.merge.items_known, 1);
      const std::string line = FormatRunReport(run);
      EXPECT_EQ(line.substr(line.find(", 0 added")), c.line_end);
    }
    DatabaseGuard::SetFiles(nullptr);
    // The next start finds what was really stored, and nothing twice.
    DatabaseGuard guard(dir.path());
    ScopedDatabase db(guard);
    EXPECT_EQ(db->ReadIndex(NewsDatabase::kDayIndex).size(), 1u);
    EXPECT_FALSE(platform::FileExists(dir / "database/check"));
  }
}

TEST_F(UpdateMergeTest, SameLinkDifferentTitlesAreBothKeptAndCopiesAreStoredAndShownOnce) {
  // One feed holds two items with one link and different titles, and repeats one of them 300
  // times; the same feed is listed twenty times in the channel list.
  const Channel a = MakeChannel("http://127.0.0.1/a.xml", "Site A");
  std::string body = "Morning|http://127.0.0.1/same\nEvening|http://127.0.0.1/same\n";
  for (int i = 0; i < 300; ++i) body += "Evening|http://127.0.0.1/same\n";
  ASSERT_TRUE(PutCache(dir_.path(), a.url, body));
  std::vector<Channel> listed(20, a);
  listed[1].title = "Site A again";
  ChangedSet changed;
  changed.Add(a.url);
  for (int run = 0; run < 2; ++run) {
    const MergeReport report = Merge(listed, &changed);
    EXPECT_EQ(report.items_parsed, 20 * 302) << run;
    EXPECT_EQ(report.items_added, run == 0 ? 2 : 0) << run;
    EXPECT_EQ(report.items_shown, 2) << run;
    EXPECT_EQ(Records().size(), 2u) << run;
    const std::vector<TickerItem> shown = ticker_->shown();
    ASSERT_EQ(shown.size(), 2u) << run;
    EXPECT_EQ(shown[0].title, "Morning");
    EXPECT_EQ(shown[1].title, "Evening");
    EXPECT_NE(shown[0].id, shown[1].id);
    EXPECT_GT(shown[1].id, 0);
  }
}

// No feed of huge items can fill the store: each item keeps a bounded description and
// enclosure text, in the store and in the ticker's list alike.
TEST_F(UpdateMergeTest, HugeDescriptionsAndEnclosureListsAreBounded) {
  const Channel a = MakeChannel("http://127.0.0.1/a.xml", "Site A");
  ASSERT_TRUE(PutCache(dir_.path(), a.url, "Big|http://127.0.0.1/big\n"));
  UpdateMerge::Environment env;
  env.working_folder = dir_.path();
  env.clock = &clock_;
  env.ticker = ticker_.get();
  env.parser = [](std::string_view body, const ChannelContext& channel, ItemList* items) {
    korvo::testing::ParseLines(body, channel, items);
    FeedItem& item = (*items)[0];
    item.description.clear();
    // 300 KB of "ニ" (a two-byte character) after one ASCII byte: the cut falls mid-character.
    item.description = "x";
    for (int i = 0; i < 150000; ++i) item.description += "\x83\x6A";
    item.enclosure_url = "http://127.0.0.1/e.mp3";
    for (int i = 0; i < 256; ++i) {
      item.media.push_back({"http://127.0.0.1/" + std::string(3000, 'm'), "1", "audio/mpeg"});
    }
  };
  ASSERT_EQ(UpdateMerge::Run(env, {a}, nullptr).items_added, 1);
  const std::map<uint32_t, NewsItem> records = Records();
  ASSERT_EQ(records.size(), 1u);
  const NewsItem& record = records.begin()->second;
  const std::string description = platform::Utf16ToCp932(record.description);
  EXPECT_LE(description.size(), kMaxKeptDescriptionBytes);
  EXPECT_GE(description.size(), kMaxKeptDescriptionBytes - 1);
  EXPECT_EQ(description.substr(description.size() - 2), "\x83\x6A");  // whole characters
  const std::string enclosures = platform::Utf16ToCp932(record.subelement);
  EXPECT_LE(enclosures.size(), kMaxEnclosureTextBytes);
  EXPECT_EQ(enclosures.substr(0, 25), "\\\\http://127.0.0.1/e.mp3\\");
  EXPECT_EQ(enclosures.back(), '\\');  // whole entries only
  ASSERT_EQ(ticker_->shown().size(), 1u);
  EXPECT_EQ(ticker_->shown()[0].description, description);
}

TEST_F(UpdateMergeTest, StoringOptionsKeepItemsOutOfTheStoreButNotOffTheList) {
  Channel plain = MakeChannel("http://127.0.0.1/p.xml", "Plain");
  Channel no_store = MakeChannel("http://127.0.0.1/n.xml", "NoStore");
  no_store.noAddToDb = true;
  Channel filtered = MakeChannel("http://127.0.0.1/f.xml", "Filtered");
  filtered.keyword = "keep";
  filtered.filterFlags = kFilterOn | kFilterStoreMatches;
  ASSERT_TRUE(PutCache(dir_.path(), plain.url, "P1|http://127.0.0.1/p/1\n"));
  ASSERT_TRUE(PutCache(dir_.path(), no_store.url, "N1|http://127.0.0.1/n/1\n"));
  ASSERT_TRUE(PutCache(dir_.path(), filtered.url,
                       "keep this|http://127.0.0.1/f/1\ndrop this|http://127.0.0.1/f/2\n"));
  const MergeReport report = Merge({plain, no_store, filtered}, nullptr);
  EXPECT_EQ(report.items_added, 2);
  EXPECT_EQ(report.items_not_stored, 2);
  const std::map<std::string, TickerItem> shown = ShownByTitle();
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown.at("N1").id, -1);
  EXPECT_EQ(shown.at("N1").state, 0u);
  EXPECT_EQ(shown.at("drop this").id, -1);
  EXPECT_GT(shown.at("keep this").id, 0);
}

TEST_F(UpdateMergeTest, DisplayOptionsRemoveAndHideButNeverTheLastVisibleItem) {
  Channel only_new = MakeChannel("http://127.0.0.1/o.xml", "OnlyNew");
  only_new.onlyNew = true;
  ASSERT_TRUE(PutCache(dir_.path(), only_new.url, "O1|http://127.0.0.1/o/1\n"));
  ASSERT_EQ(Merge({only_new}, nullptr).items_added, 1);
  // Second run: O1 is known now, so an only-new channel drops it; O2 is new and stays.
  ASSERT_TRUE(
      PutCache(dir_.path(), only_new.url, "O1|http://127.0.0.1/o/1\nO2|http://127.0.0.1/o/2\n"));
  Merge({only_new}, nullptr);
  std::map<std::string, TickerItem> shown = ShownByTitle();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown.count("O2"), 1u);

  // skipAll hides items while another stays visible; itemTtl hides an old one.
  Channel skip = MakeChannel("http://127.0.0.1/s.xml", "Skip");
  skip.skipAll = true;
  Channel aged = MakeChannel("http://127.0.0.1/t.xml", "Aged");
  aged.itemTtl = 24;
  ASSERT_TRUE(
      PutCache(dir_.path(), skip.url, "S1|http://127.0.0.1/s/1\nS2|http://127.0.0.1/s/2\n"));
  ASSERT_TRUE(PutCache(dir_.path(), aged.url,
                       "Old|http://127.0.0.1/t/1|2024-05-01T00:00:00+09:00\n"
                       "Fresh|http://127.0.0.1/t/2|2024-05-10T09:00:00+09:00\n"));
  Merge({skip, aged}, nullptr);
  shown = ShownByTitle();
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_TRUE(shown.at("S1").hidden);
  EXPECT_TRUE(shown.at("S2").hidden);
  EXPECT_TRUE(shown.at("Old").hidden);
  EXPECT_FALSE(shown.at("Fresh").hidden);

  // A list of skipAll items only keeps its last one visible.
  Merge({skip}, nullptr);
  const std::vector<TickerItem> only_skip = ticker_->shown();
  ASSERT_EQ(only_skip.size(), 2u);
  EXPECT_TRUE(only_skip[0].hidden);
  EXPECT_FALSE(only_skip[1].hidden);
}

TEST_F(UpdateMergeTest, MissingCacheFilesAreSkippedAndAnEmptyListGetsThePlaceholder) {
  const Channel missing = MakeChannel("http://127.0.0.1/m.xml", "Missing");
  const Channel stub = MakeChannel("http://127.0.0.1/stub.xml", "Stub");
  FeedCache cache(dir_ / "cache");
  ASSERT_TRUE(platform::MakeDirectory(dir_ / "cache"));
  ASSERT_TRUE(platform::WriteWholeFile(cache.PathFor(stub.url), "short"));  // < 16 bytes
  const MergeReport report = Merge({missing, stub}, nullptr);
  EXPECT_EQ(report.channels_missing, 2);
  EXPECT_EQ(report.items_shown, 0);
  EXPECT_FALSE(platform::FileExists(cache.PathFor(stub.url)));
  const std::vector<TickerItem> shown = ticker_->shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].id, -1);
  EXPECT_EQ(shown[0].link, kDefaultItemLink);
}

// A parser that gives up with an exception (out of memory on a huge feed, say) costs only its
// own channel: the run goes on with the others instead of ending the program.
TEST_F(UpdateMergeTest, AParserExceptionSkipsOnlyItsChannel) {
  const Channel a = MakeChannel("http://127.0.0.1/a.xml", "Site A");
  const Channel b = MakeChannel("http://127.0.0.1/b.xml", "Site B");
  ASSERT_TRUE(PutCache(dir_.path(), a.url, "A1|http://127.0.0.1/a/1\n"));
  ASSERT_TRUE(PutCache(dir_.path(), b.url, "B1|http://127.0.0.1/b/1\nTHROW\n"));
  UpdateMerge::Environment env;
  env.working_folder = dir_.path();
  env.parser = [](std::string_view body, const ChannelContext& channel, ItemList* items) {
    korvo::testing::ParseLines(body, channel, items);
    if (body.find("THROW") != std::string_view::npos) throw std::bad_alloc();
  };
  env.clock = &clock_;
  env.ticker = ticker_.get();
  for (int threads : {4, 0}) {
    env.parse_threads = threads;
    const MergeReport report = UpdateMerge::Run(env, {a, b}, nullptr);
    EXPECT_TRUE(report.handed_over);
    EXPECT_EQ(report.items_parsed, 1);
    const std::map<std::string, TickerItem> shown = ShownByTitle();
    EXPECT_EQ(shown.count("A1"), 1u);
    EXPECT_EQ(shown.count("B1"), 0u);  // a half-parsed channel adds nothing
  }
  EXPECT_EQ(Records().size(), 1u);
}

TEST_F(UpdateMergeTest, AbortStopsTheMergeAndHandsNothingOver) {
  const Channel a = MakeChannel("http://127.0.0.1/a.xml", "Site A");
  ASSERT_TRUE(PutCache(dir_.path(), a.url, "A1|http://127.0.0.1/a/1\n"));
  std::atomic<bool> abort{true};
  const MergeReport report = Merge({a}, nullptr, &abort);
  EXPECT_TRUE(report.aborted);
  EXPECT_FALSE(report.handed_over);
  EXPECT_EQ(report.items_added, 0);
  EXPECT_TRUE(Records().empty());
  EXPECT_EQ(ticker_->shown_count(), 0u);
}

TEST_F(UpdateMergeTest, FeedFileImportAddsUnknownItemsAsUnreadOnce) {
  const Channel a = MakeChannel("http://127.0.0.1/a.xml", "Site A");
  ASSERT_TRUE(PutCache(dir_.path(), a.url, "Known|http://127.0.0.1/k\n"));
  ASSERT_EQ(Merge({a}, nullptr).items_added, 1);
  const std::vector<TickerItem> before = ticker_->shown();

  const std::string file = dir_ / "dropped.txt";
  ASSERT_TRUE(platform::WriteWholeFile(
      file, "Known|http://127.0.0.1/k\nFresh|http://127.0.0.1/f\nFresh|http://127.0.0.1/f\n"));
  const FeedFileReader reader = [](const std::string& path, const ChannelContext& channel,
                                   ItemList* items) {
    std::string body;
    if (!platform::ReadWholeFile(path, &body)) return 0;
    korvo::testing::ParseLines(body, channel, items);
    return static_cast<int>(items->size());
  };
  std::mutex run_mutex;
  const FeedImportReport report =
      ImportFeedFileAsUnread(file, reader, *holder_, clock_, &run_mutex);
  EXPECT_EQ(report.items_read, 3);
  EXPECT_EQ(report.items_added, 1);
  {
    ScopedDatabase db(*holder_);
    const std::vector<IndexEntry> unread = db->ReadIndex(NewsDatabase::kUnreadIndex);
    ASSERT_EQ(unread.size(), 1u);
    NewsItem fresh;
    fresh.number = unread[0].number;
    ASSERT_NE(db->ReadItem(&fresh), 0u);
    EXPECT_EQ(fresh.title, u"Fresh");
    EXPECT_TRUE(fresh.check_day.empty());
  }
  EXPECT_EQ(Records().size(), 2u);
  EXPECT_EQ(ticker_->shown().size(), before.size());  // the ticker's list is not touched
  // A file that cannot be read imports nothing.
  EXPECT_EQ(ImportFeedFileAsUnread(dir_ / "none.txt", reader, *holder_, clock_, nullptr).items_read,
            0);
}

TEST(ItemRecord, EnclosureTextListsTheEnclosureThenEveryMediaWithAnAddress) {
  FeedItem item;
  EXPECT_EQ(EnclosureText(item), "");
  item.media.push_back({"http://127.0.0.1/x.jpg", "10 20", "thumb!image/jpeg"});
  EXPECT_EQ(EnclosureText(item), "");  // no enclosure url: nothing, whatever the media
  item.enclosure_url = "http://127.0.0.1/e.mp4";
  item.enclosure_type = "video/mp4";
  item.media.push_back({"", "1", "t"});
  item.media.push_back({"http://127.0.0.1/y.mp3", "", ""});
  EXPECT_EQ(EnclosureText(item),
            "\\video/mp4\\http://127.0.0.1/e.mp4\\"
            "10 20\\thumb!image/jpeg\\http://127.0.0.1/x.jpg\\"
            "\\\\http://127.0.0.1/y.mp3\\");
}

TEST(ItemRecord, TickerItemCarriesTextsIdStateAndHideOnceOpened) {
  auto channel = std::make_shared<Channel>();
  channel->drop = true;
  FeedItem item;
  item.title = "t";
  item.link = "l";
  item.site_name = "s";
  item.creator = "c";
  item.channel = channel;
  item.shown = true;
  const TickerItem ticker = TickerItemFromFeedItem(item, 42, TickerItem::kAdded);
  EXPECT_EQ(ticker.author, "c");
  EXPECT_EQ(ticker.id, 42);
  EXPECT_EQ(ticker.state, TickerItem::kAdded);
  EXPECT_TRUE(ticker.hide_once_opened);
  EXPECT_TRUE(ticker.hidden);
  // Japanese texts reach the record as UTF-16.
  item.title = platform::Utf8ToCp932(u8"速報");
  EXPECT_EQ(RecordFromFeedItem(item, Local(2024, 1, 1, 0, 0), 540).title, u"\u901F\u5831");
}

}  // namespace
}  // namespace korvo

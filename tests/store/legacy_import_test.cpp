// Import of the earlier database format.
#include "store/legacy_import.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "platform/files.h"
#include "store/console_progress.h"
#include "store/database_guard.h"
#include "store/link_hash.h"
#include "store/little_endian.h"
#include "store_test_util.h"

namespace korvo {
namespace {

using korvo::testing::Cal;
using korvo::testing::FileBytes;
using korvo::testing::TempFolder;

// Builds the old files: string files grow as strings are added.
class LegacyFiles {
 public:
  explicit LegacyFiles(const std::string& folder) : db_(folder + "/database/") {
    platform::MakeDirectory(folder + "/database");
  }
  // Appends `text` (CP932) with its terminator to `file`; returns its offset.
  uint32_t String(const std::string& file, const std::string& text, char terminator = '\0') {
    std::string& f = files_[file];
    if (f.empty()) f = std::string(" \0", 2);
    const uint32_t offset = static_cast<uint32_t>(f.size());
    f += text;
    f += terminator;
    return offset;
  }
  void Record(const std::vector<uint32_t>& words) {
    std::string r(64, '\0');
    for (size_t i = 0; i < words.size() && i < 16; ++i) {
      store_bytes::PutWord(reinterpret_cast<unsigned char*>(&r[4 * i]), words[i]);
    }
    records_ += r;
  }
  void Write(bool all_string_files = true) {
    std::string header(64, '\0');
    store_bytes::PutWord(reinterpret_cast<unsigned char*>(&header[0]), 0x10000);
    store_bytes::PutWord(reinterpret_cast<unsigned char*>(&header[4]), 64);
    ASSERT_TRUE(platform::WriteWholeFile(db_ + "newsdata.dat", header + records_));
    for (const char* name : {"url.dat", "comment.dat", "title.dat", "rss.dat", "info.dat",
                             "description.dat", "subelement.dat", "trackback.dat"}) {
      auto it = files_.find(name);
      if (it != files_.end()) {
        ASSERT_TRUE(platform::WriteWholeFile(db_ + name, it->second));
      } else if (all_string_files) {
        ASSERT_TRUE(platform::WriteWholeFile(db_ + name, std::string(" \0", 2)));
      }
    }
  }
  // Every old file and its bytes.
  std::map<std::string, std::string> Snapshot() const {
    std::map<std::string, std::string> s;
    for (const auto& e : platform::ListDirectory(db_)) {
      if (e.name.size() > 4 && e.name.substr(e.name.size() - 4) == ".dat") {
        s[e.name] = FileBytes(db_ + e.name);
      }
    }
    return s;
  }

 private:
  std::string db_;
  std::string records_;
  std::map<std::string, std::string> files_;
};

// A display that the "user" closes after `close_after` steps, and a provider that answers the
// stop question with `stop`.
class ScriptedProvider : public ProgressProvider {
 public:
  class Display : public Progress {
   public:
    Display(ScriptedProvider* owner) : owner_(owner) {}
    void SetRange(uint32_t r) override { owner_->log.push_back("range " + std::to_string(r)); }
    void Step() override {
      ++steps_;
      ++owner_->steps;
    }
    void SetPosition(uint32_t p) override { owner_->log.push_back("pos " + std::to_string(p)); }
    bool IsOpen() const override { return owner_->close_after < 0 || steps_ < owner_->close_after; }
    void Close() override { owner_->log.push_back("close"); }

   private:
    ScriptedProvider* owner_;
    int steps_ = 0;
  };
  std::unique_ptr<Progress> Start(const std::string& title) override {
    log.push_back("start " + title);
    return std::make_unique<Display>(this);
  }
  bool ConfirmStop() override {
    log.push_back("ask");
    if (!stop) close_after = -1;  // the new display stays open
    return stop;
  }
  int close_after = -1;
  bool stop = false;
  int steps = 0;
  std::vector<std::string> log;
};

const std::string kImportTitle =
    "start KorvoNewsReader \x83\x66\x81\x5B\x83\x5E\x83\x78\x81\x5B\x83\x58\x82\xF0\x88\xDA"
    "\x8D\x73\x92\x86...";

std::vector<NewsItem> StoredItems(const std::string& folder) {
  DatabaseGuard guard(folder);
  ScopedDatabase db(guard);
  std::vector<NewsItem> items;
  for (const IndexEntry& e : db->ReadIndex(NewsDatabase::kDayIndex)) {
    NewsItem item;
    item.number = e.number;
    if (db->ReadItem(&item) != 0) items.push_back(item);
  }
  return items;
}

TEST(LegacyImportTest, NothingToImport) {
  TempFolder dir;
  EXPECT_EQ(ImportLegacyDatabase(dir.path(), nullptr), 1);
  EXPECT_FALSE(platform::FileExists(dir / "err.txt"));
  std::unique_ptr<Progress> none;
  EXPECT_EQ(ConvertLegacyRecords(dir.path(), nullptr, &none), -1);
}

TEST(LegacyImportTest, HeaderOnlyConvertsNothing) {
  TempFolder dir;
  LegacyFiles old(dir.path());
  old.Write();
  ASSERT_TRUE(platform::WriteWholeFile(dir / "dump.dat", "x"));
  ScriptedProvider provider;
  EXPECT_EQ(ImportLegacyDatabase(dir.path(), &provider), 0);
  EXPECT_EQ(provider.log, (std::vector<std::string>{kImportTitle, "range 0", "close"}));
  EXPECT_FALSE(platform::FileExists(dir / "database/newsdata.dat"));
  EXPECT_EQ(FileBytes(dir / "database/newsdata.bak").size(), 64u);
  EXPECT_FALSE(platform::FileExists(dir / "err.txt"));
  EXPECT_FALSE(platform::FileExists(dir / "dump.dat"));
  EXPECT_TRUE(StoredItems(dir.path()).empty());
}

TEST(LegacyImportTest, ThreeRecordsInFileOrder) {
  TempFolder dir;
  LegacyFiles old(dir.path());
  const uint32_t d1 = PackedDate::Pack(Cal(2004, 12, 24, 18, 5));
  // Record 1: every string, a Japanese title, a description cut at 0xFF.
  old.Record({1, 99, old.String("url.dat", "http://a.example/1"),
              old.String("title.dat", "\x83\x6A\x83\x85\x81\x5B\x83\x58"),  // ニュース
              old.String("rss.dat", "http://a.example/rss"), d1, d1 + 1, d1 + 2,
              old.String("comment.dat", "note"), 1, d1 + 3,
              [&] {
                const uint32_t at = old.String("info.dat", "Site A");
                old.String("info.dat", "http://a.example/");
                old.String("info.dat", "cat");
                old.String("info.dat", "author");
                return at;
              }(),
              old.String("description.dat", "before", '\xFF'),
              old.String("subelement.dat", "10\\audio/mpeg\\http://a.example/a.mp3\\"),
              old.String("trackback.dat", "tb")});
  // Record 2: no info strings, offsets past the end of the files.
  old.Record(
      {2, 0, old.String("url.dat", "http://a.example/2"), 100000, 0, d1, 0, 0, 0, 0, 0, 0, 99999});
  // Record 3: only a link.
  old.Record({3, 0, old.String("url.dat", "http://a.example/3")});
  old.Write(false);  // comment.dat etc. exist; rss.dat written; trackback.dat written
  platform::RemoveFile(dir / "database/comment.dat");

  // Something already in the current database is dropped.
  {
    DatabaseGuard guard(dir.path());
    ScopedDatabase db(guard);
    NewsItem item = korvo::testing::SampleItem(7, Cal(2020, 1, 1));
    db->AddItem(&item, nullptr);
  }
  EXPECT_EQ(ImportLegacyDatabase(dir.path(), nullptr), 0);
  // The missing string file was created holding its two header bytes.
  EXPECT_EQ(FileBytes(dir / "database/comment.dat"), std::string(" \0", 2));

  const std::vector<NewsItem> items = StoredItems(dir.path());
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].number, 1u);
  EXPECT_EQ(items[1].number, 2u);
  EXPECT_EQ(items[2].number, 3u);
  const NewsItem& a = items[0];
  EXPECT_EQ(a.link, u"http://a.example/1");
  EXPECT_EQ(a.title, u"\u30CB\u30E5\u30FC\u30B9");
  EXPECT_EQ(a.rss, u"http://a.example/rss");
  EXPECT_EQ(a.get_day.packed, d1);
  EXPECT_EQ(a.last_seen.packed, d1 + 1);
  EXPECT_EQ(a.check_day.packed, d1 + 2);
  EXPECT_EQ(a.create_day.packed, d1 + 3);
  EXPECT_EQ(a.get_day.calendar.year, 2004);
  EXPECT_EQ(a.comment, u"");  // comment.dat was missing
  EXPECT_EQ(a.flags, 1u);
  EXPECT_EQ(a.site, u"Site A");
  EXPECT_EQ(a.site_link, u"http://a.example/");
  EXPECT_EQ(a.category, u"cat");
  EXPECT_EQ(a.author, u"author");
  EXPECT_EQ(a.description, u"before");
  EXPECT_EQ(a.subelement, u"10\\audio/mpeg\\http://a.example/a.mp3\\");
  EXPECT_EQ(a.trackback, u"");
  EXPECT_EQ(a.link_hash, LinkHash(a.link));
  const NewsItem& b = items[1];
  EXPECT_EQ(b.title, u"");
  EXPECT_EQ(b.site, u"");
  EXPECT_EQ(b.author, u"");
  EXPECT_EQ(b.subelement, u"");
  EXPECT_EQ(items[2].link, u"http://a.example/3");
  // The unread list and history follow the imported dates.
  DatabaseGuard guard(dir.path());
  ScopedDatabase db(guard);
  EXPECT_EQ(db->ReadIndex(NewsDatabase::kHistoryIndex).size(), 1u);
}

TEST(LegacyImportTest, StopAndOkLeavesEmptyStoreAndOldFilesUntouched) {
  TempFolder dir;
  LegacyFiles old(dir.path());
  for (uint32_t i = 1; i <= 5; ++i) {
    old.Record({i, 0, old.String("url.dat", "http://b.example/" + std::to_string(i)),
                old.String("title.dat", "t" + std::to_string(i))});
  }
  old.Write();
  ASSERT_TRUE(platform::WriteWholeFile(dir / "database/newsdata.bak", "older backup"));
  const auto before = old.Snapshot();
  ScriptedProvider provider;
  provider.close_after = 2;
  provider.stop = true;
  EXPECT_EQ(ImportLegacyDatabase(dir.path(), &provider), -1);
  EXPECT_EQ(provider.steps, 2);
  EXPECT_EQ(provider.log, (std::vector<std::string>{kImportTitle, "range 5", "ask", "close"}));
  EXPECT_TRUE(StoredItems(dir.path()).empty());
  EXPECT_EQ(old.Snapshot(), before);
  EXPECT_EQ(FileBytes(dir / "database/newsdata.bak"), "older backup");
  EXPECT_TRUE(platform::FileExists(dir / "err.txt"));
  {
    DatabaseGuard guard(dir.path());
    ScopedDatabase db(guard);
    EXPECT_EQ(db->blocks().FreeCount(), 262139u);
  }

  // Stop and Cancel: a new display goes on from where the first stopped; the older backup is
  // replaced at the end.
  ScriptedProvider goes_on;
  goes_on.close_after = 3;
  EXPECT_EQ(ImportLegacyDatabase(dir.path(), &goes_on), 0);
  EXPECT_EQ(goes_on.log, (std::vector<std::string>{kImportTitle, "range 5", "ask", kImportTitle,
                                                   "range 5", "pos 3", "close"}));
  EXPECT_EQ(StoredItems(dir.path()).size(), 5u);
  EXPECT_EQ(FileBytes(dir / "database/newsdata.bak").size(), 64u * 6);
  EXPECT_FALSE(platform::FileExists(dir / "err.txt"));
}

TEST(LegacyImportTest, DamagedHeaderAndShortRecord) {
  TempFolder dir;
  LegacyFiles old(dir.path());
  old.Record({1, 0, old.String("url.dat", "http://c.example/1")});
  old.Write();
  // Record size 0 in the header and a trailing half record.
  std::string table = FileBytes(dir / "database/newsdata.dat");
  table[4] = 0;
  table += std::string(32, '\x7F');
  ASSERT_TRUE(platform::WriteWholeFile(dir / "database/newsdata.dat", table));
  EXPECT_EQ(ImportLegacyDatabase(dir.path(), nullptr), 0);
  const std::vector<NewsItem> items = StoredItems(dir.path());
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].link, u"http://c.example/1");
}

TEST(LegacyImportTest, ConsoleReportsTenthsAndNeverAsks) {
  TempFolder dir;
  LegacyFiles old(dir.path());
  for (uint32_t i = 1; i <= 20; ++i) old.Record({i});
  old.Write();
  std::ostringstream out;
  ConsoleProgressProvider console(out);
  EXPECT_EQ(ImportLegacyDatabase(dir.path(), &console), 0);
  EXPECT_EQ(out.str(),
            u8"KorvoNewsReader データベースを移行中...\n"
            "  0%\n  10%\n  20%\n  30%\n  40%\n  50%\n  60%\n  70%\n  80%\n  90%\n 100%\ndone\n");
  EXPECT_EQ(StoredItems(dir.path()).size(), 20u);
}

}  // namespace
}  // namespace korvo

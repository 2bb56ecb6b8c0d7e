// The news store against SQLite on the same work: add 50,000 realistic records, look each one up
// as the update cycle does (by link hash, then link and title), and list every day's records.
//
// SQLite side: one table with every field of a record (texts as UTF-16), indexes on the link hash
// and on the day, inserts in transactions of 1,000, WAL journal with synchronous=NORMAL. The news
// store side: NewsDatabase with a read-write batch around the adds (as the update cycle keeps
// one), KnownItemTable for the lookups, QueryDay on meta_1. Both sides take the feed's CP932
// link and title for a lookup and build complete NewsItem values for a day list.
//
// Prints the time of each phase on both sides and the ratio news store / SQLite (below 1: the news
// store is faster).
#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "store/known_item_table.h"
#include "store/link_hash.h"
#include "store/news_database.h"

namespace {

using korvo::NewsItem;
using korvo::PackedDate;
using korvo::platform::CalendarTime;

constexpr int kRecords = 50000;
constexpr int kDays = 365;

class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint32_t Next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state_ >> 33);
  }
  uint32_t Below(uint32_t n) { return Next() % n; }

 private:
  uint64_t state_;
};

const char16_t* const kWords[] = {
    u"政府",     u"発表",     u"新型",     u"スマートフォン", u"株価",     u"東京",   u"大阪",
    u"選挙",     u"経済",     u"技術",     u"開発",           u"リリース", u"調査",   u"結果",
    u"企業",     u"市場",     u"世界",     u"日本",           u"気象庁",   u"台風",   u"地震",
    u"首相",     u"会見",     u"円安",     u"決算",           u"過去最高", u"新製品", u"公開",
    u"サービス", u"開始",     u"終了",     u"予定",           u"大学",     u"研究",   u"成功",
    u"宇宙",     u"ロケット", u"打ち上げ", u"サッカー",       u"代表",     u"勝利",   u"映画",
    u"興行収入", u"アニメ",   u"ゲーム",   u"発売日",         u"値上げ",   u"物価",   u"交通",
    u"鉄道"};
constexpr int kWordCount = sizeof kWords / sizeof kWords[0];

std::u16string Ascii(const std::string& s) { return std::u16string(s.begin(), s.end()); }

CalendarTime DayOf(int day_index) {
  // 2024-01-01 plus day_index days (months of 2024, a leap year).
  static const int kMonthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  CalendarTime t;
  t.year = 2024;
  t.month = 1;
  int d = day_index;
  while (d >= kMonthDays[t.month - 1]) d -= kMonthDays[t.month++ - 1];
  t.day = d + 1;
  return t;
}

// Records fetched over a year in time order, from 60 sites, some with enclosures.
std::vector<NewsItem> MakeRecords() {
  Rng rng(20240101);
  std::vector<NewsItem> records;
  records.reserve(kRecords);
  for (int i = 0; i < kRecords; ++i) {
    NewsItem item;
    const int site = static_cast<int>(rng.Below(60));
    const int day_index = static_cast<int>(static_cast<int64_t>(i) * kDays / kRecords);
    CalendarTime t = DayOf(day_index);
    t.hour = static_cast<int>(rng.Below(24));
    t.minute = static_cast<int>(rng.Below(60));
    const std::string host = "news" + std::to_string(site) + ".example.jp";
    item.link = Ascii("http://" + host + "/articles/2024/" + std::to_string(t.month) + "/" +
                      std::to_string(t.day) + "/" + std::to_string(100000 + i) + ".html");
    if (rng.Below(20) == 0) item.link += Ascii("?from=rss&ref=" + std::to_string(i % 7));
    const int title_words = 3 + static_cast<int>(rng.Below(6));
    for (int w = 0; w < title_words; ++w) item.title += kWords[rng.Below(kWordCount)];
    item.site = u"ニュースサイト" + Ascii(std::to_string(site));
    item.site_link = Ascii("http://" + host + "/");
    item.category = kWords[rng.Below(kWordCount)];
    item.author = Ascii("reporter" + std::to_string(rng.Below(300)));
    const int sentences = 2 + static_cast<int>(rng.Below(10));
    for (int s = 0; s < sentences; ++s) {
      const int words = 4 + static_cast<int>(rng.Below(10));
      for (int w = 0; w < words; ++w) item.description += kWords[rng.Below(kWordCount)];
      item.description += u"。";
    }
    if (rng.Below(10) == 0) {
      item.subelement =
          Ascii(std::to_string(1000000 + rng.Below(9000000)) + "\\audio/mpeg\\http://" + host +
                "/media/" + std::to_string(i) + ".mp3\\");
    }
    item.get_day.calendar = t;
    item.last_seen.calendar = t;
    item.create_day.calendar = t;
    records.push_back(std::move(item));
  }
  return records;
}

double Ms(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

struct Timings {
  double add = 0, lookup = 0, query = 0;
  size_t found = 0, listed = 0;
  int64_t bytes = 0;
};

Timings RunStore(const std::vector<NewsItem>& records, const std::vector<std::string>& links,
                 const std::vector<std::string>& titles) {
  korvo::testing::TempFolder dir;
  Timings t;
  korvo::NewsDatabase db;
  if (!db.Open(dir.path())) {
    std::fprintf(stderr, "cannot open the news store\n");
    return t;
  }
  std::vector<uint32_t> numbers(records.size());
  auto start = std::chrono::steady_clock::now();
  db.BeginBatch(korvo::BlockStore::kBatchReadWrite);
  for (size_t i = 0; i < records.size(); ++i) {
    NewsItem item = records[i];
    numbers[i] = db.AddItem(&item, nullptr);
  }
  db.EndBatch();
  t.add = Ms(std::chrono::steady_clock::now() - start);

  start = std::chrono::steady_clock::now();
  korvo::KnownItemTable known;
  known.Build(db);
  for (size_t i = 0; i < records.size(); ++i) {
    if (known.Lookup(db, links[i], titles[i]) == numbers[i]) ++t.found;
  }
  t.lookup = Ms(std::chrono::steady_clock::now() - start);

  start = std::chrono::steady_clock::now();
  const korvo::ItemQuery all;
  for (int d = 0; d < kDays; ++d) t.listed += db.QueryDay(1, DayOf(d), all).size();
  t.query = Ms(std::chrono::steady_clock::now() - start);
  db.Close();
  for (const char* name : {"fat", "data", "meta_1", "meta_2", "meta_3", "meta_4"}) {
    const int64_t size = korvo::platform::FileSize(dir / (std::string("database/") + name));
    if (size > 0) t.bytes += size;
  }
  return t;
}

bool Exec(sqlite3* db, const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    std::fprintf(stderr, "sqlite: %s: %s\n", sql, error ? error : "?");
    sqlite3_free(error);
    return false;
  }
  return true;
}

void BindText(sqlite3_stmt* s, int column, const std::u16string& text) {
  sqlite3_bind_text16(s, column, text.data(), static_cast<int>(text.size() * 2), SQLITE_STATIC);
}

std::u16string ColumnText(sqlite3_stmt* s, int column) {
  const void* p = sqlite3_column_text16(s, column);
  const int bytes = sqlite3_column_bytes16(s, column);
  if (p == nullptr) return std::u16string();
  return std::u16string(static_cast<const char16_t*>(p), static_cast<size_t>(bytes) / 2);
}

Timings RunSqlite(const std::vector<NewsItem>& records, const std::vector<std::string>& links,
                  const std::vector<std::string>& titles) {
  korvo::testing::TempFolder dir;
  Timings t;
  sqlite3* db = nullptr;
  const std::string path = dir / "news.db";
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
    std::fprintf(stderr, "cannot open sqlite\n");
    return t;
  }
  Exec(db, "PRAGMA encoding='UTF-16le'");
  Exec(db, "PRAGMA journal_mode=WAL");
  Exec(db, "PRAGMA synchronous=NORMAL");
  Exec(db,
       "CREATE TABLE items(number INTEGER PRIMARY KEY, link_hash INTEGER, day INTEGER, "
       "get_day INTEGER, last_seen INTEGER, check_day INTEGER, flags INTEGER, create_day INTEGER, "
       "link TEXT, title TEXT, rss TEXT, site TEXT, site_link TEXT, category TEXT, author TEXT, "
       "description TEXT, subelement TEXT, trackback TEXT, comment TEXT)");
  Exec(db, "CREATE INDEX items_hash ON items(link_hash)");
  Exec(db, "CREATE INDEX items_day ON items(day)");

  std::vector<int64_t> numbers(records.size());
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO items(link_hash, day, get_day, last_seen, check_day, flags, "
                     "create_day, link, title, rss, site, site_link, category, author, "
                     "description, subelement, trackback, comment) "
                     "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                     -1, &insert, nullptr);
  auto start = std::chrono::steady_clock::now();
  for (size_t i = 0; i < records.size(); ++i) {
    if (i % 1000 == 0) Exec(db, "BEGIN");
    const NewsItem& r = records[i];
    const uint32_t get = PackedDate::Pack(r.get_day.calendar);
    sqlite3_bind_int64(insert, 1, korvo::LinkHash(r.link));
    sqlite3_bind_int64(insert, 2, get >> 11);
    sqlite3_bind_int64(insert, 3, get);
    sqlite3_bind_int64(insert, 4, PackedDate::Pack(r.last_seen.calendar));
    sqlite3_bind_int64(insert, 5, PackedDate::Pack(r.check_day.calendar));
    sqlite3_bind_int64(insert, 6, r.flags);
    sqlite3_bind_int64(insert, 7, PackedDate::Pack(r.create_day.calendar));
    int column = 8;
    for (auto field : NewsItem::kTexts) BindText(insert, column++, r.*field);
    if (sqlite3_step(insert) != SQLITE_DONE) std::fprintf(stderr, "insert failed\n");
    numbers[i] = sqlite3_last_insert_rowid(db);
    sqlite3_reset(insert);
    if (i % 1000 == 999 || i + 1 == records.size()) Exec(db, "COMMIT");
  }
  t.add = Ms(std::chrono::steady_clock::now() - start);
  sqlite3_finalize(insert);

  sqlite3_stmt* lookup = nullptr;
  sqlite3_prepare_v2(db, "SELECT number, link, title FROM items WHERE link_hash=? ORDER BY number",
                     -1, &lookup, nullptr);
  start = std::chrono::steady_clock::now();
  for (size_t i = 0; i < records.size(); ++i) {
    // The same work as a KnownItemTable lookup: the feed's CP932 link and title.
    const std::u16string link = korvo::platform::Cp932ToUtf16(links[i]);
    const std::u16string title = korvo::platform::Cp932ToUtf16(titles[i]);
    sqlite3_bind_int64(lookup, 1, korvo::LinkHash(link));
    int64_t match = 0;
    while (sqlite3_step(lookup) == SQLITE_ROW) {
      if (ColumnText(lookup, 1) == link && ColumnText(lookup, 2) == title) {
        match = sqlite3_column_int64(lookup, 0);
        break;
      }
    }
    sqlite3_reset(lookup);
    if (match == numbers[i]) ++t.found;
  }
  t.lookup = Ms(std::chrono::steady_clock::now() - start);
  sqlite3_finalize(lookup);

  sqlite3_stmt* day = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT number, link_hash, get_day, last_seen, check_day, flags, create_day, "
                     "link, title, rss, site, site_link, category, author, description, "
                     "subelement, trackback, comment FROM items WHERE day=? ORDER BY number",
                     -1, &day, nullptr);
  start = std::chrono::steady_clock::now();
  for (int d = 0; d < kDays; ++d) {
    sqlite3_bind_int64(day, 1, PackedDate::Pack(DayOf(d)) >> 11);
    std::vector<NewsItem> list;
    while (sqlite3_step(day) == SQLITE_ROW) {
      NewsItem item;
      item.number = static_cast<uint32_t>(sqlite3_column_int64(day, 0));
      item.link_hash = static_cast<uint32_t>(sqlite3_column_int64(day, 1));
      item.get_day = PackedDate::FromPacked(static_cast<uint32_t>(sqlite3_column_int64(day, 2)));
      item.last_seen = PackedDate::FromPacked(static_cast<uint32_t>(sqlite3_column_int64(day, 3)));
      item.check_day = PackedDate::FromPacked(static_cast<uint32_t>(sqlite3_column_int64(day, 4)));
      item.flags = static_cast<uint32_t>(sqlite3_column_int64(day, 5));
      item.create_day = PackedDate::FromPacked(static_cast<uint32_t>(sqlite3_column_int64(day, 6)));
      int column = 7;
      for (auto field : NewsItem::kTexts) item.*field = ColumnText(day, column++);
      list.push_back(std::move(item));
    }
    sqlite3_reset(day);
    t.listed += list.size();
  }
  t.query = Ms(std::chrono::steady_clock::now() - start);
  sqlite3_finalize(day);
  sqlite3_close(db);
  for (const char* name : {"news.db", "news.db-wal"}) {
    const int64_t size = korvo::platform::FileSize(dir / name);
    if (size > 0) t.bytes += size;
  }
  return t;
}

void Row(const char* name, double store, double sqlite) {
  std::printf("%-28s %10.1f ms %10.1f ms   ratio %.3f\n", name, store, sqlite,
              sqlite > 0 ? store / sqlite : 0.0);
}

}  // namespace

int main() {
  const std::vector<NewsItem> records = MakeRecords();
  std::vector<std::string> links, titles;
  for (const NewsItem& r : records) {
    links.push_back(korvo::platform::Utf16ToCp932(r.link));
    titles.push_back(korvo::platform::Utf16ToCp932(r.title));
  }
  std::printf("records: %d over %d days; SQLite %s\n", kRecords, kDays, sqlite3_libversion());
  const Timings store = RunStore(records, links, titles);
  const Timings sqlite = RunSqlite(records, links, titles);
  std::printf("%-28s %13s %13s   %s\n", "", "news store", "SQLite", "news store / SQLite");
  Row("add 50,000 records", store.add, sqlite.add);
  Row("look up each (known items)", store.lookup, sqlite.lookup);
  Row("list every day (QueryDay)", store.query, sqlite.query);
  Row("total", store.add + store.lookup + store.query, sqlite.add + sqlite.lookup + sqlite.query);
  std::printf("found %zu / %zu, listed %zu / %zu, bytes on disk %lld / %lld\n", store.found,
              sqlite.found, store.listed, sqlite.listed, static_cast<long long>(store.bytes),
              static_cast<long long>(sqlite.bytes));
  return 0;
}

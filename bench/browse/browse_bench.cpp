// The browse window over a store of 100,000 items: how long a day's list fill takes (kinds "all"
// and "read"), and a full-text search of every item (titles and descriptions, one word, two
// words joined by OR, and a word found nowhere). Fills and searches run as the window's worker
// does: through DatabaseGuard, reading records in groups under short holds of the store lock.
// Besides the totals it prints the longest gap between two progress reports of a search: how long
// the window waits at most for news of a search, and how long a cancel takes at most to be seen.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "browse/item_search.h"
#include "browse/list_fill.h"
#include "common/temp_folder.h"
#include "platform/code_page.h"
#include "store/database_guard.h"
#include "store/news_database.h"

namespace {

using korvo::NewsItem;
using korvo::platform::CalendarTime;
using Clock = std::chrono::steady_clock;

constexpr int kRecords = 100000;
constexpr int kDays = 100;

class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint32_t Below(uint32_t n) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state_ >> 33) % n;
  }

 private:
  uint64_t state_;
};

const char16_t* const kWords[] = {
    u"政府",   u"発表",   u"新型", u"スマホ", u"株価", u"東京", u"大阪",  u"選挙",   u"経済",
    u"技術",   u"開発",   u"調査", u"企業",   u"市場", u"世界", u"日本",  u"台風",   u"地震",
    u"会見",   u"円安",   u"決算", u"新製品", u"公開", u"大学", u"研究",  u"宇宙",   u"映画",
    u"アニメ", u"ゲーム", u"物価", u"鉄道",   u"RSS",  u"Atom", u"Linux", u"Windows"};
constexpr uint32_t kWordCount = sizeof kWords / sizeof kWords[0];

std::u16string Ascii(const std::string& s) { return std::u16string(s.begin(), s.end()); }

CalendarTime DayOf(int index) {
  static const int kMonthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  CalendarTime t;
  t.year = 2024;
  t.month = 1;
  while (index >= kMonthDays[t.month - 1]) index -= kMonthDays[t.month++ - 1];
  t.day = index + 1;
  return t;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// 100,000 records over 100 days, one block each; every tenth one read on its day, some marked.
void Fill(korvo::DatabaseGuard& guard) {
  Rng rng(16);
  korvo::ScopedDatabase db(guard);
  db->BeginBatch(korvo::BlockStore::kBatchReadWrite);
  for (int i = 0; i < kRecords; ++i) {
    NewsItem item;
    CalendarTime t = DayOf(i * kDays / kRecords);
    t.hour = static_cast<int>(rng.Below(24));
    t.minute = static_cast<int>(rng.Below(60));
    const int site = static_cast<int>(rng.Below(40));
    item.link = Ascii("http://news" + std::to_string(site) + ".example.jp/a/" + std::to_string(i));
    for (uint32_t w = 0, n = 3 + rng.Below(4); w < n; ++w)
      item.title += kWords[rng.Below(kWordCount)];
    item.site = u"サイト" + Ascii(std::to_string(site));
    item.site_link = Ascii("http://news" + std::to_string(site) + ".example.jp/");
    item.category = kWords[rng.Below(kWordCount)];
    item.author = Ascii("writer" + std::to_string(rng.Below(200)));
    for (uint32_t w = 0, n = 10 + rng.Below(20); w < n; ++w) {
      item.description += kWords[rng.Below(kWordCount)];
    }
    item.get_day.calendar = t;
    item.last_seen.calendar = t;
    item.create_day.calendar = t;
    if (i % 10 == 0) {
      CalendarTime read = t;
      read.minute = std::min(read.minute + 1, 59);
      item.check_day.calendar = read;
      if (i % 30 == 0) item.flags = NewsItem::kMarked;
    }
    if (db->AddItem(&item, nullptr) == 0) {
      std::fprintf(stderr, "the store refused record %d\n", i);
      break;
    }
  }
  db->EndBatch();
  db->SaveTable();
}

void FillBench(korvo::DatabaseGuard& guard, korvo::ListKind kind, const char* name) {
  double total = 0;
  double worst = 0;
  size_t rows = 0;
  constexpr int kSamples = 10;
  for (int s = 0; s < kSamples; ++s) {
    std::vector<korvo::ListRow> list;
    const auto start = Clock::now();
    korvo::FillRows(guard, {kind, DayOf(s * 9)}, nullptr, nullptr, &list);
    const double ms = Ms(Clock::now() - start);
    total += ms;
    worst = std::max(worst, ms);
    rows += list.size();
  }
  std::printf("fill a day, kind %-4s  %8.1f ms on average, %7.1f ms at most, %zu rows a day\n",
              name, total / kSamples, worst, rows / kSamples);
}

void SearchBench(korvo::DatabaseGuard& guard, const char* words_utf8, uint32_t mask,
                 const char* what) {
  korvo::SearchQuery query;
  query.words = korvo::platform::Utf8ToCp932(words_utf8);
  query.field_mask = mask;
  query.start = DayOf(0);
  query.end = DayOf(kDays - 1);
  size_t hits = 0;
  double longest_gap = 0;
  auto last = Clock::now();
  const auto start = last;
  korvo::RunSearch(
      guard, query, nullptr, [&hits](korvo::ListRow) { ++hits; },
      [&](const korvo::SearchProgress&) {
        const auto now = Clock::now();
        longest_gap = std::max(longest_gap, Ms(now - last));
        last = now;
      });
  std::printf("search %-28s %8.1f ms, %6zu hits, longest gap between reports %.1f ms\n", what,
              Ms(Clock::now() - start), hits, longest_gap);
}

}  // namespace

int main() {
  korvo::testing::TempFolder folder;
  korvo::DatabaseGuard guard(folder.path());
  const auto start = Clock::now();
  Fill(guard);
  std::printf("store of %d items over %d days written in %.0f ms\n", kRecords, kDays,
              Ms(Clock::now() - start));
  FillBench(guard, korvo::ListKind::kAll, "all");
  FillBench(guard, korvo::ListKind::kRead, "read");
  const uint32_t title_and_description =
      (1u << korvo::search_field::kTitle) | (1u << korvo::search_field::kDescription);
  SearchBench(guard, u8"宇宙", title_and_description, "宇宙 (title, description)");
  SearchBench(guard, u8"宇宙 OR linux", title_and_description, "宇宙 OR linux");
  SearchBench(guard, u8"宇宙 アニメ", korvo::kAllSearchFields, "宇宙 アニメ (every field)");
  SearchBench(guard, u8"見つからない", korvo::kAllSearchFields, "a word found nowhere");
  return 0;
}

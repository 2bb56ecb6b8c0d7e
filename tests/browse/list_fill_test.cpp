// The list's fills per kind, the search and the sorting, over a real store.
#include "browse/list_fill.h"

#include <gtest/gtest.h>

#include <atomic>

#include "browse/item_search.h"
#include "browse/list_sort.h"
#include "browse_test_util.h"
#include "ticker/ticker_item.h"

namespace korvo::testing {
namespace {

const platform::CalendarTime kDay = Cal(2006, 1, 2);

std::vector<uint32_t> Numbers(const std::vector<ListRow>& rows) {
  std::vector<uint32_t> numbers;
  for (const ListRow& row : rows) numbers.push_back(row.number);
  return numbers;
}

class ListFillTest : public StoreFixture {
 protected:
  void SetUp() override {
    StoreFixture::SetUp();
    fresh_ = AddTitled(1, "fresh", Cal(2006, 1, 2, 10, 0));
    read_ = AddTitled(2, "read", Cal(2006, 1, 2, 11, 0), Cal(2006, 1, 2, 12, 0));
    NewsItem noted = SampleItem(3, Cal(2006, 1, 1, 9, 0));
    noted.check_day.calendar = Cal(2006, 1, 2, 13, 0);
    noted.comment = u"memo";
    noted.flags = NewsItem::kMarked;
    noted_ = Add(noted);
    old_ = AddTitled(4, "old", Cal(2006, 1, 1, 8, 0), Cal(2006, 1, 1, 8, 30));
    NewsItem blank = SampleItem(5, Cal(2006, 1, 2, 7, 0));
    blank.check_day.calendar = Cal(2006, 1, 2, 14, 0);
    blank.comment = u" ";  // does not sort after " ": no comment
    blank_ = Add(blank);
    ScopedDatabase db(*guard_);
    ASSERT_EQ(db->ReadLater(old_), 0);
  }

  std::vector<ListRow> Fill(ListKind kind, const ShownItemsSource& shown = nullptr) {
    std::vector<ListRow> rows;
    EXPECT_TRUE(FillRows(*guard_, {kind, kDay}, shown, nullptr, &rows));
    return rows;
  }

  uint32_t fresh_ = 0, read_ = 0, noted_ = 0, old_ = 0, blank_ = 0;
};

TEST_F(ListFillTest, EachKindListsItsRecordsInIndexOrder) {
  const struct {
    ListKind kind;
    std::vector<uint32_t> expected;
  } cases[] = {
      {ListKind::kAll, {fresh_, read_, blank_}},
      {ListKind::kUnread, {fresh_}},
      {ListKind::kRead, {read_, noted_, blank_}},
      {ListKind::kCommented, {noted_}},
      {ListKind::kMarked, {noted_}},
      {ListKind::kReadLater, {old_}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Numbers(Fill(c.kind)), c.expected) << "kind " << static_cast<int>(c.kind);
  }
}

TEST_F(ListFillTest, RowsShowTheRecordsTextsAndDates) {
  const std::vector<ListRow> rows = Fill(ListKind::kCommented);
  ASSERT_EQ(rows.size(), 1u);
  const ListRow& row = rows[0];
  EXPECT_EQ(row.cell(list_column::kSite), "Example News");
  EXPECT_EQ(row.cell(list_column::kGetDay), "2006/01/01 09:00");
  EXPECT_EQ(row.cell(list_column::kCheckDay), "2006/01/02 13:00");
  EXPECT_EQ(row.cell(list_column::kUrl), "http://news.example.jp/articles/3.html");
  EXPECT_EQ(row.cell(list_column::kComment), "memo");
  EXPECT_TRUE(row.cell(0).empty());
  EXPECT_TRUE(row.cell(11).empty());
  EXPECT_TRUE(row.marked);
  EXPECT_TRUE(row.read());
}

TEST_F(ListFillTest, TickerKindListsTheShownItemsIgnoringTheDay) {
  TickerItem stored;
  stored.id = static_cast<int32_t>(read_);
  TickerItem gone;  // names a record that is not there: its own texts
  gone.id = 200000;
  gone.title = "gone";
  gone.link = "http://gone.example/";
  const std::vector<ListRow> rows = Fill(ListKind::kInTicker, [&] {
    return std::vector<TickerItem>{stored, PlaceholderTickerItem(), gone};
  });
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].number, read_);
  EXPECT_EQ(rows[1].number, 0u);
  EXPECT_EQ(rows[1].cell(list_column::kTitle), PlaceholderTickerItem().title);
  EXPECT_EQ(rows[2].cell(list_column::kUrl), "http://gone.example/");
  EXPECT_TRUE(Fill(ListKind::kInTicker).empty());  // no ticker
}

TEST_F(ListFillTest, CancelledFillStopsBeforeReading) {
  std::atomic<bool> cancel{true};
  std::vector<ListRow> rows;
  EXPECT_FALSE(FillRows(*guard_, {ListKind::kAll, kDay}, nullptr, &cancel, &rows));
  EXPECT_TRUE(rows.empty());
}

TEST_F(ListFillTest, LongTextsAreCutToOneLineOnACharacterBoundary) {
  NewsItem item = SampleItem(9, Cal(2006, 1, 2, 20, 0));
  item.description = u"line one\r\nline\ttwo";
  for (int i = 0; i < 300; ++i) item.category += u"\u3042";  // "あ" x 300
  const ListRow row = RowFromRecord(Read(Add(item)));
  EXPECT_EQ(row.cell(list_column::kDescription), "line one line two");
  EXPECT_EQ(row.cell(list_column::kCategory).size(), 254u);  // 127 whole characters
}

// --- Search ---

class SearchTest : public StoreFixture {
 protected:
  void SetUp() override {
    StoreFixture::SetUp();
    rss_ = AddTitled(1, "RSS reader", Cal(2006, 1, 2, 10, 0));
    atom_ = AddTitled(2, "Atom feeds", Cal(2006, 1, 3, 10, 0));
    both_ = AddTitled(3, "rss and atom", Cal(2006, 1, 4, 10, 0));
    kana_ = AddTitled(4, u8"アニメ", Cal(2006, 1, 5, 23, 59));
  }

  std::vector<uint32_t> Search(const std::string& words, uint32_t mask = 1,
                               platform::CalendarTime start = Cal(2006, 1, 1),
                               platform::CalendarTime end = Cal(2006, 1, 31)) {
    std::vector<uint32_t> found;
    const size_t hits = RunSearch(
        *guard_, {words, mask, start, end}, nullptr,
        [&](ListRow row) { found.push_back(row.number); }, nullptr);
    EXPECT_EQ(hits, found.size());
    return found;
  }

  uint32_t rss_ = 0, atom_ = 0, both_ = 0, kana_ = 0;
};

TEST_F(SearchTest, WordsJoinersAndFields) {
  using V = std::vector<uint32_t>;
  EXPECT_EQ(Search("rss OR atom"), (V{rss_, atom_, both_}));
  EXPECT_EQ(Search("rss atom"), (V{both_}));
  EXPECT_EQ(Search("RSS AND ATOM"), (V{both_}));
  EXPECT_EQ(Search("rss ORDER atom"), (V{rss_, atom_, both_}));  // ORDER joins by OR
  EXPECT_EQ(Search("rss android atom"), (V{both_}));             // android joins by AND
  EXPECT_EQ(Search("OR rss"), (V{rss_, both_}));                 // a leading joiner is ignored
  EXPECT_EQ(Search(Sjis(u8"rss\u3000atom")), (V{both_}));        // the double-byte space
  EXPECT_EQ(Search("*"), (V{rss_, atom_, both_, kana_}));
  EXPECT_EQ(Search("*", 1u << search_field::kComment), V{});  // no comment is present
  EXPECT_EQ(Search("example", 1u << search_field::kSiteName), (V{rss_, atom_, both_, kana_}));
  EXPECT_EQ(Search("example"), V{});  // not in the titles
  EXPECT_EQ(Search("articles/2", 1u << search_field::kUrl), (V{atom_}));
  EXPECT_EQ(Search(Sjis(u8"ニメ")), (V{kana_}));
}

TEST_F(SearchTest, ASingleByteLetterNeverMatchesHalfACharacter) {
  // "ア" is 0x83 0x41 in CP932: its second byte is "A".
  EXPECT_TRUE(Search("a", 1).size() == 3u);  // "RSS reader", "Atom feeds", "rss and atom"
  EXPECT_EQ(Search("A" + Sjis(u8"ニ")), std::vector<uint32_t>{});
}

TEST_F(SearchTest, NothingToSearchFindsNothing) {
  EXPECT_TRUE(Search("").empty());
  EXPECT_TRUE(Search("OR AND").empty());
  EXPECT_TRUE(Search("rss", 0).empty());
}

TEST_F(SearchTest, PeriodIncludesBothDaysWhole) {
  using V = std::vector<uint32_t>;
  EXPECT_EQ(Search("*", 1, Cal(2006, 1, 2), Cal(2006, 1, 3)), (V{rss_, atom_}));
  EXPECT_EQ(Search("*", 1, Cal(2006, 1, 5), Cal(2006, 1, 5)), (V{kana_}));  // 23:59 included
  EXPECT_EQ(Search("*", 1, Cal(2006, 1, 3), Cal(2006, 1, 2)), V{});         // start after end
}

TEST_F(SearchTest, CancelKeepsTheHitsFoundAndProgressCounts) {
  for (int i = 0; i < 200; ++i) AddTitled(10 + i, "bulk rss", Cal(2006, 1, 6, 1, 0));
  std::atomic<bool> cancel{false};
  std::vector<uint32_t> found;
  std::vector<SearchProgress> steps;
  const size_t hits = RunSearch(
      *guard_, {"rss", 1, Cal(2006, 1, 1), Cal(2006, 1, 31)}, &cancel,
      [&](ListRow row) { found.push_back(row.number); },
      [&](const SearchProgress& p) {
        steps.push_back(p);
        if (p.hits >= 64) cancel = true;
      });
  EXPECT_EQ(hits, found.size());
  EXPECT_GE(hits, 64u);
  EXPECT_LT(hits, 202u);
  ASSERT_FALSE(steps.empty());
  EXPECT_EQ(steps.back().total, 204u);
  EXPECT_EQ(SearchStatusText("rss", 3), "rss" + Sjis(u8" を検索：3件"));
}

// --- Sorting ---

ListRow RowWith(int column, const std::string& text, uint32_t number) {
  ListRow row;
  row.number = number;
  row.cells[static_cast<size_t>(column)] = text;
  return row;
}

TEST(ListSorterTest, FirstClickAscendsFurtherClicksReverseEachColumnOnItsOwn) {
  std::vector<ListRow> rows;
  for (uint32_t n : {2u, 3u, 1u}) {
    ListRow row = RowWith(list_column::kTitle, "t" + std::to_string(n), n);
    row.cells[list_column::kSite] = "s" + std::to_string(4 - n);
    rows.push_back(row);
  }
  ListSorter sorter;
  using V = std::vector<uint32_t>;
  ASSERT_TRUE(sorter.Click(list_column::kTitle, &rows));
  EXPECT_EQ(Numbers(rows), (V{1, 2, 3}));
  ASSERT_TRUE(sorter.Click(list_column::kTitle, &rows));
  EXPECT_EQ(Numbers(rows), (V{3, 2, 1}));
  ASSERT_TRUE(sorter.Click(list_column::kSite, &rows));  // its own first click: ascending
  EXPECT_EQ(Numbers(rows), (V{3, 2, 1}));
  ASSERT_TRUE(sorter.Click(list_column::kTitle, &rows));  // the title column ascends again
  EXPECT_EQ(Numbers(rows), (V{1, 2, 3}));
  EXPECT_FALSE(sorter.Click(kListColumnCount, &rows));
}

TEST(ListSorterTest, DatesAndBytesCompareAsShown) {
  std::vector<ListRow> rows = {RowWith(5, "2006/01/10 00:00", 1), RowWith(5, "2005/12/31 23:59", 2),
                               RowWith(5, "", 3), RowWith(5, "\x83\x41", 4)};
  ListSorter sorter;
  sorter.Click(5, &rows);
  EXPECT_EQ(Numbers(rows), (std::vector<uint32_t>{3, 2, 1, 4}));  // 0x83 sorts after digits
  // Only the first 255 bytes count: texts equal there keep their order.
  std::vector<ListRow> long_rows = {RowWith(2, std::string(255, 'a') + "z", 1),
                                    RowWith(2, std::string(255, 'a') + "b", 2)};
  ListSorter other;
  other.Click(2, &long_rows);
  EXPECT_EQ(Numbers(long_rows), (std::vector<uint32_t>{1, 2}));
}

TEST(ListSorterTest, ListsOf2000RowsOrMoreStayUnsorted) {
  std::vector<ListRow> rows;
  for (uint32_t n = 0; n < kMaxSortedRows; ++n) {
    rows.push_back(RowWith(2, std::to_string(kMaxSortedRows - n), n));
  }
  const std::vector<uint32_t> before = Numbers(rows);
  ListSorter sorter;
  EXPECT_FALSE(sorter.Click(2, &rows));
  EXPECT_EQ(Numbers(rows), before);
  rows.pop_back();
  EXPECT_TRUE(sorter.Click(2, &rows));
}

}  // namespace
}  // namespace korvo::testing

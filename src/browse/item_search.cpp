#include "browse/item_search.h"

#include <array>
#include <optional>

#include "browse/record_walk.h"
#include "platform/code_page.h"
#include "store/news_database.h"
#include "store/news_item.h"
#include "store/packed_date.h"

namespace korvo {

namespace {

using Kind = KeywordExpression::Kind;

// The CP932 texts of one record's search fields, converted when first asked for.
class RecordFields {
 public:
  explicit RecordFields(const NewsItem& record) : record_(record) {}

  std::string_view Get(int field) {
    std::optional<std::string>& text = texts_[static_cast<size_t>(field)];
    if (!text) text = platform::Utf16ToCp932(Source(field));
    return *text;
  }

 private:
  const std::u16string& Source(int field) const {
    switch (field) {
      case search_field::kTitle:
        return record_.title;
      case search_field::kSiteName:
        return record_.site;
      case search_field::kCategory:
        return record_.category;
      case search_field::kDescription:
        return record_.description;
      case search_field::kAuthor:
        return record_.author;
      case search_field::kComment:
        return record_.comment;
      default:
        return record_.link;
    }
  }

  const NewsItem& record_;
  std::array<std::optional<std::string>, kSearchFieldCount> texts_;
};

}  // namespace

SearchExpression::SearchExpression(std::string_view words) : words_(words) {}

bool SearchExpression::HasSearchWords() const {
  for (const auto& word : words_.words()) {
    if (word.kind == Kind::kSearch) return true;
  }
  return false;
}

bool SearchExpression::Matches(uint32_t mask,
                               const std::function<std::string_view(int field)>& field) const {
  int64_t running = 1;
  bool first = true;
  Kind pending = Kind::kSearch;  // kSearch: no joiner pending
  for (const auto& word : words_.words()) {
    if (word.kind != Kind::kSearch) {
      pending = word.kind;
      continue;
    }
    int64_t m = 0;
    for (int i = 0; i < kSearchFieldCount && m == 0; ++i) {
      if ((mask & (1u << i)) == 0) continue;
      const std::string_view text = field(i);
      if (word.text == "*" ? !text.empty() : ContainsIgnoringAsciiCase(text, word.text)) m = 1;
    }
    if (pending == Kind::kOr && !first) {
      running += m;
    } else {
      running *= m;
    }
    first = false;
    pending = Kind::kSearch;
  }
  return !first && running != 0;
}

void SearchPeriod(const SearchQuery& query, uint32_t* first, uint32_t* last, bool* empty) {
  platform::CalendarTime start = query.start;
  start.hour = start.minute = start.second = start.millisecond = 0;
  platform::CalendarTime end = query.end;
  end.hour = 23;
  end.minute = 59;
  end.second = 59;
  end.millisecond = 0;
  *first = PackedDate::Pack(start);
  *last = PackedDate::Pack(end);
  *empty = *first > *last;
}

size_t RunSearch(DatabaseGuard& guard, const SearchQuery& query, const std::atomic<bool>* cancel,
                 const std::function<void(ListRow row)>& hit,
                 const std::function<void(const SearchProgress&)>& progress) {
  const SearchExpression expression(query.words);
  const uint32_t mask = query.field_mask & kAllSearchFields;
  uint32_t first = 0;
  uint32_t last = 0;
  bool empty = false;
  SearchPeriod(query, &first, &last, &empty);
  if (!expression.HasSearchWords() || mask == 0 || empty) return 0;

  const std::vector<IndexEntry> entries = ReadIndexEntries(guard, NewsDatabase::kDayIndex);
  SearchProgress state;
  state.total = entries.size();
  std::vector<uint32_t> numbers;
  numbers.reserve(kRecordsPerLock);
  for (size_t at = 0; at < entries.size() && !Cancelled(cancel);) {
    // One group: the next entries of the index whose get day lies in the period.
    numbers.clear();
    while (at < entries.size() && numbers.size() < kRecordsPerLock) {
      const IndexEntry& entry = entries[at++];
      if (entry.value >= first && entry.value <= last) numbers.push_back(entry.number);
    }
    ReadRecordsInGroups(guard, numbers, cancel, [&](size_t, NewsItem* record) {
      if (record == nullptr || record->get_day.packed < first || record->get_day.packed > last) {
        return;
      }
      RecordFields fields(*record);
      if (expression.Matches(mask, [&fields](int i) { return fields.Get(i); })) {
        ++state.hits;
        hit(RowFromRecord(*record));
      }
    });
    state.examined = at;
    if (progress) progress(state);
  }
  return state.hits;
}

std::string SearchStatusText(std::string_view words, size_t hits) {
  static const std::string kSuffix = platform::Utf8ToCp932(u8" を検索：");
  static const std::string kCount = platform::Utf8ToCp932(u8"件");
  return std::string(words) + kSuffix + std::to_string(hits) + kCount;
}

}  // namespace korvo

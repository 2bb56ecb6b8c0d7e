// The browse window's search: words with joiners over chosen fields of every record received
// within a period.
//
// Words: the words field split at ASCII blanks and the double-byte space (0x81 0x40) on CP932
// character boundaries, at most 64 words (the keyword filter's splitting, keyword_filter.h). A
// word beginning with "OR" (any case) is the joiner OR, else one beginning with "AND" is AND; so
// "ORDER" and "android" are joiners too. Every other word is a search word: it matches a record
// when it occurs in at least one of the selected fields (ASCII letters without regard to case,
// matches starting on character boundaries only, so "a" never matches the second byte of "ア");
// "*" matches every selected field that is not empty; an empty field never matches. Words are
// evaluated left to right without precedence: the running result starts at 1 and each search
// word multiplies it (AND, or no joiner) or adds to it (OR). A joiner before the first search
// word is ignored (otherwise "OR rss" would match every record).
//
// Fields, in the order of the field mask bits: 0 title, 1 site name, 2 category, 3 description,
// 4 author, 5 comment, 6 URL.
//
// Period: from the start date at 00:00 to the end date at 23:59, on the get day; a start after
// the end finds nothing.
//
// Pure functions, except RunSearch, which reads the store (on a worker thread).
#ifndef KORVO_BROWSE_ITEM_SEARCH_H_
#define KORVO_BROWSE_ITEM_SEARCH_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "browse/list_row.h"
#include "channels/keyword_filter.h"
#include "platform/clock.h"
#include "store/database_guard.h"

namespace korvo {

constexpr int kSearchFieldCount = 7;
constexpr uint32_t kAllSearchFields = (1u << kSearchFieldCount) - 1;

namespace search_field {
constexpr int kTitle = 0;
constexpr int kSiteName = 1;
constexpr int kCategory = 2;
constexpr int kDescription = 3;
constexpr int kAuthor = 4;
constexpr int kComment = 5;
constexpr int kUrl = 6;
}  // namespace search_field

class SearchExpression {
 public:
  explicit SearchExpression(std::string_view words);

  // False when the words hold no search word (empty, or only joiners): such a search does
  // nothing.
  bool HasSearchWords() const;

  // Evaluates the words for one record. `field(i)` gives the CP932 text of field i (called only
  // for fields in `mask`, at most once each per call is not promised).
  bool Matches(uint32_t mask, const std::function<std::string_view(int field)>& field) const;

  const KeywordExpression& words() const { return words_; }

 private:
  KeywordExpression words_;
};

struct SearchQuery {
  std::string words;  // CP932, as typed
  uint32_t field_mask = 0;
  platform::CalendarTime start;  // date parts count
  platform::CalendarTime end;
};

// The packed bounds of the period; `*empty` when the start lies after the end.
void SearchPeriod(const SearchQuery& query, uint32_t* first, uint32_t* last, bool* empty);

// Progress of a running search: index entries examined of all, and hits so far.
struct SearchProgress {
  size_t examined = 0;
  size_t total = 0;
  size_t hits = 0;
};

// Walks the get-day index in its order and hands every record in the period that matches to
// `hit` (in index order). `progress` (may be empty) is called after each group of records.
// `cancel` is tested before each group; a cancelled search keeps the hits found so far. Returns
// the number of hits. A query without search words or with an empty mask finds nothing.
size_t RunSearch(DatabaseGuard& guard, const SearchQuery& query, const std::atomic<bool>* cancel,
                 const std::function<void(ListRow row)>& hit,
                 const std::function<void(const SearchProgress&)>& progress);

// The status bar's text after a search: the words followed by " を検索：%d件".
std::string SearchStatusText(std::string_view words, size_t hits);

}  // namespace korvo

#endif  // KORVO_BROWSE_ITEM_SEARCH_H_

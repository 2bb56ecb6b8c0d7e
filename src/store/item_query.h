// Conditions on news records, used by NewsDatabase::QueryDay.
//
// A query is a list of conditions {field, operator, value, join}. The value is a number, a
// UTF-16 string or a calendar time, by field. `join` tells how this condition's result combines
// with the next one's: 0 none (the next result replaces the running one), 1 AND (product),
// 2 OR (sum). An empty query holds for every record. Evaluation stops with a non-match as soon as
// the running result is 0 and the current condition's join is AND.
#ifndef KORVO_STORE_ITEM_QUERY_H_
#define KORVO_STORE_ITEM_QUERY_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "store/news_item.h"

namespace korvo {

struct QueryCondition {
  // Fields: integers (number, link hash, flags), strings (link, title, rss, comment) and dates
  // (get, last seen, check day).
  enum Field {
    kNumber = 0,
    kLinkHash = 1,
    kLink = 2,
    kTitle = 3,
    kRss = 4,
    kGetDay = 5,
    kLastSeen = 6,
    kCheckDay = 7,
    kComment = 8,
    kFlags = 9,
  };
  // Operators, record value on the left. Strings compare in code-unit order; dates compare as
  // packed timestamps, except kEqual, which asks for the same year, month and day. kBitAnd and
  // kBitOr hold only for integers, kContains only for strings.
  enum Operator {
    kEqual = 0,
    kGreater = 1,
    kGreaterEqual = 2,
    kLess = 3,
    kLessEqual = 4,
    kBitAnd = 5,
    kBitOr = 6,
    kContains = 7,
  };
  enum Join { kJoinNone = 0, kJoinAnd = 1, kJoinOr = 2 };

  int field = kNumber;
  int op = kEqual;
  uint32_t number = 0;
  std::u16string text;
  platform::CalendarTime date;
  int join = kJoinNone;

  // 1 when the condition holds for `item`, else 0 (also for unknown fields and operators).
  int Evaluate(const NewsItem& item) const;
};

class ItemQuery {
 public:
  ItemQuery& Add(int field, int op, uint32_t value, int join = QueryCondition::kJoinNone);
  ItemQuery& Add(int field, int op, std::u16string value, int join = QueryCondition::kJoinNone);
  ItemQuery& Add(int field, int op, const platform::CalendarTime& value,
                 int join = QueryCondition::kJoinNone);

  bool Matches(const NewsItem& item) const;
  bool empty() const { return conditions_.empty(); }
  const std::vector<QueryCondition>& conditions() const { return conditions_; }

 private:
  std::vector<QueryCondition> conditions_;
};

}  // namespace korvo

#endif  // KORVO_STORE_ITEM_QUERY_H_

#include "store/item_query.h"

#include <utility>

namespace korvo {

namespace {

template <typename T>
int Compare(const T& left, const T& right, int op) {
  switch (op) {
    case QueryCondition::kEqual:
      return left == right;
    case QueryCondition::kGreater:
      return left > right;
    case QueryCondition::kGreaterEqual:
      return left >= right;
    case QueryCondition::kLess:
      return left < right;
    case QueryCondition::kLessEqual:
      return left <= right;
    default:
      return 0;
  }
}

int CompareInteger(uint32_t left, uint32_t right, int op) {
  if (op == QueryCondition::kBitAnd) return (left & right) != 0;
  if (op == QueryCondition::kBitOr) return (left | right) != 0;
  return Compare(left, right, op);
}

int CompareString(const std::u16string& left, const std::u16string& right, int op) {
  if (op == QueryCondition::kContains) return left.find(right) != std::u16string::npos;
  return Compare(left, right, op);
}

int CompareDate(uint32_t left, const platform::CalendarTime& right, int op) {
  const uint32_t packed = PackedDate::Pack(right);
  if (op == QueryCondition::kEqual) return PackedDate::SameDay(left, packed);
  return Compare(left, packed, op);
}

}  // namespace

int QueryCondition::Evaluate(const NewsItem& item) const {
  switch (field) {
    case kNumber:
      return CompareInteger(item.number, number, op);
    case kLinkHash:
      return CompareInteger(item.link_hash, number, op);
    case kFlags:
      return CompareInteger(item.flags, number, op);
    case kLink:
      return CompareString(item.link, text, op);
    case kTitle:
      return CompareString(item.title, text, op);
    case kRss:
      return CompareString(item.rss, text, op);
    case kComment:
      return CompareString(item.comment, text, op);
    case kGetDay:
      return CompareDate(item.get_day.packed, date, op);
    case kLastSeen:
      return CompareDate(item.last_seen.packed, date, op);
    case kCheckDay:
      return CompareDate(item.check_day.packed, date, op);
    default:
      return 0;
  }
}

ItemQuery& ItemQuery::Add(int field, int op, uint32_t value, int join) {
  QueryCondition c;
  c.field = field;
  c.op = op;
  c.number = value;
  c.join = join;
  conditions_.push_back(std::move(c));
  return *this;
}

ItemQuery& ItemQuery::Add(int field, int op, std::u16string value, int join) {
  QueryCondition c;
  c.field = field;
  c.op = op;
  c.text = std::move(value);
  c.join = join;
  conditions_.push_back(std::move(c));
  return *this;
}

ItemQuery& ItemQuery::Add(int field, int op, const platform::CalendarTime& value, int join) {
  QueryCondition c;
  c.field = field;
  c.op = op;
  c.date = value;
  c.join = join;
  conditions_.push_back(std::move(c));
  return *this;
}

bool ItemQuery::Matches(const NewsItem& item) const {
  if (conditions_.empty()) return true;
  // Results are 0 or 1 and OR adds, so the running value never exceeds the condition count.
  long running = 0;
  for (size_t i = 0; i < conditions_.size(); ++i) {
    const int r = conditions_[i].Evaluate(item);
    if (i == 0) {
      running = r;
    } else {
      switch (conditions_[i - 1].join) {
        case QueryCondition::kJoinAnd:
          running *= r;
          break;
        case QueryCondition::kJoinOr:
          running += r;
          break;
        default:
          running = r;
          break;
      }
    }
    if (running == 0 && conditions_[i].join == QueryCondition::kJoinAnd) return false;
  }
  return running != 0;
}

}  // namespace korvo

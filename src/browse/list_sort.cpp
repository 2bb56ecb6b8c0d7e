#include "browse/list_sort.h"

#include <algorithm>
#include <cstring>

namespace korvo {

int CompareCells(const std::string& a, const std::string& b) {
  const size_t la = std::min(a.size(), kSortedBytes);
  const size_t lb = std::min(b.size(), kSortedBytes);
  const int c = std::memcmp(a.data(), b.data(), std::min(la, lb));  // memcmp compares unsigned
  if (c != 0) return c;
  return la < lb ? -1 : (la > lb ? 1 : 0);
}

bool ListSorter::NextDescending(int column) const {
  if (column < 0 || column >= kListColumnCount) return false;
  const auto i = static_cast<size_t>(column);
  return clicked_[i] && !descending_[i];
}

bool ListSorter::Click(int column, std::vector<ListRow>* rows) {
  if (column < 0 || column >= kListColumnCount || rows->size() >= kMaxSortedRows) return false;
  const bool descending = NextDescending(column);
  const auto i = static_cast<size_t>(column);
  clicked_[i] = true;
  descending_[i] = descending;
  std::stable_sort(rows->begin(), rows->end(),
                   [column, descending](const ListRow& a, const ListRow& b) {
                     const int c = CompareCells(a.cell(column), b.cell(column));
                     return descending ? c > 0 : c < 0;
                   });
  return true;
}

}  // namespace korvo

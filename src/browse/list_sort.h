// Sorting the browse window's list by a clicked column heading: rows compare by the text shown in
// that column, byte by byte over at most 255 bytes (the dates sort right because of their fixed
// form). The first click on a column sorts it ascending; every further click on the same column
// reverses that column's order; each column keeps its own direction. A list of 2,000 rows or more
// is left as it is.
//
// Used on the window thread; pure apart from the directions it remembers.
#ifndef KORVO_BROWSE_LIST_SORT_H_
#define KORVO_BROWSE_LIST_SORT_H_

#include <array>
#include <vector>

#include "browse/list_row.h"

namespace korvo {

constexpr size_t kMaxSortedRows = 2000;
constexpr size_t kSortedBytes = 255;

class ListSorter {
 public:
  // Sorts `rows` by `column` for a click on its heading. False (nothing changed, no direction
  // changed) for a column out of range or a list of kMaxSortedRows rows or more. The sort is
  // stable, so equal texts keep their order.
  bool Click(int column, std::vector<ListRow>* rows);

  // A new fill forgets the directions.
  void Reset() { clicked_.fill(false); }

  // True when the next click on `column` sorts descending.
  bool NextDescending(int column) const;

 private:
  std::array<bool, kListColumnCount> clicked_{};     // clicked since the last fill
  std::array<bool, kListColumnCount> descending_{};  // the column's last direction
};

// The order of two cells: negative, 0 or positive, comparing unsigned bytes over at most
// kSortedBytes bytes.
int CompareCells(const std::string& a, const std::string& b);

}  // namespace korvo

#endif  // KORVO_BROWSE_LIST_SORT_H_

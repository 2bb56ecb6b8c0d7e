// ListRow: one row of the browse window's item list, the texts of its twelve columns as they are
// shown (CP932) with the record it stands for. Every fill of the list (a day's items of a kind,
// the ticker's items, the read-later list, search hits) makes its rows here, so every list shows
// the same columns.
//
// Columns: 0 blank, 1 site, 2 title, 3 category, 4 author, 5 get day, 6 check day, 7 URL,
// 8 create day, 9 comment, 10 description, 11 blank. Dates read "%04d/%02d/%02d %02d:%02d"
// (empty for an empty date). Title and URL are kept whole up to kMaxRowLinkBytes (the list page
// writes them); the other texts are cut to kMaxRowCellBytes on a character boundary, with line
// breaks and tabs turned into blanks, since a list cell shows one line.
//
// Pure functions; safe on any thread.
#ifndef KORVO_BROWSE_LIST_ROW_H_
#define KORVO_BROWSE_LIST_ROW_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "store/packed_date.h"

namespace korvo {

struct NewsItem;
struct TickerItem;

constexpr int kListColumnCount = 12;
constexpr size_t kMaxRowCellBytes = 255;
constexpr size_t kMaxRowLinkBytes = 8191;

namespace list_column {
constexpr int kSite = 1;
constexpr int kTitle = 2;
constexpr int kCategory = 3;
constexpr int kAuthor = 4;
constexpr int kGetDay = 5;
constexpr int kCheckDay = 6;
constexpr int kUrl = 7;
constexpr int kCreateDay = 8;
constexpr int kComment = 9;
constexpr int kDescription = 10;
}  // namespace list_column

struct ListRow {
  uint32_t number = 0;  // the record; 0 = none (a ticker item that is not stored)
  bool marked = false;  // record flag bit 0
  std::array<std::string, kListColumnCount> cells;

  const std::string& cell(int column) const { return cells[static_cast<size_t>(column)]; }
  bool read() const { return !cells[list_column::kCheckDay].empty(); }
};

// "%04d/%02d/%02d %02d:%02d", or "" for an empty date.
std::string FormatListDate(const PackedDate& date);

// The row of a stored record.
ListRow RowFromRecord(const NewsItem& record);
// The row of a ticker item whose record cannot be read: its own texts, no dates, number 0.
ListRow RowFromTickerItem(const TickerItem& item);

// `text` made one line: CR, LF and TAB become blanks (a CR LF pair one blank), then cut.
std::string OneLineCell(std::string_view text, size_t max_bytes = kMaxRowCellBytes);

}  // namespace korvo

#endif  // KORVO_BROWSE_LIST_ROW_H_

#include "browse/list_row.h"

#include <cstdio>

#include "platform/code_page.h"
#include "shell/text_limit.h"
#include "store/news_item.h"
#include "ticker/ticker_item.h"

namespace korvo {

namespace {

// Only the start of a long text is converted: a cell shows at most `max_bytes`, and every code
// unit gives at least one byte.
std::string Cell(const std::u16string& text, size_t max_bytes = kMaxRowCellBytes) {
  return OneLineCell(platform::Utf16ToCp932(TruncateUtf16(text, max_bytes + 1)), max_bytes);
}

std::string Whole(const std::u16string& text) { return Cell(text, kMaxRowLinkBytes); }

}  // namespace

std::string FormatListDate(const PackedDate& date) {
  if (date.empty()) return std::string();
  const platform::CalendarTime t = PackedDate::Unpack(date.packed);
  char text[40];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute);
  return text;
}

std::string OneLineCell(std::string_view text, size_t max_bytes) {
  std::string line;
  line.reserve(text.size() < max_bytes ? text.size() : max_bytes);
  for (size_t i = 0; i < text.size() && line.size() <= max_bytes; ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;  // CR LF: one blank
    if (c == '\r' || c == '\n' || c == '\t') {
      line.push_back(' ');
    } else if (platform::IsCp932LeadByte(static_cast<unsigned char>(c)) && i + 1 < text.size()) {
      line.push_back(c);
      line.push_back(text[++i]);  // a trail byte is never taken for a control character
    } else {
      line.push_back(c);
    }
  }
  return TruncateCp932(line, max_bytes);
}

ListRow RowFromRecord(const NewsItem& record) {
  ListRow row;
  row.number = record.number;
  row.marked = (record.flags & NewsItem::kMarked) != 0;
  row.cells[list_column::kSite] = Cell(record.site);
  row.cells[list_column::kTitle] = Whole(record.title);
  row.cells[list_column::kCategory] = Cell(record.category);
  row.cells[list_column::kAuthor] = Cell(record.author);
  row.cells[list_column::kGetDay] = FormatListDate(record.get_day);
  row.cells[list_column::kCheckDay] = FormatListDate(record.check_day);
  row.cells[list_column::kUrl] = Whole(record.link);
  row.cells[list_column::kCreateDay] = FormatListDate(record.create_day);
  row.cells[list_column::kComment] = Cell(record.comment);
  row.cells[list_column::kDescription] = Cell(record.description);
  return row;
}

ListRow RowFromTickerItem(const TickerItem& item) {
  ListRow row;
  row.cells[list_column::kSite] = OneLineCell(item.site_name);
  row.cells[list_column::kTitle] = OneLineCell(item.title, kMaxRowLinkBytes);
  row.cells[list_column::kCategory] = OneLineCell(item.category);
  row.cells[list_column::kAuthor] = OneLineCell(item.author);
  row.cells[list_column::kUrl] = OneLineCell(item.link, kMaxRowLinkBytes);
  row.cells[list_column::kDescription] = OneLineCell(item.description);
  return row;
}

}  // namespace korvo

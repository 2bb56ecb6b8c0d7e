// The HTML list pages written to `checkedurl.html` in the working folder: the list page (what the
// browse window's list shows: a day's items of a kind, or search hits) and the checked-on-a-day
// page (the items the user opened on a day; the ticker menu asks for today's).
//
// The texts are the program's own, byte for byte, in CP932 (the page declares shift_jis), with
// one departure: every title, link, comment and search word is HTML-escaped (& < > "), and a link
// that is not a web ("http://", "https://") or file ("file:") address is shown as text instead of
// being made clickable; feed texts are outside input and must not become markup of a page opened
// from the local disk.
//
// Pure functions, except the two that read the store or write the file.
#ifndef KORVO_BROWSE_LIST_PAGE_H_
#define KORVO_BROWSE_LIST_PAGE_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "browse/browse_ids.h"
#include "browse/list_row.h"
#include "platform/clock.h"
#include "store/database_guard.h"

namespace korvo {

inline constexpr char kListPageFile[] = "checkedurl.html";

// What the list page is about: a kind and its day, or a search.
struct ListPageSubject {
  ListKind kind = ListKind::kAll;
  platform::CalendarTime day;
  bool search = false;
  std::string words;  // the search words (CP932) when `search`
};

// `text` with & < > " written as references.
std::string EscapeHtml(std::string_view text);
// True for the links a page may make clickable: "http://", "https://" or "file:" (case ignored).
bool IsPageLink(std::string_view link);

// The head shared by both pages; `program_folder` (CP932) has its "\" turned into "/".
std::string PageHead(std::string_view program_folder, std::string_view title);
// The page title for a list page's subject ("&nbsp;" for a search).
std::string ListPageTitle(const ListPageSubject& subject);
// "<div class="daytime">%d/%d/%d</div>\n<table>..." or the search header.
std::string ListPageHeader(const ListPageSubject& subject);
extern const char kPageEnd[];

// The list page for `rows` in their order. `comment_of(number)` gives the CP932 comment of a
// record (empty when it has none or cannot be read); it is asked only for rows with a check day.
std::string BuildListPage(std::string_view program_folder, const ListPageSubject& subject,
                          const std::vector<ListRow>& rows,
                          const std::function<std::string(uint32_t number)>& comment_of);

// The checked-on-a-day page: every record of the check-day index (in its order) whose check day
// falls on `day`. Reads the store.
std::string BuildCheckedPage(std::string_view program_folder, const platform::CalendarTime& day,
                             DatabaseGuard& guard);

// The comment of record `number` from the store, CP932; empty when it cannot be read.
std::string StoredComment(DatabaseGuard& guard, uint32_t number);

// Writes `page` to `path` (UTF-8), every "\n" as CR LF, as a text-mode write on the target system
// gives. False when the file could not be written (the caller tells the user and does not open a
// stale page).
bool WritePageFile(const std::string& path, std::string_view page);

}  // namespace korvo

#endif  // KORVO_BROWSE_LIST_PAGE_H_

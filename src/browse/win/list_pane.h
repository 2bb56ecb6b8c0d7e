// "RightUpWindow": the browse window's item list, a virtual, owner-drawn report list view (id
// 104) over the rows of the last fill or search, with the sorting, the selection, opening and
// the item commands of the Edit menu.
//
// Messages it serves (browse_ids.h): 0x463 fill (wParam kind, lParam SYSTEMTIME*), 0x466 write
// the list page, 0x467 start a search (clears the list, returns its window), 0x46A open the
// selected item (wParam 0 browser, 1 nothing, 2 tab), 0x46D store the column widths, 0x4D0 a font
// changed, and its own 0x4E0 when the worker finished. It sends the frame 0x469 when one item is
// selected (lParam: the row, valid during the call) and 0x4CE to open a link in a tab (lParam:
// the CP932 link, valid during the call).
//
// Fills and searches run on the list's worker thread; everything else on the window thread.
#ifndef KORVO_BROWSE_WIN_LIST_PANE_H_
#define KORVO_BROWSE_WIN_LIST_PANE_H_

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "browse/browse_ids.h"
#include "browse/item_search.h"
#include "browse/list_page.h"
#include "browse/list_sort.h"
#include "browse/list_worker.h"
#include "browse/win/browse_services.h"
#include "browse/win/browse_win_util.h"
#include "browse/win/pane_window.h"

namespace korvo {

class ListPane : public PaneWindow {
 public:
  static constexpr wchar_t kClassName[] = L"RightUpWindow";

  ListPane(const BrowseServices& services, const std::array<int32_t, 12>& widths);
  ~ListPane() override;

  bool Create(HWND parent, const RECT& rect);
  HWND list() const { return list_; }

  // The rows shown and the selected ones (in list order).
  const std::vector<ListRow>& rows() const { return rows_; }
  std::vector<ListRow> SelectedRows() const;
  std::vector<uint32_t> SelectedNumbers() const;
  const ListPageSubject& subject() const { return subject_; }

  // A search: started by the search dialog, which gets 0x4E1 with the hits so far (wParam) and
  // IDOK when it ended. CancelSearch keeps the rows found so far.
  void StartSearch(const SearchQuery& query, HWND dialog);
  void CancelSearch();

  // Replaces the rows of the records in `changed` by their new form and repaints.
  void UpdateRows(const std::vector<ListRow>& changed);
  // Removes the rows of these records.
  void RemoveRows(const std::vector<uint32_t>& numbers);
  // The column widths now (0 for hidden columns).
  std::array<int32_t, 12> ColumnWidths() const;
  // The view pop-up: 32798 every column, 32808 site, title and get day, 32810 the title only.
  void SetView(int command);

 protected:
  LRESULT Handle(UINT message, WPARAM w, LPARAM l) override;

 private:
  void CreateList();
  void Fill(ListKind kind, const platform::CalendarTime& day);
  void OnWorkerDone(uint64_t generation);
  void ShowRows();
  LRESULT OnNotify(NMHDR* header);
  void DrawRow(const DRAWITEMSTRUCT& item);
  void OpenSelected(int how);
  void WriteListPage();
  void SetStatus(const std::string& cp932);
  void LoadFonts();

  const BrowseServices& services_;
  std::array<int32_t, 12> widths_;
  HWND list_ = nullptr;
  OwnedFont font_;
  OwnedFont bold_font_;
  int row_height_ = 18;
  std::vector<ListRow> rows_;
  ListSorter sorter_;
  ListPageSubject subject_;
  std::unique_ptr<ListWorker> worker_;
  uint64_t generation_ = 0;
  HWND search_dialog_ = nullptr;
  std::string search_words_;
};

// The column headings in the catalog's language (catalog entries 11-20; columns 0 and 11 blank).
std::wstring ColumnHeading(const MessageCatalog& catalog, int column);

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_LIST_PANE_H_

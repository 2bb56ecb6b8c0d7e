#include "browse/win/list_pane.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <unordered_map>

#include "browse/browse_fonts.h"
#include "browse/item_actions.h"
#include "browse/list_fill.h"
#include "browse/win/browser_launch.h"
#include "platform/code_page.h"
#include "shell/main_window_ids.h"

namespace korvo {

namespace msg = browse_message;

namespace {

// The date columns fit "2026/12/08 21:14" in the bold face of unread rows.
constexpr int kDefaultColumnWidths[kListColumnCount] = {8,   110, 360, 80,  80,  130,
                                                        130, 200, 130, 120, 200, 8};
constexpr COLORREF kMarkedBack = RGB(0xFF, 0xF4, 0xC8);
constexpr COLORREF kGrid = RGB(0xE4, 0xE4, 0xE4);

platform::CalendarTime Today() {
  platform::CalendarTime now = platform::LocalNow();
  now.hour = now.minute = now.second = now.millisecond = 0;
  return now;
}

}  // namespace

std::wstring ColumnHeading(const MessageCatalog& catalog, int column) {
  if (column < 1 || column > 10) return std::wstring();
  return platform::WideFromCp932(catalog.Text(10 + column));
}

ListPane::ListPane(const BrowseServices& services, const std::array<int32_t, 12>& widths)
    : services_(services), widths_(widths) {
  subject_.day = Today();
  // A width of 0 hides its column; a record without any width (a first start) gets the defaults.
  if (std::all_of(widths_.begin(), widths_.end(), [](int32_t w) { return w <= 0; })) {
    std::copy(std::begin(kDefaultColumnWidths), std::end(kDefaultColumnWidths), widths_.begin());
  }
}

ListPane::~ListPane() { worker_.reset(); }

bool ListPane::Create(HWND parent, const RECT& r) {
  if (!CreateChild(kClassName, GetSysColorBrush(COLOR_WINDOW), parent, browse_control::kRightUpPane,
                   r, services_.instance)) {
    return false;
  }
  HWND self = hwnd();
  worker_ = std::make_unique<ListWorker>([self](uint64_t generation) {
    PostMessageW(self, msg::kFillDone, static_cast<WPARAM>(generation), 0);
  });
  LoadFonts();
  CreateList();
  return true;
}

void ListPane::LoadFonts() {
  TitleFont font = LoadBrowseFont(services_.working_folder, kListFontSection);
  font_.Reset(MakeFont(font));
  font.weight = FW_BOLD;
  bold_font_.Reset(MakeFont(font));
  row_height_ = std::max(ListRowHeight(font.height), 8);
}

void ListPane::CreateList() {
  // The widths in use when the list is made again (a font change).
  if (list_ != nullptr) {
    widths_ = ColumnWidths();
    DestroyWindow(list_);
  }
  RECT client = {};
  GetClientRect(hwnd(), &client);
  list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                              LVS_OWNERDRAWFIXED | LVS_SHOWSELALWAYS,
                          0, 0, client.right, client.bottom, hwnd(),
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(browse_control::kList)),
                          services_.instance, nullptr);
  if (list_ == nullptr) return;
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
  SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
  for (int i = 0; i < kListColumnCount; ++i) {
    std::wstring heading =
        services_.catalog != nullptr ? ColumnHeading(*services_.catalog, i) : std::wstring();
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = heading.data();
    column.cx = std::max(widths_[static_cast<size_t>(i)], 0);
    column.iSubItem = i;
    ListView_InsertColumn(list_, i, &column);
  }
  ListView_SetItemCountEx(list_, static_cast<int>(rows_.size()), LVSICF_NOINVALIDATEALL);
}

std::array<int32_t, 12> ListPane::ColumnWidths() const {
  std::array<int32_t, 12> widths = widths_;
  if (list_ == nullptr) return widths;
  for (int i = 0; i < kListColumnCount; ++i) {
    widths[static_cast<size_t>(i)] = ListView_GetColumnWidth(list_, i);
  }
  return widths;
}

void ListPane::SetView(int command) {
  if (list_ == nullptr) return;
  const std::array<int32_t, 12> current = ColumnWidths();
  for (int i = 0; i < kListColumnCount; ++i) {
    bool shown = true;
    if (command == browse_command::kViewCompact) {
      shown = i == list_column::kSite || i == list_column::kTitle || i == list_column::kGetDay;
    } else if (command == browse_command::kViewList) {
      shown = i == list_column::kTitle;
    }
    const int width = current[static_cast<size_t>(i)] > 0 ? current[static_cast<size_t>(i)]
                                                          : kDefaultColumnWidths[i];
    ListView_SetColumnWidth(list_, i, shown ? width : 0);
  }
}

std::vector<ListRow> ListPane::SelectedRows() const {
  std::vector<ListRow> selected;
  if (list_ == nullptr) return selected;
  for (int i = ListView_GetNextItem(list_, -1, LVNI_SELECTED); i >= 0;
       i = ListView_GetNextItem(list_, i, LVNI_SELECTED)) {
    if (static_cast<size_t>(i) < rows_.size()) selected.push_back(rows_[static_cast<size_t>(i)]);
  }
  return selected;
}

std::vector<uint32_t> ListPane::SelectedNumbers() const {
  std::vector<uint32_t> numbers;
  for (const ListRow& row : SelectedRows()) numbers.push_back(row.number);
  return numbers;
}

void ListPane::SetStatus(const std::string& cp932) {
  SendDlgItemMessageW(GetParent(hwnd()), browse_control::kStatusBar, SB_SETTEXTW, 1,
                      reinterpret_cast<LPARAM>(platform::WideFromCp932(cp932).c_str()));
}

void ListPane::Fill(ListKind kind, const platform::CalendarTime& day) {
  if (search_dialog_ != nullptr) return;  // a search owns the list until it ends
  subject_ = ListPageSubject();
  subject_.kind = kind;
  subject_.day = day;
  rows_.clear();
  ShowRows();
  SetStatus(platform::Utf8ToCp932(u8"読み込み中..."));
  const std::string folder = services_.working_folder;
  const ShownItemsSource shown = services_.shown_items;
  const FillRequest request{kind, day};
  generation_ = worker_->Start(
      [folder, shown, request](const std::atomic<bool>& cancel, std::vector<ListRow>* rows) {
        DatabaseGuard guard(folder);
        return FillRows(guard, request, shown, &cancel, rows);
      });
}

void ListPane::StartSearch(const SearchQuery& query, HWND dialog) {
  subject_ = ListPageSubject();
  subject_.search = true;
  subject_.words = query.words;
  search_words_ = query.words;
  rows_.clear();
  ShowRows();
  search_dialog_ = dialog;
  const std::string folder = services_.working_folder;
  generation_ = worker_->Start([folder, query, dialog](const std::atomic<bool>& cancel,
                                                       std::vector<ListRow>* rows) {
    DatabaseGuard guard(folder);
    RunSearch(
        guard, query, &cancel, [rows](ListRow row) { rows->push_back(std::move(row)); },
        [dialog](const SearchProgress& progress) {
          PostMessageW(dialog, msg::kSearchProgress, static_cast<WPARAM>(progress.hits),
                       static_cast<LPARAM>(
                           progress.total == 0 ? 100 : progress.examined * 100 / progress.total));
        });
    return !cancel.load();
  });
}

void ListPane::CancelSearch() {
  if (worker_) worker_->CancelRunning();
}

void ListPane::OnWorkerDone(uint64_t generation) {
  std::vector<ListRow> rows;
  bool complete = false;
  if (generation != generation_ || !worker_->Take(generation, &rows, &complete)) return;
  rows_ = std::move(rows);
  ShowRows();
  if (search_dialog_ != nullptr) {
    HWND dialog = search_dialog_;
    search_dialog_ = nullptr;
    SetStatus(SearchStatusText(search_words_, rows_.size()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  } else {
    SetStatus(std::to_string(rows_.size()) + platform::Utf8ToCp932(u8"件"));
  }
}

void ListPane::ShowRows() {
  if (list_ == nullptr) return;
  ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemCountEx(list_, static_cast<int>(rows_.size()), 0);
  InvalidateRect(list_, nullptr, TRUE);
}

void ListPane::UpdateRows(const std::vector<ListRow>& changed) {
  if (changed.empty()) return;
  std::unordered_map<uint32_t, const ListRow*> by_number;
  for (const ListRow& row : changed) by_number[row.number] = &row;
  for (ListRow& row : rows_) {
    auto found = by_number.find(row.number);
    if (row.number != 0 && found != by_number.end()) row = *found->second;
  }
  if (list_ != nullptr) InvalidateRect(list_, nullptr, FALSE);
}

void ListPane::RemoveRows(const std::vector<uint32_t>& numbers) {
  rows_.erase(std::remove_if(rows_.begin(), rows_.end(),
                             [&numbers](const ListRow& row) {
                               return row.number != 0 && std::find(numbers.begin(), numbers.end(),
                                                                   row.number) != numbers.end();
                             }),
              rows_.end());
  ShowRows();
}

void ListPane::OpenSelected(int how) {
  const int index = list_ != nullptr ? ListView_GetNextItem(list_, -1, LVNI_SELECTED) : -1;
  if (index < 0 || static_cast<size_t>(index) >= rows_.size()) return;
  const ListRow row = rows_[static_cast<size_t>(index)];
  const std::string& link = row.cell(list_column::kUrl);
  if (how == 0) {
    OpenInExternalBrowser(services_.main_window, link, false);
  } else if (how == 2) {
    SendMessageW(GetParent(hwnd()), msg::kOpenLinkInTab, 0, reinterpret_cast<LPARAM>(link.c_str()));
  }
  if (row.number == 0 || row.read()) return;
  DatabaseGuard guard(services_.working_folder);
  if (const std::optional<ListRow> opened = OpenRecord(guard, row.number, platform::LocalNow())) {
    UpdateRows({*opened});
    if (services_.main_window != nullptr) {
      PostMessageW(services_.main_window, msg::kItemOpenedToMain, row.number, 0);
    }
  }
}

void ListPane::WriteListPage() {
  DatabaseGuard guard(services_.working_folder);
  const std::string page =
      BuildListPage(platform::Utf8ToCp932(services_.program_folder), subject_, rows_,
                    [&guard](uint32_t number) { return StoredComment(guard, number); });
  const std::string path = services_.working_folder + "/" + kListPageFile;
  if (!WritePageFile(path, page)) {
    MessageBoxUtf8(GetAncestor(hwnd(), GA_ROOT), u8"checkedurl.html を書き込めませんでした。",
                   u8"エラー", MB_OK | MB_ICONWARNING);
    return;
  }
  OpenFileWithShell(hwnd(), path);
}

void ListPane::DrawRow(const DRAWITEMSTRUCT& item) {
  if (item.itemID >= rows_.size()) return;
  const ListRow& row = rows_[item.itemID];
  HDC dc = item.hDC;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const bool focused = GetFocus() == list_;
  COLORREF back = row.marked ? kMarkedBack : GetSysColor(COLOR_WINDOW);
  COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  if (selected) {
    back = GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
    text = GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
  }
  HBRUSH brush = CreateSolidBrush(back);
  FillRect(dc, &item.rcItem, brush);
  DeleteObject(brush);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, text);
  // Unread items in bold, as a mail reader shows them.
  HGDIOBJ old_font =
      SelectObject(dc, (!row.read() && row.number != 0) ? bold_font_.get() : font_.get());
  HWND header = ListView_GetHeader(list_);
  const int count = Header_GetItemCount(header);
  std::vector<int> order(static_cast<size_t>(count));
  Header_GetOrderArray(header, count, order.data());
  int x = item.rcItem.left;
  for (int column : order) {
    const int width = ListView_GetColumnWidth(list_, column);
    if (width <= 0) continue;
    RECT cell = {x + 4, item.rcItem.top, x + width - 2, item.rcItem.bottom};
    if (column >= 0 && column < kListColumnCount) {
      const std::wstring value = platform::WideFromCp932(row.cell(column));
      DrawTextW(dc, value.c_str(), static_cast<int>(value.size()), &cell,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    x += width;
  }
  SelectObject(dc, old_font);
  HPEN pen = CreatePen(PS_SOLID, 1, kGrid);
  HGDIOBJ old_pen = SelectObject(dc, pen);
  MoveToEx(dc, item.rcItem.left, item.rcItem.bottom - 1, nullptr);
  LineTo(dc, item.rcItem.right, item.rcItem.bottom - 1);
  SelectObject(dc, old_pen);
  DeleteObject(pen);
  if ((item.itemState & ODS_FOCUS) != 0 && focused) DrawFocusRect(dc, &item.rcItem);
}

LRESULT ListPane::OnNotify(NMHDR* header) {
  if (header->hwndFrom != list_) return 0;
  switch (header->code) {
    case LVN_GETDISPINFOW: {
      auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
      LVITEMW& item = info->item;
      if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
        item.pszText[0] = L'\0';
        if (item.iItem >= 0 && static_cast<size_t>(item.iItem) < rows_.size() &&
            item.iSubItem >= 0 && item.iSubItem < kListColumnCount) {
          const std::wstring value =
              platform::WideFromCp932(rows_[static_cast<size_t>(item.iItem)].cell(item.iSubItem));
          lstrcpynW(item.pszText, value.c_str(), item.cchTextMax);
        }
      }
      return 0;
    }
    case LVN_COLUMNCLICK: {
      const auto* view = reinterpret_cast<NMLISTVIEW*>(header);
      if (sorter_.Click(view->iSubItem, &rows_)) ShowRows();
      return 0;
    }
    case LVN_ITEMCHANGED: {
      const auto* view = reinterpret_cast<NMLISTVIEW*>(header);
      const bool now_selected = (view->uNewState & LVIS_SELECTED) != 0;
      const bool was_selected = (view->uOldState & LVIS_SELECTED) != 0;
      if (now_selected && !was_selected && view->iItem >= 0 &&
          static_cast<size_t>(view->iItem) < rows_.size() &&
          ListView_GetSelectedCount(list_) == 1) {
        const ListRow row = rows_[static_cast<size_t>(view->iItem)];
        SendMessageW(GetParent(hwnd()), msg::kItemSelected, static_cast<WPARAM>(view->iItem),
                     reinterpret_cast<LPARAM>(&row));
      }
      return 0;
    }
    case NM_DBLCLK:
      OpenSelected(0);
      return 0;
    case NM_RCLICK: {
      POINT point;
      GetCursorPos(&point);
      // The frame shows its Edit pop-up, whose commands come back to the frame.
      SendMessageW(GetParent(hwnd()), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list_),
                   MAKELPARAM(point.x, point.y));
      return 0;
    }
    case LVN_KEYDOWN: {
      const auto* key = reinterpret_cast<NMLVKEYDOWN*>(header);
      if (key->wVKey == VK_RETURN) OpenSelected(0);
      return 0;
    }
    default:
      return 0;
  }
}

LRESULT ListPane::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_SIZE:
      if (list_ != nullptr) MoveWindow(list_, 0, 0, LOWORD(l), HIWORD(l), TRUE);
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(l));
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
      if (measure->CtlType == ODT_LISTVIEW) measure->itemHeight = static_cast<UINT>(row_height_);
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
      if (draw->CtlType == ODT_LISTVIEW) DrawRow(*draw);
      return TRUE;
    }
    case msg::kFillList: {
      const auto* day = reinterpret_cast<const SYSTEMTIME*>(l);
      const int kind = static_cast<int>(w);
      if (kind < 0 || kind >= kListKindCount) return 0;
      Fill(static_cast<ListKind>(kind), day != nullptr ? FromSystemTime(*day) : Today());
      return 0;
    }
    case msg::kWriteHtml:
      WriteListPage();
      return 0;
    case msg::kStartSearch:
      rows_.clear();
      ShowRows();
      return reinterpret_cast<LRESULT>(hwnd());
    case msg::kOpenSelected:
      OpenSelected(static_cast<int>(w));
      return 0;
    case msg::kStoreColumns:
      widths_ = ColumnWidths();
      return 0;
    case msg::kFontChanged: {
      const char* section = reinterpret_cast<const char*>(l);
      if (section != nullptr && std::string(section) == kListFontSection) {
        LoadFonts();
        CreateList();
      }
      return 0;
    }
    case msg::kFillDone:
      OnWorkerDone(static_cast<uint64_t>(w));
      return 0;
    case WM_SETFOCUS:
      if (list_ != nullptr) SetFocus(list_);
      return 0;
    default:
      return Default(message, w, l);
  }
}

}  // namespace korvo

#include "browse/win/browse_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>

#include "browse/browse_ids.h"
#include "browse/item_actions.h"
#include "browse/read_later_file.h"
#include "browse/win/browse_options_dialog.h"
#include "browse/win/browse_resource.h"
#include "browse/win/browse_win_util.h"
#include "browse/win/browser_launch.h"
#include "browse/win/busy_dialogs.h"
#include "browse/win/web_view_win.h"
#include "browse/win/win_user_dialogs.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "store/news_database.h"

namespace korvo {

namespace msg = browse_message;
namespace ctl = browse_control;
namespace cmd = browse_command;

// The resource script and the code name the same things.
static_assert(IDB_BROWSE_BACK == browse_resource::kBackgroundBitmap, "bitmap 138");
static_assert(IDB_COLLAPSE_DOWN == browse_resource::kRightCollapseBitmap, "bitmap 157");
static_assert(IDB_COLLAPSE_LEFT == browse_resource::kLeftCollapseBitmap, "bitmap 162");
static_assert(IDM_BROWSE_FRAME == browse_resource::kFrameMenu, "menu 141");
static_assert(IDM_BROWSE_POPUPS == browse_resource::kPopupMenus, "menu 140");
static_assert(IDD_SEARCHING == browse_resource::kSearchDialog, "dialog 144");
static_assert(IDD_UPDATING == browse_resource::kUpdateDialog, "dialog 145");
static_assert(IDD_CHANNELS == browse_resource::kChannelDialog, "dialog 148");
static_assert(IDD_BROWSE_OPTIONS == browse_resource::kOptionsDialog, "dialog 177");
static_assert(IDM_B_MARK_UNREAD == cmd::kMarkUnread && IDM_B_MARK_READ == cmd::kMarkRead &&
                  IDM_B_WRITE_HTML == cmd::kWriteHtml && IDM_B_UPDATE_NOW == cmd::kUpdateNow &&
                  IDM_B_READ_LATER == cmd::kReadLater && IDM_B_OPTIONS == cmd::kOptions &&
                  IDM_B_IMPORT_LATER == cmd::kImportReadLater &&
                  IDM_B_EXPORT_LATER == cmd::kExportReadLater && IDM_B_NEW_TAB == cmd::kNewTab,
              "commands");

namespace {

std::wstring Utf8Wide(const char* text) { return platform::WideFromUtf8(text); }

void Tell(HWND owner, const char* text, const char* caption, UINT icon = MB_ICONWARNING) {
  MessageBoxUtf8(owner, text, caption, MB_OK | icon);
}

std::string ItemPropertiesText(const NewsItem& item) {
  const int offset = platform::LocalOffsetMinutes();
  auto line = [](const char* label, const std::string& value) {
    return platform::Utf8ToCp932(label) + ": " + value + "\r\n";
  };
  auto text = [](const std::u16string& value) { return platform::Utf16ToCp932(value); };
  std::string out;
  out += line(u8"番号", std::to_string(item.number));
  out += line(u8"サイト", text(item.site));
  out += line(u8"サイトURL", text(item.site_link));
  out += line(u8"タイトル", text(item.title));
  out += line("URL", text(item.link));
  out += line(u8"カテゴリー", text(item.category));
  out += line(u8"作成者", text(item.author));
  out += line(u8"取得日", SummaryDate(item.get_day, offset));
  out += line(u8"最終確認日", SummaryDate(item.last_seen, offset));
  out += line(u8"チェック日", SummaryDate(item.check_day, offset));
  out += line(u8"作成日", SummaryDate(item.create_day, offset));
  out += line(u8"マーク", (item.flags & NewsItem::kMarked) != 0 ? "1" : "0");
  out += line(u8"エンクロージャー", text(item.subelement));
  out += line(u8"コメント", text(item.comment));
  return out;
}

}  // namespace

BrowseWindow::BrowseWindow(const BrowseServices& services) : services_(services) {}

BrowseWindow::~BrowseWindow() {
  if (hwnd() != nullptr) DestroyWindow(hwnd());
  if (left_bitmap_ != nullptr) DeleteObject(left_bitmap_);
  if (down_bitmap_ != nullptr) DeleteObject(down_bitmap_);
}

bool BrowseWindow::RegisterClasses(HINSTANCE instance) {
  // The common controls of the panes and dialogs.
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                                        ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                                        ICC_ANIMATE_CLASS | ICC_DATE_CLASSES};
  InitCommonControlsEx(&controls);
  HBITMAP pattern = LoadBitmapW(instance, MAKEINTRESOURCEW(IDB_BROWSE_BACK));
  HBRUSH background =
      pattern != nullptr ? CreatePatternBrush(pattern) : GetSysColorBrush(COLOR_BTNFACE);
  if (pattern != nullptr) DeleteObject(pattern);  // the brush keeps its own copy
  HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(browse_resource::kFrameIcon));
  bool ok = RegisterClass(instance, kClassName, background, CS_HREDRAW | CS_VREDRAW, icon);
  ok = RegisterClass(instance, LeftPane::kClassName, GetSysColorBrush(COLOR_BTNFACE)) && ok;
  ok = RegisterClass(instance, ListPane::kClassName, GetSysColorBrush(COLOR_WINDOW)) && ok;
  ok = RegisterClass(instance, DownPane::kClassName, GetSysColorBrush(COLOR_BTNFACE)) && ok;
  ok = RegisterClass(instance, DescWindow::kClassName, nullptr) && ok;
  ok = RegisterClass(instance, MemoWindow::kClassName, GetSysColorBrush(COLOR_BTNFACE)) && ok;
  ok =
      RegisterClass(instance, OutlineTreeView::kChannelClass, GetSysColorBrush(COLOR_WINDOW)) && ok;
  ok = RegisterClass(instance, OutlineTreeView::kFavouritesClass, GetSysColorBrush(COLOR_WINDOW)) &&
       ok;
  ok = RegisterClass(instance, BrowserTab::kClassName, GetSysColorBrush(COLOR_BTNFACE)) && ok;
  return RegisterWebHostClass(instance) && ok;
}

bool BrowseWindow::Open() {
  if (hwnd() != nullptr) {
    if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
    SetForegroundWindow(hwnd());
    return true;
  }
  if (!RegisterClasses(services_.instance)) return false;
  geometry_ = LoadBrowseGeometry(services_.working_folder);
  sizes_ = PaneSizesFromGeometry(geometry_);
  RECT work = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const PaneRect frame = FrameRectangle(geometry_, {work.left, work.top, work.right, work.bottom});
  menu_ = LoadMenuW(services_.instance, MAKEINTRESOURCEW(IDM_BROWSE_FRAME));
  if (CreatePane(kClassName, L"KorvoNewsReader", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                 frame.left, frame.top, frame.width(), frame.height(), nullptr, menu_,
                 services_.instance) == nullptr) {
    if (menu_ != nullptr) DestroyMenu(menu_);
    menu_ = nullptr;
    return false;
  }
  ShowWindow(hwnd(), SW_SHOW);
  UpdateWindow(hwnd());
  return true;
}

void BrowseWindow::OnCreate() {
  if (services_.pause_ticker) {
    services_.pause_ticker(true);
    paused_ = true;
  }
  status_ = CreateWindowExW(
      0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, hwnd(),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(ctl::kStatusBar)), services_.instance, nullptr);
  left_bitmap_ = LoadBitmapW(services_.instance, MAKEINTRESOURCEW(IDB_COLLAPSE_LEFT));
  down_bitmap_ = LoadBitmapW(services_.instance, MAKEINTRESOURCEW(IDB_COLLAPSE_DOWN));
  left_ = std::make_unique<LeftPane>(services_, geometry_.fields);
  list_ = std::make_unique<ListPane>(services_, geometry_.columns);
  down_ = std::make_unique<DownPane>(services_);
  const RECT none = {0, 0, 10, 10};
  left_->Create(hwnd(), none);
  list_->Create(hwnd(), none);
  down_->Create(hwnd(), none);
  down_->add_feed = [this](const FeedInformation& feed) {
    if (OutlineTreeView* tree = left_->channel_tree()) tree->AddFeed(feed);
  };
  down_->row_changed = [this](const ListRow& row) { list_->UpdateRows({row}); };
  if (OutlineTreeView* favourites = left_->favourites_tree()) {
    // A favourite opens in the browser, as from the ticker menu.
    favourites->on_open = [this](const std::string& address) {
      OpenInExternalBrowser(services_.main_window, address, false);
    };
  }
  for (int id : {ctl::kCollapseLeft, ctl::kCollapseRight}) {
    CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0,
                    kCollapseButtonWidth, kCollapseButtonHeight, hwnd(),
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), services_.instance, nullptr);
  }
  LayOut();
  platform::CalendarTime today = platform::LocalNow();
  today.hour = today.minute = today.second = today.millisecond = 0;
  left_->SetDayAndKind(today, ListKind::kAll);
  Refill();
}

void BrowseWindow::LayOut() {
  RECT client = {};
  GetClientRect(hwnd(), &client);
  SendMessageW(status_, WM_SIZE, 0, 0);
  RECT status = {};
  GetWindowRect(status_, &status);
  layout_ = LayOutFrame(client.right, client.bottom, status.bottom - status.top, sizes_);
  auto place = [](HWND window, const PaneRect& r) {
    if (window != nullptr) {
      MoveWindow(window, r.left, r.top, std::max(r.width(), 0), std::max(r.height(), 0), TRUE);
      ShowWindow(window, r.width() > 0 && r.height() > 0 ? SW_SHOW : SW_HIDE);
    }
  };
  place(left_ ? left_->hwnd() : nullptr, layout_.left);
  place(list_ ? list_->hwnd() : nullptr, layout_.right_up);
  place(down_ ? down_->hwnd() : nullptr, layout_.right_down);
  place(GetDlgItem(hwnd(), ctl::kCollapseLeft), layout_.left_button);
  place(GetDlgItem(hwnd(), ctl::kCollapseRight), layout_.down_button);
  int parts[2] = {layout_.status_first_part, -1};
  SendMessageW(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void BrowseWindow::SetStatus(int part, const std::wstring& text) {
  SendMessageW(status_, SB_SETTEXTW, static_cast<WPARAM>(part),
               reinterpret_cast<LPARAM>(text.c_str()));
}

void BrowseWindow::Refill() {
  SYSTEMTIME day = ToSystemTime(left_->day());
  SendMessageW(list_->hwnd(), msg::kFillList, static_cast<WPARAM>(left_->kind()),
               reinterpret_cast<LPARAM>(&day));
}

void BrowseWindow::Search() {
  const SearchQuery query = left_->Query();
  if (!SearchExpression(query.words).HasSearchWords()) return;  // empty words do nothing
  left_->SelectTab(1);  // the form the search came from stays in view
  if (SendMessageW(list_->hwnd(), msg::kStartSearch, 0, 0) == 0) return;
  RunSearchDialog(services_, hwnd(), list_.get(), query);
}

void BrowseWindow::Update() {
  SendMessageW(left_->hwnd(), msg::kFinishUpdate, 0, 0);  // the channel tree's changes first
  if (!services_.start_update) return;
  const uint64_t before = services_.runs_started ? services_.runs_started() : 0;
  if (!services_.start_update()) {
    Tell(hwnd(), u8"更新を開始できませんでした。", u8"エラー");
    return;
  }
  if (RunUpdateDialog(services_, hwnd(), before) == IDOK) {
    platform::CalendarTime today = platform::LocalNow();
    today.hour = today.minute = today.second = today.millisecond = 0;
    left_->SetDayAndKind(today, ListKind::kAll);
    left_->SelectTab(0);
    Refill();
  }
}

void BrowseWindow::OnItemCommand(int command) {
  const std::vector<uint32_t> numbers = list_->SelectedNumbers();
  if (numbers.empty()) return;
  DatabaseGuard guard(services_.working_folder);
  const std::string caption = "KorvoNewsReader";
  auto refused = [&](int entry) {
    if (services_.catalog != nullptr) {
      MessageBoxCp932(hwnd(), services_.catalog->Text(entry), caption, MB_OK | MB_ICONWARNING);
    }
  };
  switch (command) {
    case cmd::kMarkUnread: {
      const ActionResult result = MarkUnread(guard, numbers);
      list_->UpdateRows(result.changed);
      if (result.refused) refused(kRefusedUnreadMessage);
      break;
    }
    case cmd::kMarkRead: {
      const ActionResult result = MarkRead(guard, numbers, platform::LocalNow());
      list_->UpdateRows(result.changed);
      if (result.refused) refused(kRefusedReadMessage);
      break;
    }
    case cmd::kMark:
    case cmd::kUnmark:
      list_->UpdateRows(SetMarked(guard, numbers, command == cmd::kMark).changed);
      break;
    case cmd::kReadLater: {
      const ActionResult result = AddToReadLater(guard, numbers);
      list_->UpdateRows(result.changed);
      if (result.missing > 0) {
        Tell(hwnd(), u8"データベースに登録さていないため、いくつかの項目は追加されませんでした。",
             u8"エラー");
      }
      break;
    }
    case cmd::kDelete:
      if (MessageBoxUtf8(hwnd(), u8"選択されたレコードを削除します。よろしいですか？", u8"削除",
                         MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) == IDOK) {
        DeleteRecords(guard, numbers);
        list_->RemoveRows(numbers);
        down_->summary()->Clear();
      }
      break;
    default:
      break;
  }
}

void BrowseWindow::ShowItemProperties() {
  const std::vector<uint32_t> numbers = list_->SelectedNumbers();
  if (numbers.empty()) return;
  DatabaseGuard guard(services_.working_folder);
  NewsItem item;
  item.number = numbers.front();
  {
    ScopedDatabase db(guard);
    if (!db || db->ReadItem(&item) == 0) return;
  }
  const std::string text = ItemPropertiesText(item);
  RunFormDialog(
      services_.instance, IDD_ITEM_PROPERTIES, hwnd(),
      [&text](HWND dialog) { SetWindowTextCp932(GetDlgItem(dialog, IDC_ITEM_TEXT), text); },
      nullptr);
}

void BrowseWindow::ImportReadLater() {
  std::string path;
  if (!ChooseFile(hwnd(), true,
                  L"RSS/Atom (*.xml;*.rdf;*.rss;*.atom)\0*.xml;*.rdf;*.rss;*.atom\0"
                  L"*.*\0*.*\0\0",
                  L"xml", &path)) {
    return;
  }
  if (!services_.import_feed_file) return;
  const int added = services_.import_feed_file(path);
  if (added < 0) {
    Tell(hwnd(), u8"ファイルを読めませんでした。", u8"エラー");
    return;
  }
  MessageBoxCp932(
      hwnd(), std::to_string(added) + platform::Utf8ToCp932(u8"件を「後で読む」に追加しました。"),
      "KorvoNewsReader", MB_OK | MB_ICONINFORMATION);
  if (left_->kind() == ListKind::kReadLater) Refill();
}

void BrowseWindow::ExportReadLater() {
  std::vector<NewsItem> items;
  {
    DatabaseGuard guard(services_.working_folder);
    ScopedDatabase db(guard);
    if (db) items = db->ReadLaterItems();
  }
  std::string path;
  if (!ChooseFile(hwnd(), false, L"RSS (*.xml)\0*.xml\0\0", L"xml", &path)) return;
  if (!platform::WriteWholeFile(path, ReadLaterFeed(items, platform::LocalOffsetMinutes()))) {
    Tell(hwnd(), u8"ファイルを書き込めませんでした。", u8"エラー");
  }
}

void BrowseWindow::OnEditCommand(int command) {
  HWND focus = GetFocus();
  wchar_t class_name[16] = {};
  if (focus == nullptr || GetClassNameW(focus, class_name, 16) == 0 ||
      lstrcmpiW(class_name, L"Edit") != 0) {
    return;
  }
  switch (command) {
    case cmd::kEditUndo:
      SendMessageW(focus, EM_UNDO, 0, 0);
      break;
    case cmd::kEditCut:
      SendMessageW(focus, WM_CUT, 0, 0);
      break;
    case cmd::kEditCopy:
      SendMessageW(focus, WM_COPY, 0, 0);
      break;
    case cmd::kEditPaste:
    case cmd::kEditPasteAndGo:
      SendMessageW(focus, WM_PASTE, 0, 0);
      if (command == cmd::kEditPasteAndGo) {
        if (BrowserTab* tab = down_->CurrentBrowserTab()) tab->Navigate(WindowTextCp932(focus));
      }
      break;
    case cmd::kEditDelete:
      SendMessageW(focus, WM_CLEAR, 0, 0);
      break;
    case cmd::kEditDeleteAll:
      SetWindowTextW(focus, L"");
      break;
    case cmd::kEditSelectAll:
      SendMessageW(focus, EM_SETSEL, 0, -1);
      break;
    default:
      break;
  }
}

void BrowseWindow::OnCommand(int command) {
  switch (command) {
    case ctl::kCollapseLeft:
      ToggleLeftPane(&sizes_);
      LayOut();
      return;
    case ctl::kCollapseRight:
      ToggleDownPane(&sizes_);
      LayOut();
      return;
    case ctl::kSearchButton:
      Search();
      return;
    case cmd::kExit:
      PostMessageW(hwnd(), WM_CLOSE, 0, 0);
      return;
    case cmd::kUpdateNow:
      Update();
      return;
    case cmd::kWriteHtml:
      SendMessageW(list_->hwnd(), msg::kWriteHtml, static_cast<WPARAM>(left_->kind()), 0);
      return;
    case cmd::kMemo:
      down_->SelectTab(1);
      return;
    case cmd::kOpenInBrowser:
      SendMessageW(list_->hwnd(), msg::kOpenSelected, 0, 0);
      return;
    case cmd::kOpenInTab:
      SendMessageW(list_->hwnd(), msg::kOpenSelected, 2, 0);
      return;
    case cmd::kCopyUrl:
    case cmd::kCopyTitle:
    case cmd::kCopyUrlAndTitle: {
      const CopyWhat what = command == cmd::kCopyUrl     ? CopyWhat::kUrl
                            : command == cmd::kCopyTitle ? CopyWhat::kTitle
                                                         : CopyWhat::kUrlAndTitle;
      const std::vector<ListRow> rows = list_->SelectedRows();
      if (!rows.empty()) CopyTextToClipboard(hwnd(), ClipboardText(rows, what));
      return;
    }
    case cmd::kProperties:
      ShowItemProperties();
      return;
    case cmd::kOptions:
      RunBrowseOptionsDialog(services_, hwnd());
      return;
    case cmd::kImportReadLater:
      ImportReadLater();
      return;
    case cmd::kExportReadLater:
      ExportReadLater();
      return;
    case cmd::kViewFull:
    case cmd::kViewCompact:
    case cmd::kViewList:
      list_->SetView(command);
      return;
    case cmd::kNewTab:
    case cmd::kNewHomeTab:
    case cmd::kCloseTab:
      down_->OnTabCommand(command);
      return;
    case cmd::kMarkUnread:
    case cmd::kMarkRead:
    case cmd::kMark:
    case cmd::kUnmark:
    case cmd::kReadLater:
    case cmd::kDelete:
      OnItemCommand(command);
      return;
    default:
      OnEditCommand(command);
      return;
  }
}

void BrowseWindow::DrawCollapseButton(const DRAWITEMSTRUCT& item) {
  const bool left = item.CtlID == static_cast<UINT>(ctl::kCollapseLeft);
  HBITMAP bitmap = left ? left_bitmap_ : down_bitmap_;
  const bool collapsed = left ? sizes_.left_collapsed : sizes_.down_collapsed;
  if (bitmap == nullptr) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNSHADOW));
    return;
  }
  HDC memory = CreateCompatibleDC(item.hDC);
  HGDIOBJ old = SelectObject(memory, bitmap);
  // The bitmap's left half is the open state, its right half the collapsed one.
  BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, kCollapseButtonWidth, kCollapseButtonHeight,
         memory, collapsed ? kCollapseButtonWidth : 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
}

void BrowseWindow::SaveLayout() {
  RECT frame = {};
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  if (GetWindowPlacement(hwnd(), &placement)) {
    frame = placement.rcNormalPosition;  // the restored rectangle, also when minimised
  } else {
    GetWindowRect(hwnd(), &frame);
  }
  if (!IsIconic(hwnd())) LayOut();
  StoreLayout(sizes_, layout_, {frame.left, frame.top, frame.right, frame.bottom}, &geometry_);
  SendMessageW(list_->hwnd(), msg::kStoreColumns, 0, 0);
  SendMessageW(left_->hwnd(), msg::kStoreFields, 0, 0);
  geometry_.columns = list_->ColumnWidths();
  geometry_.fields = left_->FieldStates();
  SaveBrowseGeometry(services_.working_folder, geometry_);
}

LRESULT BrowseWindow::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_SIZE:
      if (w == SIZE_MINIMIZED) {
        EnableMenuItem(GetSystemMenu(hwnd(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
        return 0;
      }
      EnableMenuItem(GetSystemMenu(hwnd(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
      LayOut();
      return 0;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(l);
      info->ptMinTrackSize = {360, 260};
      return 0;
    }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(w) == hwnd() && LOWORD(l) == HTCLIENT) {
        POINT point;
        GetCursorPos(&point);
        ScreenToClient(hwnd(), &point);
        const SplitterHit hit =
            dragging_ != SplitterHit::kNone ? dragging_ : HitSplitter(layout_, point.x, point.y);
        if (hit != SplitterHit::kNone) {
          SetCursor(LoadCursorW(
              nullptr,
              reinterpret_cast<LPCWSTR>(hit == SplitterHit::kVertical ? IDC_SIZEWE : IDC_SIZENS)));
          return TRUE;
        }
      }
      return Default(message, w, l);
    case WM_LBUTTONDOWN: {
      const SplitterHit hit = HitSplitter(layout_, GET_X_LPARAM(l), GET_Y_LPARAM(l));
      if (hit != SplitterHit::kNone) {
        dragging_ = hit;
        SetCapture(hwnd());
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      if (dragging_ != SplitterHit::kNone) {
        RECT client = {};
        GetClientRect(hwnd(), &client);
        if (dragging_ == SplitterHit::kVertical) {
          DragVerticalSplitter(GET_X_LPARAM(l), client.right, &sizes_);
        } else {
          DragHorizontalSplitter(GET_Y_LPARAM(l), layout_.status.top, &sizes_);
        }
        LayOut();
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (dragging_ != SplitterHit::kNone) {
        dragging_ = SplitterHit::kNone;
        if (GetCapture() == hwnd()) ReleaseCapture();
      }
      return 0;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
      if (item->CtlType == ODT_BUTTON) DrawCollapseButton(*item);
      return TRUE;
    }
    case WM_COMMAND:
      OnCommand(LOWORD(w));
      return 0;
    case WM_CONTEXTMENU:
      if (list_ && reinterpret_cast<HWND>(w) == list_->list()) {
        HMENU edit = GetSubMenu(menu_, 1);
        if (edit != nullptr) {
          TrackPopupMenu(edit, TPM_LEFTALIGN | TPM_RIGHTBUTTON, GET_X_LPARAM(l), GET_Y_LPARAM(l), 0,
                         hwnd(), nullptr);
        }
        return 0;
      }
      return Default(message, w, l);
    case msg::kKindOrDateChanged:
      SendMessageW(list_->hwnd(), msg::kFillList, w, l);
      return 0;
    case msg::kWriteHtml:
    case msg::kStartSearch:
      return SendMessageW(list_->hwnd(), message, w, l);
    case msg::kItemSelected:
      SendMessageW(down_->hwnd(), message, w, l);
      return 0;
    case msg::kOpenLinkInTab: {
      const char* link = reinterpret_cast<const char*>(l);
      if (link != nullptr && IsWebAddress(link)) {
        down_->OpenTab(link, std::wstring());
      } else {
        SetStatus(1, Utf8Wide(u8"このリンクはタブで開けません（http/https のみ）"));
      }
      return 0;
    }
    case msg::kFontChanged:
      for (PaneWindow* pane :
           {static_cast<PaneWindow*>(left_.get()), static_cast<PaneWindow*>(list_.get()),
            static_cast<PaneWindow*>(down_.get())}) {
        if (pane != nullptr) SendMessageW(pane->hwnd(), message, w, l);
      }
      return 0;
    case WM_CLOSE:
      SaveLayout();
      SendMessageW(left_->hwnd(), msg::kFinishUpdate, 0, 0);
      DestroyWindow(hwnd());
      return 0;
    case WM_DESTROY:
      down_.reset();
      list_.reset();
      left_.reset();
      return 0;
    default:
      return Default(message, w, l);
  }
}

void BrowseWindow::OnDestroyed() {
  menu_ = nullptr;  // destroyed with the window
  if (paused_ && services_.pause_ticker) services_.pause_ticker(false);
  paused_ = false;
}

}  // namespace korvo

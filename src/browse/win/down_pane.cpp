#include "browse/win/down_pane.h"

#include <commctrl.h>

#include <algorithm>

#include "browse/browse_ids.h"
#include "browse/tab_navigation.h"
#include "browse/win/browse_resource.h"
#include "browse/win/browse_win_util.h"
#include "platform/code_page.h"
#include "store/database_guard.h"

namespace korvo {

namespace msg = browse_message;

namespace {

constexpr int kTabWidth = 150;
constexpr int kTabHeight = 22;
constexpr int kFixedTabs = 2;  // summary and memo

void SetTabText(HWND control, int index, const std::wstring& text) {
  TCITEMW item = {};
  item.mask = TCIF_TEXT;
  std::wstring copy = text;
  item.pszText = copy.data();
  TabCtrl_SetItem(control, index, &item);
}

}  // namespace

DownPane::DownPane(const BrowseServices& services) : services_(services) {}

DownPane::~DownPane() {
  tabs_.clear();  // the tabs stop their listeners before the discovery waits for its threads
  memo_.reset();
  desc_.reset();
  discovery_.reset();
}

bool DownPane::Create(HWND parent, const RECT& r) {
  if (!CreateChild(kClassName, GetSysColorBrush(COLOR_BTNFACE), parent,
                   browse_control::kRightDownPane, r, services_.instance)) {
    return false;
  }
  if (services_.download) {
    discovery_ = std::make_unique<FeedDiscovery>(services_.working_folder, services_.download);
  }
  tabs_control_ = CreateWindowExW(
      0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_FIXEDWIDTH, 0, 0,
      r.right - r.left, r.bottom - r.top, hwnd(),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(browse_control::kDownTabs)), services_.instance,
      nullptr);
  SendMessageW(tabs_control_, WM_SETFONT,
               reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  TabCtrl_SetItemSize(tabs_control_, kTabWidth, kTabHeight);
  AddTab(tabs_control_, L"\u6982\u8981");  // 概要
  AddTab(tabs_control_, L"\u30E1\u30E2");  // メモ
  desc_ = std::make_unique<DescWindow>(services_);
  desc_->Create(hwnd(), PageRect());
  LayOut();
  SelectTab(0);
  return true;
}

RECT DownPane::PageRect() const {
  RECT r = {};
  GetClientRect(hwnd(), &r);
  if (tabs_control_ != nullptr) TabCtrl_AdjustRect(tabs_control_, FALSE, &r);
  return r;
}

void DownPane::LayOut() {
  RECT client = {};
  GetClientRect(hwnd(), &client);
  MoveWindow(tabs_control_, 0, 0, client.right, client.bottom, TRUE);
  const RECT page = PageRect();
  auto place = [&page](HWND window) {
    if (window != nullptr) {
      SetWindowPos(window, HWND_TOP, page.left, page.top, page.right - page.left,
                   page.bottom - page.top, SWP_NOACTIVATE);
    }
  };
  if (desc_) place(desc_->hwnd());
  if (memo_) place(memo_->hwnd());
  for (const auto& tab : tabs_) place(tab->hwnd());
}

void DownPane::SelectTab(int index) {
  const int count = TabCtrl_GetItemCount(tabs_control_);
  if (index < 0 || index >= count) index = 0;
  TabCtrl_SetCurSel(tabs_control_, index);
  ShowPage();
}

void DownPane::ShowPage() {
  const int index = TabCtrl_GetCurSel(tabs_control_);
  auto show = [](HWND window, bool on) {
    if (window != nullptr) ShowWindow(window, on ? SW_SHOW : SW_HIDE);
  };
  show(desc_ ? desc_->hwnd() : nullptr, index == 0);
  show(memo_ ? memo_->hwnd() : nullptr, index == 1);
  for (size_t i = 0; i < tabs_.size(); ++i) {
    show(tabs_[i]->hwnd(), index == static_cast<int>(i) + kFixedTabs);
  }
}

int DownPane::TabIndexOf(HWND page) const {
  for (size_t i = 0; i < tabs_.size(); ++i) {
    if (tabs_[i]->hwnd() == page) return static_cast<int>(i) + kFixedTabs;
  }
  return -1;
}

std::wstring DownPane::FitTitle(const std::u16string& title) const {
  HDC dc = GetDC(tabs_control_);
  HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(tabs_control_, WM_GETFONT, 0, 0)));
  const std::u16string fitted =
      FitTabTitle(title, kTabWidth - 12, [dc](const std::u16string& text) {
        SIZE size = {};
        GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.c_str()),
                              static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
      });
  SelectObject(dc, old);
  ReleaseDC(tabs_control_, dc);
  return std::wstring(fitted.begin(), fitted.end());
}

BrowserTab* DownPane::OpenTab(const std::string& address, const std::wstring& title) {
  auto tab = std::make_unique<BrowserTab>(services_, discovery_.get());
  const int id = next_tab_id_++;
  if (!tab->Create(hwnd(), id, PageRect(), address)) return nullptr;
  tab->open_in_new_tab = [this](const std::string& target) {
    // Posted: the control is inside its own event when it asks.
    auto* copy = new std::string(target);
    if (!PostMessageW(hwnd(), msg::kOpenBrowserTab, 2, reinterpret_cast<LPARAM>(copy))) {
      delete copy;
    }
  };
  tab->add_feed = [this](const FeedInformation& feed) {
    if (add_feed) add_feed(feed);
  };
  std::wstring text = title;
  if (!tab->has_view()) text = L"ERROR";
  if (text.empty()) text = FitTitle(std::u16string(address.begin(), address.end()));
  const int index = TabCtrl_GetItemCount(tabs_control_);
  AddTab(tabs_control_, text);
  tabs_.push_back(std::move(tab));
  LayOut();
  SelectTab(index);
  return tabs_.back().get();
}

void DownPane::CloseTab(HWND page) {
  const int index = TabIndexOf(page);
  if (index < 0) return;
  TabCtrl_DeleteItem(tabs_control_, index);
  tabs_.erase(tabs_.begin() + (index - kFixedTabs));
  SelectTab(index - 1 >= kFixedTabs ? index - 1 : 0);
}

BrowserTab* DownPane::CurrentBrowserTab() const {
  const int index = TabCtrl_GetCurSel(tabs_control_) - kFixedTabs;
  if (index < 0 || static_cast<size_t>(index) >= tabs_.size()) return nullptr;
  return tabs_[static_cast<size_t>(index)].get();
}

void DownPane::ItemSelected(const ListRow& row) {
  NewsItem item;
  item.number = row.number;
  bool read = false;
  if (row.number != 0) {
    DatabaseGuard guard(services_.working_folder);
    ScopedDatabase db(guard);
    read = db && db->ReadItem(&item) != 0;
  }
  if (!read) {
    item = NewsItem();
    item.title = platform::Cp932ToUtf16(row.cell(list_column::kTitle));
    item.link = platform::Cp932ToUtf16(row.cell(list_column::kUrl));
    item.site = platform::Cp932ToUtf16(row.cell(list_column::kSite));
    item.description = platform::Cp932ToUtf16(row.cell(list_column::kDescription));
  }
  desc_->Show(item);
  memo_ =
      std::make_unique<MemoWindow>(services_, read ? row.number : 0, row.cell(list_column::kUrl));
  memo_->on_written = [this](const ListRow& changed) {
    if (row_changed) row_changed(changed);
  };
  memo_->Create(hwnd(), PageRect());
  SelectTab(0);
}

void DownPane::ShowTabMenu(POINT screen) {
  HMENU menu = LoadMenuW(services_.instance, MAKEINTRESOURCEW(IDM_BROWSE_POPUPS));
  if (menu == nullptr) return;
  HMENU popup = GetSubMenu(menu, 0);
  if (CurrentBrowserTab() == nullptr) {
    EnableMenuItem(popup, browse_command::kCloseTab, MF_BYCOMMAND | MF_GRAYED);
  }
  const int command = TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0,
                                     hwnd(), nullptr);
  DestroyMenu(menu);
  if (command != 0) OnTabCommand(command);
}

void DownPane::OnTabCommand(int command) {
  switch (command) {
    case browse_command::kNewTab:
      OpenTab("about:blank", std::wstring());
      break;
    case browse_command::kNewHomeTab:
      OpenTab("about:blank", L"Home");
      break;
    case browse_command::kCloseTab:
      if (BrowserTab* tab = CurrentBrowserTab()) CloseTab(tab->hwnd());
      break;
    default:
      break;
  }
}

LRESULT DownPane::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<NMHDR*>(l);
      if (header->hwndFrom == tabs_control_ && header->code == TCN_SELCHANGE) ShowPage();
      if (header->hwndFrom == tabs_control_ && header->code == NM_RCLICK) {
        POINT point;
        GetCursorPos(&point);
        ShowTabMenu(point);
      }
      return 0;
    }
    case WM_CONTEXTMENU:
      ShowTabMenu({static_cast<int16_t>(LOWORD(l)), static_cast<int16_t>(HIWORD(l))});
      return 0;
    case msg::kOpenBrowserTab: {
      // wParam 2: a posted copy the pane owns; otherwise the sender's text.
      std::unique_ptr<std::string> owned(w == 2 ? reinterpret_cast<std::string*>(l) : nullptr);
      const std::string address = owned ? *owned : std::string(reinterpret_cast<const char*>(l));
      std::wstring title;
      if (w == 0 && !home_named_) {
        title = L"Home";
        home_named_ = true;
      }
      OpenTab(address, title);
      return 0;
    }
    case msg::kTabTitle: {
      const int index = TabIndexOf(reinterpret_cast<HWND>(w));
      const auto* title = reinterpret_cast<const char16_t*>(l);
      if (index >= 0 && title != nullptr) SetTabText(tabs_control_, index, FitTitle(title));
      return 0;
    }
    case msg::kCloseBrowserTab:
      CloseTab(reinterpret_cast<HWND>(w));
      return 0;
    case msg::kItemSelected: {
      const auto* row = reinterpret_cast<const ListRow*>(l);
      if (row != nullptr) ItemSelected(*row);
      return 0;
    }
    case msg::kFontChanged:
      if (desc_) SendMessageW(desc_->hwnd(), message, w, l);
      return 0;
    case WM_COMMAND:
      OnTabCommand(LOWORD(w));
      return 0;
    default:
      return Default(message, w, l);
  }
}

}  // namespace korvo

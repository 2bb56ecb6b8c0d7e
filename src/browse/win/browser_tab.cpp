#include "browse/win/browser_tab.h"

#include <atomic>

#include "browse/browse_ids.h"
#include "browse/win/browse_resource.h"
#include "browse/win/browse_win_util.h"
#include "browse/win/web_view_win.h"
#include "channels/discovery_rules.h"
#include "channels/feed_summary.h"
#include "platform/code_page.h"

namespace korvo {

namespace {

constexpr int kBarHeight = 24;
constexpr int kButtonWidth = 34;

// What the discovery thread tells the tab (message 0x4E2, lParam points to it during the send).
struct DiscoveryNote {
  enum class Kind { kFeedFound, kPageIsFeed } kind;
  int request = 0;
  std::string address;
  FeedSummary summary;
};

}  // namespace

// Delivers the discovery's notifications to the tab's window while it exists. The window thread
// may be waiting for the discovery threads (when the window closes), so a send waits at most
// two seconds.
class BrowserTab::Listener : public DiscoveryListener {
 public:
  explicit Listener(BrowserTab* tab, HWND window) : tab_(tab), window_(window) {}
  void Detach() {
    window_.store(nullptr);
    tab_ = nullptr;
  }
  void OnDiscoveryStarted(int request) override {
    if (tab_ != nullptr) tab_->feeds_.Started(request);  // the window thread
  }
  void OnFeedFound(int request, const std::string& feed_address) override {
    DiscoveryNote note{DiscoveryNote::Kind::kFeedFound, request, feed_address, {}};
    Send(&note);
  }
  void OnPageIsFeed(int request, const XmlDocument& document) override {
    DiscoveryNote note{DiscoveryNote::Kind::kPageIsFeed, request, {}, {}};
    if (!ReadFeedSummary(document, std::string(), &note.summary)) return;
    Send(&note);
  }

 private:
  void Send(DiscoveryNote* note) {
    HWND window = window_.load();
    if (window == nullptr) return;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, browse_message::kDiscovery, 0, reinterpret_cast<LPARAM>(note),
                        SMTO_NORMAL | SMTO_ABORTIFHUNG, 2000, &result);
  }

  BrowserTab* tab_;  // window thread only
  std::atomic<HWND> window_;
};

BrowserTab::BrowserTab(const BrowseServices& services, FeedDiscovery* discovery)
    : services_(services),
      discovery_(discovery),
      own_pages_(OwnPagesPrefix(services.working_folder)) {}

BrowserTab::~BrowserTab() {
  if (listener_) listener_->Detach();
  view_.reset();
}

WebView* BrowserTab::view() const { return view_.get(); }

bool BrowserTab::Create(HWND parent, int id, const RECT& r, const std::string& first_address) {
  if (!CreateChild(kClassName, GetSysColorBrush(COLOR_BTNFACE), parent, id, r, services_.instance,
                   WS_CHILD | WS_CLIPCHILDREN)) {
    return false;
  }
  font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  struct Button {
    int id;
    const wchar_t* text;
  };
  // Characters every Japanese UI font has (arrows and signs beyond JIS X 0208 show as boxes).
  const Button buttons[] = {{IDC_TAB_BACK, L"\u2190"},
                            {IDC_TAB_FORWARD, L"\u2192"},
                            {IDC_TAB_RELOAD, L"\u66F4\u65B0"},
                            {IDC_TAB_STOP, L"\u4E2D\u6B62"},
                            {IDC_TAB_GO, L"Go"},
                            {IDC_TAB_FEED, L"RSS"},
                            {IDC_TAB_CLOSE, L"\u00D7"}};  // 更新, 中止
  for (const Button& b : buttons) {
    HWND button = CreateWindowExW(0, L"BUTTON", b.text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0,
                                  kButtonWidth, kBarHeight - 2, hwnd(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)),
                                  services_.instance, nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  address_ = CreateWindowExW(
      WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 100,
      kBarHeight - 2, hwnd(),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(browse_control::kBrowserAddress)),
      services_.instance, nullptr);
  SendMessageW(address_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  view_ = WebViewWin::Create(hwnd(), browse_control::kBrowserView, this, first_address);
  if (view_ == nullptr) {
    // The text takes the view's place and id.
    failure_ =
        CreateWindowExW(0, L"STATIC", L"\u521D\u671F\u5316\u306B\u5931\u6557",  // 初期化に失敗
                        WS_CHILD | WS_VISIBLE | SS_CENTER, 0, 0, 100, 20, hwnd(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(browse_control::kBrowserView)),
                        services_.instance, nullptr);
    SendMessageW(failure_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SetWindowTextCp932(address_, first_address);
  } else {
    listener_ = std::make_shared<Listener>(this, hwnd());
  }
  UpdateFeedButton();
  LayOut();
  return true;
}

bool BrowserTab::Navigate(const std::string& address) {
  if (view_ == nullptr) {
    SetWindowTextCp932(address_, address);
    return false;
  }
  return view_->Navigate(address);
}

void BrowserTab::LayOut() {
  RECT client = {};
  GetClientRect(hwnd(), &client);
  int x = 2;
  for (int id : {IDC_TAB_BACK, IDC_TAB_FORWARD, IDC_TAB_RELOAD, IDC_TAB_STOP}) {
    MoveWindow(GetDlgItem(hwnd(), id), x, 1, kButtonWidth, kBarHeight - 2, TRUE);
    x += kButtonWidth + 2;
  }
  const int right_buttons = 3 * (kButtonWidth + 2);
  const int address_width = std::max(40, static_cast<int>(client.right) - x - right_buttons - 2);
  MoveWindow(address_, x, 1, address_width, kBarHeight - 2, TRUE);
  x += address_width + 2;
  for (int id : {IDC_TAB_GO, IDC_TAB_FEED, IDC_TAB_CLOSE}) {
    MoveWindow(GetDlgItem(hwnd(), id), x, 1, kButtonWidth, kBarHeight - 2, TRUE);
    x += kButtonWidth + 2;
  }
  const int height = std::max(0, static_cast<int>(client.bottom) - kBarHeight);
  if (view_ != nullptr) MoveWindow(view_->hwnd(), 0, kBarHeight, client.right, height, TRUE);
  if (failure_ != nullptr) MoveWindow(failure_, 0, kBarHeight + 40, client.right, 20, TRUE);
}

void BrowserTab::UpdateFeedButton() {
  EnableWindow(GetDlgItem(hwnd(), IDC_TAB_FEED), feeds_.has_feed() ? TRUE : FALSE);
}

void BrowserTab::AddFoundFeed() {
  if (!feeds_.has_feed() || !add_feed) return;
  FeedInformation feed;
  feed.feedUrl = feeds_.feeds().front();
  if (feeds_.page_is_feed()) {
    feed.title = feeds_.summary().title;
    feed.siteUrl = feeds_.summary().site_address;
    feed.description = feeds_.summary().description;
  }
  add_feed(feed);
}

bool BrowserTab::OnBeforeNavigate(const std::string& address, const std::string& target_frame,
                                  bool top_level) {
  switch (DecideTabNavigation(address, target_frame, own_pages_)) {
    case TabNavigation::kAddFeed:
      AddFoundFeed();
      return false;
    case TabNavigation::kOpenInNewTab:
      if (open_in_new_tab) open_in_new_tab(address);
      return false;
    case TabNavigation::kCancel:
      return false;
    case TabNavigation::kGo:
      break;
  }
  if (top_level) SetWindowTextCp932(address_, address);
  return true;
}

void BrowserTab::OnNavigateComplete(const std::string& address, bool top_level) {
  if (!top_level) return;
  SetWindowTextCp932(address_, address);
  // A document the control shows as a feed is a feed even before the discovery says so.
  const bool shows_feed = view_ != nullptr && IsFeedContentType(view_->ContentType());
  const int request =
      discovery_ != nullptr && listener_ ? discovery_->StartDiscovery(listener_, address) : 0;
  if (request == 0) feeds_.Started(0);  // no discovery: forget the previous page's feeds
  if (shows_feed) feeds_.FeedFound(feeds_.request(), address);
  UpdateFeedButton();
}

void BrowserTab::OnTitleChange(const std::u16string& title) {
  SendMessageW(GetParent(hwnd()), browse_message::kTabTitle, reinterpret_cast<WPARAM>(hwnd()),
               reinterpret_cast<LPARAM>(title.c_str()));
}

bool BrowserTab::OnNewWindow(const std::string& address) {
  if (IsWebAddress(address) && open_in_new_tab) open_in_new_tab(address);
  return true;  // no window of the control's own
}

LRESULT BrowserTab::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_SIZE:
      LayOut();
      return 0;
    case WM_COMMAND:
      switch (LOWORD(w)) {
        case IDC_TAB_BACK:
          if (view_) view_->GoBack();
          return 0;
        case IDC_TAB_FORWARD:
          if (view_) view_->GoForward();
          return 0;
        case IDC_TAB_RELOAD:
          if (view_) view_->Refresh();
          return 0;
        case IDC_TAB_STOP:
          if (view_) view_->Stop();
          return 0;
        case IDC_TAB_GO:
          Navigate(WindowTextCp932(address_));
          return 0;
        case IDC_TAB_FEED:
          AddFoundFeed();
          return 0;
        case IDC_TAB_CLOSE:
          PostMessageW(GetParent(hwnd()), browse_message::kCloseBrowserTab,
                       reinterpret_cast<WPARAM>(hwnd()), 0);
          return 0;
        default:
          return 0;
      }
    case browse_message::kDiscovery: {
      const auto* note = reinterpret_cast<const DiscoveryNote*>(l);
      if (note == nullptr) return 0;
      if (note->kind == DiscoveryNote::Kind::kFeedFound) {
        feeds_.FeedFound(note->request, note->address);
      } else {
        feeds_.PageIsFeed(note->request, note->summary);
      }
      UpdateFeedButton();
      return 0;
    }
    case WM_CONTEXTMENU:
      // The tab menu of the pane ("&TabMenu").
      return SendMessageW(GetParent(hwnd()), WM_CONTEXTMENU, w, l);
    default:
      return Default(message, w, l);
  }
}

}  // namespace korvo

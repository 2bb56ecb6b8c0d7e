// One browser tab of the browse window's bottom-right pane: a row of buttons (back, forward,
// reload, stop, the feed button, close), the address field (id 108) and the web view (id 109).
// It applies the tabs' navigation rules (browse/tab_navigation.h): "about:RssAtomFile" and the
// feed button subscribe to the feed the page announced or is, "_BLANK" targets and new windows
// open new tabs, foreign "file:" pages are refused. Every page it shows is handed to the browser
// discovery; what the discovery finds arrives as message 0x4E2 (sent, on the discovery thread's
// behalf) while the tab exists.
//
// Where the web view cannot be created (Wine without its browser engine) the tab shows
// "初期化に失敗" in place of the page and is titled "ERROR"; the rest of the window works.
//
// Window thread, except the discovery listener's calls, which only send the tab a message.
#ifndef KORVO_BROWSE_WIN_BROWSER_TAB_H_
#define KORVO_BROWSE_WIN_BROWSER_TAB_H_

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "browse/tab_navigation.h"
#include "browse/web_view.h"
#include "browse/win/browse_services.h"
#include "browse/win/pane_window.h"
#include "channels/channel_tree_ops.h"
#include "channels/feed_discovery.h"

namespace korvo {

class WebViewWin;

class BrowserTab : public PaneWindow, public WebViewEvents {
 public:
  static constexpr wchar_t kClassName[] = L"KorvoBrowserTab";

  // `discovery` (may be null) outlives the tab.
  BrowserTab(const BrowseServices& services, FeedDiscovery* discovery);
  ~BrowserTab() override;

  bool Create(HWND parent, int id, const RECT& rect, const std::string& first_address);
  bool has_view() const { return view_ != nullptr; }
  WebView* view() const;
  const TabFeeds& feeds() const { return feeds_; }

  // Asked of the owner: open `address` in a new tab; subscribe to a feed.
  std::function<void(const std::string& address)> open_in_new_tab;
  std::function<void(const FeedInformation& feed)> add_feed;

  bool Navigate(const std::string& address);
  // Subscribes to the feed this tab found (the feed button, "about:RssAtomFile").
  void AddFoundFeed();

  // WebViewEvents
  bool OnBeforeNavigate(const std::string& address, const std::string& target_frame,
                        bool top_level) override;
  void OnNavigateComplete(const std::string& address, bool top_level) override;
  void OnTitleChange(const std::u16string& title) override;
  bool OnNewWindow(const std::string& address) override;

 protected:
  LRESULT Handle(UINT message, WPARAM w, LPARAM l) override;

 private:
  class Listener;
  void LayOut();
  void UpdateFeedButton();

  const BrowseServices& services_;
  FeedDiscovery* discovery_;
  std::unique_ptr<WebViewWin> view_;
  std::shared_ptr<Listener> listener_;
  TabFeeds feeds_;
  std::string own_pages_;
  HWND address_ = nullptr;
  HWND failure_ = nullptr;
  HFONT font_ = nullptr;  // the dialog font (a stock object)
};

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_BROWSER_TAB_H_

// "RightDownWindow": the bottom-right pane, a tab control (id 300, tabs 150 x 22) whose first two
// tabs are fixed, "概要" (the summary, DescWindow id 301) and "メモ" (the memo editor, id 403,
// made for the selected item), and whose further tabs are browser tabs (ids from 500 up; the
// first one opened without a name is titled "Home"). Tab titles are cut to fit 150 pixels.
//
// Messages it serves: 0x460 open a browser tab (lParam the CP932 address; wParam 0 names it
// "Home"), 0x461 a tab's title changed (wParam the tab's window, lParam the UTF-16 title), 0x462
// close a tab (wParam the tab's window; the tab to its left, or the summary, is selected), 0x469
// one item selected (lParam the ListRow: the summary shows it, a memo editor is made for it, the
// summary tab is selected), 0x4D0 a font changed. The tab strip's context menu is "&TabMenu".
//
// Window thread. It owns the browser discovery of its tabs.
#ifndef KORVO_BROWSE_WIN_DOWN_PANE_H_
#define KORVO_BROWSE_WIN_DOWN_PANE_H_

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "browse/list_row.h"
#include "browse/win/browse_services.h"
#include "browse/win/browser_tab.h"
#include "browse/win/desc_window.h"
#include "browse/win/memo_window.h"
#include "browse/win/pane_window.h"
#include "channels/feed_discovery.h"

namespace korvo {

class DownPane : public PaneWindow {
 public:
  static constexpr wchar_t kClassName[] = L"RightDownWindow";

  explicit DownPane(const BrowseServices& services);
  ~DownPane() override;

  bool Create(HWND parent, const RECT& rect);

  // Set by the frame: a discovered feed to subscribe to; a record's row changed (memo).
  std::function<void(const FeedInformation& feed)> add_feed;
  std::function<void(const ListRow& row)> row_changed;

  // Opens `address` in a new browser tab and selects it; the tab, or null.
  BrowserTab* OpenTab(const std::string& address, const std::wstring& title);
  void CloseTab(HWND tab);
  BrowserTab* CurrentBrowserTab() const;
  size_t browser_tab_count() const { return tabs_.size(); }
  DescWindow* summary() const { return desc_.get(); }
  // Selects the tab at `index` (0 summary, 1 memo, then the browser tabs).
  void SelectTab(int index);
  // Shows the tab strip's menu ("&TabMenu") at a screen point and runs its command.
  void ShowTabMenu(POINT screen);
  void OnTabCommand(int command);

 protected:
  LRESULT Handle(UINT message, WPARAM w, LPARAM l) override;

 private:
  void LayOut();
  RECT PageRect() const;
  void ShowPage();
  void ItemSelected(const ListRow& row);
  int TabIndexOf(HWND page) const;
  std::wstring FitTitle(const std::u16string& title) const;

  const BrowseServices& services_;
  HWND tabs_control_ = nullptr;
  std::unique_ptr<DescWindow> desc_;
  std::unique_ptr<MemoWindow> memo_;
  std::vector<std::unique_ptr<BrowserTab>> tabs_;
  std::unique_ptr<FeedDiscovery> discovery_;
  int next_tab_id_ = 500;
  bool home_named_ = false;
};

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_DOWN_PANE_H_

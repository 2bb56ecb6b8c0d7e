// The browse window's rules for its browser tabs: which navigations go on, which are commands,
// which addresses a tab may open at all, which feed a tab offers to subscribe to, and the tab
// titles.
//
//   - "about:RssAtomFile" is not a page: it subscribes to the feed the tab found (the tab's feed
//     button navigates there);
//   - a link whose target frame is "_BLANK" opens in a new tab;
//   - "file:" pages are the program's own: a tab shows only those inside the working folder, so a
//     page on the web cannot make a tab show the user's files;
//   - feed links (an item's link, a favourite) open in a tab only when they are "http://" or
//     "https://" addresses.
//
// Pure functions and a small state per tab; used on the window thread.
#ifndef KORVO_BROWSE_TAB_NAVIGATION_H_
#define KORVO_BROWSE_TAB_NAVIGATION_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "channels/feed_summary.h"
#include "fetch/url_text.h"  // IsWebAddress: the links a tab opens from the list or favourites

namespace korvo {

inline constexpr char kAddFeedAddress[] = "about:RssAtomFile";
inline constexpr char kBlankTarget[] = "_BLANK";
constexpr int kTabTitleWidth = 150;

enum class TabNavigation {
  kGo,            // let the control navigate
  kCancel,        // refused: the page stays
  kOpenInNewTab,  // cancelled here and opened in a new tab
  kAddFeed,       // cancelled; subscribe to the tab's feed
};

// `own_pages` is OwnPagesPrefix(working folder).
TabNavigation DecideTabNavigation(std::string_view address, std::string_view target_frame,
                                  std::string_view own_pages);

// "file:///" + the working folder (UTF-8, '/' separators) + "/", CP932, for DecideTabNavigation.
std::string OwnPagesPrefix(const std::string& working_folder_utf8);
// A "file:" address inside the folder of `own_pages` (letter case and "\" ignored; no "..").
bool IsOwnPage(std::string_view address, std::string_view own_pages);

// What a tab learned about feeds from the browser discovery of the page it shows. Notifications
// of other requests (an older page of the tab) are ignored.
class TabFeeds {
 public:
  // A new page started its discovery (request number `request`): what was found is forgotten.
  void Started(int request);
  void FeedFound(int request, const std::string& address);
  // The page itself is a feed, with its summary (title, site, description).
  void PageIsFeed(int request, const FeedSummary& summary);

  bool has_feed() const { return !feeds_.empty(); }
  const std::vector<std::string>& feeds() const { return feeds_; }
  // True when the page is a feed: its summary is then known and feeds()[0] is its address.
  bool page_is_feed() const { return page_is_feed_; }
  const FeedSummary& summary() const { return summary_; }
  int request() const { return request_; }

 private:
  int request_ = 0;
  std::vector<std::string> feeds_;
  bool page_is_feed_ = false;
  FeedSummary summary_;
};

// `title` cut so that it fits `max_width` pixels as `width_of` measures it, with "..." appended
// when cut (a surrogate pair is never split).
std::u16string FitTabTitle(const std::u16string& title, int max_width,
                           const std::function<int(const std::u16string&)>& width_of);

}  // namespace korvo

#endif  // KORVO_BROWSE_TAB_NAVIGATION_H_

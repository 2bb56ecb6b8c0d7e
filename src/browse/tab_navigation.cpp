#include "browse/tab_navigation.h"

#include <algorithm>

#include "browse/ascii_case.h"
#include "platform/code_page.h"

namespace korvo {

namespace {

// A file address made comparable: "\" as "/", and "file:" followed by any number of slashes
// as "file:///".
std::string NormalizedFileAddress(std::string_view address) {
  std::string text(address);
  std::replace(text.begin(), text.end(), '\\', '/');
  size_t at = 5;  // after "file:"
  while (at < text.size() && text[at] == '/') ++at;
  return "file:///" + text.substr(std::min(at, text.size()));
}

}  // namespace

std::string OwnPagesPrefix(const std::string& working_folder_utf8) {
  std::string folder = platform::Utf8ToCp932(working_folder_utf8);
  std::replace(folder.begin(), folder.end(), '\\', '/');
  while (!folder.empty() && folder.back() == '/') folder.pop_back();
  return NormalizedFileAddress("file:///" + folder + "/");
}

bool IsOwnPage(std::string_view address, std::string_view own_pages) {
  if (!StartsWithIgnoringAsciiCase(address, "file:") || own_pages.empty()) return false;
  const std::string normal = NormalizedFileAddress(address);
  if (normal.find("/..") != std::string::npos || normal.find("%2e") != std::string::npos ||
      normal.find("%2E") != std::string::npos) {
    return false;
  }
  return StartsWithIgnoringAsciiCase(normal, NormalizedFileAddress(own_pages));
}

TabNavigation DecideTabNavigation(std::string_view address, std::string_view target_frame,
                                  std::string_view own_pages) {
  if (EqualsIgnoringAsciiCase(address, kAddFeedAddress)) return TabNavigation::kAddFeed;
  if (StartsWithIgnoringAsciiCase(address, "file:") && !IsOwnPage(address, own_pages)) {
    return TabNavigation::kCancel;
  }
  if (EqualsIgnoringAsciiCase(target_frame, kBlankTarget)) return TabNavigation::kOpenInNewTab;
  return TabNavigation::kGo;
}

void TabFeeds::Started(int request) {
  request_ = request;
  feeds_.clear();
  page_is_feed_ = false;
  summary_ = FeedSummary();
}

void TabFeeds::FeedFound(int request, const std::string& address) {
  if (request != request_ || address.empty()) return;
  if (std::find(feeds_.begin(), feeds_.end(), address) == feeds_.end()) feeds_.push_back(address);
}

void TabFeeds::PageIsFeed(int request, const FeedSummary& summary) {
  if (request != request_) return;
  page_is_feed_ = true;
  summary_ = summary;
}

std::u16string FitTabTitle(const std::u16string& title, int max_width,
                           const std::function<int(const std::u16string&)>& width_of) {
  if (width_of(title) <= max_width) return title;
  const std::u16string ellipsis = u"...";
  // The longest prefix that fits with the ellipsis, by halving (the width grows with the length).
  size_t low = 0;
  size_t high = title.size();
  while (low < high) {
    const size_t mid = (low + high + 1) / 2;
    if (width_of(title.substr(0, mid) + ellipsis) <= max_width) {
      low = mid;
    } else {
      high = mid - 1;
    }
  }
  if (low > 0 && title[low - 1] >= 0xD800 && title[low - 1] <= 0xDBFF) --low;
  return title.substr(0, low) + ellipsis;
}

}  // namespace korvo

// The channel properties dialog's look-up: fetches the address typed into the dialog, and fills
// in the feed's title, site address and description; for a web page, follows the first feed
// the page announces.
//
// Runs on the thread that owns the dialog (the window thread). Texts are CP932.
#ifndef KORVO_CHANNELS_FEED_LOOKUP_H_
#define KORVO_CHANNELS_FEED_LOOKUP_H_

#include <cstddef>
#include <string>

#include "channels/feed_summary.h"
#include "channels/page_download.h"

namespace korvo {

// Longest address the look-up takes from the address field.
constexpr size_t kMaxLookUpAddress = 2047;

// Deepest LookUpFeed call that still follows a page's announced feed: depths 0 to 3 fetch, so a
// chain of pages (or a page that announces itself) costs at most four downloads.
constexpr int kMaxLookUpDepth = 3;

// The fields of the properties dialog the look-up reads and writes. The dialog implements it;
// tests script it.
class FeedLookUpDialog {
 public:
  virtual ~FeedLookUpDialog() = default;
  // The text of the address field.
  virtual std::string Address() = 0;
  virtual void SetAddress(const std::string& address) = 0;
  // Puts the title, description and site address into their fields (empty texts clear them).
  virtual void SetFeedFields(const FeedSummary& summary) = 0;
  // A warning message box owned by the dialog, with the warning icon.
  virtual void ShowWarning(const std::string& text, const std::string& caption) = 0;
};

struct LookUpContext {
  std::string working_folder;  // UTF-8; holds the temporary file "korvo_temp.txt"
  // Fetches in mode 0; in the program it shows the download progress window.
  PageDownloader download;
};

// Looks the address field up (call with depth 0):
// - an address of more than kMaxLookUpAddress bytes, or one that is neither "http://",
//   "https://" nor a local path: warning "無効なアドレスです。" (caption "エラー") → -1;
// - a failed download: warning "ファイル取得に失敗しました。" (caption "エラー") → -1;
// - a feed (ReadFeedSummary): its fields are filled in → 0;
// - a page whose `head` announces a feed (dialog link rules; the first link whose address can
//   be completed): that address replaces the address field and, below kMaxLookUpDepth, is
//   looked up in turn, whose result is returned;
// - otherwise (no feed, or the depth limit reached) the three fields are cleared → -1.
// The temporary file is removed before the function returns or looks further.
int LookUpFeed(FeedLookUpDialog* dialog, const LookUpContext& context, int depth = 0);

}  // namespace korvo

#endif  // KORVO_CHANNELS_FEED_LOOKUP_H_

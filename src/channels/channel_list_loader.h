// Loading `channel.opml` at start-up: creating it when missing, writing the default feeds on the
// very first start, and converting the earlier plain-text list `UrlList` into it.
//
// Files in the working folder:
//   channel.opml      the channel list; created as the empty list when missing
//   UrlList           the earlier list; written with six default feeds on the very first start,
//                     converted and then deleted, but only after channel.opml was saved with the
//                     converted channels (a failed conversion or save keeps it for the next start)
//   UrlList_bk.bak    a copy of the last converted UrlList, addresses that failed included
//   korvo_temp.txt    each downloaded feed while converting; deleted afterwards
//   old_url_list.txt  the converted channels alone; deleted afterwards
//
// Runs on the thread that creates the main window; downloads are synchronous.
#ifndef KORVO_CHANNELS_CHANNEL_LIST_LOADER_H_
#define KORVO_CHANNELS_CHANNEL_LIST_LOADER_H_

#include <cstddef>
#include <string>
#include <vector>

#include "channels/channel_list.h"
#include "channels/source_download.h"
#include "channels/user_dialogs.h"

namespace korvo {

inline constexpr char kUrlListFile[] = "UrlList";
inline constexpr char kUrlListBackupFile[] = "UrlList_bk.bak";
inline constexpr char kTempDownloadFile[] = "korvo_temp.txt";
inline constexpr char kOldUrlListFile[] = "old_url_list.txt";

// Bounds of a conversion: a larger UrlList is not converted (it stays for the user to shorten),
// lines past the count limit are left out (UrlList_bk.bak keeps them), a feed's title and
// description are cut to the given lengths on a character boundary, and a longer site address
// is left empty (a cut address would lead elsewhere).
constexpr size_t kMaxUrlListBytes = size_t{4} << 20;
constexpr size_t kMaxUrlListEntries = 4096;
constexpr size_t kMaxConvertedTitle = 1023;
constexpr size_t kMaxConvertedDescription = 4096;
constexpr size_t kMaxConvertedSiteAddress = 2047;

// What a UrlList conversion did with the addresses it read.
struct UrlListConversion {
  size_t fetched = 0;  // channels made from their feeds
  // Addresses that could not be fetched (offline, server down): kept as channels titled with
  // their address, so a first start without the network loses no subscription.
  size_t kept = 0;
  // Addresses that were fetched but hold no feed: left out (UrlList_bk.bak keeps them).
  std::vector<std::string> dropped;
  bool converted() const { return fetched + kept + dropped.size() > 0; }
};

// The closing message of a conversion (CP932, lines joined by CR LF): how many channels were
// made from their feeds, kept under their address, and which addresses were left out.
std::string UrlListConversionText(const UrlListConversion& conversion);

struct ChannelListLoadOptions {
  // Fetches each feed of UrlList; null: nothing can be fetched (every address is kept).
  SourceDownload download;
  // Receives what the conversion did; may be null. Untouched when there was none.
  UrlListConversion* conversion = nullptr;
  // The progress window of the conversion ("KorvoNewsReader チャンネルリストを移行中..."); may be
  // null.
  ProgressDisplay* progress = nullptr;
};

// Fills `list` from `working_folder` (UTF-8) as described above. 0 on success; -1 when
// channel.opml cannot be read (the list is then empty) or the converted list could not be saved
// (the list holds it, marked modified, and UrlList is kept). A readable channel.opml without a
// `body` gets one in memory.
int LoadChannelList(const std::string& working_folder, const ChannelListLoadOptions& options,
                    ChannelList* list);

// Converts the text of a UrlList into the children of `target` (a folder of `document`): one
// channel outline per line that names an http:// or https:// address whose download has a
// `channel` element, with `text` and `title` (the channel's title, or the address when it has
// none), `type` "rss", `xmlUrl`, `htmlUrl` (its `link`), `description`, and `disable` "true"
// for a line that started with "#". An address that cannot be downloaded becomes a channel
// titled with its address (disabled only when its line was); one whose download holds no
// `channel` is left out. Each download is written to `temp_path` before it is read.
UrlListConversion ConvertUrlList(const std::string& url_list_text, const SourceDownload& download,
                                 const std::string& temp_path, ProgressDisplay* progress,
                                 XmlDocument* document, XmlNode* target);

// Gives every channel outline titled with its own address (kept by a conversion while it could
// not be fetched) the title, site address and description of its feed, when the feed cache of
// `cache_folder` holds one. Returns how many were named.
size_t NameChannelsFromCache(const std::string& cache_folder, XmlNode* body);

}  // namespace korvo

#endif  // KORVO_CHANNELS_CHANNEL_LIST_LOADER_H_

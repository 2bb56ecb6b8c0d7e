// OPML import and export of the channel list, and applying or discarding the tree's changes.
//
// Threads: the thread that owns the list. Paths given by UserDialogs and import sources are
// CP932 text (as typed); file paths passed in directly are UTF-8.
#ifndef KORVO_CHANNELS_OPML_TRANSFER_H_
#define KORVO_CHANNELS_OPML_TRANSFER_H_

#include <cstddef>
#include <string>

#include "channels/channel_list.h"
#include "channels/source_download.h"
#include "channels/user_dialogs.h"

namespace korvo {

// Bounds of an import. A source above them is refused as a whole (nothing is imported): an
// OPML file is outside input, and a partial import would be hard to notice.
constexpr size_t kMaxImportBytes = size_t{16} << 20;
constexpr size_t kMaxImportOutlines = 50000;
constexpr size_t kMaxImportDepth = 64;  // outline levels below the imported `body`

struct ImportRequest {
  std::string source;           // a file path or web address (CP932); empty: ask the user
  XmlNode* selected = nullptr;  // the selected tree item; null: nothing selected
  SourceDownload download;      // for web addresses; null: they fail
  std::string working_folder;   // UTF-8; where korvo_temp.txt is written for a download
};

// Imports an OPML document into the insertion folder of `request.selected`: every child of its
// `body`, in order and with its nesting, is appended there. Character references in the
// outlines' attribute values ("&amp;") are decoded, as XML writers escape them; outlines without
// `text` take it from `title`, else from `xmlUrl` or `htmlUrl`. A source beginning with "http://"
// or "https://" is downloaded (and kept in korvo_temp.txt until the import ends); any other is read
// as a local file. Returns 0, or -1 (and nothing changes) when the user cancels, the source cannot
// be read or downloaded, the source has no `opml` element with a `body` (an HTML error page is
// refused), the list has no `body`, or a bound is exceeded. Marks the list modified.
int ImportOpml(ChannelList& list, const ImportRequest& request, UserDialogs& dialogs);

// Asks for a file name and writes the list there with SaveChannelList. 0, or -1 on Cancel or a
// failed write.
int ExportOpml(ChannelList& list, UserDialogs& dialogs);

enum class ApplyResult {
  kUnchanged,   // the list was not modified; nothing asked
  kSaved,       // the user chose OK and the file was written; the flag is cleared
  kSaveFailed,  // OK, but the write failed: the file is as it was and the list keeps its changes
  kDiscarded,   // Cancel: the list was read again from the file
};

// When the list is modified, asks "チャンネルリストは変更されています。更新しますか？" (caption
// "Channel"); OK saves it to `utf8_path`, Cancel reads it again from there.
ApplyResult ApplyChanges(ChannelList& list, const std::string& utf8_path, UserDialogs& dialogs);

// Reads the list again from `utf8_path` (a readable file without `body` gets one in memory) and
// clears the modified flag. False when the file cannot be read.
bool DiscardChanges(ChannelList& list, const std::string& utf8_path);

}  // namespace korvo

#endif  // KORVO_CHANNELS_OPML_TRANSFER_H_

// The channel list `channel.opml` held in memory: the OPML document, the `modified` flag of the
// tree views, the walk that builds the update list, and the save.
//
// Channels are `outline` elements with an `xmlUrl` and no children; every other `outline` is a
// folder. Folder options travel down the tree as FolderOptions: a folder's own option attributes
// count only where the options arriving at it have noInherit set (the root options of `body`
// always have), otherwise its sub-folders take the arriving options unchanged. A channel's own
// option attributes are never read.
//
// Every walk here is iterative, so a hostile file nested thousands of levels deep cannot exhaust
// the stack. Threads: a ChannelList is used by one thread at a time (the window thread in the
// program); BuildUpdateList only reads.
#ifndef KORVO_CHANNELS_CHANNEL_LIST_H_
#define KORVO_CHANNELS_CHANNEL_LIST_H_

#include <string>
#include <string_view>
#include <vector>

#include "channels/channel.h"
#include "channels/outline_properties.h"
#include "feed/xml_document.h"

namespace korvo {

inline constexpr char kChannelListFile[] = "channel.opml";

class ChannelList {
 public:
  // What the outlines stand for, which decides what a folder is.
  enum class Kind {
    kChannels,    // channels (`xmlUrl`, no children) and folders (every other outline)
    kFavourites,  // sites (`htmlUrl`, no children) and folders (every other outline)
  };

  // An empty list: the document of EmptyChannelListText().
  explicit ChannelList(Kind kind = Kind::kChannels);
  explicit ChannelList(XmlDocument document, Kind kind = Kind::kChannels)
      : document_(std::move(document)), kind_(kind) {}

  ChannelList(ChannelList&&) noexcept = default;
  ChannelList& operator=(ChannelList&&) noexcept = default;

  // Reads the OPML file at `utf8_path` and clears the modified flag. False when the file cannot
  // be read or holds no element at all (the list is then empty and has no `body`).
  bool LoadFile(const std::string& utf8_path);

  XmlDocument& document() { return document_; }
  const XmlDocument& document() const { return document_; }

  // The first element named "body", or null.
  XmlNode* body() const;
  // The `body`, created as the last child of the first `opml` element when missing. Null when
  // the document has no `opml` element either (then nothing is created).
  XmlNode* EnsureBody();

  Kind kind() const { return kind_; }
  // True for `body` and for the folders of this kind of list.
  bool IsFolder(const XmlNode* node) const;

  bool modified() const { return modified_; }
  void MarkModified() { modified_ = true; }
  void ClearModified() { modified_ = false; }

 private:
  XmlDocument document_;
  Kind kind_ = Kind::kChannels;
  bool modified_ = false;
};

// The next node after `node` in document order that does not leave `scope` (null scope: the
// whole document); null at the end. Descends into children first.
XmlNode* NextInDocumentOrder(const XmlNode* node, const XmlNode* scope);

// True for an `outline` element.
bool IsOutline(const XmlNode* node);
// True for an `outline` element that is a channel: it has an `xmlUrl` and no children.
bool IsChannelOutline(const XmlNode* node);
// True for a folder: an `outline` that is not a channel, or `body` itself.
bool IsFolderOutline(const XmlNode* node);

// The update list of `list`: one Channel per childless `outline` with a non-empty `xmlUrl` and
// no `disable`, with its folder options. When none qualifies (or there is no `body`), the list
// is the one PlaceholderChannel().
std::vector<Channel> BuildUpdateList(const ChannelList& list);
// The same for a document (also used for the favourites' and imported documents).
std::vector<Channel> BuildUpdateList(const XmlDocument& document);

// Writes `document` to `utf8_path` as UTF-8 through a temporary file renamed over the old one,
// so a failed save leaves the old file as it was. Unclosed start tags are closed first
// (CloseOpenElements), so the file reads back with the tree it was written from. The XML
// declaration is made to name UTF-8 whatever encoding the document was read from (the text in
// memory is CP932 and the writer converts all of it), so a list read from a Shift_JIS or EUC-JP
// file reads back unchanged. Used for `channel.opml`, `fav.opml` and exports. False on failure,
// and for a document without `body` (one LoadFile could not read as a list), which is never
// written: it would replace the file that could not be read with an empty one.
bool SaveChannelList(XmlDocument& document, const std::string& utf8_path);

// Turns every start tag below and after `start` that was never closed (kind kOpen, which has no
// children) into an empty element, so that it is written as "<x/>" and reads back in the same
// place; written as an open tag it would swallow what follows it on the next read.
void CloseOpenElements(XmlNode* start, const XmlNode* scope);

// The attributes of an element as an AttributeList, and back (replacing all of them).
AttributeList AttributesOf(const XmlNode& node);
void ReplaceAttributes(XmlNode* node, const AttributeList& attributes);

// A value from outside (a feed, a dialog) made fit for an attribute: line breaks and tabs, which
// the reader would drop without a trace, become blanks, and NUL bytes are removed.
std::string CleanAttributeValue(std::string_view value);

}  // namespace korvo

#endif  // KORVO_CHANNELS_CHANNEL_LIST_H_

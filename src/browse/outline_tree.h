// What the channel tree ("EditOpmlView") and the favourites tree ("EditFavView") show of their
// list, and what they allow, as decisions over the list's document. The windows hold one tree
// item per `outline` element (and one root item for `body`) and do the editing through
// channels/channel_tree_ops.h.
//
// Used on the window thread, which owns the list.
#ifndef KORVO_BROWSE_OUTLINE_TREE_H_
#define KORVO_BROWSE_OUTLINE_TREE_H_

#include <cstddef>
#include <string>
#include <vector>

#include "channels/channel_list.h"

namespace korvo {

// Most items a tree view is given: a hostile list of a million outlines stays usable.
constexpr size_t kMaxTreeItems = 20000;
// Longest label shown.
constexpr size_t kMaxTreeLabelBytes = 259;

struct OutlineEntry {
  XmlNode* node = nullptr;
  std::string label;  // CP932
  bool folder = false;
  bool disabled = false;  // a channel with `disable`
};

// The label of an outline: its `text`, else `title`, else its address (`xmlUrl`, then `htmlUrl`),
// on one line and cut to kMaxTreeLabelBytes.
std::string OutlineLabel(const XmlNode& outline);

// The outlines directly inside `folder` (`body` when null), in document order.
std::vector<OutlineEntry> OutlineChildren(const ChannelList& list, XmlNode* folder);

// The root item's label: "すべてのチャンネル" for the channels, "お気に入り" for favourites.
std::string TreeRootLabel(const ChannelList& list);

// The favourites' address of an outline: its `htmlUrl` (empty for a folder).
std::string FavouriteAddress(const XmlNode& outline);

}  // namespace korvo

#endif  // KORVO_BROWSE_OUTLINE_TREE_H_

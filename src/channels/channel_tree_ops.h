// The editing operations of the channel and favourites trees, as operations over the OPML
// document of a ChannelList. A tree view item stands for its `outline` element (XmlNode*); the
// root item ("すべてのチャンネル") stands for `body`. The windows call these and then update
// their items from the result; every change marks the list modified.
//
// Questions go through UserDialogs. Texts are CP932. Threads: the thread that owns the list.
#ifndef KORVO_CHANNELS_CHANNEL_TREE_OPS_H_
#define KORVO_CHANNELS_CHANNEL_TREE_OPS_H_

#include <string>

#include "channels/channel_list.h"
#include "channels/outline_properties.h"
#include "channels/user_dialogs.h"

namespace korvo {

// What the add operations are given for a channel (from a fetched feed, a dropped address, the
// discovery) and for a favourite.
struct FeedInformation {
  std::string title;
  std::string siteUrl;
  std::string feedUrl;
  std::string description;
};

// Where an insertion goes: `selected` if it is a folder (or `body`), else the folder that holds
// it; `body` when nothing is selected. Null when the list has no `body`.
XmlNode* InsertionFolder(ChannelList& list, XmlNode* selected);

// The outline in `folder` (a direct child) whose `text` equals `text`, or null.
XmlNode* FindOutlineByText(XmlNode* folder, std::string_view text);

// Adds a channel to the insertion folder of `selected`. Title and feed address are required
// (else null). When the folder already holds an outline with that `text`, the user is asked
// "同じアイテム %s があります。上書きしますか？"; OK sets its `xmlUrl` (kept as it is when only the
// part before "[" is given and it matches, so its request options stay), and `htmlUrl` and
// `description` when given, and returns it; Cancel changes nothing and returns null. Otherwise a
// new outline (`text`, `type` "rss", `xmlUrl`, `htmlUrl` and `description` when given, `title`)
// is appended and returned.
XmlNode* AddChannel(ChannelList& list, XmlNode* selected, const FeedInformation& feed,
                    UserDialogs& dialogs);

// The same for a favourite site: `text`, `htmlUrl`, `title`; the question is
// "同じサイト名 %s があります。上書きしますか？" and OK sets the existing outline's `htmlUrl`.
XmlNode* AddFavourite(ChannelList& list, XmlNode* selected, const std::string& name,
                      const std::string& address, UserDialogs& dialogs);

// Appends a new channel or folder built from the properties dialog's result to the insertion
// folder of `selected`. Null when the list has no `body` or the title is empty.
XmlNode* AddWithProperties(ChannelList& list, XmlNode* selected,
                           const OutlineProperties& properties);

// Writes the dialog's result back onto `outline`: every attribute the dialog edits is rewritten
// (cleared ones removed); the others are kept.
void EditProperties(ChannelList& list, XmlNode* outline, const OutlineProperties& properties);
// The favourite variant: name and address (`htmlUrl`, removed when empty).
void EditFavouriteProperties(ChannelList& list, XmlNode* outline, const std::string& name,
                             const std::string& address);

// Asks "フォルダ %s を削除しますか？" (folder) or "%s を削除しますか？" and on OK removes `outline`
// with everything below it. Returns the folder that held it (to be selected), or null when
// nothing was deleted (`body` and non-outlines are never deleted).
XmlNode* DeleteOutline(ChannelList& list, XmlNode* outline, UserDialogs& dialogs);

// The drop of `item` on `target`: moves it to the end of the target folder (a channel target
// stands for its folder). Nothing happens (false) when the target is null, `body`, the item
// itself, or the folder that already holds the item, or when the item is a folder and the
// destination is that folder or lies below it.
bool MoveOutline(ChannelList& list, XmlNode* item, XmlNode* target);
// Whether MoveOutline would move `item` onto `target`, without moving it (the drag's cursor).
bool MayMoveOutline(const ChannelList& list, const XmlNode* item, const XmlNode* target);

}  // namespace korvo

#endif  // KORVO_CHANNELS_CHANNEL_TREE_OPS_H_

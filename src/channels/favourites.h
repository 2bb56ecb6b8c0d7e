// The favourites list `fav.opml` in the working folder: favourite sites (`outline` elements with
// `text`, `htmlUrl` and `title`) and folders (only `text` and children), edited with the same
// operations as the channel list (channel_tree_ops.h, AddFavourite and EditFavouriteProperties).
//
// The favourites window saves the file right after a deletion and whenever it is asked to, and
// can discard its tree and read the file again (DiscardChanges of opml_transfer.h).
// Threads: the thread that owns the list.
#ifndef KORVO_CHANNELS_FAVOURITES_H_
#define KORVO_CHANNELS_FAVOURITES_H_

#include <string>

#include "channels/channel_list.h"

namespace korvo {

inline constexpr char kFavouritesFile[] = "fav.opml";

// The path of fav.opml in `working_folder` (UTF-8).
std::string FavouritesPath(const std::string& working_folder);

// Reads fav.opml into `favourites` (made a list of Kind::kFavourites), first creating it with the
// four initial favourites when it is missing. A readable file without `body` gets one in memory.
// False when the file can neither be created nor read.
bool LoadFavourites(const std::string& working_folder, ChannelList* favourites);

// Writes `favourites` to fav.opml (atomically, as UTF-8) and clears its modified flag. False
// when the write failed or the list has no `body` (fav.opml could not be read; it is kept).
bool SaveFavourites(const std::string& working_folder, ChannelList* favourites);

}  // namespace korvo

#endif  // KORVO_CHANNELS_FAVOURITES_H_

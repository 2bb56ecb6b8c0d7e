// The favourites submenu of the ticker menu ("お気に入り(&V)"), filled from fav.opml: each folder
// becomes a submenu, each site an entry whose command opens its address in the browser.
//
// Commands run from kFirstFavouriteCommand up, in document order, one per site; the menu holds at
// most kMaxFavouriteEntries sites and kMaxFavouriteDepth folder levels (deeper folders are shown
// as their entries flattened into the last level; below 64 levels nothing is shown), so a hostile
// fav.opml cannot make a menu Windows refuses to show.
//
// Pure functions over the list; used on the window thread.
#ifndef KORVO_BROWSE_FAVOURITES_MENU_H_
#define KORVO_BROWSE_FAVOURITES_MENU_H_

#include <string>
#include <vector>

#include "channels/channel_list.h"

namespace korvo {

constexpr int kFirstFavouriteCommand = 34001;
constexpr int kMaxFavouriteEntries = 999;
constexpr int kLastFavouriteCommand = kFirstFavouriteCommand + kMaxFavouriteEntries - 1;
constexpr int kMaxFavouriteDepth = 8;

constexpr bool IsFavouriteCommand(int command) {
  return command >= kFirstFavouriteCommand && command <= kLastFavouriteCommand;
}

struct FavouriteMenuEntry {
  enum class Kind { kSite, kFolderStart, kFolderEnd };
  Kind kind = Kind::kSite;
  std::string label;    // CP932, "&" doubled so it shows as itself
  std::string address;  // the site's `htmlUrl`
  int command = 0;      // sites only
};

// The menu as a flat sequence: a folder's entries lie between its kFolderStart and kFolderEnd.
// Empty folders are left out; sites without an address are left out.
std::vector<FavouriteMenuEntry> BuildFavouritesMenu(const ChannelList& favourites);

// The address of the site behind `command`, or "" when there is none.
std::string FavouriteForCommand(const std::vector<FavouriteMenuEntry>& menu, int command);

}  // namespace korvo

#endif  // KORVO_BROWSE_FAVOURITES_MENU_H_

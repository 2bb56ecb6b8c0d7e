#include "channels/favourites.h"

#include "channels/opml_templates.h"
#include "platform/files.h"

namespace korvo {

std::string FavouritesPath(const std::string& working_folder) {
  return working_folder + "/" + kFavouritesFile;
}

bool LoadFavourites(const std::string& working_folder, ChannelList* favourites) {
  const std::string path = FavouritesPath(working_folder);
  if (!platform::FileExists(path)) platform::WriteWholeFile(path, InitialFavouritesText());
  *favourites = ChannelList(ChannelList::Kind::kFavourites);
  if (!favourites->LoadFile(path)) return false;
  favourites->EnsureBody();
  return true;
}

bool SaveFavourites(const std::string& working_folder, ChannelList* favourites) {
  if (!SaveChannelList(favourites->document(), FavouritesPath(working_folder))) return false;
  favourites->ClearModified();
  return true;
}

}  // namespace korvo

#include "browse/favourites_menu.h"

#include "browse/outline_tree.h"

namespace korvo {

namespace {

std::string MenuLabel(const std::string& label) {
  std::string out;
  for (char c : label) {
    if (c == '&') out += '&';
    out += c;
  }
  return out;
}

struct Builder {
  const ChannelList& list;
  std::vector<FavouriteMenuEntry>& out;
  int next_command = kFirstFavouriteCommand;

  // Appends the entries of `folder`; false once the menu is full. Folders nested deeper than
  // kMaxWalkDepth are not walked (the recursion stays bounded whatever the file holds).
  bool Add(XmlNode* folder, int depth) {
    constexpr int kMaxWalkDepth = 64;
    if (depth > kMaxWalkDepth) return true;
    for (const OutlineEntry& entry : OutlineChildren(list, folder)) {
      if (next_command > kLastFavouriteCommand) return false;
      if (entry.folder) {
        const bool own_menu = depth < kMaxFavouriteDepth;
        const size_t start = out.size();
        if (own_menu)
          out.push_back({FavouriteMenuEntry::Kind::kFolderStart, MenuLabel(entry.label), "", 0});
        const bool more = Add(entry.node, depth + 1);
        if (own_menu) {
          if (out.size() == start + 1) {
            out.pop_back();  // an empty folder shows nothing
          } else {
            out.push_back({FavouriteMenuEntry::Kind::kFolderEnd, "", "", 0});
          }
        }
        if (!more) return false;
        continue;
      }
      const std::string address = FavouriteAddress(*entry.node);
      if (address.empty()) continue;
      out.push_back({FavouriteMenuEntry::Kind::kSite,
                     MenuLabel(entry.label.empty() ? address : entry.label), address,
                     next_command++});
    }
    return true;
  }
};

}  // namespace

std::vector<FavouriteMenuEntry> BuildFavouritesMenu(const ChannelList& favourites) {
  std::vector<FavouriteMenuEntry> menu;
  Builder builder{favourites, menu};
  builder.Add(nullptr, 0);
  return menu;
}

std::string FavouriteForCommand(const std::vector<FavouriteMenuEntry>& menu, int command) {
  for (const FavouriteMenuEntry& entry : menu) {
    if (entry.kind == FavouriteMenuEntry::Kind::kSite && entry.command == command) {
      return entry.address;
    }
  }
  return std::string();
}

}  // namespace korvo

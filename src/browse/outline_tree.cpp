#include "browse/outline_tree.h"

#include "browse/list_row.h"
#include "channels/channel_texts.h"
#include "platform/code_page.h"

namespace korvo {

std::string OutlineLabel(const XmlNode& outline) {
  for (const char* name : {"text", "title", "xmlUrl", "htmlUrl"}) {
    const std::string* value = outline.Attribute(name);
    if (value != nullptr && !value->empty()) return OneLineCell(*value, kMaxTreeLabelBytes);
  }
  return std::string();
}

std::vector<OutlineEntry> OutlineChildren(const ChannelList& list, XmlNode* folder) {
  std::vector<OutlineEntry> entries;
  if (folder == nullptr) folder = list.body();
  if (folder == nullptr) return entries;
  for (XmlNode* child = folder->first_child; child != nullptr; child = child->next) {
    if (!IsOutline(child)) continue;
    OutlineEntry entry;
    entry.node = child;
    entry.label = OutlineLabel(*child);
    entry.folder = list.IsFolder(child);
    entry.disabled = !entry.folder && child->Attribute("disable") != nullptr;
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::string TreeRootLabel(const ChannelList& list) {
  if (list.kind() == ChannelList::Kind::kFavourites) {
    static const std::string kFavourites = platform::Utf8ToCp932(u8"お気に入り");
    return kFavourites;
  }
  return GetChannelText(ChannelText::kAllChannels);
}

std::string FavouriteAddress(const XmlNode& outline) {
  const std::string* address = outline.Attribute("htmlUrl");
  return address != nullptr ? *address : std::string();
}

}  // namespace korvo

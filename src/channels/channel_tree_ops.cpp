#include "channels/channel_tree_ops.h"

#include "channels/channel_texts.h"

namespace korvo {

namespace {

XmlNode* NewOutline(XmlDocument& document) {
  XmlNode* outline = document.NewNode(XmlKind::kEmpty, "outline");
  outline->raw = "<outline/>";
  return outline;
}

AttributeList Cleaned(AttributeList attributes) {
  for (auto& attribute : attributes) attribute.second = CleanAttributeValue(attribute.second);
  return attributes;
}

bool AskOverwrite(ChannelText question, const std::string& name, UserDialogs& dialogs) {
  return dialogs.AskOkCancel(FormatText(GetChannelText(question), name),
                             GetChannelText(ChannelText::kProgramCaption));
}

// True when `node` is `ancestor` or lies below it.
bool IsWithin(const XmlNode* node, const XmlNode* ancestor) {
  for (; node != nullptr; node = node->parent) {
    if (node == ancestor) return true;
  }
  return false;
}

}  // namespace

XmlNode* InsertionFolder(ChannelList& list, XmlNode* selected) {
  if (selected == nullptr) return list.body();
  if (list.IsFolder(selected)) return selected;
  if (list.IsFolder(selected->parent)) return selected->parent;
  return list.body();
}

XmlNode* FindOutlineByText(XmlNode* folder, std::string_view text) {
  if (folder == nullptr) return nullptr;
  for (XmlNode* child = folder->first_child; child != nullptr; child = child->next) {
    if (!IsOutline(child)) continue;
    const std::string* own = child->Attribute("text");
    if (own != nullptr && *own == text) return child;
  }
  return nullptr;
}

XmlNode* AddChannel(ChannelList& list, XmlNode* selected, const FeedInformation& feed,
                    UserDialogs& dialogs) {
  const std::string title = CleanAttributeValue(feed.title);
  const std::string feed_url = CleanAttributeValue(feed.feedUrl);
  const std::string site_url = CleanAttributeValue(feed.siteUrl);
  const std::string description = CleanAttributeValue(feed.description);
  if (title.empty() || feed_url.empty()) return nullptr;
  XmlNode* folder = InsertionFolder(list, selected);
  if (folder == nullptr) return nullptr;

  if (XmlNode* existing = FindOutlineByText(folder, title)) {
    if (!AskOverwrite(ChannelText::kSameItemOverwrite, title, dialogs)) return nullptr;
    // The same address without request options keeps the options the outline already has.
    const std::string* old_url = existing->Attribute("xmlUrl");
    if (old_url == nullptr || DisplayedFeedAddress(*old_url) != feed_url) {
      existing->SetAttribute("xmlUrl", feed_url);
    }
    if (!site_url.empty()) existing->SetAttribute("htmlUrl", site_url);
    if (!description.empty()) existing->SetAttribute("description", description);
    list.MarkModified();
    return existing;
  }

  XmlDocument& document = list.document();
  XmlNode* outline = NewOutline(document);
  outline->SetAttribute("text", title);
  outline->SetAttribute("type", "rss");
  outline->SetAttribute("xmlUrl", feed_url);
  if (!site_url.empty()) outline->SetAttribute("htmlUrl", site_url);
  if (!description.empty()) outline->SetAttribute("description", description);
  outline->SetAttribute("title", title);
  if (document.AppendChild(folder, outline) != 0) return nullptr;
  list.MarkModified();
  return outline;
}

XmlNode* AddFavourite(ChannelList& list, XmlNode* selected, const std::string& name,
                      const std::string& address, UserDialogs& dialogs) {
  const std::string clean_name = CleanAttributeValue(name);
  const std::string clean_address = CleanAttributeValue(address);
  if (clean_name.empty() || clean_address.empty()) return nullptr;
  XmlNode* folder = InsertionFolder(list, selected);
  if (folder == nullptr) return nullptr;

  if (XmlNode* existing = FindOutlineByText(folder, clean_name)) {
    if (!AskOverwrite(ChannelText::kSameSiteOverwrite, clean_name, dialogs)) return nullptr;
    existing->SetAttribute("htmlUrl", clean_address);
    list.MarkModified();
    return existing;
  }

  XmlDocument& document = list.document();
  XmlNode* outline = NewOutline(document);
  outline->SetAttribute("text", clean_name);
  outline->SetAttribute("htmlUrl", clean_address);
  outline->SetAttribute("title", clean_name);
  if (document.AppendChild(folder, outline) != 0) return nullptr;
  list.MarkModified();
  return outline;
}

XmlNode* AddWithProperties(ChannelList& list, XmlNode* selected,
                           const OutlineProperties& properties) {
  if (properties.text.empty()) return nullptr;
  XmlNode* folder = InsertionFolder(list, selected);
  if (folder == nullptr) return nullptr;
  XmlDocument& document = list.document();
  XmlNode* outline = NewOutline(document);
  ReplaceAttributes(outline, Cleaned(ApplyProperties(AttributeList(), properties)));
  if (document.AppendChild(folder, outline) != 0) return nullptr;
  list.MarkModified();
  return outline;
}

void EditProperties(ChannelList& list, XmlNode* outline, const OutlineProperties& properties) {
  if (!IsOutline(outline)) return;
  ReplaceAttributes(outline, Cleaned(ApplyProperties(AttributesOf(*outline), properties)));
  list.MarkModified();
}

void EditFavouriteProperties(ChannelList& list, XmlNode* outline, const std::string& name,
                             const std::string& address) {
  if (!IsOutline(outline)) return;
  ReplaceAttributes(outline,
                    ApplyFavouriteProperties(AttributesOf(*outline), CleanAttributeValue(name),
                                             CleanAttributeValue(address)));
  list.MarkModified();
}

XmlNode* DeleteOutline(ChannelList& list, XmlNode* outline, UserDialogs& dialogs) {
  if (!IsOutline(outline)) return nullptr;
  const std::string* text = outline->Attribute("text");
  const std::string name = text != nullptr ? *text : std::string();
  const ChannelText question =
      list.IsFolder(outline) ? ChannelText::kDeleteFolder : ChannelText::kDeleteItem;
  if (!dialogs.AskOkCancel(FormatText(GetChannelText(question), name),
                           GetChannelText(ChannelText::kConfirmCaption))) {
    return nullptr;
  }
  XmlNode* parent = outline->parent;
  list.document().Remove(outline, false);
  list.MarkModified();
  return parent;
}

bool MayMoveOutline(const ChannelList& list, const XmlNode* item, const XmlNode* target) {
  if (!IsOutline(item) || target == nullptr || target == item) return false;
  if (target == list.body()) return false;
  const XmlNode* destination = list.IsFolder(target) ? target : target->parent;
  if (!list.IsFolder(destination)) return false;
  if (destination == item->parent) return false;
  return !IsWithin(destination, item);
}

bool MoveOutline(ChannelList& list, XmlNode* item, XmlNode* target) {
  if (!MayMoveOutline(list, item, target)) return false;
  XmlNode* destination = list.IsFolder(target) ? target : target->parent;
  XmlDocument& document = list.document();
  document.Detach(item);
  if (document.AppendChild(destination, item) != 0) return false;
  list.MarkModified();
  return true;
}

}  // namespace korvo

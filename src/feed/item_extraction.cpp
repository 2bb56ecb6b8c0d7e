#include "feed/item_extraction.h"

#include <cstring>
#include <initializer_list>
#include <utility>

#include "feed/comment_link.h"
#include "feed/cp932_field.h"
#include "feed/entities.h"
#include "feed/feed_encoding.h"
#include "feed/html_text.h"
#include "feed/item_fields.h"
#include "feed/title_text.h"
#include "feed/xml_document.h"
#include "platform/files.h"

namespace korvo {

namespace {

enum class Variant { kFeed, kImport };

// The first "channel", "item", "feed" and "entry" elements of a document, in document order.
struct Landmarks {
  const XmlNode* channel = nullptr;
  const XmlNode* item = nullptr;
  const XmlNode* feed = nullptr;
  const XmlNode* entry = nullptr;
};

// One walk over the whole document (stopping early once an RSS channel and item are known).
Landmarks FindLandmarks(const XmlNode* root) {
  Landmarks found;
  const XmlNode* node = root;
  while (node != nullptr) {
    if (node->IsElement()) {
      const std::string& name = node->value;
      if (found.channel == nullptr && name == "channel") found.channel = node;
      if (found.item == nullptr && name == "item") found.item = node;
      if (found.feed == nullptr && name == "feed") found.feed = node;
      if (found.entry == nullptr && name == "entry") found.entry = node;
      if (found.channel != nullptr && found.item != nullptr) break;
    }
    if (node->first_child != nullptr) {
      node = node->first_child;
      continue;
    }
    while (node != nullptr && node->next == nullptr) node = node->parent;
    if (node != nullptr) node = node->next;
  }
  return found;
}

// A field text cut to `max_bytes` and made safe.
std::string Field(std::string_view text, size_t max_bytes = kMaxItemTextBytes) {
  std::string field(text.substr(0, max_bytes + 1));
  MakeCp932Field(&field, max_bytes);
  return field;
}

// An address given by an attribute (enclosure and media "url", Atom "href"), its references
// already decoded by the reader like the text of an RSS link. Surrounding blanks removed; empty
// when absent.
std::string AddressField(const XmlNode* element, std::string_view name,
                         size_t max_bytes = kMaxItemTextBytes) {
  return Field(TrimBlanks(AttributeText(element, name)), max_bytes);
}

// The text of an element as a link: surrounding blanks removed; empty when there is none.
std::string LinkText(const XmlNode* element, std::string* scratch,
                     size_t max_bytes = kMaxItemTextBytes) {
  if (!ElementText(element, scratch)) return {};
  return Field(TrimBlanks(*scratch), max_bytes);
}

// True when the text holds a '<' or '>' (two library scans, far quicker than find_first_of).
bool HasMarkup(const std::string& text) {
  return std::memchr(text.data(), '<', text.size()) != nullptr ||
         std::memchr(text.data(), '>', text.size()) != nullptr;
}

// The plain text of a title or description: markup rendered away, then entities decoded once
// more.
std::string PlainText(const std::string& text, bool rendered, size_t max_bytes) {
  std::string plain;
  if (!rendered && HasMarkup(text)) {
    plain = RenderHtmlFragment(text, max_bytes);
  } else {
    plain = text;
  }
  if (plain.find('&') != std::string::npos) plain = DecodeEntities(plain);
  MakeCp932Field(&plain, max_bytes);
  return plain;
}

// A title from its element: the text (the first child's value), or the source text of all its
// content when it holds real child elements, so no title text is ever dropped; then as
// TitleFromText makes it. Empty (false) when the element has no text.
bool TitleText(const XmlNode* element, std::string* scratch, std::string* title) {
  if (!ElementText(element, scratch) || scratch->empty()) return false;
  bool elements = false;
  for (const XmlNode* child = element->first_child; child != nullptr && !elements;
       child = child->next) {
    elements = child->IsElement();
  }
  if (elements) *scratch = ContentSourceText(element);
  *title = TitleFromText(*scratch, elements, kMaxItemTextBytes);
  return true;
}

std::string DescriptionText(const XmlNode* element, std::string* scratch) {
  bool rendered = false;
  if (!ElementText(element, scratch, &rendered)) return {};
  return PlainText(*scratch, rendered, kMaxItemDescriptionBytes);
}

// The text of the first of `elements` that has a non-empty one, taken as it is.
std::string FirstText(const ItemFields& fields, std::initializer_list<ItemElement> elements,
                      std::string* scratch) {
  for (ItemElement element : elements) {
    if (ElementText(fields.Get(element), scratch) && !scratch->empty()) return Field(*scratch);
  }
  return {};
}

// "width height" when the element has both, else empty.
std::string SizeText(const XmlNode* element) {
  const std::string* width = element->Attribute("width");
  const std::string* height = element->Attribute("height");
  if (width == nullptr || height == nullptr) return {};
  std::string size(AttributeText(element, "width"));
  size.push_back(' ');
  size.append(AttributeText(element, "height"));
  return Field(size);
}

void AddMedia(FeedItem* item, std::string url, std::string size, std::string type) {
  if (item->media.size() >= kMaxMediaPerItem) return;
  item->media.push_back(MediaRef{std::move(url), std::move(size), std::move(type)});
}

// Enclosure fields and MediaRefs of an RSS item. The first enclosure fills the item's enclosure
// fields and each enclosure after it (its following siblings) adds a MediaRef; media content
// fills them when there is no enclosure and is added as a MediaRef when there is one, so the
// fields never mix two files. A thumbnail comes with media content only.
void TakeEnclosures(const ItemFields& fields, FeedItem* item) {
  const XmlNode* enclosure = fields.Get(ItemElement::kEnclosure);
  const XmlNode* media = fields.Get(ItemElement::kMediaContent);
  if (enclosure != nullptr) {
    item->enclosure_size = Field(AttributeText(enclosure, "length"));
    item->enclosure_url = AddressField(enclosure, "url");
    item->enclosure_type = Field(AttributeText(enclosure, "type"));
    for (const XmlNode* extra = enclosure->next; extra != nullptr; extra = extra->next) {
      if (!IsElementNamed(extra, "enclosure")) continue;
      if (item->media.size() >= kMaxMediaPerItem) break;
      AddMedia(item, AddressField(extra, "url"), Field(AttributeText(extra, "length")),
               Field(AttributeText(extra, "type")));
    }
  }
  if (media == nullptr) return;
  if (enclosure == nullptr) {
    item->enclosure_url = AddressField(media, "url");
    item->enclosure_type = Field(AttributeText(media, "type"));
    item->enclosure_size = SizeText(media);
  } else {
    AddMedia(item, AddressField(media, "url"), SizeText(media),
             Field(AttributeText(media, "type")));
  }
  if (const XmlNode* thumbnail = fields.Get(ItemElement::kMediaThumbnail)) {
    std::string type(kThumbnailTypePrefix);
    type.append(AttributeText(thumbnail, "type"));
    AddMedia(item, AddressField(thumbnail, "url"), SizeText(thumbnail), Field(type));
  }
}

// What every item of one feed shares.
struct ChannelFacts {
  std::string title;
  std::string link;
  const ChannelContext* context = nullptr;
};

FeedItem NewItem(const ChannelFacts& channel) {
  FeedItem item;
  item.site_name = channel.title;
  item.site_link = channel.link;
  item.channel = channel.context->properties;
  return item;
}

void SetLinks(const ChannelFacts& channel, std::string link, FeedItem* item) {
  if (!link.empty()) {
    item->link = std::move(link);
  } else if (!channel.link.empty()) {
    item->link = channel.link;
  } else {
    item->link = kDefaultItemLink;
  }
}

void SetCommentLink(std::string trackback, FeedItem* item) {
  item->comment_link = trackback.empty() ? Field(DeriveCommentLink(item->link)) : trackback;
}

// Appends the RSS items starting at `first` and its following siblings; returns the count.
int ExtractRssItems(const XmlNode* first, const ChannelFacts& channel, Variant variant,
                    ItemList* items) {
  int count = 0;
  std::string scratch;
  for (const XmlNode* node = first; node != nullptr && count < kMaxItemsPerFeed;
       node = node->next) {
    if (!IsElementNamed(node, "item")) continue;
    const ItemFields fields(*node);
    std::string link = LinkText(fields.Get(ItemElement::kLink), &scratch);
    std::string title;
    const bool has_title = TitleText(fields.Get(ItemElement::kTitle), &scratch, &title);
    if ((link.empty() || !has_title) && fields.Get(ItemElement::kEnclosure) == nullptr &&
        fields.Get(ItemElement::kMediaContent) == nullptr) {
      continue;
    }
    FeedItem item = NewItem(channel);
    item.title = has_title ? std::move(title) : " ";
    SetLinks(channel, std::move(link), &item);
    item.description = DescriptionText(fields.Get(ItemElement::kDescription), &scratch);
    item.date = FirstText(fields, {ItemElement::kDcDate, ItemElement::kPubDate}, &scratch);
    item.creator = FirstText(fields, {ItemElement::kDcCreator, ItemElement::kCreator}, &scratch);
    item.category = FirstText(
        fields, {ItemElement::kDcSubject, ItemElement::kDcCategory, ItemElement::kCategory},
        &scratch);
    SetCommentLink(FirstText(fields, {ItemElement::kTrackback}, &scratch), &item);
    TakeEnclosures(fields, &item);
    if (variant == Variant::kImport) {
      if (const XmlNode* site = fields.Get(ItemElement::kSiteName)) {
        ElementText(site, &scratch);
        item.site_name = Field(scratch, kMaxChannelTextBytes);
        item.site_link = AddressField(site, "url", kMaxChannelTextBytes);
      }
    }
    items->Append(std::move(item));
    ++count;
  }
  return count;
}

// Appends the Atom entries starting at `first` and its following siblings; returns the count.
int ExtractAtomEntries(const XmlNode* first, const ChannelFacts& channel, ItemList* items) {
  int count = 0;
  std::string scratch;
  for (const XmlNode* node = first; node != nullptr && count < kMaxItemsPerFeed;
       node = node->next) {
    if (!IsElementNamed(node, "entry")) continue;
    const ItemFields fields(*node);
    std::string link = AddressField(fields.Get(ItemElement::kLink), "href");
    std::string title;
    if (link.empty() || !TitleText(fields.Get(ItemElement::kTitle), &scratch, &title)) continue;
    FeedItem item = NewItem(channel);
    item.title = std::move(title);
    SetLinks(channel, std::move(link), &item);
    const XmlNode* summary = fields.Get(ItemElement::kSummary);
    item.description = DescriptionText(summary, &scratch);
    if (item.description.empty()) {
      item.description = DescriptionText(fields.Get(ItemElement::kContent), &scratch);
    }
    item.date = FirstText(fields,
                          {ItemElement::kIssued, ItemElement::kCreated, ItemElement::kPublished,
                           ItemElement::kUpdated},
                          &scratch);
    item.creator = FirstText(fields, {ItemElement::kName}, &scratch);
    item.category = FirstText(fields, {ItemElement::kSubject, ItemElement::kCategory}, &scratch);
    if (item.category.empty()) {
      item.category = Field(AttributeText(fields.Get(ItemElement::kCategory), "term"));
    }
    SetCommentLink(FirstText(fields, {ItemElement::kTrackback}, &scratch), &item);
    items->Append(std::move(item));
    ++count;
  }
  return count;
}

int Extract(std::string_view cp932_text, ItemList* items, const ChannelContext& context,
            int start_count, Variant variant) {
  if (items == nullptr || cp932_text.empty()) return start_count;
  const XmlDocument document = XmlDocument::FromMemory(cp932_text);
  const Landmarks found = FindLandmarks(document.root());

  ChannelFacts channel;
  channel.context = &context;
  std::string scratch;
  if (found.channel != nullptr) {
    channel.link =
        LinkText(FindElementInside(found.channel, "link"), &scratch, kMaxChannelTextBytes);
    if (ElementText(FindElementInside(found.channel, "title"), &scratch)) {
      channel.title = Field(scratch, kMaxChannelTextBytes);
    }
  } else if (found.feed != nullptr) {
    if (ElementText(FindElementInside(found.feed, "title"), &scratch)) {
      channel.title = Field(scratch, kMaxChannelTextBytes);
    }
    channel.link =
        AddressField(FindElementInside(found.feed, "link"), "href", kMaxChannelTextBytes);
  }
  if (context.overwrite & 1u) channel.link = Field(context.site_url, kMaxChannelTextBytes);
  if (context.overwrite & 2u) channel.title = Field(context.title, kMaxChannelTextBytes);

  if (!channel.link.empty() && context.on_site_link) {
    context.on_site_link(Field(channel.link, kMaxSiteLinkBytes));
  }

  int appended = 0;
  if (found.item != nullptr) {
    appended = ExtractRssItems(found.item, channel, variant, items);
  } else if (found.entry != nullptr) {
    appended = ExtractAtomEntries(found.entry, channel, items);
  }
  return start_count + appended;
}

}  // namespace

int ExtractFeedItems(std::string_view cp932_text, ItemList* items, const ChannelContext& channel,
                     int start_count) {
  return Extract(cp932_text, items, channel, start_count, Variant::kFeed);
}

int ExtractImportedItems(std::string_view cp932_text, ItemList* items,
                         const ChannelContext& channel, int start_count) {
  return Extract(cp932_text, items, channel, start_count, Variant::kImport);
}

int ParseFeedBytes(std::string_view bytes, const ChannelContext& channel, ItemList* items) {
  if (bytes.empty()) return 0;
  const std::string text = FeedBytesToInternal(bytes, DetectFeedEncoding(bytes));
  return ExtractFeedItems(text, items, channel, 0);
}

int ImportFeedFile(const std::string& path, const ChannelContext& channel, ItemList* items) {
  std::string bytes;
  if (items == nullptr || !platform::ReadWholeFile(path, &bytes, kMaxFeedFileBytes)) return 0;
  const int count = ExtractImportedItems(FeedBytesToInternal(bytes), items, channel, 0);
  items->RebuildIndex(false);
  return count;
}

}  // namespace korvo

// The elements of one feed item or entry that the extraction reads, found in one walk over the
// item's subtree, and the ways their texts are taken. Only elements count: a text or comment that
// happens to read "link" is never taken for the element.
#ifndef KORVO_FEED_ITEM_FIELDS_H_
#define KORVO_FEED_ITEM_FIELDS_H_

#include <array>
#include <string>
#include <string_view>

#include "feed/xml_document.h"

namespace korvo {

// The element names an item may hold.
enum class ItemElement : int {
  kLink,
  kTitle,
  kDescription,
  kDcDate,
  kPubDate,
  kDcCreator,
  kCreator,
  kDcSubject,
  kDcCategory,
  kCategory,
  kTrackback,
  kEnclosure,
  kMediaContent,
  kMediaThumbnail,
  kSiteName,
  kSummary,
  kContent,
  kIssued,
  kCreated,
  kPublished,
  kUpdated,
  kName,
  kSubject,
  kCount,
};

// The first element of each name inside one item, in document order (descendants at any depth,
// never the item itself, never anything after it).
class ItemFields {
 public:
  explicit ItemFields(const XmlNode& item);
  const XmlNode* Get(ItemElement element) const { return found_[static_cast<int>(element)]; }

 private:
  std::array<const XmlNode*, static_cast<int>(ItemElement::kCount)> found_{};
};

// True for an element (start tag, empty or closed) named `name`.
inline bool IsElementNamed(const XmlNode* node, std::string_view name) {
  return node != nullptr && node->IsElement() && node->value == name;
}

// The text of an element: the value of its first child that is not a comment (text and CDATA
// as they are). When that child is an element (markup written straight into the feed), the
// element's content rendered to plain text instead, and `*rendered` is set. Returns false when
// the element is null or has no such child; `*out` is then empty.
bool ElementText(const XmlNode* element, std::string* out, bool* rendered = nullptr);

// The value of attribute `name`, without one pair of surrounding single quotes (which the reader
// keeps); empty when absent.
std::string_view AttributeText(const XmlNode* element, std::string_view name);

}  // namespace korvo

#endif  // KORVO_FEED_ITEM_FIELDS_H_

#include "feed/item_fields.h"

#include "feed/html_text.h"

namespace korvo {

namespace {

constexpr int kNone = -1;

int Slot(ItemElement element) { return static_cast<int>(element); }

// The slot of an element name, or kNone; dispatched on the length so most names cost one or two
// comparisons.
int SlotOf(const std::string& name) {
  switch (name.size()) {
    case 4:
      if (name == "link") return Slot(ItemElement::kLink);
      if (name == "name") return Slot(ItemElement::kName);
      return kNone;
    case 5:
      return name == "title" ? Slot(ItemElement::kTitle) : kNone;
    case 6:
      return name == "issued" ? Slot(ItemElement::kIssued) : kNone;
    case 7:
      switch (name[0]) {
        case 'p':
          return name == "pubDate" ? Slot(ItemElement::kPubDate) : kNone;
        case 'd':
          return name == "dc:date" ? Slot(ItemElement::kDcDate) : kNone;
        case 'c':
          if (name == "creator") return Slot(ItemElement::kCreator);
          if (name == "created") return Slot(ItemElement::kCreated);
          if (name == "content") return Slot(ItemElement::kContent);
          return kNone;
        case 's':
          if (name == "summary") return Slot(ItemElement::kSummary);
          if (name == "subject") return Slot(ItemElement::kSubject);
          return kNone;
        case 'u':
          return name == "updated" ? Slot(ItemElement::kUpdated) : kNone;
        default:
          return kNone;
      }
    case 8:
      if (name == "category") return Slot(ItemElement::kCategory);
      if (name == "sitename") return Slot(ItemElement::kSiteName);
      return kNone;
    case 9:
      if (name == "enclosure") return Slot(ItemElement::kEnclosure);
      if (name == "published") return Slot(ItemElement::kPublished);
      return kNone;
    case 10:
      if (name == "dc:creator") return Slot(ItemElement::kDcCreator);
      if (name == "dc:subject") return Slot(ItemElement::kDcSubject);
      return kNone;
    case 11:
      if (name == "description") return Slot(ItemElement::kDescription);
      if (name == "dc:category") return Slot(ItemElement::kDcCategory);
      return kNone;
    case 13:
      return name == "media:content" ? Slot(ItemElement::kMediaContent) : kNone;
    case 14:
      return name == "trackback:ping" ? Slot(ItemElement::kTrackback) : kNone;
    case 15:
      return name == "media:thumbnail" ? Slot(ItemElement::kMediaThumbnail) : kNone;
    default:
      return kNone;
  }
}

// The node after `node` in document order within `top`'s subtree, or null when the subtree is
// done. Follows the links, so it needs no stack however deep the tree is.
const XmlNode* NextInside(const XmlNode* node, const XmlNode* top) {
  if (node->first_child != nullptr) return node->first_child;
  while (node != top) {
    if (node->next != nullptr) return node->next;
    node = node->parent;
    if (node == nullptr) return nullptr;
  }
  return nullptr;
}

}  // namespace

ItemFields::ItemFields(const XmlNode& item) {
  for (const XmlNode* node = item.first_child; node != nullptr; node = NextInside(node, &item)) {
    if (!node->IsElement()) continue;
    const int slot = SlotOf(node->value);
    if (slot != kNone && found_[slot] == nullptr) found_[slot] = node;
  }
}

bool ElementText(const XmlNode* element, std::string* out, bool* rendered) {
  out->clear();
  if (rendered != nullptr) *rendered = false;
  if (element == nullptr) return false;
  const XmlNode* child = element->first_child;
  while (child != nullptr &&
         (child->kind == XmlKind::kComment || child->kind == XmlKind::kDeclaration)) {
    child = child->next;
  }
  if (child == nullptr) return false;
  if (child->IsElement()) {
    RenderNodesAsText(child, out);
    if (rendered != nullptr) *rendered = true;
    return true;
  }
  out->assign(child->value);
  return true;
}

std::string_view AttributeText(const XmlNode* element, std::string_view name) {
  if (element == nullptr) return {};
  const std::string* value = element->Attribute(name);
  if (value == nullptr) return {};
  std::string_view text = *value;
  if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') {
    text = text.substr(1, text.size() - 2);
  }
  return text;
}

}  // namespace korvo

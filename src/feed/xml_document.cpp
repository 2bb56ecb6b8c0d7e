// XmlDocument: the memory and HTML-fragment variants, the life cycle and the search.
#include "feed/xml_document.h"

#include "feed/xml_tree_builder.h"

namespace korvo {

XmlDocument::XmlDocument(Variant variant) : variant_(variant) {}

XmlDocument::XmlDocument(XmlDocument&& other) noexcept
    : variant_(other.variant_),
      root_(other.root_),
      declarations_(std::move(other.declarations_)),
      encoding_(other.encoding_),
      nodes_(std::move(other.nodes_)),
      last_appended_(other.last_appended_) {
  other.root_ = nullptr;
  other.last_appended_ = nullptr;
  other.declarations_.clear();
  other.nodes_.clear();
}

XmlDocument& XmlDocument::operator=(XmlDocument&& other) noexcept {
  if (this != &other) {
    variant_ = other.variant_;
    root_ = other.root_;
    declarations_ = std::move(other.declarations_);
    encoding_ = other.encoding_;
    nodes_ = std::move(other.nodes_);
    last_appended_ = other.last_appended_;
    other.last_appended_ = nullptr;
    other.root_ = nullptr;
    other.declarations_.clear();
    other.nodes_.clear();
  }
  return *this;
}

// The nodes live in the arena, so destroying it frees every tree, however deep, without
// recursion.
XmlDocument::~XmlDocument() = default;

XmlDocument XmlDocument::FromMemory(std::string_view cp932_text) {
  XmlDocument document(Variant::kMemory);
  XmlTreeBuilder builder(&document);
  builder.Feed(cp932_text.empty() ? std::string_view("<dummy></dummy>") : cp932_text);
  builder.Finish();
  return document;
}

XmlDocument XmlDocument::FromHtmlFragment(std::string_view cp932_text) {
  XmlDocument document(Variant::kHtmlFragment);
  XmlTreeBuilder builder(&document);
  builder.Feed("<dummy>");
  builder.Feed(cp932_text);
  builder.Feed("</dummy>");
  builder.Finish();
  return document;
}

XmlNode* XmlDocument::Find(std::string_view name, XmlNode* start) const {
  return FindElement(start != nullptr ? start : root_, name);
}

XmlNode* XmlDocument::FindInside(std::string_view name, XmlNode* element) const {
  return FindElementInside(element != nullptr ? element : root_, name);
}

XmlNode* FindElement(const XmlNode* start, std::string_view name) {
  XmlNode* node = const_cast<XmlNode*>(start);
  if (node == nullptr) return nullptr;
  const XmlNode* const boundary = node->parent;  // the search never climbs to it
  while (node != nullptr) {
    if (node->IsElement() && node->value == name) return node;
    if (node->first_child != nullptr) {
      node = node->first_child;
      continue;
    }
    while (node != nullptr && node->next == nullptr) {
      node = node->parent;
      if (node == boundary) return nullptr;
    }
    if (node != nullptr) node = node->next;
  }
  return nullptr;
}

XmlNode* FindElementInside(const XmlNode* parent, std::string_view name) {
  if (parent == nullptr || parent->first_child == nullptr) return nullptr;
  return FindElement(parent->first_child, name);
}

}  // namespace korvo

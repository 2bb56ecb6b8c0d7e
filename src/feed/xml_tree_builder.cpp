// The builder half of XmlTreeBuilder: classification of finished tokens, the node stack and the
// matching of end tags.
#include "feed/xml_tree_builder.h"

#include <cstring>
#include <new>

#include "feed/entities.h"
#include "feed/xml_token_parts.h"

namespace korvo {
namespace {

bool OnlyBlanks(const std::string& raw) {
  for (char c : raw) {
    if (c != ' ' && c != '\t') return false;
  }
  return true;
}

std::string DecodeText(const std::string& raw) {
  if (std::memchr(raw.data(), '&', raw.size()) == nullptr) return raw;
  return DecodeEntities(raw);
}

}  // namespace

XmlTreeBuilder::XmlTreeBuilder(XmlDocument* document)
    : document_(document),
      html_fragment_(document->variant() == XmlDocument::Variant::kHtmlFragment) {
  token_.reserve(256);
}

XmlNode* XmlTreeBuilder::NewNode(XmlKind kind) {
  XmlNode& node = document_->nodes_.emplace_back();
  node.kind = kind;
  node.raw = token_;
  return &node;
}

void XmlTreeBuilder::Push(XmlNode* node) { stack_.push_back(node); }

void XmlTreeBuilder::FinishToken() {
  if (token_.empty() || OnlyBlanks(token_)) return;
  XmlKind kind = ApplyVariantRule(token_, ClassifyToken(token_), html_fragment_);
  if (kind != XmlKind::kEnd && document_->nodes_.size() >= kMaxXmlNodes) return;
  switch (kind) {
    case XmlKind::kEnd:
      CloseElement(token_);
      return;
    case XmlKind::kDeclaration: {
      XmlNode* node = NewNode(kind);
      node->value = DecodeText(node->raw);
      if (!html_fragment_) {
        ParseAttributes(node->raw, &node->attributes);
        XmlEncoding declared;
        // A declaration without an "encoding" attribute (a style sheet, or a plain
        // <?xml version="1.0"?>) leaves the encoding as it was.
        if (DeclaredEncoding(node->attributes, &declared)) document_->encoding_ = declared;
      }
      document_->declarations_.push_back(node);
      return;
    }
    case XmlKind::kComment: {
      XmlNode* node = NewNode(kind);
      node->value = node->raw;
      Push(node);
      return;
    }
    case XmlKind::kOpen:
    case XmlKind::kEmpty:
    case XmlKind::kElement: {
      XmlNode* node = NewNode(kind);
      node->value = ExtractName(node->raw);
      ParseAttributes(node->raw, &node->attributes);
      Push(node);
      if (kind == XmlKind::kOpen) ++open_counts_[StartTagKey(node->raw)];
      return;
    }
    case XmlKind::kCdata: {
      XmlNode* node = NewNode(kind);
      node->value.assign(node->raw, 9, node->raw.size() - 12);
      Push(node);
      return;
    }
    case XmlKind::kText: {
      XmlNode* node = NewNode(kind);
      node->value = DecodeText(node->raw);
      Push(node);
      return;
    }
  }
}

// Counts that reach zero stay in the map: names repeat, and keeping them saves a node
// allocation per start tag.
void XmlTreeBuilder::ForgetOpen(const XmlNode* node) {
  const auto it = open_counts_.find(StartTagKey(node->raw));
  if (it != open_counts_.end() && it->second > 0) --it->second;
}

void XmlTreeBuilder::CloseElement(std::string_view raw) {
  const std::string_view key = EndTagKey(raw);
  const auto open = open_counts_.find(key);
  if (open == open_counts_.end() || open->second == 0) return;  // no match: ignored
  size_t match = stack_.size();
  while (match > 0) {
    --match;
    const XmlNode* candidate = stack_[match];
    if (candidate->kind == XmlKind::kOpen && StartTagKey(candidate->raw) == key) break;
  }
  XmlNode* element = stack_[match];
  ForgetOpen(element);
  element->kind = XmlKind::kElement;
  XmlNode* previous = nullptr;
  for (size_t k = match + 1; k < stack_.size(); ++k) {
    XmlNode* child = stack_[k];
    if (child->kind == XmlKind::kOpen) ForgetOpen(child);
    child->parent = element;
    child->previous = previous;
    if (previous == nullptr) {
      element->first_child = child;
    } else {
      previous->next = child;
    }
    previous = child;
  }
  stack_.resize(match + 1);
}

void XmlTreeBuilder::Finish() {
  try {
    if (!carry_.empty()) {
      const std::string rest = std::move(carry_);
      carry_.clear();
      Tokenize(rest, /*last=*/true);
    }
    if (state_ != kBetween) FinishToken();
  } catch (const std::bad_alloc&) {
    // The last token is lost; the nodes built so far are still linked below.
  }
  carry_.clear();
  token_.clear();
  state_ = kBetween;
  XmlNode* previous = nullptr;
  for (XmlNode* node : stack_) {
    node->parent = nullptr;
    node->previous = previous;
    if (previous == nullptr) {
      document_->root_ = node;
    } else {
      previous->next = node;
    }
    previous = node;
  }
  stack_.clear();
  open_counts_.clear();
}

}  // namespace korvo

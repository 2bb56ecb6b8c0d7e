// XmlDocument's editing operations: new nodes, copies, and relinking within the tree.
#include <vector>

#include "feed/xml_document.h"

namespace korvo {
namespace {

// True when `node` is `ancestor` or lies in its subtree.
bool IsWithin(const XmlNode* node, const XmlNode* ancestor) {
  for (; node != nullptr; node = node->parent) {
    if (node == ancestor) return true;
  }
  return false;
}

void MakeParentElement(XmlNode* parent) {
  if (parent->kind == XmlKind::kOpen || parent->kind == XmlKind::kEmpty) {
    parent->kind = XmlKind::kElement;
  }
}

}  // namespace

XmlNode* XmlDocument::NewNode(XmlKind kind, std::string_view value) {
  XmlNode& node = nodes_.emplace_back();
  node.kind = kind;
  node.value.assign(value);
  return &node;
}

XmlNode* XmlDocument::CopySubtree(const XmlNode& node) {
  // Walks the source in document order without recursion; `copy` follows along in the new tree.
  const auto copy_fields = [this](const XmlNode& from) {
    XmlNode& to = nodes_.emplace_back();
    to.kind = from.kind;
    to.raw = from.raw;
    to.value = from.value;
    to.attributes = from.attributes;
    return &to;
  };
  XmlNode* const top = copy_fields(node);
  const XmlNode* source = &node;
  XmlNode* copy = top;
  while (true) {
    if (source->first_child != nullptr) {
      source = source->first_child;
      XmlNode* child = copy_fields(*source);
      child->parent = copy;
      copy->first_child = child;
      copy = child;
      continue;
    }
    // Climb to the nearest node with a following sibling, stopping at the top of the copy.
    while (source != &node && source->next == nullptr) {
      source = source->parent;
      copy = copy->parent;
    }
    if (source == &node) return top;
    source = source->next;
    XmlNode* sibling = copy_fields(*source);
    sibling->parent = copy->parent;
    sibling->previous = copy;
    copy->next = sibling;
    copy = sibling;
  }
}

int XmlDocument::AppendChild(XmlNode* parent, XmlNode* node) {
  if (parent == nullptr) parent = Find("body");
  if (parent == nullptr || node == nullptr || IsWithin(parent, node)) return -1;
  Detach(node);
  MakeParentElement(parent);
  node->parent = parent;
  if (parent->first_child == nullptr) {
    parent->first_child = node;
    last_appended_ = node;
    return 0;
  }
  // A node whose parent is `parent` and that has no next sibling is the last child, so the
  // previous append's node, when still there, saves walking the children (imports append
  // thousands of outlines to one folder).
  XmlNode* last = last_appended_;
  if (last == nullptr || last == node || last->parent != parent || last->next != nullptr) {
    last = parent->first_child;
    while (last->next != nullptr) last = last->next;
  }
  last->next = node;
  node->previous = last;
  last_appended_ = node;
  return 0;
}

void XmlDocument::Detach(XmlNode* node) {
  if (node == nullptr) return;
  if (node->previous != nullptr) {
    node->previous->next = node->next;
  } else if (node->parent != nullptr) {
    if (node->parent->first_child == node) node->parent->first_child = node->next;
  } else if (root_ == node) {
    root_ = node->next;
  }
  if (node->next != nullptr) node->next->previous = node->previous;
  node->next = nullptr;
  node->previous = nullptr;
  node->parent = nullptr;
}

void XmlDocument::InsertAfter(XmlNode* node, XmlNode* sibling, XmlNode* parent) {
  if (node == nullptr || node == sibling || IsWithin(sibling, node) || IsWithin(parent, node)) {
    return;
  }
  Detach(node);
  if (sibling != nullptr) {
    node->parent = sibling->parent;
    node->previous = sibling;
    node->next = sibling->next;
    if (sibling->next != nullptr) sibling->next->previous = node;
    sibling->next = node;
    return;
  }
  XmlNode*& first = parent != nullptr ? parent->first_child : root_;
  if (parent != nullptr) MakeParentElement(parent);
  node->parent = parent;
  node->next = first;
  if (first != nullptr) first->previous = node;
  first = node;
}

int XmlDocument::Move(XmlNode* node, int direction, XmlNode* after) {
  if (node == nullptr) return -3;
  if (direction == 0) {
    XmlNode* previous = node->previous;
    if (previous == nullptr) return -1;
    XmlNode* parent = node->parent;
    InsertAfter(node, previous->previous, parent);
    return 0;
  }
  if (direction == 1) {
    XmlNode* next = node->next;
    if (next == nullptr) return -2;
    InsertAfter(node, next, nullptr);
    return 0;
  }
  if (after == nullptr || after == node || IsWithin(after, node)) return -3;
  InsertAfter(node, after, nullptr);
  return 0;
}

void XmlDocument::Remove(XmlNode* node, bool keep_children) {
  if (node == nullptr) return;
  if (keep_children) {
    // The children move, in order, to the node's place.
    XmlNode* place = node;
    XmlNode* child = node->first_child;
    node->first_child = nullptr;
    while (child != nullptr) {
      XmlNode* following = child->next;
      child->parent = nullptr;
      child->previous = nullptr;
      child->next = nullptr;
      InsertAfter(child, place, nullptr);
      place = child;
      child = following;
    }
  }
  // The node stays in the arena (pointers to it stay valid) but leaves the tree.
  Detach(node);
}

}  // namespace korvo

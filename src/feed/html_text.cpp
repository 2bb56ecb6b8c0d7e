#include "feed/html_text.h"

#include <vector>

#include "feed/html_text_rows.h"

namespace korvo {

namespace {

const HtmlTextRow* RowFor(const XmlNode& node) {
  return node.IsElement() ? HtmlTextRowFor(node.value) : nullptr;
}

bool IsText(const XmlNode& node) {
  return node.kind == XmlKind::kText || node.kind == XmlKind::kCdata;
}

}  // namespace

void RenderNodesAsText(const XmlNode* first, std::string* out, size_t max_bytes) {
  if (first == nullptr) return;
  const XmlNode* const boundary = first->parent;  // the walk never climbs above this
  std::vector<const char*> waiting;               // "after" texts of unclosed start tags
  const XmlNode* node = first;
  while (node != nullptr && out->size() < max_bytes) {
    if (IsText(*node)) {
      out->append(node->value);
      if (!waiting.empty()) {
        out->append(waiting.back());
        waiting.pop_back();
      }
    } else if (const HtmlTextRow* row = RowFor(*node)) {
      out->append(row->before);
      if (node->kind == XmlKind::kOpen) {
        waiting.push_back(row->after);
      } else if (node->kind != XmlKind::kElement || node->first_child == nullptr) {
        out->append(row->after);
      }
    }
    if (node->kind == XmlKind::kElement && node->first_child != nullptr) {
      node = node->first_child;
      continue;
    }
    // Leave finished elements, writing their "after" texts, up to the next sibling.
    while (node != nullptr && node->next == nullptr) {
      node = node->parent;
      if (node == boundary) return;
      if (node == nullptr || out->size() >= max_bytes) return;
      if (const HtmlTextRow* closed = RowFor(*node)) out->append(closed->after);
    }
    if (node != nullptr) node = node->next;
  }
}

}  // namespace korvo

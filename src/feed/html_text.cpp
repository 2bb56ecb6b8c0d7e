#include "feed/html_text.h"

#include <vector>

namespace korvo {

namespace {

// One row of the rendering table: the tag name prefixes it applies to (case as written) and the
// texts written before and after the element's content.
struct TextRow {
  const char* prefixes[4];
  const char* before;
  const char* after;
};

// Tried in this order; the first row with a prefix of the tag's name applies.
constexpr TextRow kRows[] = {
    {{"img", "IMG"}, " ", ""},
    {{"br", "BR"}, "\r\n", ""},
    {{"p", "P"}, "\r\n", "\r\n"},
    {{"BLOCKQUOTE", "blockquote", "Q", "q"}, "\r\n\r\n", "\r\n\r\n"},
    {{"A", "a"}, " ", " "},
    {{"DT", "dt"}, "", "\r\n"},
    {{"DD", "dd"}, "    ", "\r\n"},
    {{"OL", "ol"}, "\r\n", "\r\n"},
    {{"LI", "li"}, "  ", "\r\n"},
    {{"UL", "ul", "TABLE", "table"}, "\r\n", "\r\n"},
    {{"TR", "tr"}, "", "\r\n"},
    {{"TD", "td"}, "   ", ""},
    {{"HR", "hr"}, "--------\r\n", ""},
};

bool StartsWith(const std::string& name, const char* prefix) {
  size_t i = 0;
  for (; prefix[i] != '\0'; ++i) {
    if (i >= name.size() || name[i] != prefix[i]) return false;
  }
  return true;
}

const TextRow* RowFor(const XmlNode& node) {
  if (node.value.empty()) return nullptr;
  // Every prefix of the table starts with one of these letters; most tags are ruled out here.
  switch (node.value[0]) {
    case 'i':
    case 'I':
    case 'b':
    case 'B':
    case 'p':
    case 'P':
    case 'q':
    case 'Q':
    case 'a':
    case 'A':
    case 'd':
    case 'D':
    case 'o':
    case 'O':
    case 'l':
    case 'L':
    case 'u':
    case 'U':
    case 't':
    case 'T':
    case 'h':
    case 'H':
      break;
    default:
      return nullptr;
  }
  for (const TextRow& row : kRows) {
    for (const char* prefix : row.prefixes) {
      if (prefix != nullptr && StartsWith(node.value, prefix)) return &row;
    }
  }
  return nullptr;
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
    const TextRow* row = node->IsElement() ? RowFor(*node) : nullptr;
    if (IsText(*node)) {
      out->append(node->value);
      if (!waiting.empty()) {
        out->append(waiting.back());
        waiting.pop_back();
      }
    } else if (row != nullptr) {
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
      if (const TextRow* closed = RowFor(*node)) out->append(closed->after);
    }
    if (node != nullptr) node = node->next;
  }
}

std::string RenderHtmlFragment(std::string_view cp932_html, size_t max_bytes) {
  std::string text;
  text.reserve(cp932_html.size());
  const XmlDocument fragment = XmlDocument::FromHtmlFragment(cp932_html);
  RenderNodesAsText(fragment.root(), &text, max_bytes);
  return text;
}

}  // namespace korvo

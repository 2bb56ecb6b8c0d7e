// XmlDocument::Write and SaveUtf8: the document as indented text.
#include <algorithm>
#include <string>

#include "feed/feed_encoding.h"
#include "feed/text_file_replace.h"
#include "feed/xml_document.h"
#include "feed/xml_token_parts.h"

namespace korvo {
namespace {

// Deeper nodes are indented like this depth, so a hostile depth cannot make the text quadratic.
constexpr size_t kMaxIndent = 64;

void Indent(size_t depth, std::string* out) { out->append(std::min(depth, kMaxIndent), '\t'); }

// Text is written with '&', '<' and '>' as references; the reader decodes them back.
void AppendText(const std::string& text, std::string* out) {
  for (char c : text) {
    switch (c) {
      case '&': out->append("&amp;"); break;
      case '<': out->append("&lt;"); break;
      case '>': out->append("&gt;"); break;
      default: out->push_back(c);
    }
  }
}

// Attribute values are escaped as XML requires (other programs read exported lists), and the
// reader decodes the references back, so every value reads back exactly.
void AppendAttributeValue(const std::string& value, std::string* out) {
  for (char c : value) {
    switch (c) {
      case '&': out->append("&amp;"); break;
      case '<': out->append("&lt;"); break;
      case '"': out->append("&quot;"); break;
      case '>': out->append("&gt;"); break;
      default: out->push_back(c);
    }
  }
}

// CDATA content; a "]]>" inside it is split over two sections.
void AppendCdata(const std::string& content, std::string* out) {
  out->append("<![CDATA[");
  size_t from = 0;
  for (size_t at; (at = content.find("]]>", from)) != std::string::npos; from = at + 2) {
    out->append(content, from, at + 2 - from);
    out->append("]]><![CDATA[");
  }
  out->append(content, from, std::string::npos);
  out->append("]]>");
}

void AppendStartTag(const XmlNode& node, std::string* out) {
  out->push_back('<');
  out->append(node.value);
  for (const XmlAttribute& attribute : node.attributes) {
    out->push_back(' ');
    out->append(attribute.name);
    out->append(" = \"");
    AppendAttributeValue(attribute.value, out);
    out->push_back('"');
  }
}

// Writes one node without its children; true when its children and end tag follow.
bool AppendNodeOpening(const XmlNode& node, size_t depth, std::string* out) {
  Indent(depth, out);
  switch (node.kind) {
    case XmlKind::kComment:
      out->append(node.value);
      out->push_back('\n');
      return false;
    case XmlKind::kText:
      AppendText(node.value, out);
      out->push_back('\n');
      return false;
    case XmlKind::kCdata:
      AppendCdata(node.value, out);
      out->push_back('\n');
      return false;
    case XmlKind::kDeclaration:
      out->append(node.raw.empty() ? "<?" + node.value + "?>" : node.raw);
      out->push_back('\n');
      return false;
    case XmlKind::kEmpty:
      AppendStartTag(node, out);
      out->append("/>\n");
      return false;
    case XmlKind::kOpen:
    case XmlKind::kEnd:
      AppendStartTag(node, out);
      out->append(">\n");
      return false;
    case XmlKind::kElement:
      AppendStartTag(node, out);
      out->append(">\n");
      return true;
  }
  return false;
}

void AppendEndTag(const XmlNode& node, size_t depth, std::string* out) {
  Indent(depth, out);
  out->append("</");
  out->append(node.value);
  out->append(">\n");
}

// The declarations, with their encoding named as UTF-8 when `as_utf8` (the text is then saved
// in UTF-8), then the tree. Walks the tree in document order without recursion.
std::string WriteDocument(const XmlDocument& document, bool as_utf8) {
  std::string out;
  for (const XmlNode* declaration : document.declarations()) {
    XmlEncoding declared;
    if (as_utf8 && DeclaredEncoding(declaration->attributes, &declared) &&
        declared != XmlEncoding::kUtf8) {
      const std::string& raw = declaration->raw;
      std::string text = raw.substr(0, raw.find(' '));  // "<?xml"
      for (const XmlAttribute& attribute : declaration->attributes) {
        if (attribute.name == "?") continue;  // the "?" of "?>"
        text += ' ' + attribute.name + "=\"" +
                (attribute.name == "encoding" ? std::string("UTF-8")
                                             : std::string(DeclarationValue(attribute.value))) +
                '"';
      }
      out.append(text).append("?>\n");
    } else {
      out.append(declaration->raw.empty() ? declaration->value : declaration->raw);
      out.push_back('\n');
    }
  }
  const XmlNode* node = document.root();
  size_t depth = 0;
  while (node != nullptr) {
    if (AppendNodeOpening(*node, depth, &out)) {
      if (node->first_child != nullptr) {
        node = node->first_child;
        ++depth;
        continue;
      }
      AppendEndTag(*node, depth, &out);
    }
    // Close every element whose last child is done, up to the next sibling.
    while (node != nullptr && node->next == nullptr) {
      node = node->parent;
      if (node == nullptr) break;
      --depth;
      AppendEndTag(*node, depth, &out);
    }
    if (node != nullptr) node = node->next;
  }
  return out;
}

}  // namespace

std::string XmlDocument::Write() const { return WriteDocument(*this, /*as_utf8=*/false); }

bool XmlDocument::SaveUtf8(const std::string& utf8_path) const {
  return WriteFileReplacing(utf8_path, InternalToUtf8(WriteDocument(*this, /*as_utf8=*/true)));
}

}  // namespace korvo

// A compact text form of an XmlDocument's tree for tests: siblings separated by a blank; an
// element closed by its end tag as name{children}, an unclosed start tag as name+, an empty
// element as name/, text as "text", a comment as #comment, CDATA as [content].
#ifndef KORVO_TESTS_FEED_XML_TREE_DUMP_H_
#define KORVO_TESTS_FEED_XML_TREE_DUMP_H_

#include <string>

#include "feed/xml_document.h"

namespace korvo::testing {

inline std::string DumpSiblings(const XmlNode* node) {
  std::string out;
  for (; node != nullptr; node = node->next) {
    if (!out.empty()) out += ' ';
    switch (node->kind) {
      case XmlKind::kElement:
        out += node->value + "{" + DumpSiblings(node->first_child) + "}";
        break;
      case XmlKind::kOpen: out += node->value + "+"; break;
      case XmlKind::kEmpty: out += node->value + "/"; break;
      case XmlKind::kText: out += "\"" + node->value + "\""; break;
      case XmlKind::kComment: out += "#" + node->value; break;
      case XmlKind::kCdata: out += "[" + node->value + "]"; break;
      default: out += "?" + node->value; break;
    }
  }
  return out;
}

inline std::string Dump(const XmlDocument& document) { return DumpSiblings(document.root()); }

// Checks that every link of the tree agrees with the others (parent, previous, first child).
inline bool LinksConsistent(const XmlNode* first, const XmlNode* parent) {
  const XmlNode* previous = nullptr;
  for (const XmlNode* node = first; node != nullptr; node = node->next) {
    if (node->parent != parent || node->previous != previous) return false;
    if (!LinksConsistent(node->first_child, node)) return false;
    previous = node;
  }
  return true;
}

}  // namespace korvo::testing

#endif  // KORVO_TESTS_FEED_XML_TREE_DUMP_H_

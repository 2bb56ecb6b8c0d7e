#include "libxml2_side.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>

namespace korvo::bench {

namespace {

bool NameIs(const xmlNode* node, const char* name) {
  return node->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(node->name),
                                                       name) == 0;
}

const xmlNode* FindElement(const xmlNode* node, const char* name) {
  for (; node; node = node->next) {
    if (NameIs(node, name)) return node;
    if (const xmlNode* inside = FindElement(node->children, name)) return inside;
  }
  return nullptr;
}

const xmlNode* Child(const xmlNode* parent, const char* name) {
  for (const xmlNode* c = parent->children; c; c = c->next) {
    if (NameIs(c, name)) return c;
  }
  return nullptr;
}

// The element's text content, rendered through the HTML parser when it holds markup.
size_t TakeText(const xmlNode* element, bool html) {
  if (!element) return 0;
  xmlChar* content = xmlNodeGetContent(element);
  if (!content) return 0;
  size_t taken = std::strlen(reinterpret_cast<const char*>(content));
  if (html && std::strpbrk(reinterpret_cast<const char*>(content), "<>")) {
    htmlDocPtr doc = htmlReadMemory(reinterpret_cast<const char*>(content),
                                    static_cast<int>(taken), nullptr, "UTF-8",
                                    HTML_PARSE_RECOVER | HTML_PARSE_NOERROR |
                                        HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
    if (doc) {
      xmlChar* text = xmlNodeGetContent(xmlDocGetRootElement(doc));
      if (text) {
        taken = std::strlen(reinterpret_cast<const char*>(text));
        xmlFree(text);
      }
      xmlFreeDoc(doc);
    }
  }
  xmlFree(content);
  return taken;
}

}  // namespace

Libxml2Result ParseWithLibxml2(const std::string& bytes, bool render_html) {
  Libxml2Result result;
  xmlDocPtr doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                XML_PARSE_RECOVER | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                                    XML_PARSE_NONET);
  if (!doc) return result;
  const xmlNode* root = xmlDocGetRootElement(doc);
  const xmlNode* item = FindElement(root, "item");
  const bool atom = item == nullptr;
  if (atom) item = FindElement(root, "entry");
  for (; item; item = item->next) {
    if (!NameIs(item, atom ? "entry" : "item")) continue;
    ++result.items;
    result.text_bytes += TakeText(Child(item, "title"), false);
    if (atom) {
      if (const xmlNode* link = Child(item, "link")) {
        xmlChar* href = xmlGetProp(link, reinterpret_cast<const xmlChar*>("href"));
        if (href) {
          result.text_bytes += std::strlen(reinterpret_cast<const char*>(href));
          xmlFree(href);
        }
      }
      const xmlNode* summary = Child(item, "summary");
      result.text_bytes += TakeText(summary ? summary : Child(item, "content"), render_html);
      result.text_bytes += TakeText(Child(item, "published"), false);
    } else {
      result.text_bytes += TakeText(Child(item, "link"), false);
      result.text_bytes += TakeText(Child(item, "description"), render_html);
      const xmlNode* date = Child(item, "date");  // dc:date: libxml2 names it without prefix
      result.text_bytes += TakeText(date ? date : Child(item, "pubDate"), false);
    }
  }
  xmlFreeDoc(doc);
  return result;
}

}  // namespace korvo::bench

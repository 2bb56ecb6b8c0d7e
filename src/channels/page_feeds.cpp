#include "channels/page_feeds.h"

#include <algorithm>

#include "feed/entities.h"

namespace korvo {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool IsNamed(const XmlNode& node, std::string_view name) {
  return node.IsElement() && EqualsIgnoringCase(node.value, name);
}

}  // namespace

int DocumentFeedKind(const XmlDocument& document) {
  for (const XmlNode* node = document.root(); node != nullptr; node = node->next) {
    if (!node->IsElement()) continue;  // comments and stray text
    if (node->value == "rss" || node->value == "rdf:RDF") return kFeedKindRss;
    if (node->value == "feed") return kFeedKindAtom;
    // A file document keeps "<!DOCTYPE rss ...>" as an unclosed element named "!DOCTYPE".
    if (!node->value.empty() && node->value[0] == '!') continue;
    return kFeedKindNone;
  }
  return kFeedKindNone;
}

const XmlNode* FindHead(const XmlDocument& document) {
  const XmlNode* head = document.Find("head");
  return head != nullptr ? head : document.Find("HEAD");
}

bool LinkAttribute(const XmlNode& node, std::string_view name, std::string* value) {
  for (const XmlAttribute& attribute : node.attributes) {
    if (!EqualsIgnoringCase(attribute.name, name)) continue;
    std::string_view text = attribute.value;
    if (!text.empty() && text.front() == '\'') text.remove_prefix(1);
    if (!text.empty() && text.back() == '\'') text.remove_suffix(1);
    value->assign(text);
    return true;
  }
  return false;
}

int LinkElementFeedKind(const XmlNode& node, LinkRules rules, std::string* href) {
  if (!IsNamed(node, "link")) return kFeedKindNone;
  std::string title;
  std::string type;
  std::string link;
  const bool has_title = LinkAttribute(node, "title", &title);
  const bool has_type = LinkAttribute(node, "type", &type);
  const bool has_href = LinkAttribute(node, "href", &link);
  const int kind = AnnouncedFeedKind(has_title ? &title : nullptr, has_type ? &type : nullptr,
                                     has_href ? &link : nullptr, rules);
  if (kind != kFeedKindNone) *href = std::move(link);  // references already decoded by the reader
  return kind;
}

std::vector<AnnouncedFeed> AnnouncedFeeds(const XmlDocument& document,
                                          std::string_view page_address, LinkRules rules,
                                          size_t max_feeds) {
  std::vector<AnnouncedFeed> feeds;
  const XmlNode* head = FindHead(document);
  if (head == nullptr) return feeds;

  // A closed head holds its elements; an unclosed one (kind kOpen) has them as its siblings.
  const XmlNode* node = head->first_child;
  const bool unclosed = head->kind == XmlKind::kOpen;
  if (unclosed) node = head->next;

  std::string href;
  for (; node != nullptr && feeds.size() < max_feeds; node = node->next) {
    if (unclosed && IsNamed(*node, "body")) break;
    const int kind = LinkElementFeedKind(*node, rules, &href);
    if (kind == kFeedKindNone) continue;
    std::string address = CompleteFeedAddress(page_address, href);
    if (address.empty()) continue;
    const bool seen = std::any_of(feeds.begin(), feeds.end(),
                                  [&](const AnnouncedFeed& f) { return f.address == address; });
    if (seen) continue;
    feeds.push_back(AnnouncedFeed{kind, std::move(address)});
  }
  return feeds;
}

}  // namespace korvo

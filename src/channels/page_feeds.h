// What a fetched page tells about feeds, once it has been read into an XmlDocument: whether the
// page is itself a feed, and which feeds the `link` elements of its `head` announce.
//
// Pure functions over a document the caller owns; safe on any thread for documents that no other
// thread is changing. Texts are CP932.
#ifndef KORVO_CHANNELS_PAGE_FEEDS_H_
#define KORVO_CHANNELS_PAGE_FEEDS_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "channels/discovery_rules.h"
#include "feed/xml_document.h"

namespace korvo {

// Most feeds reported for one page; further announcing links are ignored.
constexpr size_t kMaxAnnouncedFeeds = 100;

// A page body is examined up to this many bytes; the rest is cut off (a page announces its feeds
// in its `head`, at the start).
constexpr size_t kMaxDiscoveryPageBytes = size_t{8} << 20;

struct AnnouncedFeed {
  int kind = kFeedKindNone;  // kFeedKindRss or kFeedKindAtom
  std::string address;       // completed against the page address; never empty
};

// kFeedKindRss when the document's first element (a leading "<!DOCTYPE ...>" skipped) is `rss`
// or `rdf:RDF`, kFeedKindAtom when it is `feed`, else kFeedKindNone.
int DocumentFeedKind(const XmlDocument& document);


// The `head` element (named "head" or "HEAD"), or null.
const XmlNode* FindHead(const XmlDocument& document);

// The value of attribute `name` of `node`, the name compared ignoring letter case (HTML pages
// write TYPE, Type, type alike), with one pair of enclosing single quotes removed (the reader
// keeps them: `href='a.xml'` arrives as "'a.xml'"). False when absent.
bool LinkAttribute(const XmlNode& node, std::string_view name, std::string* value);

// The kind of feed one element announces under `rules`: it must be named `link` (any letter
// case) and pass AnnouncedFeedKind with its `title`, `type` and `href`. Sets `href` (entities
// such as "&amp;" decoded) when the result is a kind.
int LinkElementFeedKind(const XmlNode& node, LinkRules rules, std::string* href);

// The feeds the page's `head` announces, in document order: its children, or, when the head was
// never closed (so the reader left its contents beside it), the elements after it up to `body`.
// Links whose address cannot be completed against `page_address` are skipped, an address
// already reported is not repeated, and at most `max_feeds` are returned.
std::vector<AnnouncedFeed> AnnouncedFeeds(const XmlDocument& document,
                                          std::string_view page_address, LinkRules rules,
                                          size_t max_feeds = kMaxAnnouncedFeeds);

}  // namespace korvo

#endif  // KORVO_CHANNELS_PAGE_FEEDS_H_

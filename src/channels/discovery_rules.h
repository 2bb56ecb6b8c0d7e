// The decisions of feed discovery that need no network and no document: which pages are
// examined, which content types are feeds, which `link` elements announce a feed, and how a
// link's address is completed against the page address.
//
// Pure functions over CP932 text; safe on any thread.
#ifndef KORVO_CHANNELS_DISCOVERY_RULES_H_
#define KORVO_CHANNELS_DISCOVERY_RULES_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace korvo {

constexpr int kFeedKindNone = -1;
constexpr int kFeedKindRss = 0;  // RSS 0.9x, 1.0 (RDF), 2.0
constexpr int kFeedKindAtom = 1;

// Longest page or feed address discovery handles.
constexpr size_t kMaxDiscoveryAddress = 1023;

// False for the pages that start no discovery: addresses beginning with "file:///" or
// "about:blank" (letter case ignored).
bool ShouldStartDiscovery(std::string_view page_address);

// True for the content types of documents that are feeds: "text/" or "application/" followed by
// a subtype beginning with "xml", "rss+xml", "rdf+xml", "atom+xml", "atom", "rdf" or "rss"; for
// "text/" also "plain". Letter case is ignored; leading blanks are skipped.
bool IsFeedContentType(std::string_view content_type);

// Which attribute decides first when a `link` has both a title and a type.
enum class LinkRules {
  kBrowser,  // the type decides when present, else the title
  kDialog,   // the title decides when present, else the type
};

// The kind of feed a `link` element announces from its attribute values (nullptr: absent), or
// kFeedKindNone. A type must begin with "application/rss+xml" or "application/atom+xml", a title
// with "RSS" or "ATOM" (letter case ignored). A link without `href` announces nothing.
int AnnouncedFeedKind(const std::string* title, const std::string* type, const std::string* href,
                      LinkRules rules);

// The absolute address of a link's `href` on the page at `page_address`, or "" when it cannot
// be completed. Rules:
// - an href beginning with "http://" or "https://" (case ignored) is used unchanged;
// - an href beginning with "//" takes the page's scheme;
// - an href with any other scheme ("javascript:", "file:", ...) is refused;
// - otherwise it is resolved against the page's folder: the page address without its query and
//   fragment, cut after its last "/" (a last part without "." is taken as a folder); leading
//   "./" steps are dropped; a leading "/" starts from the host's root; each leading "../" goes
//   up one folder but never above the host's root; an href that is only a query replaces the
//   page's query.
// The page must have a scheme ("http://", "https://"; the host ends at the first "/", "?" or
// "#"). Results longer than kMaxDiscoveryAddress bytes are refused, and so is an empty href.
std::string CompleteFeedAddress(std::string_view page_address, std::string_view href);

// True for the addresses the properties dialog may look up: "http://" or "https://" addresses,
// or local paths (a drive letter, ":" and "\"; on POSIX also an absolute path from "/").
bool IsLookUpAddress(std::string_view address);

}  // namespace korvo

#endif  // KORVO_CHANNELS_DISCOVERY_RULES_H_

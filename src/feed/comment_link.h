// The comment (trackback) address of an item on the one blog host whose addresses follow a fixed
// pattern: "<prefix><user>/<folder>/<name>.<ext>" has its trackback receiver at
// "<prefix><user>/tb.cgi/<name>".
#ifndef KORVO_FEED_COMMENT_LINK_H_
#define KORVO_FEED_COMMENT_LINK_H_

#include <string>
#include <string_view>

namespace korvo {

// The blog host's address prefix (24 characters), compared ignoring case.
inline constexpr char kCommentLinkHostPrefix[] = "http://blog.livedoor.jp/";

// The trackback address derived from an item link, or empty when the link is not of the host's
// pattern (a non-empty user segment, a second segment, then a file name holding a '.' before any
// further '/').
std::string DeriveCommentLink(std::string_view link);

}  // namespace korvo

#endif  // KORVO_FEED_COMMENT_LINK_H_

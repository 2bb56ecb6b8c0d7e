// Repair of text that is meant to be CP932 but came from outside.
#ifndef KORVO_FEED_CP932_TEXT_H_
#define KORVO_FEED_CP932_TEXT_H_

#include <string>
#include <string_view>

namespace korvo {

// `bytes` with every NUL dropped and every lead byte that lacks a valid trail byte replaced by
// `replacement`, so the text can be cut, joined and converted safely.
std::string SanitizeCp932(std::string_view bytes, char replacement);

}  // namespace korvo

#endif  // KORVO_FEED_CP932_TEXT_H_

// Making a text safe to keep as one field of an item: CP932 text cut to a byte limit without
// splitting a character, with no NUL and no lead byte that lacks its trail byte (either would cut
// or corrupt whatever the text is later joined with).
#ifndef KORVO_FEED_CP932_FIELD_H_
#define KORVO_FEED_CP932_FIELD_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace korvo {

// Rewrites `text` in place: a NUL becomes a blank, a CP932 lead byte not followed by a valid
// trail byte becomes '?', and the text is cut after the last whole character that fits in
// `max_bytes`.
void MakeCp932Field(std::string* text, size_t max_bytes);

// `text` without its leading and trailing blanks (ASCII space only).
std::string_view TrimBlanks(std::string_view text);

}  // namespace korvo

#endif  // KORVO_FEED_CP932_FIELD_H_

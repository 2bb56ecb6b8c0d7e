// Text written into markup the program makes (HTML pages, XML files): the characters markup
// reserves, & < > and ", written as references. Pure; any thread.
#ifndef KORVO_BROWSE_MARKUP_TEXT_H_
#define KORVO_BROWSE_MARKUP_TEXT_H_

#include <string>
#include <string_view>

namespace korvo {

enum class MarkupEncoding {
  kCp932,  // a trail byte of a two-byte character is never taken for a reserved character
  kUtf8,   // every byte of a multi-byte character is at least 0x80
};

std::string EscapeMarkup(std::string_view text, MarkupEncoding encoding);

}  // namespace korvo

#endif  // KORVO_BROWSE_MARKUP_TEXT_H_

// The table the plain-text rendering of markup follows: for a tag name, the text written before
// the element's content and the one written after it.
#ifndef KORVO_FEED_HTML_TEXT_ROWS_H_
#define KORVO_FEED_HTML_TEXT_ROWS_H_

#include <string_view>

namespace korvo {

struct HtmlTextRow {
  const char* before;
  const char* after;
};

// The row of the first table entry with a prefix of `name` (case as listed: "p" and "P", not
// "Br"), or null for a tag that writes nothing.
const HtmlTextRow* HtmlTextRowFor(std::string_view name);

}  // namespace korvo

#endif  // KORVO_FEED_HTML_TEXT_ROWS_H_

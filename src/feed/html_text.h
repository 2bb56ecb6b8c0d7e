// Rendering markup to plain text, as item descriptions are shown: line breaks for paragraphs,
// breaks, lists and tables, a blank around links and for images, a rule of hyphens, and the text
// of every text node. Everything else (other tags, comments, declarations) writes nothing.
//
// Tag names are compared by prefix with a fixed table (so "pre" renders like "p" and "abbr" like
// "a"); an element closed by its end tag writes its "before" text, its content, then its "after"
// text; a start tag that was never closed writes "before" and waits: its "after" text is written
// after the next text node. The walk follows the nodes' links iteratively, so however deeply a
// hostile fragment nests, the native stack does not grow.
//
// Thread-safe: the functions touch only their arguments.
#ifndef KORVO_FEED_HTML_TEXT_H_
#define KORVO_FEED_HTML_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "feed/xml_document.h"

namespace korvo {

// Longest text a rendering produces; the rest of the fragment is not rendered.
constexpr size_t kMaxRenderedTextBytes = size_t{1} << 20;

// Appends to `out` the plain text of `first` and its following siblings with their subtrees, in
// document order, stopping once `out` holds `max_bytes` (it may end a few bytes beyond).
void RenderNodesAsText(const XmlNode* first, std::string* out,
                       size_t max_bytes = kMaxRenderedTextBytes);

// The plain text of a CP932 HTML fragment: the same text as RenderNodesAsText over the root of
// XmlDocument::FromHtmlFragment(cp932_html), without building the document. Texts keep the
// single entity decoding the reader applies to every text node.
std::string RenderHtmlFragment(std::string_view cp932_html,
                               size_t max_bytes = kMaxRenderedTextBytes);

}  // namespace korvo

#endif  // KORVO_FEED_HTML_TEXT_H_

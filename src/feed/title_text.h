// Item titles as plain text that keeps every character of the title. Feeds write markup into
// titles ("&lt;b&gt;Big&lt;/b&gt; news"), so tags of real HTML elements are rendered away; but
// anything else between '<' and '>' is the title's own text and stays: C++ templates
// ("vector<int>"), comparisons ("a < b > c"), "<3", emoticons (">_<"), "<<news>>".
//
// Texts are CP932; '<' and '>' are never trail bytes there, so the scan is byte-wise.
// Thread-safe: the functions touch only their arguments.
#ifndef KORVO_FEED_TITLE_TEXT_H_
#define KORVO_FEED_TITLE_TEXT_H_

#include <string>
#include <string_view>

#include "feed/xml_document.h"

namespace korvo {

// True for the name of an HTML element (ASCII, any case): "b", "a", "br", "h1", "span" ...
bool IsHtmlElementName(std::string_view name);

// `text` without the start tags, end tags and empty-element tags of HTML elements and without
// complete comments; a tag that breaks a line (br, p, div, li, td ...) leaves a blank. Everything
// else, malformed tags included, is kept as it is.
std::string RemoveHtmlTags(std::string_view text);

// The source text of the content of `element`, for a title that holds real child elements:
// text nodes as the reader decoded them, CDATA content, and every child tag as it was written
// (its raw token, and "</name>" after the children of an element closed by its end tag).
std::string ContentSourceText(const XmlNode* element);

// A title's text as stored: tags of HTML elements removed, entities decoded once more (and tags
// that only this decoding brought out removed too: markup escaped twice). A title that held
// markup ('<' or '>', or `had_markup`) is put on one line (line breaks become blanks) without
// surrounding blanks; others stay as they are, as titles were always stored. A single blank when
// nothing is left. At most `max_bytes`, cut between characters.
std::string TitleFromText(const std::string& text, bool had_markup, size_t max_bytes);

}  // namespace korvo

#endif  // KORVO_FEED_TITLE_TEXT_H_

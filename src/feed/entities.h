// Character references in feed texts.
//
// DecodeEntities turns the HTML and XML character references of a CP932 text into CP932 bytes:
// the XML reader applies it to every text node, the item extraction once more to titles and
// descriptions. UnescapeLink undoes the basic entities of a link before two links are compared.
// The named-entity table is fixed and built once; every function is thread-safe.
#ifndef KORVO_FEED_ENTITIES_H_
#define KORVO_FEED_ENTITIES_H_

#include <string>
#include <string_view>

namespace korvo {

// Decodes `&name;` (the fixed table: the basic five, "nbsp" as a plain blank, the Latin-1 names
// 161-255, "mdash" as a hyphen), `&#N;` and `&#xH;`. A reference is only recognised when its
// `;` lies 2 to 15 bytes after the `&`; anything unrecognised is copied unchanged. A code from
// 255 to 65535 gives its CP932 character (one byte and a blank when the character has a
// one-byte form, '?' and a blank when it has none); a smaller code gives that byte.
//
// The result never holds a byte that would break the text: code 0 and the other control codes
// below 32 give a blank (tab, line feed and carriage return stay themselves); a code above
// 65535 (no CP932 form) gives '?' and a blank instead of its low byte; a code below 255 that is
// a CP932 lead byte (0x81-0x9F, 0xE0-0xFC, e.g. "&eacute;") gives '?', since on its own it
// would swallow the byte after it.
std::string DecodeEntities(std::string_view text);

// Rewrites a link in place: first every "&amp;" becomes "&" (so "&amp;amp;" and "&amp;lt;" lose
// one level), then "&amp;", "&lt;", "&gt;", "&quot;", "&apos;" and "&nbsp;" become "&", "<", ">",
// '"', '\'' and a blank.
void UnescapeLink(std::string* link);

// The entity name whose character is `code` ("amp" for 38, "eacute" for 233), for escaping text
// that goes out; empty when the table has none. "nbsp" and "mdash" are never answered: they
// decode to a blank and a hyphen, not to their own characters.
std::string_view EntityNameForCode(int code);

}  // namespace korvo

#endif  // KORVO_FEED_ENTITIES_H_

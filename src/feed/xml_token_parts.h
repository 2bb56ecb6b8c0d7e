// The pieces the tree builder takes out of one finished token: its kind, its element name, its
// attributes, the key an end tag is matched by, and the encoding a declaration names. Pure
// functions over the token's raw bytes; thread-safe.
#ifndef KORVO_FEED_XML_TOKEN_PARTS_H_
#define KORVO_FEED_XML_TOKEN_PARTS_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "feed/xml_document.h"

namespace korvo {

// At most this many attributes are kept per tag; later new names are ignored (a repeated name
// still takes its later value), so a hostile tag cannot make the parsing quadratic.
constexpr size_t kMaxXmlAttributes = 1024;

// The kind of a finished token before the variant's own rules: kEnd, kEmpty, kComment, kCdata or
// kOpen for a token framed by '<' and '>', kText for anything else.
XmlKind ClassifyToken(std::string_view raw);

// The variant's own rule applied to a tag (kOpen or kEmpty): `<?...?>` becomes a declaration;
// HTML fragments also turn "!doctype"/"!DOCTYPE" into a declaration and the void tags (img, br,
// area, basefont, input, frame, bgsound, embed, meta, link; lower or upper case, compared as a
// prefix) into kEmpty.
XmlKind ApplyVariantRule(std::string_view raw, XmlKind kind, bool html_fragment);

// The element name: after '<', blanks and '/', the run of ASCII letters, '!' and ':'.
std::string ExtractName(std::string_view raw);

// The bytes an end tag is matched by: a start tag's raw text from after '<' (an end tag's from
// after "</") up to the first blank or '>'.
std::string_view StartTagKey(std::string_view raw);
std::string_view EndTagKey(std::string_view raw);

// The attributes of a tag or declaration. Names run to a blank, '>' or '='; a value in double
// quotes runs to the next double quote, any other value to a blank, '>' or a closing "/>";
// single quotes are ordinary bytes. The name "/" and empty names are not stored; a repeated
// name keeps its first position and takes the later value. In a double-quoted value "&quot;"
// and "&gt;" become '"' and '>', the two characters the writer escapes because they would end
// the value or the tag.
void ParseAttributes(std::string_view raw, std::vector<XmlAttribute>* out);

// A declaration's attribute value without the single quotes around it (the attribute parser
// keeps them, and the '?' of "?>" after the last one): version='1.0'?> gives "1.0".
std::string_view DeclarationValue(std::string_view value);

// The value of a declaration's "encoding" attribute (without single quotes around it); false
// when it has no such attribute.
bool DeclaredEncodingName(const std::vector<XmlAttribute>& attributes, std::string_view* name);

// The encoding a declaration's "encoding" attribute names (any label of encoding_label.h for
// UTF-8, Shift_JIS or EUC-JP; kNone for any other value). False when it has no such attribute.
bool DeclaredEncoding(const std::vector<XmlAttribute>& attributes, XmlEncoding* encoding);

// The encoding named by the first `<?...?>` declaration inside `text` (which need not be a whole
// token); false when there is none or it names no encoding.
bool PeekDeclaredEncoding(std::string_view text, XmlEncoding* encoding);

}  // namespace korvo

#endif  // KORVO_FEED_XML_TOKEN_PARTS_H_

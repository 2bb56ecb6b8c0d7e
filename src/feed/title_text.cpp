#include "feed/title_text.h"

#include <cstring>

#include "feed/cp932_field.h"
#include "feed/entities.h"

namespace korvo {

namespace {

// Lower-case names of HTML elements, current and historic, that feeds may write into titles.
constexpr const char* kHtmlElements[] = {
    "a",       "abbr",   "acronym", "address",  "article",    "aside",    "audio", "b",
    "bdi",     "bdo",    "big",     "blink",    "blockquote", "body",     "br",    "button",
    "caption", "center", "cite",    "code",     "col",        "colgroup", "dd",    "del",
    "details", "dfn",    "div",     "dl",       "dt",         "em",       "embed", "figcaption",
    "figure",  "font",   "footer",  "form",     "h1",         "h2",       "h3",    "h4",
    "h5",      "h6",     "head",    "header",   "hr",         "html",     "i",     "iframe",
    "img",     "input",  "ins",     "kbd",      "label",      "li",       "main",  "mark",
    "marquee", "nav",    "nobr",    "noscript", "object",     "ol",       "p",     "picture",
    "pre",     "q",      "rp",      "rt",       "ruby",       "s",        "samp",  "script",
    "section", "small",  "source",  "span",     "strike",     "strong",   "style", "sub",
    "summary", "sup",    "table",   "tbody",    "td",         "tfoot",    "th",    "thead",
    "time",    "tr",     "tt",      "u",        "ul",         "var",      "video", "wbr",
};

// Elements whose tags break the line when rendered: they leave a blank in a title.
constexpr const char* kBreakingElements[] = {
    "address", "article", "blockquote", "br",    "dd", "div", "dl",     "dt", "figure", "footer",
    "h1",      "h2",      "h3",         "h4",    "h5", "h6",  "header", "hr", "li",     "ol",
    "p",       "pre",     "section",    "table", "td", "th",  "tr",     "ul",
};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool InList(std::string_view name, const char* const* list, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const std::string_view known(list[i]);
    if (known.size() != name.size()) continue;
    bool same = true;
    for (size_t k = 0; k < known.size() && same; ++k) same = Lower(name[k]) == known[k];
    if (same) return true;
  }
  return false;
}

// When an HTML element's tag starts at text[at] ('<'), its length and whether it breaks the
// line; 0 when the '<' starts no such tag.
size_t HtmlTagAt(std::string_view text, size_t at, bool* breaks) {
  size_t i = at + 1;
  if (i < text.size() && text[i] == '/') ++i;
  const size_t name_start = i;
  if (i >= text.size() || !IsLetter(text[i])) return 0;
  while (i < text.size() && (IsLetter(text[i]) || IsDigit(text[i]))) ++i;
  const std::string_view name = text.substr(name_start, i - name_start);
  if (!IsHtmlElementName(name)) return 0;
  // The name must end the tag or be followed by a blank (attributes) or "/>".
  if (i >= text.size()) return 0;
  if (text[i] == '/') {
    if (i + 1 >= text.size() || text[i + 1] != '>') return 0;
    i += 1;
  } else if (text[i] != '>') {
    if (!IsBlank(text[i])) return 0;
    // Attributes run to the next '>'; a '<' on the way means this was no tag.
    while (i < text.size() && text[i] != '>' && text[i] != '<') {
      if (text[i] == '"' || text[i] == '\'') {
        const size_t close = text.find(text[i], i + 1);
        if (close == std::string_view::npos) return 0;
        i = close;
      }
      ++i;
    }
    if (i >= text.size() || text[i] != '>') return 0;
  }
  *breaks = InList(name, kBreakingElements, sizeof kBreakingElements / sizeof *kBreakingElements);
  return i + 1 - at;
}

void AppendContentSource(const XmlNode* node, std::string* out, size_t depth) {
  for (; node != nullptr; node = node->next) {
    switch (node->kind) {
      case XmlKind::kText:
      case XmlKind::kCdata:
        out->append(node->value);
        break;
      case XmlKind::kOpen:
      case XmlKind::kEmpty:
        out->append(node->raw);
        break;
      case XmlKind::kElement:
        out->append(node->raw);
        // Deep nesting is cut, not followed: a title is never that deep.
        if (depth < 64) AppendContentSource(node->first_child, out, depth + 1);
        out->append("</").append(node->value).append(">");
        break;
      default:
        break;  // comments and declarations are no text
    }
  }
}

}  // namespace

bool IsHtmlElementName(std::string_view name) {
  return InList(name, kHtmlElements, sizeof kHtmlElements / sizeof *kHtmlElements);
}

std::string RemoveHtmlTags(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const char* lt = static_cast<const char*>(std::memchr(text.data() + i, '<', text.size() - i));
    if (lt == nullptr) break;
    const size_t at = static_cast<size_t>(lt - text.data());
    out.append(text.data() + i, at - i);
    bool breaks = false;
    size_t length = 0;
    if (text.substr(at, 4) == "<!--") {
      const size_t end = text.find("-->", at + 4);
      if (end != std::string_view::npos) length = end + 3 - at;
    } else {
      length = HtmlTagAt(text, at, &breaks);
    }
    if (length == 0) {
      out.push_back('<');
      i = at + 1;
    } else {
      if (breaks) out.push_back(' ');
      i = at + length;
    }
  }
  if (i < text.size()) out.append(text.data() + i, text.size() - i);
  return out;
}

std::string ContentSourceText(const XmlNode* element) {
  std::string out;
  if (element != nullptr) AppendContentSource(element->first_child, &out, 0);
  return out;
}

std::string TitleFromText(const std::string& text, bool had_markup, size_t max_bytes) {
  bool markup = had_markup || text.find_first_of("<>") != std::string::npos;
  std::string title = RemoveHtmlTags(text);
  if (title.find('&') != std::string::npos) {
    title = DecodeEntities(title);
    // Markup escaped twice ("&amp;lt;b&amp;gt;") shows only now.
    if (!markup && title.find('<') != std::string::npos && title.find('>') != std::string::npos) {
      title = RemoveHtmlTags(title);
      markup = true;
    }
  }
  if (markup) {
    std::string line;
    line.reserve(title.size());
    for (size_t i = 0; i < title.size(); ++i) {
      if (title[i] == '\r' && i + 1 < title.size() && title[i + 1] == '\n') continue;
      line.push_back(title[i] == '\r' || title[i] == '\n' ? ' ' : title[i]);
    }
    title.assign(TrimBlanks(line));
  }
  MakeCp932Field(&title, max_bytes);
  return title.empty() ? " " : title;
}

}  // namespace korvo

#include "feed/xml_token_parts.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "feed/encoding_label.h"
#include "feed/entities.h"

namespace korvo {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool IsNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '!' || c == ':';
}

// An attribute value with its character references decoded, as XML readers do ("&amp;" of a query
// string is "&"). Only complete references count (see DecodeEntities), so the raw '&' of a value
// written by an older, non-escaping writer stays as it is.
std::string DecodeAttributeValue(std::string_view value) {
  if (value.find('&') == std::string_view::npos) return std::string(value);
  return DecodeEntities(value);
}

constexpr std::string_view kVoidTags[] = {"img",   "IMG",      "br",       "BR",      "AREA",
                                          "area",  "BASEFONT", "basefont", "INPUT",   "input",
                                          "FRAME", "frame",    "BGSOUND",  "bgsound", "EMBED",
                                          "embed", "META",     "meta",     "LINK",    "link"};

// Lists of at most this many attributes are searched linearly for a repeated name.
constexpr size_t kLinearAttributeSearch = 16;

}  // namespace

XmlKind ClassifyToken(std::string_view raw) {
  const size_t n = raw.size();
  if (n >= 2 && raw[0] == '<' && raw[n - 1] == '>') {
    if (raw[1] == '/') return XmlKind::kEnd;
    if (raw[n - 2] == '/') return XmlKind::kEmpty;
    if (raw[1] != '!') return XmlKind::kOpen;
    if (StartsWith(raw, "<!--") && EndsWith(raw, "-->")) return XmlKind::kComment;
    if (n >= 12 && StartsWith(raw, "<![CDATA[") && EndsWith(raw, "]]>")) return XmlKind::kCdata;
    return XmlKind::kOpen;
  }
  return XmlKind::kText;
}

XmlKind ApplyVariantRule(std::string_view raw, XmlKind kind, bool html_fragment) {
  if (kind != XmlKind::kOpen && kind != XmlKind::kEmpty) return kind;
  const size_t n = raw.size();
  if (n >= 3 && raw[1] == '?' && raw[n - 2] == '?') return XmlKind::kDeclaration;
  if (!html_fragment) return kind;
  const std::string_view after = raw.substr(1);
  if (after.empty()) return kind;
  if (after[0] == '!') {
    if (StartsWith(after, "!doctype") || StartsWith(after, "!DOCTYPE")) {
      return XmlKind::kDeclaration;
    }
    return kind;
  }
  for (std::string_view tag : kVoidTags) {
    if (tag[0] == after[0] && StartsWith(after, tag)) return XmlKind::kEmpty;
  }
  return kind;
}

std::string ExtractName(std::string_view raw) {
  size_t i = 0;
  while (i < raw.size() && (raw[i] == '<' || raw[i] == ' ' || raw[i] == '/')) ++i;
  const size_t start = i;
  while (i < raw.size() && IsNameByte(raw[i])) ++i;
  return std::string(raw.substr(start, i - start));
}

namespace {

std::string_view KeyFrom(std::string_view raw, size_t start) {
  size_t end = start;
  while (end < raw.size() && raw[end] != ' ' && raw[end] != '>') ++end;
  return raw.substr(start, end - start);
}

}  // namespace

std::string_view StartTagKey(std::string_view raw) {
  return KeyFrom(raw, std::min<size_t>(raw.size(), 1));
}

std::string_view EndTagKey(std::string_view raw) {
  return KeyFrom(raw, std::min<size_t>(raw.size(), 2));
}

void ParseAttributes(std::string_view raw, std::vector<XmlAttribute>* out) {
  out->clear();
  // The stored names as views into `raw` (which outlives this call, unlike the strings of `out`
  // that move when it grows), and their index once the list grows long.
  thread_local std::vector<std::string_view> names;
  names.clear();
  std::unordered_map<std::string_view, size_t> index;
  const size_t n = raw.size();
  out->reserve(std::min<size_t>(std::count(raw.begin(), raw.end(), '='), kMaxXmlAttributes));
  size_t i = 0;
  while (i < n && raw[i] != ' ' && raw[i] != '>') ++i;
  while (true) {
    while (i < n && raw[i] == ' ') ++i;
    if (i >= n || raw[i] == '>') break;
    const size_t name_start = i;
    while (i < n && raw[i] != ' ' && raw[i] != '>' && raw[i] != '=') ++i;
    const std::string_view name = raw.substr(name_start, i - name_start);
    while (i < n && raw[i] == ' ') ++i;
    std::string value;
    if (i < n && raw[i] == '=') {
      ++i;
      while (i < n && raw[i] == ' ') ++i;
      if (i < n && raw[i] == '"') {
        const size_t value_start = ++i;
        while (i < n && raw[i] != '"') ++i;
        value = DecodeAttributeValue(raw.substr(value_start, i - value_start));
        if (i < n) ++i;
      } else {
        const size_t value_start = i;
        // The '/' of a closing "/>" is not part of the value: <link href='u'/> gives 'u'.
        while (i < n && raw[i] != ' ' && raw[i] != '>' &&
               !(raw[i] == '/' && i + 1 < n && raw[i + 1] == '>')) {
          ++i;
        }
        value = DecodeAttributeValue(raw.substr(value_start, i - value_start));
      }
    }
    if (name.empty() || name == "/") continue;
    size_t found = out->size();
    if (out->size() <= kLinearAttributeSearch) {
      for (size_t k = 0; k < names.size(); ++k) {
        if (names[k] == name) {
          found = k;
          break;
        }
      }
    } else {
      if (index.empty()) {
        for (size_t k = 0; k < names.size(); ++k) index.emplace(names[k], k);
      }
      const auto it = index.find(name);
      if (it != index.end()) found = it->second;
    }
    if (found < out->size()) {
      (*out)[found].value = std::move(value);
    } else if (out->size() < kMaxXmlAttributes) {
      out->push_back(XmlAttribute{std::string(name), std::move(value)});
      names.push_back(name);
      if (!index.empty()) index.emplace(name, names.size() - 1);
    }
  }
}

std::string_view DeclarationValue(std::string_view value) {
  if (value.size() >= 3 && value.front() == '\'' && value.back() == '?') value.remove_suffix(1);
  if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'') {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

bool DeclaredEncodingName(const std::vector<XmlAttribute>& attributes, std::string_view* name) {
  for (const XmlAttribute& attribute : attributes) {
    if (attribute.name != "encoding") continue;
    *name = DeclarationValue(attribute.value);
    return true;
  }
  return false;
}

bool DeclaredEncoding(const std::vector<XmlAttribute>& attributes, XmlEncoding* encoding) {
  std::string_view name;
  if (!DeclaredEncodingName(attributes, &name)) return false;
  switch (EncodingFromLabel(name)) {
    case EncodingLabel::kUtf8:
      *encoding = XmlEncoding::kUtf8;
      break;
    case EncodingLabel::kShiftJis:
      *encoding = XmlEncoding::kShiftJis;
      break;
    case EncodingLabel::kEucJp:
      *encoding = XmlEncoding::kEucJp;
      break;
    default:
      *encoding = XmlEncoding::kNone;
      break;
  }
  return true;
}

bool PeekDeclaredEncoding(std::string_view text, XmlEncoding* encoding) {
  const size_t start = text.find("<?");
  if (start == std::string_view::npos) return false;
  const size_t end = text.find("?>", start + 2);
  if (end == std::string_view::npos) return false;
  std::vector<XmlAttribute> attributes;
  ParseAttributes(text.substr(start, end + 2 - start), &attributes);
  return DeclaredEncoding(attributes, encoding);
}

}  // namespace korvo

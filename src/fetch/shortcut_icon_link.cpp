#include "fetch/shortcut_icon_link.h"

#include "feed/feed_encoding.h"
#include "feed/xml_document.h"

namespace korvo {

namespace {

bool BeginsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char a = text[i];
    char b = prefix[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

const std::string* EitherAttribute(const XmlNode& node, std::string_view lower,
                                   std::string_view upper) {
  const std::string* value = node.Attribute(lower);
  return value != nullptr ? value : node.Attribute(upper);
}

}  // namespace

bool FindShortcutIconHref(std::string_view page, std::string* href) {
  href->clear();
  page = page.substr(0, kMaxIconPageBytes);
  // Tags and attribute names are ASCII, which CP932 keeps as it is, so other encodings are read
  // as they come; only UTF-16 has to be converted for its tags to be seen at all.
  const FeedEncoding encoding = DetectFeedEncoding(page);
  std::string converted;
  if (encoding == FeedEncoding::kUtf16Le || encoding == FeedEncoding::kUtf16Be) {
    converted = FeedBytesToInternal(page, encoding);
    page = converted;
  }
  const XmlDocument document = XmlDocument::FromHtmlFragment(page);
  XmlNode* head = document.Find("head");
  if (head == nullptr) head = document.Find("HEAD");
  if (head == nullptr) return false;
  XmlNode* link = document.FindInside("LINK", head);
  if (link == nullptr) link = document.FindInside("link", head);
  for (; link != nullptr; link = link->next) {
    if (!link->IsElement() || (link->value != "link" && link->value != "LINK")) continue;
    const std::string* rel = EitherAttribute(*link, "rel", "REL");
    if (rel == nullptr || !BeginsWithNoCase(*rel, "Shortcut Icon")) continue;
    const std::string* value = EitherAttribute(*link, "href", "HREF");
    if (value == nullptr) return false;
    // Blanks around an address are not part of it.
    const size_t begin = value->find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return false;
    *href = value->substr(begin, value->find_last_not_of(" \t\r\n") + 1 - begin);
    return true;
  }
  return false;
}

}  // namespace korvo

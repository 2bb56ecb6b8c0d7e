#include "channels/discovery_rules.h"

namespace korvo {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(text[i]) != Lower(prefix[i])) return false;
  }
  return true;
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Length of the scheme name when `text` begins with "scheme:" (RFC 3986 syntax), else 0.
size_t SchemeLength(std::string_view text) {
  if (text.empty() || !IsAsciiLetter(text[0])) return 0;
  for (size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ':') return i;
    if (!(IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')) {
      return 0;
    }
  }
  return 0;
}

std::string Refuse() { return std::string(); }

std::string Bounded(std::string text) {
  return text.size() > kMaxDiscoveryAddress ? Refuse() : text;
}

}  // namespace

bool ShouldStartDiscovery(std::string_view page_address) {
  return !StartsWithIgnoringCase(page_address, "file:///") &&
         !StartsWithIgnoringCase(page_address, "about:blank");
}

bool IsFeedContentType(std::string_view content_type) {
  while (!content_type.empty() && IsBlank(content_type.front())) content_type.remove_prefix(1);
  std::string_view subtype;
  bool text = false;
  if (StartsWithIgnoringCase(content_type, "text/")) {
    subtype = content_type.substr(5);
    text = true;
  } else if (StartsWithIgnoringCase(content_type, "application/")) {
    subtype = content_type.substr(12);
  } else {
    return false;
  }
  static constexpr std::string_view kSubtypes[] = {"xml",  "rss+xml", "rdf+xml", "atom+xml",
                                                   "atom", "rdf",     "rss"};
  for (std::string_view prefix : kSubtypes) {
    if (StartsWithIgnoringCase(subtype, prefix)) return true;
  }
  return text && StartsWithIgnoringCase(subtype, "plain");
}

int AnnouncedFeedKind(const std::string* title, const std::string* type, const std::string* href,
                      LinkRules rules) {
  if (href == nullptr) return kFeedKindNone;
  auto by_type = [&]() {
    if (StartsWithIgnoringCase(*type, "application/rss+xml")) return kFeedKindRss;
    if (StartsWithIgnoringCase(*type, "application/atom+xml")) return kFeedKindAtom;
    return kFeedKindNone;
  };
  auto by_title = [&]() {
    if (StartsWithIgnoringCase(*title, "RSS")) return kFeedKindRss;
    if (StartsWithIgnoringCase(*title, "ATOM")) return kFeedKindAtom;
    return kFeedKindNone;
  };
  if (rules == LinkRules::kDialog) {
    if (title != nullptr) return by_title();
    if (type != nullptr) return by_type();
    return kFeedKindNone;
  }
  if (type != nullptr) return by_type();
  if (title != nullptr) return by_title();
  return kFeedKindNone;
}

std::string CompleteFeedAddress(std::string_view page_address, std::string_view href) {
  href = Trim(href);
  if (href.empty()) return Refuse();
  if (StartsWithIgnoringCase(href, "http://") || StartsWithIgnoringCase(href, "https://")) {
    return Bounded(std::string(href));
  }

  page_address = Trim(page_address);
  const size_t scheme_length = SchemeLength(page_address);
  if (scheme_length == 0 || page_address.substr(scheme_length, 3) != "://") return Refuse();
  const size_t authority = scheme_length + 3;

  if (href.substr(0, 2) == "//") {
    return Bounded(std::string(page_address.substr(0, scheme_length + 1)) + std::string(href));
  }
  if (SchemeLength(href) != 0) return Refuse();

  // The page address without its query and fragment.
  std::string base(page_address.substr(0, page_address.find_first_of("?#", authority)));
  if (href.front() == '?') return Bounded(base + std::string(href));

  // The first "/" of the path; an address with a bare host gets one.
  size_t root = base.find('/', authority);
  if (root == std::string::npos) {
    root = base.size();
    base.push_back('/');
  }
  size_t cursor = base.rfind('/');
  const std::string_view last_part = std::string_view(base).substr(cursor + 1);
  if (!last_part.empty() && last_part.find('.') == std::string_view::npos) {
    base.push_back('/');
    cursor = base.size() - 1;
  }

  std::string_view rest = href;
  if (rest.front() == '/') {
    cursor = root;
    rest.remove_prefix(1);
  }
  for (;;) {
    if (rest.substr(0, 2) == "./" || rest == ".") {
      rest.remove_prefix(rest.size() >= 2 ? 2 : 1);
    } else if (rest.substr(0, 3) == "../" || rest == "..") {
      rest.remove_prefix(rest.size() >= 3 ? 3 : 2);
      if (cursor > root) cursor = base.rfind('/', cursor - 1);
    } else {
      break;
    }
  }
  return Bounded(base.substr(0, cursor + 1) + std::string(rest));
}

bool IsLookUpAddress(std::string_view address) {
  if (StartsWithIgnoringCase(address, "http://") || StartsWithIgnoringCase(address, "https://")) {
    return true;
  }
  if (address.size() >= 3 && IsAsciiLetter(address[0]) && address[1] == ':' && address[2] == '\\') {
    return true;
  }
#ifndef _WIN32
  if (!address.empty() && address[0] == '/') return true;
#endif
  return false;
}

}  // namespace korvo

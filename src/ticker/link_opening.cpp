#include "ticker/link_opening.h"

#include "ticker/headline_style.h"

namespace korvo {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

bool MayOpenLink(std::string_view link) {
  if (link.empty() || link.size() > kMaxOpenedLink) return false;
  if (link.find('@') != std::string_view::npos) return false;
  return StartsWithNoCase(link, "http://") || StartsWithNoCase(link, "https://");
}

std::string EncodeLinkForBrowser(std::string_view link) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(link.size());
  for (unsigned char c : link) {
    if (c <= 0x20 || c == '"' || c >= 0x7F) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string NamedBrowserParameters(std::string_view options, std::string_view link,
                                   size_t max_size) {
  std::string pattern(options);
  if (pattern.find("%s") == std::string::npos) pattern += " %s";
  const std::string argument = "\"" + EncodeLinkForBrowser(link) + "\"";
  std::string out;
  for (size_t i = 0; i < pattern.size();) {
    if (pattern.compare(i, 2, "%s") == 0) {
      out += argument;
      i += 2;
    } else {
      out += pattern[i++];
    }
    if (out.size() > max_size) return std::string();
  }
  return out;
}

BrowserChoice ChooseBrowser(uint32_t flags, bool explicit_browser) {
  BrowserChoice choice;
  if (flags & ticker_flags::kNamedBrowser) {
    choice.way = BrowserChoice::Way::kNamed;
  } else if (explicit_browser || (flags & ticker_flags::kExplicitBrowser)) {
    choice.way = BrowserChoice::Way::kExplicit;
  }
  return choice;
}

}  // namespace korvo

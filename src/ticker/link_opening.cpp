#include "ticker/link_opening.h"

#include "fetch/url_text.h"
#include "platform/code_page.h"
#include "ticker/headline_style.h"

namespace korvo {

bool MayOpenLink(std::string_view link) {
  if (link.empty() || link.size() > kMaxOpenedLink) return false;
  if (link.find('@') != std::string_view::npos) return false;
  return IsWebAddress(link);
}

std::string EncodeLinkForBrowser(std::string_view link) {
  // Browsers read percent escapes as UTF-8: the CP932 text is converted first, so that a
  // Japanese path or query reaches the page it names. Then as for a request, plus the quote that
  // would end the argument.
  std::string out;
  for (char c : EscapeForRequest(platform::Cp932ToUtf8(link))) {
    if (c == '"') {
      out += "%22";
    } else {
      out += c;
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

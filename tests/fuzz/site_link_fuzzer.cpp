// Address texts from feeds and pages (site links, icon hrefs) through the cache-name, host and
// link-resolution rules: the results must stay within their promises (a file name of at most
// 255 bytes without separators; an absolute result for an absolute page).
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fetch/url_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\n');
  const std::string_view link = input.substr(0, split);
  const std::string_view href =
      split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

  const std::string name = korvo::CacheFileName(link, 1024, ".ico");
  if (name.size() > 255 || name.find('/') != std::string::npos ||
      name.find('\\') != std::string::npos || name.find('\0') != std::string::npos) {
    std::abort();
  }
  korvo::SiteRoot(link);
  const std::string page = "http://" + std::string(link);
  const std::string resolved = korvo::ResolveLink(page, href);
  std::string scheme = resolved.substr(0, 8);
  for (char& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (scheme.compare(0, 7, "http://") != 0 && scheme.compare(0, 8, "https://") != 0) std::abort();
  korvo::EscapeForRequest(link);
  return 0;
}

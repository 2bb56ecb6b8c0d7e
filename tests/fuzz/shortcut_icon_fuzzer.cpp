// Web pages and downloaded bytes as the site-icon fetch meets them: the search for the page's
// Shortcut Icon link must end on any input, and an href it gives is never empty and never
// carries surrounding blanks; the image test must only look at the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fetch/shortcut_icon_link.h"
#include "fetch/site_icon_cache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string href;
  if (korvo::FindShortcutIconHref(input, &href)) {
    if (href.empty() || href.front() == ' ' || href.back() == ' ') std::abort();
  } else if (!href.empty()) {
    std::abort();
  }
  korvo::SiteIconCache::LooksLikeIcon(input);
  return 0;
}

// Page bytes through feed discovery: the reader, the feed test, the announcing-link rules and the
// feed summary. The first line is the page address, the rest the page. Results must keep their
// promises: at most kMaxAnnouncedFeeds distinct, absolute addresses of at most 1,023 bytes, and
// summaries within their size limits.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "channels/feed_summary.h"
#include "channels/page_feeds.h"
#include "feed/feed_encoding.h"
#include "feed/xml_document.h"

namespace {

bool StartsWithWebScheme(const std::string& text) {
  std::string head = text.substr(0, 8);
  for (char& c : head) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return head.compare(0, 7, "http://") == 0 || head.compare(0, 8, "https://") == 0;
}

void Check(const korvo::XmlDocument& document, const std::string& page) {
  korvo::DocumentFeedKind(document);
  for (korvo::LinkRules rules : {korvo::LinkRules::kBrowser, korvo::LinkRules::kDialog}) {
    const std::vector<korvo::AnnouncedFeed> feeds = korvo::AnnouncedFeeds(document, page, rules);
    if (feeds.size() > korvo::kMaxAnnouncedFeeds) std::abort();
    for (size_t i = 0; i < feeds.size(); ++i) {
      const std::string& address = feeds[i].address;
      if (address.empty() || address.size() > korvo::kMaxDiscoveryAddress) std::abort();
      if (feeds[i].kind != korvo::kFeedKindRss && feeds[i].kind != korvo::kFeedKindAtom) {
        std::abort();
      }
      if (StartsWithWebScheme(page) && !StartsWithWebScheme(address)) std::abort();
      for (size_t j = 0; j < i; ++j) {
        if (feeds[j].address == address) std::abort();
      }
    }
  }
  korvo::FeedSummary summary;
  korvo::ReadFeedSummary(document, page, &summary);
  if (summary.title.size() > korvo::kMaxSummaryTitle ||
      summary.description.size() > korvo::kMaxSummaryDescription ||
      summary.site_address.size() > korvo::kMaxSummarySiteAddress) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (size_t{1} << 20)) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\n');
  const std::string page(input.substr(0, std::min(split, size_t{2048})));
  const std::string_view bytes =
      split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

  const std::string text = korvo::FeedBytesToInternal(bytes);
  Check(korvo::XmlDocument::FromMemory(text), page);
  Check(korvo::XmlDocument::FromHtmlFragment(text), page);
  return 0;
}

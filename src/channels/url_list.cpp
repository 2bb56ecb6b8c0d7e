#include "channels/url_list.h"

namespace korvo {

namespace {

constexpr const char* kDefaultFeeds[] = {
    "https://www.nhk.or.jp/rss/news/cat0.xml",
    "https://news.yahoo.co.jp/rss/topics/top-picks.xml",
    "https://rss.itmedia.co.jp/rss/2.0/itmedia_all.xml",
    "https://www.watch.impress.co.jp/data/rss/1.0/ipw/feed.rdf",
    "https://gigazine.net/news/rss_2.0/",
    "https://b.hatena.ne.jp/hotentry/it.rss",
};

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::vector<std::string_view> SplitUrlListLines(std::string_view content) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < content.size()) {
    const size_t end = content.find('\n', start);
    if (end == std::string_view::npos) {
      lines.push_back(content.substr(start));
      break;
    }
    lines.push_back(content.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

bool ParseUrlListLine(std::string_view line, UrlListEntry* entry) {
  if (line.size() > kMaxUrlListLine) return false;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.size() < 2) return false;
  UrlListEntry parsed;
  if (line.front() == '#') {
    parsed.disabled = true;
    line.remove_prefix(1);
  }
  if (!StartsWith(line, "http://") && !StartsWith(line, "https://")) return false;
  if (line.find('\0') != std::string_view::npos) return false;
  parsed.address = std::string(line);
  *entry = std::move(parsed);
  return true;
}

std::string DefaultUrlListText() {
  std::string text;
  for (const char* feed : kDefaultFeeds) {
    text += feed;
    text += '\n';
  }
  return text;
}

}  // namespace korvo

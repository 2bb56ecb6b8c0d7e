#include "channels/feed_summary.h"

#include "channels/discovery_rules.h"
#include "channels/page_feeds.h"
#include "shell/text_limit.h"

namespace korvo {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The first direct child element of `parent` named `name` (exact), or null.
const XmlNode* Child(const XmlNode* parent, std::string_view name) {
  if (parent == nullptr) return nullptr;
  for (const XmlNode* node = parent->first_child; node != nullptr; node = node->next) {
    if (node->IsElement() && node->value == name) return node;
  }
  return nullptr;
}

// The text and CDATA children of `element` joined, without surrounding blanks, cut to
// `max_bytes` on a character boundary. Collecting stops early so a hostile element with
// countless text pieces costs no more than the limit.
std::string ElementText(const XmlNode* element, size_t max_bytes) {
  std::string text;
  if (element == nullptr) return text;
  for (const XmlNode* node = element->first_child; node != nullptr; node = node->next) {
    if (node->kind != XmlKind::kText && node->kind != XmlKind::kCdata) continue;
    const size_t room = max_bytes + 2 - text.size();
    text.append(node->value, 0, room);
    if (text.size() > max_bytes + 1) break;
  }
  size_t begin = 0;
  while (begin < text.size() && IsBlank(text[begin])) ++begin;
  size_t end = text.size();
  while (end > begin && IsBlank(text[end - 1])) --end;
  return TruncateCp932(std::string_view(text).substr(begin, end - begin), max_bytes);
}

std::string FirstText(const XmlNode* parent, std::string_view name, std::string_view fallback,
                      size_t max_bytes) {
  const XmlNode* node = Child(parent, name);
  if (node == nullptr) node = Child(parent, fallback);
  return ElementText(node, max_bytes);
}

bool StartsWithWebScheme(std::string_view text) {
  auto starts = [&](std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
      char c = text[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != prefix[i]) return false;
    }
    return true;
  };
  return starts("http://") || starts("https://");
}

// The site address of an Atom feed: the alternate link (a link without `rel` is one), else the
// first link; relative addresses completed against the feed's own address when they can be.
std::string AtomSiteAddress(const XmlNode* feed, std::string_view feed_address) {
  const XmlNode* chosen = nullptr;
  const XmlNode* first = nullptr;
  for (const XmlNode* node = feed->first_child; node != nullptr; node = node->next) {
    if (!node->IsElement() || node->value != "link" || node->Attribute("href") == nullptr) {
      continue;
    }
    if (first == nullptr) first = node;
    const std::string* rel = node->Attribute("rel");
    if (rel == nullptr || *rel == "alternate") {
      chosen = node;
      break;
    }
  }
  if (chosen == nullptr) chosen = first;
  if (chosen == nullptr) return std::string();
  std::string href = *chosen->Attribute("href");
  if (!StartsWithWebScheme(href) && StartsWithWebScheme(feed_address)) {
    std::string completed = CompleteFeedAddress(feed_address, href);
    if (!completed.empty()) href = std::move(completed);
  }
  return href;
}

}  // namespace

bool ReadFeedSummary(const XmlDocument& document, std::string_view feed_address,
                     FeedSummary* summary) {
  *summary = FeedSummary();
  if (const XmlNode* channel = document.Find("channel")) {
    summary->title = FirstText(channel, "title", "dc:title", kMaxSummaryTitle);
    summary->site_address = ElementText(Child(channel, "link"), kMaxSummarySiteAddress + 1);
    summary->description =
        FirstText(channel, "description", "dc:description", kMaxSummaryDescription);
  } else if (const XmlNode* feed = document.Find("feed")) {
    summary->title = ElementText(Child(feed, "title"), kMaxSummaryTitle);
    summary->site_address = AtomSiteAddress(feed, feed_address);
    summary->description = FirstText(feed, "tagline", "subtitle", kMaxSummaryDescription);
  } else {
    return false;
  }
  if (summary->site_address.size() > kMaxSummarySiteAddress) summary->site_address.clear();
  return true;
}

}  // namespace korvo

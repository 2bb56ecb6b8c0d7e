// The title, site address and description of a feed document, as the channel properties dialog
// fills them in when it looks a feed up.
//
// Pure functions over a document the caller owns; safe on any thread. Texts are CP932.
#ifndef KORVO_CHANNELS_FEED_SUMMARY_H_
#define KORVO_CHANNELS_FEED_SUMMARY_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "feed/xml_document.h"

namespace korvo {

// Longest texts handed to the dialog; longer titles and descriptions are cut on a character
// boundary, a longer site address is dropped (a cut address would lead elsewhere).
constexpr size_t kMaxSummaryTitle = 1023;
constexpr size_t kMaxSummaryDescription = 8191;
constexpr size_t kMaxSummarySiteAddress = 2047;

struct FeedSummary {
  std::string title;
  std::string site_address;
  std::string description;
};

// Reads the summary of the feed in `document`, fetched from `feed_address`:
// - with a `channel` element (RSS 0.9x, 1.0, 2.0): its `title`, `link` and `description`
//   children (`dc:title`, `dc:description` when those are missing);
// - else with a `feed` element (Atom): its `title`; the `href` of its `link` with `rel`
//   "alternate" or without `rel` (else of its first `link`), completed against `feed_address`
//   when relative; its `tagline` (Atom 0.3) or `subtitle` (Atom 1.0).
// Only direct children count, so an item's title never stands in for a missing channel title.
// Texts are the element's text and CDATA children joined, without surrounding blanks; a missing
// one is empty. False (summary emptied) when the document has neither element.
bool ReadFeedSummary(const XmlDocument& document, std::string_view feed_address,
                     FeedSummary* summary);

}  // namespace korvo

#endif  // KORVO_CHANNELS_FEED_SUMMARY_H_

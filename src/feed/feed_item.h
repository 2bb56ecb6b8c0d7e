// One item parsed from a feed, with its extra enclosures, and the channel facts the extraction
// reads. Plain data; texts are CP932. A `FeedItem` is owned by the `ItemList` it was appended to.
#ifndef KORVO_FEED_FEED_ITEM_H_
#define KORVO_FEED_FEED_ITEM_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace korvo {

// The channel-list entry an item comes from (defined with the channel list). Items only carry a
// shared, read-only copy of it; the feed code never looks inside.
struct Channel;

// One extra enclosure or a media thumbnail. Absent attributes give empty texts.
struct MediaRef {
  std::string url;
  std::string size;  // an enclosure's "length", or a thumbnail's "width height"
  std::string type;  // a thumbnail's type starts with kThumbnailTypePrefix

  bool operator==(const MediaRef& other) const {
    return url == other.url && size == other.size && type == other.type;
  }
};

// Marks a `MediaRef` that is a thumbnail image rather than an enclosure.
inline constexpr char kThumbnailTypePrefix[] = "thumb!";

// What the item extraction needs to know about the channel a feed belongs to.
struct ChannelContext {
  std::string site_url;    // the channel's own site address (`htmlUrl`)
  std::string title;       // the channel's own title (`text`)
  uint32_t overwrite = 0;  // bit 0: site_url replaces the feed's link; bit 1: title its title
  // Copied into every item; may be null.
  std::shared_ptr<const Channel> properties;
  // Called once per extraction with the site link the feed gives (at most kMaxSiteLinkBytes),
  // so the caller can fetch the site's icon; may be empty. Runs on the extracting thread and
  // should only hand the work on.
  std::function<void(const std::string& site_link)> on_site_link;
};

// Longest site link handed to ChannelContext::on_site_link.
constexpr size_t kMaxSiteLinkBytes = 1011;

// One parsed item. "Empty" texts mean the feed did not give the field.
struct FeedItem {
  std::string title;        // never empty: a single blank when the item has no title text
  std::string link;         // item link, else the channel link, else kDefaultItemLink
  std::string site_name;    // channel title, or the item's own "sitename" (file import)
  std::string site_link;    // channel link, or the "sitename" element's "url"
  std::string description;  // plain text, markup rendered away
  std::string date;         // the date text exactly as in the feed; parsed later
  std::string category;
  std::string creator;
  std::string comment_link;    // trackback address, or one derived from the link
  std::string enclosure_url;   // first enclosure or media content
  std::string enclosure_size;  // enclosure "length", or media content "width height"
  std::string enclosure_type;
  int store_index = -1;  // set by the news store when the item is stored
  std::shared_ptr<const Channel> channel;
  int new_flag = 1;    // 1 for every item the extraction produces
  bool shown = false;  // set when the item is not to be shown again in this list
  std::vector<MediaRef> media;
};

// The link of an item when neither the item nor its channel gives one: the home page of a web
// search portal.
inline constexpr char kDefaultItemLink[] = "https://www.google.co.jp/";

}  // namespace korvo

#endif  // KORVO_FEED_FEED_ITEM_H_

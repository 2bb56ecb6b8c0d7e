#include "update/item_record.h"

#include "channels/channel.h"
#include "feed/cp932_field.h"
#include "feed/feed_date.h"
#include "platform/code_page.h"

namespace korvo {

namespace {

// Appends one entry; false (nothing appended) when it would take the text beyond the bound and
// the text already holds an entry.
bool AppendReference(std::string* text, const std::string& size, const std::string& type,
                     const std::string& url) {
  const size_t length = size.size() + type.size() + url.size() + 3;
  if (!text->empty() && text->size() + length > kMaxEnclosureTextBytes) return false;
  text->append(size).append("\\").append(type).append("\\").append(url).append("\\");
  return true;
}

void CutDescription(std::string* description) {
  if (description->size() > kMaxKeptDescriptionBytes) {
    MakeCp932Field(description, kMaxKeptDescriptionBytes);
  }
}

}  // namespace

void BoundItemTexts(FeedItem* item) { CutDescription(&item->description); }

std::string EnclosureText(const FeedItem& item) {
  std::string text;
  if (item.enclosure_url.empty()) return text;
  AppendReference(&text, item.enclosure_size, item.enclosure_type, item.enclosure_url);
  for (const MediaRef& media : item.media) {
    if (!media.url.empty() && !AppendReference(&text, media.size, media.type, media.url)) break;
  }
  return text;
}

NewsItem RecordFromFeedItem(const FeedItem& item, const platform::CalendarTime& now,
                            int local_offset_minutes) {
  NewsItem record;
  record.link = platform::Cp932ToUtf16(item.link);
  record.title = platform::Cp932ToUtf16(item.title);
  record.site = platform::Cp932ToUtf16(item.site_name);
  record.site_link = platform::Cp932ToUtf16(item.site_link);
  record.category = platform::Cp932ToUtf16(item.category);
  record.author = platform::Cp932ToUtf16(item.creator);
  std::string description = item.description;
  CutDescription(&description);
  record.description = platform::Cp932ToUtf16(description);
  record.subelement = platform::Cp932ToUtf16(EnclosureText(item));
  record.get_day.calendar = now;
  record.last_seen.calendar = now;
  platform::CalendarTime created;
  if (ParseFeedDate(item.date, local_offset_minutes, &created)) {
    record.create_day.calendar = created;
  }
  return record;
}

TickerItem TickerItemFromFeedItem(const FeedItem& item, int32_t id, uint32_t state) {
  TickerItem ticker;
  ticker.title = item.title;
  ticker.link = item.link;
  ticker.site_name = item.site_name;
  ticker.site_link = item.site_link;
  ticker.description = item.description;
  ticker.category = item.category;
  ticker.author = item.creator;
  ticker.id = id;
  ticker.state = state;
  ticker.hide_once_opened = item.channel != nullptr && item.channel->drop;
  ticker.hidden = item.shown;
  ticker.enclosure_url = item.enclosure_url;
  ticker.enclosure_size = item.enclosure_size;
  ticker.enclosure_type = item.enclosure_type;
  for (const MediaRef& media : item.media) {
    if (!media.url.empty()) ticker.media.push_back(media);
  }
  return ticker;
}

}  // namespace korvo

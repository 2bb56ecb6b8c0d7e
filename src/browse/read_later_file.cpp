#include "browse/read_later_file.h"

#include "browse/markup_text.h"
#include "feed/calendar_math.h"
#include "feed/feed_date.h"
#include "platform/code_page.h"

namespace korvo {

namespace {

// UTF-8 text of `text` with the characters XML reserves written as references and without the
// control characters XML 1.0 does not allow.
std::string XmlText(const std::u16string& text) {
  std::string allowed;
  for (char c : platform::Utf16ToUtf8(text)) {
    if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r') allowed += c;
  }
  return EscapeMarkup(allowed, MarkupEncoding::kUtf8);
}

void Element(std::string* out, const char* name, const std::u16string& text) {
  if (text.empty()) return;
  *out += std::string("      <") + name + ">" + XmlText(text) + "</" + name + ">\n";
}

}  // namespace

std::string ReadLaterFeed(const std::vector<NewsItem>& items, int offset_minutes) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\">\n  <channel>\n"
      "    <title>KorvoNewsReader read later</title>\n"
      "    <link>http://localhost/</link>\n"
      "    <description>KorvoNewsReader read later</description>\n";
  for (const NewsItem& item : items) {
    out += "    <item>\n";
    Element(&out, "title", item.title);
    Element(&out, "link", item.link);
    Element(&out, "description", item.description);
    Element(&out, "author", item.author);
    Element(&out, "category", item.category);
    if (!item.site.empty()) {
      out += "      <source url=\"" + XmlText(item.site_link) + "\">" + XmlText(item.site) +
             "</source>\n";
    }
    if (!item.get_day.empty()) {
      const CalendarTime utc = AddMinutes(item.get_day.calendar, offset_minutes, 1);
      out += "      <pubDate>" + FormatHttpDate(utc) + "</pubDate>\n";
    }
    out += "    </item>\n";
  }
  return out + "  </channel>\n</rss>\n";
}

}  // namespace korvo

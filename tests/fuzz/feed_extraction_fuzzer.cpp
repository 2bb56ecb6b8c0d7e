// Arbitrary bytes as a fetched feed (encoding detection, conversion, reading and extraction) and
// as CP932 text through the file-import variant. Every produced field must hold no NUL and no
// lone lead byte, and stay within its size limit. The bytes are also rendered as an HTML
// fragment both ways (from the tokens and by walking the fragment's document), which must agree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "feed/html_text.h"
#include "feed/item_extraction.h"
#include "feed/xml_document.h"
#include "platform/code_page.h"

namespace {

void CheckField(const std::string& text, size_t max_bytes) {
  if (text.size() > max_bytes) std::abort();
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b == 0) std::abort();
    if (korvo::platform::IsCp932LeadByte(b)) {
      if (i + 1 >= text.size() || static_cast<unsigned char>(text[i + 1]) < 0x40) std::abort();
      ++i;
    }
  }
}

void CheckItems(const korvo::ItemList& items) {
  if (items.size() > static_cast<size_t>(korvo::kMaxItemsPerFeed)) std::abort();
  for (const korvo::FeedItem& item : items) {
    if (item.title.empty() || item.link.empty()) std::abort();
    for (const std::string* field :
         {&item.title, &item.link, &item.date, &item.category, &item.creator, &item.comment_link,
          &item.enclosure_url, &item.enclosure_size, &item.enclosure_type}) {
      CheckField(*field, korvo::kMaxItemTextBytes);
    }
    CheckField(item.site_name, korvo::kMaxChannelTextBytes);
    CheckField(item.site_link, korvo::kMaxChannelTextBytes);
    CheckField(item.description, korvo::kMaxItemDescriptionBytes);
    if (item.media.size() > korvo::kMaxMediaPerItem) std::abort();
    for (const korvo::MediaRef& media : item.media) {
      CheckField(media.url, korvo::kMaxItemTextBytes);
      CheckField(media.size, korvo::kMaxItemTextBytes);
      CheckField(media.type, korvo::kMaxItemTextBytes);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  korvo::ChannelContext channel;
  channel.on_site_link = [](const std::string& link) {
    if (link.empty() || link.size() > korvo::kMaxSiteLinkBytes) std::abort();
  };
  korvo::ItemList fed;
  const int count = korvo::ParseFeedBytes(input, channel, &fed);
  if (count < 0 || static_cast<size_t>(count) != fed.size()) std::abort();
  CheckItems(fed);

  korvo::ItemList imported;
  channel.overwrite = 3;
  channel.title = "t";
  channel.site_url = "http://x/";
  const int imported_count = korvo::ExtractImportedItems(input, &imported, channel, 1);
  if (static_cast<size_t>(imported_count) != imported.size() + 1) std::abort();
  CheckItems(imported);

  std::string walked;
  korvo::RenderNodesAsText(korvo::XmlDocument::FromHtmlFragment(input).root(), &walked);
  if (korvo::RenderHtmlFragment(input) != walked) std::abort();
  return 0;
}

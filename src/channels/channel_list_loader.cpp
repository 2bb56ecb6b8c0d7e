#include "channels/channel_list_loader.h"

#include <vector>

#include "channels/channel_texts.h"
#include "channels/opml_templates.h"
#include "channels/url_list.h"
#include "feed/feed_encoding.h"
#include "fetch/feed_cache.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace korvo {

namespace {

std::string InFolder(const std::string& folder, const char* name) { return folder + "/" + name; }

// The text of the first direct child element `name` of `parent` (its text and CDATA children
// joined), or empty.
std::string ChildText(const XmlNode* parent, std::string_view name) {
  for (const XmlNode* child = parent->first_child; child != nullptr; child = child->next) {
    if (!child->IsElement() || child->value != name) continue;
    std::string text;
    for (const XmlNode* part = child->first_child; part != nullptr; part = part->next) {
      if (part->kind == XmlKind::kText || part->kind == XmlKind::kCdata) text += part->value;
    }
    return text;
  }
  return std::string();
}

// `text` cut to at most `limit` bytes without splitting a two-byte character.
std::string CutText(std::string text, size_t limit) {
  if (text.size() <= limit) return text;
  size_t end = 0;
  while (end < limit) {
    const size_t length = platform::IsCp932LeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end + length > limit) break;
    end += length;
  }
  text.resize(end);
  return text;
}

XmlNode* MakeOutline(XmlDocument* document, const UrlListEntry& entry, std::string title,
                     std::string site, std::string description) {
  if (title.find_first_not_of(' ') == std::string::npos) title = entry.address;
  if (site.size() > kMaxConvertedSiteAddress) site.clear();
  XmlNode* outline = document->NewNode(XmlKind::kEmpty, "outline");
  outline->SetAttribute("text", title);
  outline->SetAttribute("title", title);
  outline->SetAttribute("type", "rss");
  outline->SetAttribute("xmlUrl", entry.address);
  outline->SetAttribute("htmlUrl", site);
  outline->SetAttribute("description", description);
  if (entry.disabled) outline->SetAttribute("disable", "true");
  return outline;
}

// The title, site address and description of a feed document: its RSS `channel`, or its Atom
// `feed` (title and the first link's address). False when it has neither.
bool FeedFacts(const XmlDocument& feed, std::string* title, std::string* site,
               std::string* description) {
  if (const XmlNode* channel = FindElement(feed.root(), "channel")) {
    *title = CutText(CleanAttributeValue(ChildText(channel, "title")), kMaxConvertedTitle);
    *site = CleanAttributeValue(ChildText(channel, "link"));
    *description =
        CutText(CleanAttributeValue(ChildText(channel, "description")), kMaxConvertedDescription);
    return true;
  }
  if (const XmlNode* atom = FindElement(feed.root(), "feed")) {
    *title = CutText(CleanAttributeValue(ChildText(atom, "title")), kMaxConvertedTitle);
    for (const XmlNode* child = atom->first_child; child != nullptr; child = child->next) {
      if (child->IsElement() && child->value == "link" && child->Attribute("href") != nullptr) {
        *site = CleanAttributeValue(*child->Attribute("href"));
        break;
      }
    }
    description->clear();
    return true;
  }
  return false;
}

}  // namespace

std::string UrlListConversionText(const UrlListConversion& conversion) {
  std::string text = GetChannelText(ChannelText::kUrlListConverted);
  text += "\r\n" + FormatText(GetChannelText(ChannelText::kUrlListFetched),
                              std::to_string(conversion.fetched));
  if (conversion.kept > 0) {
    text += "\r\n" +
            FormatText(GetChannelText(ChannelText::kUrlListKept), std::to_string(conversion.kept));
  }
  if (!conversion.dropped.empty()) {
    // The first few addresses name the rest; the backup file holds every one.
    constexpr size_t kNamed = 10;
    std::string names;
    for (size_t i = 0; i < conversion.dropped.size() && i < kNamed; ++i) {
      names += "\r\n  " + conversion.dropped[i];
    }
    if (conversion.dropped.size() > kNamed) names += "\r\n  ...";
    text += "\r\n" +
            FormatText(GetChannelText(ChannelText::kUrlListDropped),
                       std::to_string(conversion.dropped.size())) +
            names;
  }
  return text;
}

UrlListConversion ConvertUrlList(const std::string& url_list_text, const SourceDownload& download,
                                 const std::string& temp_path, ProgressDisplay* progress,
                                 XmlDocument* document, XmlNode* target) {
  const std::vector<std::string_view> lines = SplitUrlListLines(url_list_text);
  if (progress != nullptr) progress->SetRange(static_cast<int>(lines.size()) - 1);
  UrlListConversion conversion;
  size_t tried = 0;
  for (std::string_view line : lines) {
    UrlListEntry entry;
    if (tried < kMaxUrlListEntries && ParseUrlListLine(line, &entry)) {
      ++tried;
      std::string body;
      if (download && download(entry.address, &body)) {
        platform::WriteWholeFile(temp_path, body);
        XmlDocument feed = XmlDocument::FromMemory(FeedBytesToInternal(body));
        std::string title, site, description;
        if (FindElement(feed.root(), "channel") != nullptr &&
            FeedFacts(feed, &title, &site, &description)) {
          document->AppendChild(target, MakeOutline(document, entry, std::move(title),
                                                    std::move(site), std::move(description)));
          ++conversion.fetched;
        } else {
          conversion.dropped.push_back(entry.address);
        }
      } else {
        // Not reachable now (offline, the server down): the subscription is kept under its
        // address until a fetch brings its title.
        document->AppendChild(target, MakeOutline(document, entry, entry.address, "", ""));
        ++conversion.kept;
      }
    }
    if (progress != nullptr) progress->Step();
  }
  return conversion;
}

size_t NameChannelsFromCache(const std::string& cache_folder, XmlNode* body) {
  if (body == nullptr) return 0;
  const FeedCache cache(cache_folder);
  size_t named = 0;
  for (XmlNode* node = body; node != nullptr; node = NextInDocumentOrder(node, body)) {
    if (!IsOutline(node)) continue;
    const std::string* url = node->Attribute("xmlUrl");
    const std::string* text = node->Attribute("text");
    if (url == nullptr || url->empty() || text == nullptr || *text != *url) continue;
    std::string bytes;
    if (!cache.Read(*url, &bytes)) continue;
    const XmlDocument feed = XmlDocument::FromMemory(FeedBytesToInternal(bytes));
    std::string title, site, description;
    if (!FeedFacts(feed, &title, &site, &description) ||
        title.find_first_not_of(' ') == std::string::npos) {
      continue;
    }
    node->SetAttribute("text", title);
    node->SetAttribute("title", title);
    const std::string* html = node->Attribute("htmlUrl");
    if ((html == nullptr || html->empty()) && site.size() <= kMaxConvertedSiteAddress) {
      node->SetAttribute("htmlUrl", site);
    }
    const std::string* about = node->Attribute("description");
    if (about == nullptr || about->empty()) node->SetAttribute("description", description);
    ++named;
  }
  return named;
}

int LoadChannelList(const std::string& working_folder, const ChannelListLoadOptions& options,
                    ChannelList* list) {
  const std::string opml_path = InFolder(working_folder, kChannelListFile);
  const std::string url_list_path = InFolder(working_folder, kUrlListFile);
  const bool has_opml = platform::FileExists(opml_path);
  const bool has_url_list = platform::FileExists(url_list_path);

  if (!has_opml) platform::WriteWholeFile(opml_path, EmptyChannelListText());
  if (!has_opml && !has_url_list) {
    platform::WriteWholeFile(url_list_path, DefaultUrlListText());
  }

  if (!list->LoadFile(opml_path)) return -1;
  XmlNode* body = list->EnsureBody();
  if (!platform::FileExists(url_list_path) || body == nullptr) return body == nullptr ? -1 : 0;

  std::string url_list_text;
  if (!platform::ReadWholeFile(url_list_path, &url_list_text, kMaxUrlListBytes)) return 0;

  ProgressDisplay* progress = options.progress;
  if (progress != nullptr) progress->Open(GetChannelText(ChannelText::kMigrationProgressTitle));

  const std::string backup_path = InFolder(working_folder, kUrlListBackupFile);
  const std::string temp_path = InFolder(working_folder, kTempDownloadFile);
  const std::string old_list_path = InFolder(working_folder, kOldUrlListFile);
  const bool backed_up = platform::WriteWholeFile(backup_path, url_list_text);

  // The converted channels are collected in a list of their own first, then moved over.
  ChannelList converted;
  XmlDocument& converted_document = converted.document();
  const UrlListConversion conversion = ConvertUrlList(
      url_list_text, options.download, temp_path, progress, &converted_document, converted.body());
  if (options.conversion != nullptr) *options.conversion = conversion;
  SaveChannelList(converted_document, old_list_path);

  XmlDocument& document = list->document();
  XmlNode* converted_body = converted.body();
  while (XmlNode* child = converted_body->first_child) {
    converted_document.Detach(child);
    document.AppendChild(body, document.CopySubtree(*child));
  }

  const bool saved = SaveChannelList(document, opml_path);
  if (progress != nullptr) progress->Close();
  platform::RemoveFile(temp_path);
  platform::RemoveFile(old_list_path);
  if (!saved) {
    list->MarkModified();
    return -1;
  }
  if (backed_up) platform::RemoveFile(url_list_path);
  return 0;
}

}  // namespace korvo

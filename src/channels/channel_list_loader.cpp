#include "channels/channel_list_loader.h"

#include <vector>

#include "channels/channel_texts.h"
#include "channels/opml_templates.h"
#include "channels/url_list.h"
#include "feed/feed_encoding.h"
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

XmlNode* MakeChannelOutline(XmlDocument* document, const UrlListEntry& entry,
                            const XmlNode& channel) {
  std::string title =
      CutText(CleanAttributeValue(ChildText(&channel, "title")), kMaxConvertedTitle);
  if (title.find_first_not_of(' ') == std::string::npos) title = entry.address;
  std::string site = CleanAttributeValue(ChildText(&channel, "link"));
  if (site.size() > kMaxConvertedSiteAddress) site.clear();
  XmlNode* outline = document->NewNode(XmlKind::kEmpty, "outline");
  outline->SetAttribute("text", title);
  outline->SetAttribute("title", title);
  outline->SetAttribute("type", "rss");
  outline->SetAttribute("xmlUrl", entry.address);
  outline->SetAttribute("htmlUrl", site);
  outline->SetAttribute(
      "description",
      CutText(CleanAttributeValue(ChildText(&channel, "description")), kMaxConvertedDescription));
  if (entry.disabled) outline->SetAttribute("disable", "true");
  return outline;
}

}  // namespace

size_t ConvertUrlList(const std::string& url_list_text, const SourceDownload& download,
                      const std::string& temp_path, ProgressDisplay* progress,
                      XmlDocument* document, XmlNode* target) {
  const std::vector<std::string_view> lines = SplitUrlListLines(url_list_text);
  if (progress != nullptr) progress->SetRange(static_cast<int>(lines.size()) - 1);
  size_t made = 0;
  size_t tried = 0;
  for (std::string_view line : lines) {
    UrlListEntry entry;
    if (tried < kMaxUrlListEntries && ParseUrlListLine(line, &entry) && download) {
      ++tried;
      std::string body;
      if (download(entry.address, &body)) {
        platform::WriteWholeFile(temp_path, body);
        XmlDocument feed = XmlDocument::FromMemory(FeedBytesToInternal(body));
        if (const XmlNode* channel = FindElement(feed.root(), "channel")) {
          document->AppendChild(target, MakeChannelOutline(document, entry, *channel));
          ++made;
        }
      }
    }
    if (progress != nullptr) progress->Step();
  }
  return made;
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
  ConvertUrlList(url_list_text, options.download, temp_path, progress, &converted_document,
                 converted.body());
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

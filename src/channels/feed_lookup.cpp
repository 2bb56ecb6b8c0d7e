#include "channels/feed_lookup.h"

#include "channels/channel_texts.h"
#include "channels/discovery_rules.h"
#include "channels/page_feeds.h"
#include "feed/xml_document.h"
#include "platform/files.h"

namespace korvo {

namespace {

constexpr char kTemporaryFile[] = "korvo_temp.txt";

void Warn(FeedLookUpDialog* dialog, ChannelText text) {
  dialog->ShowWarning(GetChannelText(text), GetChannelText(ChannelText::kErrorCaption));
}

}  // namespace

int LookUpFeed(FeedLookUpDialog* dialog, const LookUpContext& context, int depth) {
  const std::string address = dialog->Address();
  if (address.size() > kMaxLookUpAddress || !IsLookUpAddress(address)) {
    Warn(dialog, ChannelText::kInvalidAddress);
    return -1;
  }

  const std::string path = context.working_folder.empty()
                               ? std::string(kTemporaryFile)
                               : context.working_folder + "/" + kTemporaryFile;
  std::string body;
  if (!context.download || !context.download(address, 0, &body, nullptr)) {
    Warn(dialog, ChannelText::kFetchFailed);
    return -1;
  }
  if (body.size() > kMaxDiscoveryPageBytes) body.resize(kMaxDiscoveryPageBytes);
  if (!platform::WriteWholeFile(path, body)) {
    platform::RemoveFile(path);
    Warn(dialog, ChannelText::kFetchFailed);
    return -1;
  }
  std::string().swap(body);
  const XmlDocument document = XmlDocument::FromFile(path);
  platform::RemoveFile(path);

  FeedSummary summary;
  if (ReadFeedSummary(document, address, &summary)) {
    dialog->SetFeedFields(summary);
    return 0;
  }

  const std::vector<AnnouncedFeed> feeds =
      AnnouncedFeeds(document, address, LinkRules::kDialog, /*max_feeds=*/1);
  if (!feeds.empty()) {
    dialog->SetAddress(feeds.front().address);
    if (depth < kMaxLookUpDepth) return LookUpFeed(dialog, context, depth + 1);
  }
  dialog->SetFeedFields(FeedSummary());
  return -1;
}

}  // namespace korvo

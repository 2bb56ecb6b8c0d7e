#include "ticker/ticker_drop.h"

#include "channels/feed_summary.h"
#include "feed/xml_document.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "shell/message_catalog.h"
#include "ticker/skin_package.h"

namespace korvo {

namespace {

// Catalog entries of the drop.
constexpr int kInstallQuestion = 1;
constexpr int kOverwriteQuestion = 2;
constexpr int kInstalled = 3;
constexpr int kInstallFailed = 4;
constexpr int kFeedAdded = 5;
constexpr int kAddedCaption = 6;

std::string Trim(std::string_view text) {
  size_t start = 0;
  size_t end = text.size();
  while (start < end && (text[start] == ' ' || text[start] == '\t')) ++start;
  while (end > start && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r' ||
                         text[end - 1] == '\n')) {
    --end;
  }
  return std::string(text.substr(start, end - start));
}

// Installs the skin the check found, after asking.
int InstallSkin(const std::string& path, bool package, const SkinPackageInfo& checked,
                const TickerDropContext& context, TickerDropHost& host) {
  const MessageCatalog& catalog = *context.catalog;
  if (!host.Ask(SkinInstallQuestion(catalog, checked.has_program_files))) return -1;
  if (checked.installed && !host.Ask(catalog.Text(kOverwriteQuestion))) return -1;
  SkinPackageInfo info;
  const bool ok = package ? InstallSkinPackage(path, context.skin_root, &info)
                          : InstallFolderSkin(path, context.skin_root, &info);
  if (!ok) {
    host.Fail(catalog.Text(kInstallFailed));
    return -1;
  }
  if (!checked.installed) host.SkinAdded(info.name);
  host.Inform(catalog.Text(kInstalled));
  return 0;
}

// A dropped (or downloaded) file or folder: a skin, else a feed. `feed_address` is what a new
// channel is subscribed to.
int HandleFile(const std::string& path, const std::string& feed_address,
               const TickerDropContext& context, TickerDropHost& host) {
  SkinPackageInfo info;
  const SkinCheck package = CheckSkinPackage(path, context.skin_root, &info);
  if (package == SkinCheck::kSkin) return InstallSkin(path, true, info, context, host);
  if (platform::DirectoryExists(path)) {
    if (CheckFolderSkin(path, context.skin_root, &info) == SkinCheck::kSkin) {
      return InstallSkin(path, false, info, context, host);
    }
    return -1;
  }
  // Not a skin: perhaps a feed. Anything unreadable is passed over in silence.
  const XmlDocument document = XmlDocument::FromFile(path);
  FeedSummary summary;
  if (!ReadFeedSummary(document, feed_address, &summary) || summary.title.empty()) return -1;
  if (!host.Subscribe(summary, feed_address)) return -1;
  host.Report(summary.title + context.catalog->Text(kFeedAdded),
              context.catalog->Text(kAddedCaption));
  return 0;
}

// Downloads `address` to temp_from_link, handles it and removes it again.
int HandleDownload(const std::string& address, const TickerDropContext& context,
                   TickerDropHost& host) {
  if (!IsDownloadableLink(address)) return -1;
  std::string body;
  if (!host.Download(address, &body) || body.empty()) return -1;
  const std::string temp = context.working_folder + "/" + kDropDownloadName;
  int result = -1;
  if (platform::WriteWholeFile(temp, body)) {
    std::string().swap(body);
    result = HandleFile(temp, address, context, host);
  }
  platform::RemoveFile(temp);
  return result;
}

}  // namespace

std::string ParseInternetShortcut(std::string_view text) {
  static constexpr std::string_view kHeader = "[InternetShortcut]";
  size_t line = 0;
  while (line < text.size()) {
    size_t end = text.find('\n', line);
    if (end == std::string_view::npos) end = text.size();
    if (text.compare(line, kHeader.size(), kHeader) == 0) {
      if (end >= text.size()) return std::string();
      const size_t next = end + 1;
      size_t next_end = text.find('\n', next);
      if (next_end == std::string_view::npos) next_end = text.size();
      const std::string_view after = text.substr(next, next_end - next);
      const size_t equals = after.find('=');
      if (equals == std::string_view::npos) return std::string();
      return Trim(after.substr(equals + 1));
    }
    line = end + 1;
  }
  return std::string();
}

bool IsDownloadableLink(std::string_view address) {
  const auto starts = [address](std::string_view prefix) {
    if (address.size() <= prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
      char c = address[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != prefix[i]) return false;
    }
    return true;
  };
  return starts("http://") || starts("https://");
}

std::string SkinInstallQuestion(const MessageCatalog& catalog, bool has_program_files) {
  std::string text = catalog.Text(kInstallQuestion);
  if (has_program_files) {
    text += platform::Utf8ToCp932(
        catalog.japanese()
            ? "\r\n\r\nこのスキンにはプログラム (.dll や .exe) が含まれています。"
              "スキンを選ぶと、プラグインとして実行されることがあります。"
              "配布元が信頼できる場合だけインストールしてください。"
            : "\r\n\r\nThis skin contains program files (.dll, .exe). They may run as a plug-in "
              "when the skin is chosen. Install it only if you trust where it came from.");
  }
  return text;
}

int DropPath(const std::string& path, const TickerDropContext& context, TickerDropHost& host) {
  if (path.empty()) return -1;
  if (platform::FileExists(path)) {
    std::string head;
    platform::File file;
    if (file.Open(path, platform::File::Mode::kRead)) {
      head.resize(kMaxShortcutBytes);
      const int64_t got = file.ReadAt(0, &head[0], head.size());
      head.resize(got > 0 ? static_cast<size_t>(got) : 0);
    }
    const std::string address = ParseInternetShortcut(head);
    if (!address.empty()) return HandleDownload(address, context, host);
  }
  return HandleFile(path, platform::Utf8ToCp932(path), context, host);
}

int DropLink(const std::string& link, const TickerDropContext& context, TickerDropHost& host) {
  return HandleDownload(Trim(link.substr(0, link.find_first_of("\r\n"))), context, host);
}

}  // namespace korvo

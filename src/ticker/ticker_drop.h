// What happens to something dropped on the ticker: a skin package (zip), a skin folder, an
// Internet shortcut, a link dragged from a web page, or a feed file. Skins are installed into
// the program's skin folder after the user agreed; feeds are added to the channel list.
//
// The flow is portable; the windows supply a TickerDropHost (message boxes, the download with
// its "updating" dialog, the skin menu, the channel list). Runs on the window thread.
#ifndef KORVO_TICKER_TICKER_DROP_H_
#define KORVO_TICKER_TICKER_DROP_H_

#include <string>
#include <string_view>

namespace korvo {

class MessageCatalog;
struct FeedSummary;

// The temporary file a dropped link is downloaded to, in the working folder.
constexpr char kDropDownloadName[] = "temp_from_link";
// Largest Internet shortcut file read.
constexpr size_t kMaxShortcutBytes = 64 * 1024;

class TickerDropHost {
 public:
  virtual ~TickerDropHost() = default;
  // An OK/Cancel question (question icon, Cancel the default, title "KorvoNewsReader"); true
  // for OK.
  virtual bool Ask(const std::string& text) = 0;
  // A message with the information icon, or the error icon.
  virtual void Inform(const std::string& text) = 0;
  virtual void Fail(const std::string& text) = 0;
  // A message box titled `caption` (the feed was added).
  virtual void Report(const std::string& text, const std::string& caption) = 0;
  // Downloads `address` into `*body`, waiting while showing progress; false when the user
  // stopped it or nothing came.
  virtual bool Download(const std::string& address, std::string* body) = 0;
  // A new skin `name` was installed: it gets an entry in the skin menu.
  virtual void SkinAdded(const std::string& name) = 0;
  // Adds the feed summed up by `summary`, fetched from `feed_address`, to the channel list
  // (saved, then read again); false when it was not added.
  virtual bool Subscribe(const FeedSummary& summary, const std::string& feed_address) = 0;
};

struct TickerDropContext {
  std::string working_folder;  // UTF-8
  std::string skin_root;       // UTF-8: the program folder's "skin"
  const MessageCatalog* catalog = nullptr;
};

// The address an Internet shortcut file names: the line after the one starting with
// "[InternetShortcut]", from after its first '='. Empty when there is none.
std::string ParseInternetShortcut(std::string_view text);

// Whether a dropped link may be downloaded: http:// and https:// addresses only.
bool IsDownloadableLink(std::string_view address);

// The install question for a skin: catalog entry 1, followed by a warning when the skin brings
// program files (a skin can name a plug-in that runs when it is chosen).
std::string SkinInstallQuestion(const MessageCatalog& catalog, bool has_program_files);

// A dropped file or folder (`path`, UTF-8). 0 handled, -1 refused or failed.
int DropPath(const std::string& path, const TickerDropContext& context, TickerDropHost& host);
// A link dragged onto the ticker: downloaded to "temp_from_link" and handled as a dropped file.
int DropLink(const std::string& link, const TickerDropContext& context, TickerDropHost& host);

}  // namespace korvo

#endif  // KORVO_TICKER_TICKER_DROP_H_

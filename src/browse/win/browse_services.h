// What the browse window and the channel windows need of the rest of the program. The program's
// composition (app/) fills it once; every member may stay empty, and the windows then do without
// (no ticker: kind 5 lists nothing; no update: the update button does nothing; ...).
//
// All functions are called on the window thread, except shown_items, which the list's worker
// thread calls (it must be thread-safe; the ticker's lists are).
#ifndef KORVO_BROWSE_WIN_BROWSE_SERVICES_H_
#define KORVO_BROWSE_WIN_BROWSE_SERVICES_H_

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "channels/page_download.h"
#include "fetch/fetch_context.h"
#include "shell/message_catalog.h"
#include "ticker/ticker_item.h"

namespace korvo {

class ChannelList;
class ChannelListComponent;

struct BrowseServices {
  HINSTANCE instance = nullptr;
  HWND main_window = nullptr;  // the headline window (0x468, the browser settings)
  std::string working_folder;  // UTF-8
  std::string program_folder;  // UTF-8
  const MessageCatalog* catalog = nullptr;

  // The channel list (window thread), and the favourites list with its save.
  ChannelListComponent* channels = nullptr;
  ChannelList* favourites = nullptr;
  std::function<bool()> save_favourites;
  // Reads fav.opml again (the favourites window's discard); false when it could not be read.
  std::function<bool()> reload_favourites;

  // The ticker's shown list (kind 5); any thread.
  std::function<std::vector<TickerItem>()> shown_items;
  // Pauses (true) or resumes (false) the ticker while the browse window is open.
  std::function<void(bool pause)> pause_ticker;

  // Starts an update run with fetching; false when it was refused. The counts of runs begun and
  // ended tell the update dialog when it has finished.
  std::function<bool()> start_update;
  std::function<uint64_t()> runs_started;
  std::function<uint64_t()> runs_finished;

  // Imports a local feed file (UTF-8 path) as unread items; returns the items added, -1 when the
  // file could not be read.
  std::function<int(const std::string& path)> import_feed_file;

  // Downloads for the browser discovery and the properties dialog's look-up, and the context of
  // the OPML import's downloads (network settings, working folder).
  PageDownloader download;
  FetchContext fetch_context;
};

}  // namespace korvo

#endif  // KORVO_BROWSE_WIN_BROWSE_SERVICES_H_

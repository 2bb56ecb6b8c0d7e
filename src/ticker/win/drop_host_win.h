// The drop flow's Windows side (TickerDropHost): message boxes owned by the headline window, the
// download of a dropped link on a worker thread with the "更新中" dialog (145) after 1000 ms, and
// the program's skin menu and channel list through the functions given.
//
// Window thread only.
#ifndef KORVO_TICKER_WIN_DROP_HOST_WIN_H_
#define KORVO_TICKER_WIN_DROP_HOST_WIN_H_

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "fetch/fetch_context.h"
#include "ticker/ticker_drop.h"

namespace korvo {

class ChannelListComponent;

// Adds the dropped feed to the channel list's top folder (asking before it replaces a channel of
// the same title, in message boxes owned by `owner`) and saves channel.opml, which rebuilds the
// update list. False when nothing was added or the list could not be saved.
bool SubscribeDroppedFeed(ChannelListComponent& channels, HWND owner, const FeedSummary& summary,
                          const std::string& feed_address);

class DropHostWin : public TickerDropHost {
 public:
  struct Functions {
    std::function<void(const std::string& name)> add_skin;
    std::function<bool(const FeedSummary& summary, const std::string& feed_address)> subscribe;
  };

  DropHostWin(HINSTANCE instance, HWND owner, FetchContext fetch, Functions functions)
      : instance_(instance),
        owner_(owner),
        fetch_(std::move(fetch)),
        functions_(std::move(functions)) {}

  bool Ask(const std::string& text) override;
  void Inform(const std::string& text) override;
  void Fail(const std::string& text) override;
  void Report(const std::string& text, const std::string& caption) override;
  bool Download(const std::string& address, std::string* body) override;
  void SkinAdded(const std::string& name) override;
  bool Subscribe(const FeedSummary& summary, const std::string& feed_address) override;

  // Waits this long for a download before the dialog is shown.
  static constexpr DWORD kQuietWaitMs = 1000;

 private:
  HINSTANCE instance_;
  HWND owner_;
  FetchContext fetch_;
  Functions functions_;
};

}  // namespace korvo

#endif  // KORVO_TICKER_WIN_DROP_HOST_WIN_H_

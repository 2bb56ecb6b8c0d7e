// HeadlineWindowHost: what the ticker engine asks of korvo.exe's windows, from the engine thread.
// It only posts messages to the window thread (never waits for it), except for the clipboard
// and the browser, which it drives itself:
//   ItemSelected     the item's texts to the item sink (the skin window's side); 1132 with its
//                    state flags to the headline window;
//   ListReloaded     1155 (*list reloaded*) to the headline window; the live-bookmark refresh;
//   Relayout         kRelayoutMessage to the headline window;
//   AnimationPaused  WM_USER+102 / +103 to the skin window, when there is one;
//   RestartIdleTimer 1038 to the headline window;
//   ItemOpened       1128 with the item id to the headline window;
//   CopyToClipboard  the text as Unicode text, the headline window owning the clipboard;
//   OpenLink         browser_launch.h with the headline window's browser settings.
// COM is initialised on the engine thread for the shell.
#ifndef KORVO_TICKER_WIN_HEADLINE_WINDOW_HOST_H_
#define KORVO_TICKER_WIN_HEADLINE_WINDOW_HOST_H_

#include <windows.h>

#include <functional>
#include <memory>

#include "ticker/ticker_engine_host.h"
#include "ticker/win/headline_window.h"

namespace korvo {

class HeadlineWindowHost : public TickerEngineHost {
 public:
  // `window` outlives the engine thread (both live as long as the program's shell).
  explicit HeadlineWindowHost(std::shared_ptr<HeadlineWindow> window)
      : window_(std::move(window)) {}

  // The skin window (empty or null: none) and the live-bookmark refresh (empty: none yet).
  void SetSkinWindowSource(std::function<HWND()> source) { skin_window_ = std::move(source); }
  void SetLiveBookmarkRefresh(std::function<void()> refresh) { refresh_ = std::move(refresh); }
  // Where each selected item's texts go (the skin window's side); called on the engine thread,
  // so it must only copy and post.
  void SetItemSink(std::function<void(const TickerItem&)> sink) { item_sink_ = std::move(sink); }

  void EngineThreadStarts() override;
  void EngineThreadEnds() override;
  void ItemSelected(const TickerItem& item, size_t position, size_t count) override;
  void ListReloaded(bool refresh_live_bookmarks) override;
  void Relayout(bool repaint_skin) override;
  void AnimationPaused(bool paused) override;
  void RestartIdleTimer() override;
  bool CopyToClipboard(const std::string& text) override;
  void OpenLink(const std::string& link) override;
  void ItemOpened(int32_t id) override;

 private:
  void Post(UINT message, WPARAM w = 0, LPARAM l = 0);

  std::shared_ptr<HeadlineWindow> window_;
  std::function<HWND()> skin_window_;
  std::function<void()> refresh_;
  std::function<void(const TickerItem&)> item_sink_;
  bool com_ = false;
};

}  // namespace korvo

#endif  // KORVO_TICKER_WIN_HEADLINE_WINDOW_HOST_H_

// TickerEngineHost: what the ticker engine asks of the program around it (korvo.exe: the two
// ticker windows, the clipboard and the browser; korvo-headless: its report lines). Every member
// has a default that does nothing, for a program without windows.
//
// Threads: called on the engine thread. An implementation must not wait for the engine (it may
// post window messages, or send them with a time limit) and must not hold a lock the engine
// takes.
#ifndef KORVO_TICKER_TICKER_ENGINE_HOST_H_
#define KORVO_TICKER_TICKER_ENGINE_HOST_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "ticker/ticker_item.h"

namespace korvo {

class TickerEngineHost {
 public:
  virtual ~TickerEngineHost() = default;

  // The engine thread begins and ends (korvo.exe sets up COM there for the shell's sake).
  virtual void EngineThreadStarts() {}
  virtual void EngineThreadEnds() {}

  // An item is about to be shown (`position` in the display order of `count` items): its texts
  // go to the skin window, its state flags to the headline window.
  virtual void ItemSelected(const TickerItem& /*item*/, size_t /*position*/, size_t /*count*/) {}
  // A reload replaced the shown list (*list reloaded*); `refresh_live_bookmarks` unless the
  // user turned that off.
  virtual void ListReloaded(bool /*refresh_live_bookmarks*/) {}
  // The layout step: box, font and window sizes are computed anew; `repaint_skin` also repaints
  // the skin window (after a skin was applied).
  virtual void Relayout(bool /*repaint_skin*/) {}
  // Pause or resume the skin window's animation.
  virtual void AnimationPaused(bool /*paused*/) {}
  // Restart the headline window's 60-second idle timer.
  virtual void RestartIdleTimer() {}
  // Puts `text` (CP932) on the clipboard; false when it could not.
  virtual bool CopyToClipboard(const std::string& /*text*/) { return false; }
  // Opens `link` (CP932) in the browser, by the program's open-in-browser rules.
  virtual void OpenLink(const std::string& /*link*/) {}
  // The item with record id `id` was opened (*item opened* to the headline window).
  virtual void ItemOpened(int32_t /*id*/) {}
};

}  // namespace korvo

#endif  // KORVO_TICKER_TICKER_ENGINE_HOST_H_

// TickerEngine: the ticker's engine. It owns the order in which the shown list is displayed (in
// TickerLists), takes one-byte commands from any thread through its 256-entry queue, and hands
// one item at a time to the display.
//
// Commands (EngineCommand in shell/main_window_ids.h):
//   1  Quit            ends a pause, stops the item now, ends the loop.
//   2, 3 ShowAgain     unless paused: stop the item now; the current item again.
//   4  Reload          before the next item, swap in the handed-over list and keep the place.
//   5  OpenCurrent     open the current item's link and mark it read (below).
//   6  Shuffle         random order on; the next item is the first of a fresh shuffle.
//   7  Relayout        the layout step (host).
//   8  Pause           the display stands still, the skin animation pauses. Once.
//   9  Resume          both go on where they were. Only while paused.
//   10 RelayoutAndShow stop the item now; layout and skin repaint; the current item again.
//   11 Next            unless paused: notification 0 (a plug-in may veto); stop the item now;
//                      the next item.
//   12 Previous        the same with notification 2 and the previous item.
//   13 Unshuffle       random order off; the next item is the first in list order.
//   14 RestartIdleTimer  host.
//   15 CopyUrl         notification 16 (veto), the current item's link to the clipboard, 17.
//   18 ReadLater       the current item's record goes on the store's read-later list.
//   19 NextSite        unless paused: stop the item now; the first item of the next site.
//   20 PreviousSite    unless paused: stop the item now; the first item of the previous site.
//   0, 16, 17 and codes above 20 are ignored.
//
// Each pass of the loop (RunPass): when no item is on display, (a) a pending reload raises
// notification 4 (veto: the reload is dropped), remembers the place, swaps the lists, raises 5,
// places the cursor (TickerLists::PlaceAfterReload) and tells the host; (b) a pending rewind
// rewinds (shuffled in random order); (c) the item for the current move is selected and handed
// to the display, and notification 1 or 3 follows a step forward or back. Then one command is
// taken. Nothing is shown before the first selecting command (Next, Previous, the site jumps,
// ShowAgain or RelayoutAndShow after one of them): the start-up pushes Next once the first list
// is there, and that shows the list's first item.
//
// Open current item: notification 12 with the link (veto); the store record (ids 0, -1, -2:
// none) gets its check day when it has none; the host opens the link and is told the item was
// opened; an item hidden once opened leaves the rotation while two items stay visible;
// notification 13.
//
// Threads: Push, SetStyle, SetDispatcher and the getters from any thread; RunPass and Run on the
// engine thread only. Lock order: the engine's small locks (style, dispatcher) stand alone; the
// command queue's lock stands alone; the store lock is taken before the lists' lock.
#ifndef KORVO_TICKER_TICKER_ENGINE_H_
#define KORVO_TICKER_TICKER_ENGINE_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/clock.h"
#include "ticker/engine_command_queue.h"
#include "ticker/headline_style.h"
#include "ticker/notification_dispatcher.h"
#include "ticker/ticker_display.h"
#include "ticker/ticker_engine_host.h"
#include "ticker/ticker_lists.h"
#include "ticker/ticker_random.h"

namespace korvo {

class TickerEngine {
 public:
  struct Parts {
    std::shared_ptr<TickerLists> lists;      // required
    std::shared_ptr<TickerDisplay> display;  // required
    std::shared_ptr<TickerEngineHost> host;  // null: no windows
    // The store's working folder, for the read marks and the read-later list; empty: none.
    std::string working_folder;
    // The local time for read marks; empty: platform::LocalNow.
    std::function<platform::CalendarTime()> now;
    // Seeds the shuffles and each item's effect choice; 0: from the clock.
    uint32_t seed = 0;
  };

  explicit TickerEngine(Parts parts);
  TickerEngine(const TickerEngine&) = delete;
  TickerEngine& operator=(const TickerEngine&) = delete;

  // Appends a command to the queue: 0, or -1 when 256 are waiting (the command is dropped).
  int Push(uint8_t command);
  // The style the next items are shown with.
  void SetStyle(const HeadlineStyle& style);
  HeadlineStyle style() const;
  // The plug-in host's dispatcher; null: no plug-ins. May change while the engine runs.
  void SetDispatcher(std::shared_ptr<NotificationDispatcher> dispatcher);

  // One pass of the loop; false once Quit was taken.
  bool RunPass();
  // The thread body: passes until Quit, waiting between them for a command or the end of the
  // item on display (never busy: when there is nothing to do it sleeps until woken). Shuts the
  // display down before it returns.
  void Run();

  bool paused() const { return paused_.load(); }
  bool random_order() const { return random_order_.load(); }
  bool quit() const { return quit_.load(); }
  size_t queued() const { return queue_.size(); }
  std::shared_ptr<TickerLists> lists() const { return lists_; }

 private:
  void DoReload();
  void SelectAndShow();
  void Act(uint8_t command);
  void StopItemNow();
  void OpenCurrent();
  void CopyUrl();
  void ReadLater();
  int Notify(int code, std::string_view link = {});
  platform::CalendarTime Now() const;

  const std::shared_ptr<TickerLists> lists_;
  const std::shared_ptr<TickerDisplay> display_;
  const std::shared_ptr<TickerEngineHost> host_;
  const std::string working_folder_;
  const std::function<platform::CalendarTime()> now_;
  EngineCommandQueue queue_;

  mutable std::mutex style_mutex_;
  HeadlineStyle style_;
  mutable std::mutex dispatcher_mutex_;
  std::shared_ptr<NotificationDispatcher> dispatcher_;

  // Engine thread only, except the atomics, which others read.
  TickerRandom random_;
  TickerMove move_ = TickerMove::kNext;
  bool showing_ = false;  // a selecting command came: items are shown
  bool reload_ = false;
  bool rewind_ = false;
  std::atomic<bool> paused_{false};
  std::atomic<bool> random_order_{false};
  std::atomic<bool> quit_{false};
};

}  // namespace korvo

#endif  // KORVO_TICKER_TICKER_ENGINE_H_

// TickerDisplay: what the engine needs from the display that shows one headline at a time on a
// thread of its own (korvo.exe: the headline window; korvo-headless: timing only; tests: fakes).
#ifndef KORVO_TICKER_TICKER_DISPLAY_H_
#define KORVO_TICKER_TICKER_DISPLAY_H_

#include <cstdint>
#include <functional>

#include "ticker/headline_style.h"
#include "ticker/ticker_item.h"

namespace korvo {

// One item to show. Everything is a copy: a display never points into the engine's lists.
struct HeadlineJob {
  TickerItem item;
  HeadlineStyle style;
  uint32_t seed = 1;    // seeds the random effect choice
  size_t position = 0;  // the item's place in the display order and the list's size, for reports
  size_t count = 0;
};

// Threads: every member is called by the engine thread (SetIdleCallback before the first Show),
// except running(), which any thread may call.
class TickerDisplay {
 public:
  virtual ~TickerDisplay() = default;
  // Starts showing `job` and returns at once; running() is true from here until the item has
  // ended by itself or was stopped. False when the display could not take it (it is not running
  // then).
  virtual bool Show(HeadlineJob job) = 0;
  virtual bool running() const = 0;
  // *Stop the item now*: ends the running item at once, also while paused, and returns when the
  // display is idle.
  virtual void StopNow() = 0;
  // Pause: the running item (and the next ones) stand still where they are until resumed.
  virtual void SetPaused(bool paused) = 0;
  // Called on the display's thread each time an item has ended (after running() became false),
  // so the engine can wake up and show the next one.
  virtual void SetIdleCallback(std::function<void()> callback) = 0;
  // Ends the display's thread (any item is stopped first). Afterwards Show fails.
  virtual void Shutdown() = 0;
};

}  // namespace korvo

#endif  // KORVO_TICKER_TICKER_DISPLAY_H_

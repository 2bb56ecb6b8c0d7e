// HeadlineDisplay: the display thread of the ticker, portable. One long-lived thread shows one
// headline at a time: it composes the text, lets the renderer prepare the strip, chooses the
// effect and plays it frame by frame on the 16 ms ticks of the tick source, holds, waits the
// extra seconds after the item, and lets the renderer release what it made.
//
// The platform parts are two small interfaces: HeadlineRenderer (korvo.exe draws into the
// headline window with GDI; korvo-headless only measures) and TickSource (a periodic waitable
// timer; a steady clock; a test clock). Everything that decides what a frame shows is portable
// (effect_player.h, headline_text.h).
//
// Stop, pause, quit: every tick first looks at the stop flag (an effect, hold or wait then ends at
// once); while paused the thread waits on a condition variable (never suspended, so it holds no
// heap or GDI lock while it stands still, and a stop or quit ends the pause). No allocation per
// frame: the effect player is a value and the renderer draws from surfaces prepared per item.
#ifndef KORVO_TICKER_HEADLINE_DISPLAY_H_
#define KORVO_TICKER_HEADLINE_DISPLAY_H_

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "ticker/effect_player.h"
#include "ticker/ticker_display.h"

namespace korvo {

// Draws the frames of one item. Called on the display thread only, Prepare / Present... /
// Release for each item.
class HeadlineRenderer {
 public:
  virtual ~HeadlineRenderer() = default;
  // Prepares the surfaces for `text` (CP932, composed) of `job` and gives the box and text sizes.
  // False when nothing can be shown (the item is skipped).
  virtual bool Prepare(const HeadlineJob& job, const std::string& text,
                       EffectGeometry* geometry) = 0;
  // Shows one frame. Must not allocate.
  virtual void Present(const EffectFrame& frame) = 0;
  // Releases what Prepare made; called once after every Prepare that returned true.
  virtual void Release() = 0;
};

// The display's clock: after Begin, Wait returns on each tick, the first after 0.1 ms, then every
// 16 ms (ticks missed while the thread was busy or paused are not made up).
// Interrupt (any thread) makes a Wait in progress, or the next one, return at once: a stop does
// not wait for the next tick.
class TickSource {
 public:
  virtual ~TickSource() = default;
  virtual void Begin() = 0;
  virtual void Wait() = 0;
  virtual void End() = 0;
  virtual void Interrupt() = 0;
};

// A tick source on the standard library's steady clock.
class SteadyTickSource : public TickSource {
 public:
  void Begin() override;
  void Wait() override;
  void End() override {}
  void Interrupt() override;

 private:
  std::mutex mutex_;
  std::condition_variable interrupted_;
  bool interrupt_ = false;
  std::chrono::steady_clock::time_point next_;
};

// The flags one display run looks at. Thread-safe.
class DisplaySignals {
 public:
  void RequestStop();
  void ClearStop();
  bool stop_requested() const;
  void SetPaused(bool paused);
  bool paused() const;
  // Returns at once when not paused; otherwise waits until resumed or asked to stop. False when
  // a stop is requested.
  bool WaitWhilePaused();

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool stop_ = false;
  bool paused_ = false;
};

// One item from start to end on the calling thread: 0 when it ended by itself, -1 when the stop
// flag ended it, 1 when there was nothing to show (no title, or the renderer could not prepare
// it; one tick is waited so a list of such items cannot spin). `text`, when not null, receives
// the composed text.
int RunHeadline(const HeadlineJob& job, HeadlineRenderer& renderer, TickSource& ticks,
                DisplaySignals& signals, std::string* text = nullptr);

class HeadlineDisplay : public TickerDisplay {
 public:
  HeadlineDisplay(std::unique_ptr<HeadlineRenderer> renderer, std::unique_ptr<TickSource> ticks);
  ~HeadlineDisplay() override;
  HeadlineDisplay(const HeadlineDisplay&) = delete;
  HeadlineDisplay& operator=(const HeadlineDisplay&) = delete;

  bool Show(HeadlineJob job) override;
  bool running() const override;
  void StopNow() override;
  void SetPaused(bool paused) override;
  void SetIdleCallback(std::function<void()> callback) override;
  void Shutdown() override;

 private:
  void ThreadMain();

  std::unique_ptr<HeadlineRenderer> renderer_;
  std::unique_ptr<TickSource> ticks_;
  DisplaySignals signals_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<HeadlineJob> job_;  // waiting to be shown
  bool running_ = false;
  bool quit_ = false;
  std::function<void()> on_idle_;
  std::thread thread_;
};

}  // namespace korvo

#endif  // KORVO_TICKER_HEADLINE_DISPLAY_H_

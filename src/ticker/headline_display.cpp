#include "ticker/headline_display.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "ticker/headline_text.h"

namespace korvo {

void SteadyTickSource::Begin() {
  next_ = std::chrono::steady_clock::now() + std::chrono::microseconds(100);
}

void SteadyTickSource::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  interrupted_.wait_until(lock, next_, [&] { return interrupt_; });
  interrupt_ = false;
  // A late tick starts the next period from now: ticks are not made up.
  next_ = std::max(next_, std::chrono::steady_clock::now()) +
          std::chrono::milliseconds(kTickMilliseconds);
}

void SteadyTickSource::Interrupt() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    interrupt_ = true;
  }
  interrupted_.notify_all();
}

void DisplaySignals::RequestStop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
}

void DisplaySignals::ClearStop() {
  std::lock_guard<std::mutex> lock(mutex_);
  stop_ = false;
}

bool DisplaySignals::stop_requested() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return stop_;
}

void DisplaySignals::SetPaused(bool paused) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    paused_ = paused;
  }
  changed_.notify_all();
}

bool DisplaySignals::paused() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return paused_;
}

bool DisplaySignals::WaitWhilePaused() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return !paused_ || stop_; });
  return !stop_;
}

int RunHeadline(const HeadlineJob& job, HeadlineRenderer& renderer, TickSource& ticks,
                DisplaySignals& signals, std::string* composed) {
  const HeadlineStyle& style = job.style;
  TickerRandom random(job.seed);
  std::string text;
  EffectGeometry geometry;
  const bool showable = !job.item.title.empty();
  if (showable) text = ComposeHeadline(job.item, style.flags, style.add_desc);
  if (composed != nullptr) *composed = text;
  if (!showable || !renderer.Prepare(job, text, &geometry)) {
    ticks.Begin();
    ticks.Wait();
    ticks.End();
    return 1;
  }
  int result = 0;
  EffectPlayer player(ChooseEffect(style.effect, &random), geometry, style.speed, style.hold_ms,
                      style.fade_alpha());
  ticks.Begin();
  EffectFrame frame;
  for (;;) {
    ticks.Wait();
    if (signals.stop_requested() || !signals.WaitWhilePaused()) {
      result = -1;
      break;
    }
    if (!player.Next(&frame)) break;
    renderer.Present(frame);
  }
  // The extra wait after the item, in ticks; the stop flag ends it too.
  const int64_t wait_ticks =
      result == 0 ? (static_cast<int64_t>(style.wait_seconds()) * 1000 + kTickMilliseconds - 1) /
                        kTickMilliseconds
                  : 0;
  for (int64_t i = 0; i < wait_ticks; ++i) {
    ticks.Wait();
    if (signals.stop_requested() || !signals.WaitWhilePaused()) {
      result = -1;
      break;
    }
  }
  ticks.End();
  renderer.Release();
  return result;
}

HeadlineDisplay::HeadlineDisplay(std::unique_ptr<HeadlineRenderer> renderer,
                                 std::unique_ptr<TickSource> ticks)
    : renderer_(std::move(renderer)), ticks_(std::move(ticks)) {
  thread_ = std::thread([this] { ThreadMain(); });
}

HeadlineDisplay::~HeadlineDisplay() { Shutdown(); }

bool HeadlineDisplay::Show(HeadlineJob job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (quit_ || running_) return false;
    job_ = std::move(job);
    running_ = true;
  }
  changed_.notify_all();
  return true;
}

bool HeadlineDisplay::running() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return running_;
}

void HeadlineDisplay::StopNow() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!running_) return;
  signals_.RequestStop();
  ticks_->Interrupt();
  changed_.wait(lock, [&] { return !running_; });
  signals_.ClearStop();
}

void HeadlineDisplay::SetPaused(bool paused) { signals_.SetPaused(paused); }

void HeadlineDisplay::SetIdleCallback(std::function<void()> callback) {
  std::lock_guard<std::mutex> lock(mutex_);
  on_idle_ = std::move(callback);
}

void HeadlineDisplay::Shutdown() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  signals_.RequestStop();
  ticks_->Interrupt();
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void HeadlineDisplay::ThreadMain() {
  for (;;) {
    HeadlineJob job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return quit_ || job_.has_value(); });
      if (quit_) {
        job_.reset();
        running_ = false;
        changed_.notify_all();
        return;
      }
      job = std::move(*job_);
      job_.reset();
    }
    RunHeadline(job, *renderer_, *ticks_, signals_);
    std::function<void()> on_idle;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      running_ = false;
      on_idle = on_idle_;
    }
    changed_.notify_all();
    if (on_idle) on_idle();
  }
}

}  // namespace korvo

// Fakes for the ticker's display and clock, shared by the ticker tests.
#ifndef KORVO_TESTS_TICKER_TICKER_TEST_SUPPORT_H_
#define KORVO_TESTS_TICKER_TICKER_TEST_SUPPORT_H_

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "ticker/headline_display.h"

namespace korvo::testing {

// Items named "<site><n>" (for example "a1", "b2"): the link is made from the name, the site
// link from its letter.
inline std::vector<TickerItem> TestItems(const std::vector<std::string>& names) {
  std::vector<TickerItem> items;
  for (const std::string& name : names) {
    TickerItem item;
    item.title = name;
    item.link = "http://127.0.0.1/" + name;
    item.site_link = "http://127.0.0.1/" + name.substr(0, 1) + "/";
    items.push_back(item);
  }
  return items;
}

// A tick source that the test opens: Wait blocks until the test released a tick (or a stop
// interrupted it).
class GatedTicks : public TickSource {
 public:
  void Begin() override {}
  void End() override {}
  void Wait() override {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return available_ > 0 || interrupt_; });
    if (interrupt_) {
      interrupt_ = false;
      return;
    }
    --available_;
    ++consumed_;
    changed_.notify_all();
  }
  void Interrupt() override {
    std::lock_guard<std::mutex> lock(mutex_);
    interrupt_ = true;
    changed_.notify_all();
  }
  // Waits until `count` ticks were taken in all.
  void WaitConsumed(int count) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return consumed_ >= count; });
  }
  void Release(int ticks) {
    std::lock_guard<std::mutex> lock(mutex_);
    available_ += ticks;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int available_ = 0;
  int consumed_ = 0;
  bool interrupt_ = false;
};

// A tick source that never waits.
class FreeTicks : public TickSource {
 public:
  void Begin() override {}
  void Wait() override { ++ticks; }
  void End() override {}
  void Interrupt() override {}
  long ticks = 0;
};

// Records the frames it is given, with the title of their item.
class RecordingRenderer : public HeadlineRenderer {
 public:
  explicit RecordingRenderer(EffectGeometry geometry = {400, 20, 100, 20}) : geometry_(geometry) {}
  bool Prepare(const HeadlineJob& job, const std::string& text, EffectGeometry* geometry) override {
    std::lock_guard<std::mutex> lock(mutex_);
    title_ = job.item.title;
    texts_.push_back(text);
    *geometry = geometry_;
    return prepare_result_;
  }
  void Present(const EffectFrame& frame) override {
    std::lock_guard<std::mutex> lock(mutex_);
    frames_.emplace_back(title_, frame);
    changed_.notify_all();
    if (on_frame_) on_frame_(frames_.size());
  }
  void Release() override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++released_;
  }
  // Waits until `count` frames were presented in all.
  void WaitFrames(size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return frames_.size() >= count; });
  }
  std::vector<std::pair<std::string, EffectFrame>> frames() {
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_;
  }
  std::vector<std::string> texts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
  }
  int released() {
    std::lock_guard<std::mutex> lock(mutex_);
    return released_;
  }

  bool prepare_result_ = true;
  std::function<void(size_t)> on_frame_;  // called under the renderer's lock

 private:
  EffectGeometry geometry_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string title_;
  std::vector<std::string> texts_;
  std::vector<std::pair<std::string, EffectFrame>> frames_;
  int released_ = 0;
};

}  // namespace korvo::testing

#endif  // KORVO_TESTS_TICKER_TICKER_TEST_SUPPORT_H_

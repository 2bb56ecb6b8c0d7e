#include "ticker/ticker_engine_component.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

#include "shell/app_shell.h"
#include "shell/main_window_ids.h"

namespace korvo {

// Set by the engine thread when its loop has ended.
struct TickerEngineComponent::Exit {
  std::mutex mutex;
  std::condition_variable done;
  bool ended = false;
};

TickerEngineComponent::TickerEngineComponent(std::shared_ptr<TickerLists> lists,
                                             std::shared_ptr<TickerEngine> engine,
                                             std::function<void()> while_waiting,
                                             int stop_timeout_ms)
    : stage_(lists),
      lists_(std::move(lists)),
      engine_(std::move(engine)),
      while_waiting_(std::move(while_waiting)),
      stop_timeout_ms_(stop_timeout_ms) {}

TickerEngineComponent::~TickerEngineComponent() {
  if (thread_.joinable()) {
    engine_->Push(static_cast<uint8_t>(EngineCommand::kQuit));
    thread_.detach();
  }
}

bool TickerEngineComponent::Start(AppShell& shell) {
  if (!lists_ || !engine_ || thread_.joinable()) return false;
  lists_->SetCommandSink(nullptr);  // the first list is shown at once
  stage_.Start(shell);
  first_count_ = lists_->shown_count();
  engine_->SetStyle(HeadlineStyle::FromSettings(shell.settings()));
  std::weak_ptr<TickerEngine> weak = engine_;
  lists_->SetCommandSink([weak](uint8_t command) {
    const std::shared_ptr<TickerEngine> engine = weak.lock();
    return engine && engine->Push(command) == 0;
  });
  exit_ = std::make_shared<Exit>();
  thread_ = std::thread([engine = engine_, exit = exit_] {
    engine->Run();
    {
      std::lock_guard<std::mutex> lock(exit->mutex);
      exit->ended = true;
    }
    exit->done.notify_all();
  });
  return true;
}

void TickerEngineComponent::Stop(AppShell& shell) {
  if (thread_.joinable()) {
    engine_->Push(static_cast<uint8_t>(EngineCommand::kQuit));
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(stop_timeout_ms_);
    bool ended = false;
    for (;;) {
      {
        std::unique_lock<std::mutex> lock(exit_->mutex);
        ended =
            exit_->done.wait_for(lock, std::chrono::milliseconds(10), [&] { return exit_->ended; });
      }
      if (ended || std::chrono::steady_clock::now() >= deadline) break;
      if (while_waiting_) while_waiting_();
    }
    stopped_in_time_ = ended;
    if (ended) {
      thread_.join();
    } else {
      thread_.detach();
    }
  }
  lists_->SetCommandSink(nullptr);
  // A list handed over while the last item was still on display is the one the ticker would
  // have shown next: it is the one saved.
  lists_->SwapLists();
  stage_.Stop(shell);
}

}  // namespace korvo

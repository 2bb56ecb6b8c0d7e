#include "ticker/ticker_engine.h"

#include <chrono>
#include <utility>

#include "shell/main_window_ids.h"
#include "store/database_guard.h"
#include "ticker/item_opening.h"

namespace korvo {

namespace {

// How long the idle engine sleeps at most before it looks again (a safety net: every change it
// waits for wakes it).
constexpr std::chrono::milliseconds kIdleWait(1000);

uint32_t SeedFromClock() {
  const uint64_t now = platform::MonotonicMilliseconds() ^
                       static_cast<uint64_t>(platform::UnixSecondsNow()) * 2654435761u;
  const auto seed = static_cast<uint32_t>(now ^ (now >> 32));
  return seed == 0 ? 1 : seed;
}

}  // namespace

TickerEngine::TickerEngine(Parts parts)
    : lists_(std::move(parts.lists)),
      display_(std::move(parts.display)),
      host_(parts.host ? std::move(parts.host) : std::make_shared<TickerEngineHost>()),
      working_folder_(std::move(parts.working_folder)),
      now_(std::move(parts.now)),
      random_(parts.seed != 0 ? parts.seed : SeedFromClock()) {}

int TickerEngine::Push(uint8_t command) { return queue_.Push(command); }

void TickerEngine::SetStyle(const HeadlineStyle& style) {
  std::lock_guard<std::mutex> lock(style_mutex_);
  style_ = style;
}

HeadlineStyle TickerEngine::style() const {
  std::lock_guard<std::mutex> lock(style_mutex_);
  return style_;
}

void TickerEngine::SetDispatcher(std::shared_ptr<NotificationDispatcher> dispatcher) {
  std::lock_guard<std::mutex> lock(dispatcher_mutex_);
  dispatcher_ = std::move(dispatcher);
}

int TickerEngine::Notify(int code, std::string_view link) {
  std::shared_ptr<NotificationDispatcher> dispatcher;
  {
    std::lock_guard<std::mutex> lock(dispatcher_mutex_);
    dispatcher = dispatcher_;
  }
  return dispatcher ? dispatcher->Notify(code, link) : 0;
}

platform::CalendarTime TickerEngine::Now() const { return now_ ? now_() : platform::LocalNow(); }

bool TickerEngine::RunPass() {
  if (quit_) return false;
  if (!display_->running()) {
    if (reload_) DoReload();
    if (rewind_) {
      rewind_ = false;
      lists_->Rewind(random_order_ ? &random_ : nullptr);
      move_ = TickerMove::kCurrent;
    }
    if (showing_) SelectAndShow();
  }
  uint8_t command = 0;
  if (queue_.Pop(&command)) Act(command);
  return !quit_;
}

void TickerEngine::Run() {
  host_->EngineThreadStarts();
  std::atomic<bool> item_ended{false};
  display_->SetIdleCallback([this, &item_ended] {
    item_ended = true;
    queue_.Wake();
  });
  while (RunPass()) {
    if (item_ended.exchange(false)) continue;  // the item ended: show the next one now
    queue_.WaitFor(kIdleWait, [&] { return item_ended.load(); });
    item_ended = false;
  }
  display_->Shutdown();
  display_->SetIdleCallback(nullptr);
  host_->EngineThreadEnds();
}

void TickerEngine::DoReload() {
  reload_ = false;
  if (!lists_->reload_pending()) return;  // nothing was handed over: keep the list
  if (Notify(ticker_notification::kBeforeSwitchList) == NotificationDispatcher::kVeto) return;
  const TickerPlace place = lists_->CurrentPlace();
  lists_->SwapLists();
  Notify(ticker_notification::kAfterSwitchList);
  move_ = TickerMove::kCurrent;
  lists_->PlaceAfterReload(place, random_order_ ? &random_ : nullptr);
  host_->ListReloaded((style().flags & ticker_flags::kNoLiveBookmarks) == 0);
}

void TickerEngine::SelectAndShow() {
  const TickerMove move = move_;
  HeadlineJob job;
  TickerItemRef ref;
  if (!lists_->Select(move, random_order_ ? &random_ : nullptr, &job.item, &ref)) return;
  job.style = style();
  job.seed = static_cast<uint32_t>(random_.Next()) << 16 ^ static_cast<uint32_t>(random_.Next());
  job.position = lists_->CurrentPlace().position;
  job.count = lists_->shown_count();
  host_->ItemSelected(job.item, job.position, job.count);
  display_->Show(std::move(job));
  if (move == TickerMove::kNext) Notify(ticker_notification::kAfterNext);
  if (move == TickerMove::kPrevious) Notify(ticker_notification::kAfterPrevious);
  move_ = TickerMove::kNext;
}

void TickerEngine::StopItemNow() { display_->StopNow(); }

void TickerEngine::Act(uint8_t code) {
  // The first selecting command starts the showing with the item at the cursor.
  auto select = [&](TickerMove move) {
    move_ = showing_ ? move : TickerMove::kCurrent;
    showing_ = true;
  };
  switch (static_cast<EngineCommand>(code)) {
    case EngineCommand::kQuit:
      if (paused_) {
        display_->SetPaused(false);
        host_->AnimationPaused(false);
        paused_ = false;
      }
      StopItemNow();
      quit_ = true;
      break;
    case EngineCommand::kShowAgain:
    case EngineCommand::kShowAgainToo:
      if (paused_) break;
      StopItemNow();
      move_ = TickerMove::kCurrent;
      break;
    case EngineCommand::kReload:
      reload_ = true;
      break;
    case EngineCommand::kOpenCurrent:
      OpenCurrent();
      break;
    case EngineCommand::kShuffle:
      random_order_ = true;
      rewind_ = true;
      break;
    case EngineCommand::kRelayout:
      host_->Relayout(false);
      break;
    case EngineCommand::kPause:
      if (paused_) break;
      display_->SetPaused(true);
      host_->AnimationPaused(true);
      paused_ = true;
      break;
    case EngineCommand::kResume:
      if (!paused_) break;
      display_->SetPaused(false);
      host_->AnimationPaused(false);
      paused_ = false;
      break;
    case EngineCommand::kRelayoutAndShow:
      StopItemNow();
      host_->Relayout(true);
      move_ = TickerMove::kCurrent;
      break;
    case EngineCommand::kNext:
      if (paused_) break;
      if (Notify(ticker_notification::kBeforeNext) == NotificationDispatcher::kVeto) break;
      StopItemNow();
      select(TickerMove::kNext);
      break;
    case EngineCommand::kPrevious:
      if (paused_) break;
      if (Notify(ticker_notification::kBeforePrevious) == NotificationDispatcher::kVeto) break;
      StopItemNow();
      select(TickerMove::kPrevious);
      break;
    case EngineCommand::kUnshuffle:
      random_order_ = false;
      rewind_ = true;
      break;
    case EngineCommand::kRestartIdleTimer:
      host_->RestartIdleTimer();
      break;
    case EngineCommand::kCopyUrl:
      CopyUrl();
      break;
    case EngineCommand::kReadLater:
      ReadLater();
      break;
    case EngineCommand::kNextSite:
      if (paused_) break;
      StopItemNow();
      select(TickerMove::kNextSite);
      break;
    case EngineCommand::kPreviousSite:
      if (paused_) break;
      StopItemNow();
      select(TickerMove::kPreviousSite);
      break;
    default:
      break;  // 0, 16, 17 (tray icon added / removed) and unknown codes
  }
}

void TickerEngine::OpenCurrent() {
  TickerItem item;
  TickerItemRef ref;
  if (!lists_->Current(&item, &ref)) return;
  if (Notify(ticker_notification::kBeforeOpenItem, item.link) == NotificationDispatcher::kVeto) {
    return;
  }
  if (item.names_record()) MarkRecordRead(working_folder_, item.id, Now());
  host_->OpenLink(item.link);
  host_->ItemOpened(item.id);
  lists_->MarkOpened(ref);
  Notify(ticker_notification::kAfterOpenItem, item.link);
}

void TickerEngine::CopyUrl() {
  TickerItem item;
  if (!lists_->Current(&item)) return;
  if (Notify(ticker_notification::kBeforeCopyUrl, item.link) == NotificationDispatcher::kVeto) {
    return;
  }
  host_->CopyToClipboard(item.link);
  Notify(ticker_notification::kAfterCopyUrl, item.link);
}

void TickerEngine::ReadLater() {
  TickerItem item;
  if (!lists_->Current(&item) || !item.names_record() || working_folder_.empty()) return;
  DatabaseGuard guard(working_folder_);
  ScopedDatabase db(guard);
  if (db) db->ReadLater(static_cast<uint32_t>(item.id));
}

}  // namespace korvo

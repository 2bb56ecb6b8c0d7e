#include "update/update_cycle.h"

#include <climits>
#include <utility>

#include "channels/channel.h"
#include "fetch/feed_fetcher.h"
#include "platform/memory.h"
#include "ticker/ticker_lists.h"

namespace korvo {

std::string FormatRunReport(const RunReport& report) {
  std::string line = "run: ";
  line += report.forced ? (report.no_fetch ? "forced without fetching" : "forced") : "periodic";
  line += ", " + std::to_string(report.queued) + " queued";
  line += ", " + std::to_string(report.fetch.finished) + " fetched";
  line += ", " + std::to_string(report.changed) + " changed";
  if (report.fetch.left_running > 0) {
    line += ", " + std::to_string(report.fetch.left_running) + " timed out";
  } else if (report.fetch.timed_out) {
    line += ", fetching timed out";
  }
  if (report.fetch.busy > 0) line += ", " + std::to_string(report.fetch.busy) + " still busy";
  if (!report.processed) return line + ", no merge";
  line += ", " + std::to_string(report.merge.items_added) + " added";
  if (report.merge.store_read_only) {
    line += ", store read-only: nothing can be stored";
  } else if (report.merge.items_store_failed > 0) {
    line += ", " + std::to_string(report.merge.items_store_failed) + " could not be stored";
  }
  if (report.merge.store_damaged && !report.merge.store_read_only) {
    line += ", store damaged: rebuilt at next start";
  }
  line += ", " + std::to_string(report.merge.items_shown) + " shown";
  if (report.merge.aborted) line += ", aborted";
  return line;
}

int WorkerLimitMilliseconds(const HttpSettings& settings) {
  const int timeout = TimeoutMilliseconds(settings.time_out);
  const int deadline = FetchDeadlineMilliseconds(timeout);
  return deadline > INT_MAX - timeout ? INT_MAX : deadline + timeout;
}

UpdateCycle::UpdateCycle(Options options)
    : options_(std::move(options)),
      pool_(options_.max_workers, options_.wait_ms > 0
                                      ? options_.wait_ms
                                      : WorkerLimitMilliseconds(options_.fetch_context.settings)) {
  platform::ReturnLargeBlocksToTheSystem();
  if (!options_.fetch) {
    // Each worker gets its own fetcher; the context is copied in, so a late worker owns it.
    const FetchContext context = options_.fetch_context;
    options_.fetch = [context](const std::string& url, uint32_t flags) {
      // The placeholder of an empty list has nothing to fetch; not even a name look-up.
      if (url == kPlaceholderChannelUrl) return false;
      FeedFetcher fetcher(context);
      return fetcher.Fetch(url, flags);
    };
  }
}

platform::CalendarTime UpdateCycle::latest_arrival() const {
  std::lock_guard<std::mutex> lock(arrival_mutex_);
  return latest_arrival_;
}

RunReport UpdateCycle::Execute(const UpdateRequest& request) {
  // What a run took for its feeds (bodies, documents, item lists) is free again when it ends;
  // it goes back to the system, so the program does not keep the peak of its busiest run.
  struct ReleaseAtEnd {
    ~ReleaseAtEnd() { platform::ReleaseFreeMemory(); }
  } release_at_end;
  RunReport report;
  report.forced = request.forced;
  report.no_fetch = request.no_fetch;
  report.queued = static_cast<int>(request.jobs.size());
  if (aborted()) return report;

  // The run's own set: late workers of earlier runs hold earlier sets.
  auto changed = std::make_shared<ChangedSet>();
  if (!(request.forced && request.no_fetch)) {
    report.fetch = pool_.Run(request.jobs, options_.fetch, changed, &abort_);
  }
  report.changed = static_cast<int>(changed->size());
  if ((!request.forced && !changed->any()) || aborted()) {
    if (options_.on_run) options_.on_run(report);
    return report;
  }

  const std::vector<Channel> channels =
      options_.channels ? options_.channels() : std::vector<Channel>{};
  {
    std::lock_guard<std::mutex> lock(run_mutex_);
    UpdateMerge::Environment env;
    env.working_folder = options_.working_folder;
    env.parser = options_.parser;
    env.clock = options_.clock;
    env.ticker = options_.ticker.get();
    env.abort = &abort_;
    env.parse_threads = options_.parse_threads;
    // A run without fetching stays off the network, site icons included.
    if (!request.no_fetch) env.on_site_link = options_.on_site_link;
    report.merge = UpdateMerge::Run(env, channels, changed.get());
    report.processed = true;
    if (report.merge.items_added > 0) {
      platform::CalendarTime now =
          (options_.clock != nullptr ? *options_.clock : SystemUpdateClock()).LocalNow();
      now.millisecond = 0;
      std::lock_guard<std::mutex> arrival_lock(arrival_mutex_);
      latest_arrival_ = now;
    }
    if (options_.random_order && report.merge.handed_over && options_.ticker) {
      options_.ticker->PushCommand(TickerLists::kCommandShuffle);
    }
  }
  if (options_.on_run) options_.on_run(report);
  return report;
}

}  // namespace korvo

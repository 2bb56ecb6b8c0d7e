#include "update/update_component.h"

#include <utility>

#include "fetch/http_settings.h"
#include "fetch/site_icon_fetcher.h"
#include "shell/app_shell.h"
#include "shell/general_settings.h"
#include "store/database_guard.h"
#include "ticker/ticker_lists.h"

namespace korvo {

UpdateComponent::UpdateComponent(Parts parts) : parts_(std::move(parts)) {}

UpdateComponent::~UpdateComponent() = default;

bool UpdateComponent::Start(AppShell& shell) {
  working_folder_ = shell.folders().working_folder;
  const uint32_t flags = shell.general_flags();

  UpdateCycle::Options options;
  options.working_folder = working_folder_;
  options.fetch = parts_.fetch;
  options.fetch_context.settings = HttpSettingsFrom(shell.network());
  options.fetch_context.working_folder = working_folder_;
  options.parser = parts_.parser;
  options.on_site_link = parts_.on_site_link;
  if (!options.on_site_link && parts_.site_icons) {
    // The hook co-owns the fetcher: parse threads of a run that outlives a timed-out stop may
    // still call it. The fetcher ends (cancelling its downloads) with the cycle.
    auto icons = std::make_shared<SiteIconFetcher>(options.fetch_context);
    options.on_site_link = [icons](const std::string& site_link) { icons->Request(site_link); };
  }
  options.channels = parts_.channels;
  options.ticker = parts_.ticker;
  options.clock = parts_.clock;
  options.random_order = (flags & general_flags::kRandomOrder) != 0;
  options.wait_ms = parts_.wait_ms;
  if (parts_.log) {
    auto log = parts_.log;
    options.on_run = [log](const RunReport& report) { log(FormatRunReport(report)); };
  }
  cycle_ = std::make_shared<UpdateCycle>(std::move(options));

  UpdateScheduler::Options scheduler_options;
  scheduler_options.global_interval_ms = UpdatePeriodMilliseconds(flags);
  scheduler_options.clock = parts_.scheduler_clock;
  auto channels = parts_.channels;
  auto cycle = cycle_;  // the scheduler thread co-owns the cycle and the counts
  auto runs = runs_;
  scheduler_ = std::make_unique<UpdateScheduler>(
      scheduler_options,
      [channels] {
        std::vector<ScheduledChannel> list;
        if (!channels) return list;
        for (const Channel& channel : channels()) {
          list.push_back({channel.url, static_cast<int64_t>(channel.refreshMs), channel.authMode});
        }
        return list;
      },
      [cycle, runs](const UpdateRequest& request) {
        runs->started.fetch_add(1);
        cycle->Execute(request);
        runs->finished.fetch_add(1);
      });
  if (!scheduler_->Begin()) {
    scheduler_.reset();
    cycle_.reset();
    return false;
  }
  return true;
}

void UpdateComponent::Stop(AppShell&) {
  if (!scheduler_) return;
  cycle_->Abort();
  {
    DatabaseGuard guard(working_folder_);
    ScopedDatabase db(guard);
    if (db) db->SaveTable();
  }
  if (!scheduler_->Stop(UpdateScheduler::kStopWaitMs) && parts_.log) {
    parts_.log("update scheduler: did not stop within 5000 ms; left to finish alone");
  }
}

platform::CalendarTime UpdateComponent::LatestArrival() const {
  return cycle_ ? cycle_->latest_arrival() : platform::CalendarTime();
}

bool UpdateComponent::RunNow() { return scheduler_ && scheduler_->RunNow(); }

bool UpdateComponent::RunNowWithoutFetching() {
  return scheduler_ && scheduler_->RunNowWithoutFetching();
}

void UpdateComponent::RebuildSchedule() {
  if (scheduler_) scheduler_->RebuildSchedule();
}

FeedImportReport UpdateComponent::ImportFeedFile(const std::string& path) {
  FeedImportReport report;
  if (!cycle_) return report;
  DatabaseGuard guard(working_folder_);
  report = ImportFeedFileAsUnread(path, parts_.file_reader, guard,
                                  parts_.clock ? *parts_.clock : SystemUpdateClock(),
                                  &cycle_->run_mutex());
  if (parts_.log) {
    parts_.log("import: " + std::to_string(report.items_read) + " read, " +
               std::to_string(report.items_added) + " added");
  }
  return report;
}

}  // namespace korvo

// The update cycle's stage of the start-up (AppStage::kUpdateScheduler): creates the UpdateCycle
// and the UpdateScheduler with the user's interval, random-order choice and network settings,
// starts the scheduler thread (which queues the initial forced run) and, at shut-down, stops it:
// abort flag, store flush, stop command, at most 5000 ms of waiting.
//
// Threads: Start, Stop and the commands run on the shell's thread (the window thread of
// korvo.exe); runs happen on the scheduler thread.
#ifndef KORVO_UPDATE_UPDATE_COMPONENT_H_
#define KORVO_UPDATE_UPDATE_COMPONENT_H_

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "shell/app_component.h"
#include "update/feed_file_import.h"
#include "update/update_cycle.h"
#include "update/update_scheduler.h"

namespace korvo {

class TickerLists;

class UpdateComponent : public AppComponent {
 public:
  // What the rest of the program gives the update cycle.
  struct Parts {
    std::shared_ptr<TickerLists> ticker;
    UpdateCycle::ChannelSnapshot channels;  // the channel list's current update list
    FeedParser parser;                      // cache bytes to items
    FeedFileReader file_reader;             // a local feed file to items (for imports)
    // Called with the site link of every parsed feed; any thread; may be empty. When empty and
    // `site_icons` is set, Start makes a SiteIconFetcher with the network settings and hands it
    // every site link.
    std::function<void(const std::string& site_link)> on_site_link;
    bool site_icons = false;
    // One line per run and per import (ASCII); may be empty.
    std::function<void(const std::string& line)> log;
    // For tests: replaces the FeedFetcher, the clocks and the limit of each fetch worker (0:
    // derived from the network settings' time-out, UpdateCycle::Options::wait_ms).
    FetchFunction fetch;
    const UpdateClock* clock = nullptr;
    const SchedulerClock* scheduler_clock = nullptr;
    int wait_ms = 0;
  };

  explicit UpdateComponent(Parts parts);
  ~UpdateComponent() override;

  bool Start(AppShell& shell) override;
  void Stop(AppShell& shell) override;

  // Menu command 32879 ("今すぐ更新(&R)") and the channel-list dialog: a run with fetching.
  bool RunNow();
  // A run that only parses and merges the cached feeds again.
  bool RunNowWithoutFetching();
  // After any change of the channel list.
  void RebuildSchedule();
  // Imports a local feed file into the store as unread items (takes the run mutex).
  FeedImportReport ImportFeedFile(const std::string& path);

  UpdateScheduler* scheduler() const { return scheduler_.get(); }
  // UpdateCycle::latest_arrival of the running cycle (year 0 before Start). Any thread, once
  // Start has returned.
  platform::CalendarTime LatestArrival() const;

  // Update runs begun and ended since Start (any thread). A window that asked for a run waits
  // until runs_finished() passes the runs_started() it saw when it asked (runs are serial).
  uint64_t runs_started() const { return runs_->started.load(); }
  uint64_t runs_finished() const { return runs_->finished.load(); }

 private:
  struct RunCount {
    std::atomic<uint64_t> started{0};
    std::atomic<uint64_t> finished{0};
  };

  Parts parts_;
  std::string working_folder_;
  std::shared_ptr<UpdateCycle> cycle_;
  std::unique_ptr<UpdateScheduler> scheduler_;
  // Shared with the scheduler thread, which may outlive a timed-out stop.
  std::shared_ptr<RunCount> runs_ = std::make_shared<RunCount>();
};

}  // namespace korvo

#endif  // KORVO_UPDATE_UPDATE_COMPONENT_H_

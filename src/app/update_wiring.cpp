#include "app/update_wiring.h"

#include <utility>

#include "channels/channel_list_component.h"
#include "feed/item_extraction.h"
#include "shell/app_shell.h"
#include "ticker/ticker_list_stage.h"
#include "ticker/ticker_lists.h"

namespace korvo {

UpdateWiring AttachUpdateRoad(AppShell& shell, std::function<void(const std::string&)> log,
                              ProgressProvider* progress,
                              std::function<void(const std::string&)> notice) {
  UpdateWiring wiring;

  // The channel list tells the scheduler about changes; the scheduler is made after it, so the
  // hook reaches it through a cell filled in below (both live as long as the shell).
  auto update_cell = std::make_shared<UpdateComponent*>(nullptr);
  ChannelListComponent::Options channel_options;
  channel_options.progress_provider = progress;
  channel_options.on_notice = std::move(notice);
  channel_options.on_changed = [update_cell] {
    if (*update_cell != nullptr) (*update_cell)->RebuildSchedule();
  };
  auto channels = std::make_unique<ChannelListComponent>(std::move(channel_options));
  wiring.channels = channels.get();
  // The snapshot function co-owns the list it copies, so a scheduler thread that outlives the
  // channel list's stop still reads valid data.
  UpdateCycle::ChannelSnapshot snapshot = channels->UpdateListSource();
  shell.Attach(AppStage::kChannelList, std::move(channels));

  wiring.ticker = std::make_shared<TickerLists>(shell.folders().working_folder);
  shell.Attach(AppStage::kTickerEngine, std::make_unique<TickerListStage>(wiring.ticker));

  UpdateComponent::Parts parts;
  parts.ticker = wiring.ticker;
  parts.channels = std::move(snapshot);
  parts.parser = [](std::string_view body, const ChannelContext& channel, ItemList* items) {
    ParseFeedBytes(body, channel, items);
  };
  parts.file_reader = ImportFeedFile;
  parts.site_icons = true;
  parts.log = std::move(log);
  auto update = std::make_unique<UpdateComponent>(std::move(parts));
  wiring.update = update.get();
  *update_cell = wiring.update;
  shell.Attach(AppStage::kUpdateScheduler, std::move(update));
  return wiring;
}

}  // namespace korvo

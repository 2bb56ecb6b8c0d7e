#include "app/update_wiring.h"

#include <utility>

#include "app/app_shell.h"
#include "ticker/ticker_list_stage.h"
#include "ticker/ticker_lists.h"

namespace korvo {

UpdateWiring AttachUpdateRoad(AppShell& shell, UpdateCycle::ChannelSnapshot channels,
                              std::function<void(const std::string&)> log) {
  UpdateWiring wiring;
  wiring.ticker = std::make_shared<TickerLists>(shell.folders().working_folder);
  shell.Attach(AppStage::kTickerEngine, std::make_unique<TickerListStage>(wiring.ticker));

  UpdateComponent::Parts parts;
  parts.ticker = wiring.ticker;
  parts.channels = std::move(channels);
  parts.log = std::move(log);
  auto update = std::make_unique<UpdateComponent>(std::move(parts));
  wiring.update = update.get();
  shell.Attach(AppStage::kUpdateScheduler, std::move(update));
  return wiring;
}

}  // namespace korvo

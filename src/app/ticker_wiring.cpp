#include "app/ticker_wiring.h"

#include <utility>

#include "plugin_host/plugin_notification_dispatcher.h"
#include "shell/app_shell.h"

namespace korvo {

TickerWiring AttachTickerEngine(AppShell& shell, std::shared_ptr<TickerLists> lists,
                                std::shared_ptr<TickerDisplay> display,
                                std::shared_ptr<TickerEngineHost> host,
                                std::function<void()> while_waiting) {
  TickerWiring wiring;
  TickerEngine::Parts parts;
  parts.lists = lists;
  parts.display = std::move(display);
  parts.host = std::move(host);
  parts.working_folder = shell.folders().working_folder;
  wiring.engine = std::make_shared<TickerEngine>(std::move(parts));
  // Plug-ins hear of (and may cancel) the engine's steps through the dispatcher; without an
  // active plug-in the dispatcher delivers nothing.
  wiring.engine->SetDispatcher(std::make_shared<PluginNotificationDispatcher>());
  auto component = std::make_unique<TickerEngineComponent>(std::move(lists), wiring.engine,
                                                           std::move(while_waiting));
  wiring.component = component.get();
  shell.Attach(AppStage::kTickerEngine, std::move(component));
  return wiring;
}

}  // namespace korvo

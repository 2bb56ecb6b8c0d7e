// How korvo.exe and korvo-headless plug the ticker engine into the application shell: the
// TickerEngine over the lists of the update road, with the program's display and host, as the
// TickerEngineComponent at kTickerEngine (it replaces the lists-only stage that AttachUpdateRoad
// attached there).
//
// Call after AttachUpdateRoad and before the ticker stage starts. The component is owned by the
// shell; the returned pointers stay valid until the shell is destroyed.
#ifndef KORVO_APP_TICKER_WIRING_H_
#define KORVO_APP_TICKER_WIRING_H_

#include <functional>
#include <memory>

#include "ticker/ticker_engine.h"
#include "ticker/ticker_engine_component.h"

namespace korvo {

class AppShell;

struct TickerWiring {
  std::shared_ptr<TickerEngine> engine;
  TickerEngineComponent* component = nullptr;  // owned by the shell
};

// `host` may be null (no windows). `while_waiting`: see TickerEngineComponent.
TickerWiring AttachTickerEngine(AppShell& shell, std::shared_ptr<TickerLists> lists,
                                std::shared_ptr<TickerDisplay> display,
                                std::shared_ptr<TickerEngineHost> host,
                                std::function<void()> while_waiting = nullptr);

}  // namespace korvo

#endif  // KORVO_APP_TICKER_WIRING_H_

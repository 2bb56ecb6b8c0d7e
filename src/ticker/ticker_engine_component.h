// TickerEngineComponent: the ticker at the shell's kTickerEngine stage.
//
//   Start  builds the first display list from "dump.dat" of the working folder (or the
//          placeholder) and shows it at once, gives the engine the style of the loaded general
//          settings, attaches the engine's queue to the lists (hand-overs then wait for Reload)
//          and starts the engine thread.
//   Stop   pushes Quit and waits at most 5000 ms (kStopTimeoutMs) for the engine thread (calling
//   `while_waiting`
//          about every 10 ms, so korvo.exe can let through messages the engine's threads send
//          to its windows meanwhile); a thread that does not end in time is left running on its
//          own (it co-owns everything it uses). Then a list handed over but not yet swapped in
//          takes the shown list's place, the shown list is saved to "dump.dat" when it holds at
//          least three items, and both lists are freed.
//
// Threads: Start and Stop on the shell's thread.
#ifndef KORVO_TICKER_TICKER_ENGINE_COMPONENT_H_
#define KORVO_TICKER_TICKER_ENGINE_COMPONENT_H_

#include <functional>
#include <memory>
#include <thread>

#include "shell/app_component.h"
#include "ticker/ticker_engine.h"
#include "ticker/ticker_list_stage.h"

namespace korvo {

class TickerEngineComponent : public AppComponent {
 public:
  static constexpr int kStopTimeoutMs = 5000;

  // `engine` was made with the same `lists`. `while_waiting` may be empty. `stop_timeout_ms`:
  // how long Stop waits for the engine thread.
  TickerEngineComponent(std::shared_ptr<TickerLists> lists, std::shared_ptr<TickerEngine> engine,
                        std::function<void()> while_waiting = nullptr,
                        int stop_timeout_ms = kStopTimeoutMs);
  ~TickerEngineComponent() override;

  bool Start(AppShell& shell) override;
  void Stop(AppShell& shell) override;

  // The number of items of the first display list (0 before Start).
  size_t first_list_count() const { return first_count_; }
  // False when the last Stop had to leave the engine thread running.
  bool stopped_in_time() const { return stopped_in_time_; }

 private:
  struct Exit;

  TickerListStage stage_;
  std::shared_ptr<TickerLists> lists_;
  std::shared_ptr<TickerEngine> engine_;
  std::function<void()> while_waiting_;
  int stop_timeout_ms_;
  std::shared_ptr<Exit> exit_;
  std::thread thread_;
  size_t first_count_ = 0;
  bool stopped_in_time_ = true;
};

}  // namespace korvo

#endif  // KORVO_TICKER_TICKER_ENGINE_COMPONENT_H_

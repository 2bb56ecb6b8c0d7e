// The ticker's stage of the start-up while the program has no display engine yet (korvo-headless
// keeps it; korvo.exe's engine takes the same two steps): at start the first display list is
// built from the saved "dump.dat" (or is the placeholder), at exit the shown list is saved to
// "dump.dat" when it holds at least three items, and both lists are freed.
//
// Threads: Start and Stop run on the shell's thread; the lists are shared with the update cycle.
#ifndef KORVO_TICKER_TICKER_LIST_STAGE_H_
#define KORVO_TICKER_TICKER_LIST_STAGE_H_

#include <memory>

#include "shell/app_component.h"
#include "ticker/ticker_lists.h"

namespace korvo {

class TickerListStage : public AppComponent {
 public:
  explicit TickerListStage(std::shared_ptr<TickerLists> lists) : lists_(std::move(lists)) {}

  // Loads "dump.dat" of the shell's working folder into the lists. False without lists.
  bool Start(AppShell& shell) override;
  // Saves the shown list to "dump.dat" and frees both lists.
  void Stop(AppShell& shell) override;

 private:
  std::shared_ptr<TickerLists> lists_;
};

}  // namespace korvo

#endif  // KORVO_TICKER_TICKER_LIST_STAGE_H_

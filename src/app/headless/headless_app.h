// korvo-headless: the program without windows. It runs the same start-up and shut-down sequence
// as korvo.exe (AppShell) and, until told to end, the subsystems attached in AttachComponents.
#ifndef KORVO_APP_HEADLESS_HEADLESS_APP_H_
#define KORVO_APP_HEADLESS_HEADLESS_APP_H_

#include <ostream>
#include <string>
#include <vector>

#include "app/app_shell.h"
#include "store/console_progress.h"

namespace korvo {

class HeadlessApp {
 public:
  // Reports go to `out` (UTF-8 lines).
  explicit HeadlessApp(std::ostream& out) : out_(out), progress_(out) {}

  // Runs the program: `arguments` are those after the program name. Returns the exit code, 0
  // also when another copy is already running (after printing catalog entry 0).
  // Ends on SIGINT / SIGTERM (POSIX) or Ctrl+C / console close (Windows).
  int Run(const std::vector<std::string>& arguments);

 private:
  // Plugs the subsystems of the run into the shell; called after the working folder is entered
  // and before the store holder is taken. The place to add the store, the channel list, the
  // ticker engine (timing-only display), the scheduler and the local server.
  void AttachComponents(AppShell& shell);
  void PrintLocations(const AppShell& shell);

  std::ostream& out_;
  // Shows long store jobs (an index rebuild at start-up) on `out_`; outlives the shell of Run.
  ConsoleProgressProvider progress_;
};

}  // namespace korvo

#endif  // KORVO_APP_HEADLESS_HEADLESS_APP_H_

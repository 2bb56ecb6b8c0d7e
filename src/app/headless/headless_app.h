// korvo-headless: the program without windows. It runs the same start-up and shut-down sequence
// as korvo.exe (AppShell) and, until told to end, the subsystems attached in AttachComponents:
// the store holder, the ticker engine with a display that draws nothing but takes as long as
// the effects would, the update scheduler with its initial forced run, the local server (its
// index page address is printed: "server: http://localhost:31622/index.html"). Each update run
// prints one line ("run: forced, 3 queued, 3 fetched, ..."), each headline the ticker shows one
// line ("ticker: 3/12 見出し [サイト]").
//
// Options of its own (headless_options.h): "--commands FILE" drives the running program through
// a command file (command_file.h); "--dump-store" prints the store and ends.
#ifndef KORVO_APP_HEADLESS_HEADLESS_APP_H_
#define KORVO_APP_HEADLESS_HEADLESS_APP_H_

#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "app/headless/headless_options.h"
#include "app/ticker_wiring.h"
#include "app/update_wiring.h"
#include "shell/app_shell.h"
#include "store/console_progress.h"

namespace korvo {

class ServerComponent;

class HeadlessApp {
 public:
  // Reports go to `out` (UTF-8 lines).
  explicit HeadlessApp(std::ostream& out) : out_(out), progress_(out) {}

  // Runs the program: `arguments` are those after the program name. Returns the exit code: 0
  // also when another copy is already running (after printing catalog entry 0); 2 for wrong
  // arguments; for --dump-store 1 when the store cannot be opened or another copy runs (use the
  // running copy's "dump" command then).
  // Ends on SIGINT / SIGTERM (POSIX) or Ctrl+C / console close (Windows), or a "quit" command.
  int Run(const std::vector<std::string>& arguments);

 private:
  // Plugs the subsystems of the run into the shell; called after the working folder is entered
  // and before the store holder is taken.
  void AttachComponents(AppShell& shell);
  void PrintLocations(const AppShell& shell);
  // Pushes the engine's start commands once the first list is there.
  void StartTicker(const AppShell& shell);
  // Prints the store of the entered working folder; the exit code.
  int DumpStore(const AppShell& shell);
  // Carries out the commands waiting in the command file; false when one of them was "quit".
  bool RunCommands();
  // One line to `out_`, from any thread.
  void Print(const std::string& line);

  std::ostream& out_;
  std::mutex out_mutex_;  // guards out_ once threads run
  // Shows long store jobs (an index rebuild at start-up) on `out_`; outlives the shell of Run.
  ConsoleProgressProvider progress_;
  HeadlessOptions options_;
  UpdateWiring update_;
  TickerWiring ticker_;
  ServerComponent* server_ = nullptr;  // owned by the shell of Run
};

}  // namespace korvo

#endif  // KORVO_APP_HEADLESS_HEADLESS_APP_H_

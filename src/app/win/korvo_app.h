// KorvoApp: the process of korvo.exe from entry to exit, on the thread that calls Run (which
// becomes the window thread):
//
//   1. system version and message catalog                    AppShell::RecordSystem
//   2. the instance mutex; a second copy asks the user, on OK sends 1157 to the running
//      copy, and ends with exit code 0                         AppShell::ClaimInstance
//   3. OLE
//   4. the command line                                        AppShell::ScanCommandLine
//   5-7. the working folder, "cache" and "database"            AppShell::EnterWorkingFolder
//   8. string resources 103 and 109, the window classes
//   9. the store holder                                        AppShell::TakeStoreHolder
//   10. MainWindow created and shown (exit code 0 when it cannot be)
//   11. the message loop with the accelerators 109
//   12. after the loop: AppShell::ReleaseProcess, OLE released; the exit code is the quit
//       message's wParam.
#ifndef KORVO_APP_WIN_KORVO_APP_H_
#define KORVO_APP_WIN_KORVO_APP_H_

#include <windows.h>

#include <memory>
#include <string>

#include "app/win/browse_wiring.h"
#include "app/win/main_window_hooks.h"
#include "shell/app_shell.h"
#include "store/progress.h"

namespace korvo {

class TickerWindows;

class KorvoApp {
 public:
  explicit KorvoApp(HINSTANCE instance) : instance_(instance) {}

  // `command_line`: the text after the program name. Returns the process exit code.
  int Run(const std::wstring& command_line, int show_command);

 private:
  // Where the subsystems plug in: their AppComponents (shell.Attach before the step that starts
  // their stage) and the main window's hooks.
  // `progress` outlives the shell's components.
  void AttachComponents(AppShell& shell, MainWindowHooks& hooks, ProgressProvider* progress);

  HINSTANCE instance_;
  // The ticker windows (the skin window and the headline window's ticker side); made by
  // AttachComponents, released after the main window.
  std::shared_ptr<TickerWindows> ticker_windows_;
  // The browse window and the channel dialogs; destroyed after the message loop, before OLE ends.
  std::unique_ptr<BrowseWiring> browse_;
};

// Runs the message loop until WM_QUIT (its wParam is returned) or an error (0). Keys are first
// offered to `accelerators` on behalf of `main_window`.
int RunMessageLoop(HWND main_window, HACCEL accelerators);

}  // namespace korvo

#endif  // KORVO_APP_WIN_KORVO_APP_H_
